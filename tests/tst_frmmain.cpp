#include "frmmain.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_FrmMain : public QObject
{
    Q_OBJECT

private:
    const QStringList m_table{u"zh ж"_s};

    static QAction *action(const frmMain &window, const QString &name)
    {
        return window.findChild<QAction *>(name);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));
    }

    void captionAfterStart()
    {
        frmMain window(m_table);
        QCOMPARE(window.windowTitle(), u"Vertlin v2.0"_s);
        const QList<QSize> iconSizes = window.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));

        // Read from the application object each time, not baked in.
        QCoreApplication::setApplicationVersion(u"3.7.1"_s);
        frmMain other(m_table);
        QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));
        QCOMPARE(other.windowTitle(), u"Vertlin v3.7"_s);
    }

    void menuTree()
    {
        frmMain window(m_table);
        const QList<QAction *> bar = window.menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar.at(0)->text(), u"&Конвертация"_s);
        QCOMPARE(bar.at(1)->text(), u"&Правка"_s);
        QCOMPARE(bar.at(2)->text(), u"&О программе..."_s);
        QCOMPARE(bar.at(2)->objectName(), u"about"_s);
        QVERIFY2(!bar.at(2)->menu(), "About must run at once, with no drop-down");

        struct Item
        {
            QString name, caption;
            QKeySequence shortcut;
            bool checkable;
        };
        const QList<Item> conversion{
                {u"rus"_s, u"Русский шрифт"_s, QKeySequence(Qt::Key_F3), false},
                {u"eng"_s, u"Латинский шрифт"_s, QKeySequence(Qt::Key_F4), false},
                {u"asd"_s, QString(), {}, false},
                {u"trans"_s, u"Автоконвертация: RUS --> LAT"_s, {}, true},
                {u"transe"_s, u"Автоконвертация: LAT --> RUS"_s, {}, true},
        };
        const QList<Item> editing{
                {u"cut"_s, u"Вырезать"_s, QKeySequence(u"Ctrl+X"_s), false},
                {u"copy"_s, u"Копировать"_s, QKeySequence(u"Ctrl+C"_s), false},
                {u"paste"_s, u"Вставить"_s, QKeySequence(u"Ctrl+V"_s), false},
                {u"del"_s, u"Удалить"_s, QKeySequence(Qt::Key_Delete), false},
                {u"asa"_s, QString(), {}, false},
                {u"all"_s, u"Выделить все"_s, QKeySequence(u"Ctrl+A"_s), false},
                {u"date"_s, u"Время и дата"_s, QKeySequence(u"Ctrl+D"_s), false},
        };
        const QList<std::pair<QMenu *, QList<Item>>> menus{{bar.at(0)->menu(), conversion},
                                                           {bar.at(1)->menu(), editing}};
        for (const auto &[menu, items] : menus) {
            QVERIFY(menu);
            const QList<QAction *> actions = menu->actions();
            QCOMPARE(actions.size(), items.size());
            for (qsizetype i = 0; i < items.size(); ++i) {
                const Item &item = items.at(i);
                QAction *a = actions.at(i);
                QCOMPARE(a->objectName(), item.name);
                QCOMPARE(a->isSeparator(), item.caption.isEmpty());
                if (!a->isSeparator())
                    QCOMPARE(a->text(), item.caption);
                QCOMPARE(a->shortcut(), item.shortcut);
                QCOMPARE(a->isCheckable(), item.checkable);
                QVERIFY(!a->isChecked());
                QVERIFY(a->isEnabled());
            }
        }
    }

    void textAreaStartsEmptyWithFocus()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.textBox()->text(), QString());
        QCOMPARE(QApplication::focusWidget(), window.textBox());
        QCOMPARE(window.textBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
    }

    // Keys the editor would take for itself go to the menu instead.
    void shortcutsWinOverTextArea_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");

        QTest::newRow("Del") << u"del"_s << int(Qt::Key_Delete) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+X") << u"cut"_s << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+C") << u"copy"_s << int(Qt::Key_C) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+V") << u"paste"_s << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+A") << u"all"_s << int(Qt::Key_A) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+D") << u"date"_s << int(Qt::Key_D) << int(Qt::ControlModifier);
        QTest::newRow("F3") << u"rus"_s << int(Qt::Key_F3) << int(Qt::NoModifier);
        QTest::newRow("F4") << u"eng"_s << int(Qt::Key_F4) << int(Qt::NoModifier);
    }

    void shortcutsWinOverTextArea()
    {
        QFETCH(QString, actionName);
        QFETCH(int, key);
        QFETCH(int, modifiers);

        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        TextBox *box = window.textBox();
        box->setText(u"abc"_s);
        box->setSelStart(1);

        QSignalSpy triggered(action(window, actionName), &QAction::triggered);
        QSignalSpy typed(box, &TextBox::keyPress);
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(typed.count(), 0);
    }

    void textAreaFillsClientArea()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const QSize size : {QSize(640, 480), QSize(300, 200), QSize(1000, 700)}) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            const int menuHeight = window.menuBar()->height();
            QCOMPARE(window.textBox()->geometry(),
                     QRect(0, menuHeight, size.width(), size.height() - menuHeight));
        }
    }

    void minimisingLeavesTextAreaAlone()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect before = window.textBox()->geometry();
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        QCOMPARE(window.textBox()->geometry(), before);
        window.showNormal();
        QTRY_COMPARE(window.textBox()->geometry(), before);
    }

    void closingEndsTheProgram()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A second top-level window must not keep the program alive.
        QWidget other;
        other.show();
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, &window, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        const int exitCode = QApplication::exec();
        QCOMPARE(exitCode, 0);
        QCOMPARE(quitting.count(), 1);
    }
};

QTEST_MAIN(tst_FrmMain)
#include "tst_frmmain.moc"
