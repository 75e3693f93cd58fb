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

    const QStringList m_table{u"zh ж"_s};

private slots:
    // Every shortcut, pressed in the text area, runs its menu command and
    // never reaches the text area's own key handling.
    void captionMenuTreeAndShortcuts()
    {
        // The version is read from the application object each time.
        QCoreApplication::setApplicationVersion(u"3.7.1"_s);
        QCOMPARE(frmMain(m_table).windowTitle(), u"Vertlin v3.7"_s);
        QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));
        frmMain window(m_table);
        QCOMPARE(window.windowTitle(), u"Vertlin v2.0"_s);
        const QList<QSize> iconSizes = window.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        TextBox *box = window.textBox();
        QCOMPARE(QApplication::focusWidget(), box);
        QSignalSpy typed(box, &TextBox::keyPress);

        const QList<QAction *> bar = window.menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar.at(2)->objectName() + u'|' + bar.at(2)->text(), u"about|&О программе..."_s);
        QVERIFY2(!bar.at(2)->menu(), "About runs at once, with no drop-down");
        QStringList items; // name|caption|shortcut|checkable; a separator by its name alone
        for (const QAction *top : bar.first(2)) {
            QMenu *menu = top->menu();
            QVERIFY(menu);
            items << menu->objectName() + u'|' + top->text();
            for (QAction *a : menu->actions()) {
                QVERIFY(a->isEnabled() && !a->isChecked());
                items << (a->isSeparator() ? a->objectName()
                                           : a->objectName() + u'|' + a->text() + u'|'
                                  + a->shortcut().toString() + (a->isCheckable() ? u"|checkable"_s : u""_s));
                if (!a->shortcut().isEmpty()) {
                    QSignalSpy triggered(a, &QAction::triggered);
                    QTest::keySequence(box, a->shortcut());
                    QVERIFY2(triggered.count() == 1, qPrintable(a->objectName()));
                }
            }
        }
        QCOMPARE(items, (QStringList{
                u"con|&Конвертация"_s, u"rus|Русский шрифт|F3"_s, u"eng|Латинский шрифт|F4"_s,
                u"asd"_s, u"trans|Автоконвертация: RUS --> LAT||checkable"_s,
                u"transe|Автоконвертация: LAT --> RUS||checkable"_s,
                u"sel|&Правка"_s, u"cut|Вырезать|Ctrl+X"_s, u"copy|Копировать|Ctrl+C"_s,
                u"paste|Вставить|Ctrl+V"_s, u"del|Удалить|Del"_s, u"asa"_s,
                u"all|Выделить все|Ctrl+A"_s, u"date|Время и дата|Ctrl+D"_s}));
        QCOMPARE(typed.count(), 0);
    }

    void textAreaFillsClientArea()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TextBox *box = window.textBox();
        for (const QSize size : {QSize(300, 200), QSize(1000, 700)}) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            const int menuHeight = window.menuBar()->height();
            QCOMPARE(box->geometry(), QRect(0, menuHeight, size.width(), size.height() - menuHeight));
        }
        // Minimised it keeps its size; restored, it fills the window again.
        const QRect before = box->geometry();
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        QCOMPARE(box->geometry(), before);
        window.showNormal();
        QTRY_COMPARE(box->geometry(), before);
    }

    // Closing ends the program even while another top-level window is open.
    void closingEndsTheProgram()
    {
        frmMain window(m_table);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget other;
        other.show();
        QTimer::singleShot(0, &window, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(tst_FrmMain)
#include "tst_frmmain.moc"
