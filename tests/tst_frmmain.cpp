// SPDX-License-Identifier: MIT
#include "errorreport.h"
#include "frmmain.h"
#include "markedtext.h"
#include "runtimeerror.h"
#include "screenfit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString StartCaption = u"Vertlin v2.0"_s;
QString keyCaption(qsizetype count) { return StartCaption + u"   ---   (Напечатано символов: %1)"_s.arg(count); }
QString clickCaption(qsizetype count) { return StartCaption + u"   ---    (Напечатано символов: %1)"_s.arg(count); }

} // namespace

class tst_FrmMain : public QObject
{
    Q_OBJECT

    // zh before z, as a real table must have it.
    const QStringList m_table{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};
    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;

    void trigger(const QString &name) { m_window->findChild<QAction *>(name)->trigger(); }
    // The state a test reads at once: text with selection, caption, checked modes.
    QString state() const
    {
        const auto on = [this](const QString &mode) { return m_window->findChild<QAction *>(mode)->isChecked() ? mode : u"-"_s; };
        return marked(m_box) + u" / "_s + m_window->windowTitle() + u" / "_s + on(u"trans"_s) + u' ' + on(u"transe"_s);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION)); }
    void init()
    {
        m_window = std::make_unique<frmMain>(m_table);
        m_box = m_window->textBox();
    }
    void cleanup() { ErrorReport::setSink({}); }

    // Every shortcut, pressed in the text area, runs its menu command and
    // never reaches the text area's own key handling; nor does Alt with a key.
    void menuTreeAndShortcuts()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QCOMPARE(QApplication::focusWidget(), m_box);
        QSignalSpy typed(m_box, &TextBox::keyPress);
        // name|caption|shortcut|checkable, a separator by its name alone;
        // a top-level entry without a drop-down is marked "(command)".
        QStringList items;
        for (const QAction *top : m_window->menuBar()->actions()) {
            const QMenu *menu = top->menu();
            items << (menu ? menu->objectName() : top->objectName() + u"(command)"_s) + u'|' + top->text();
            for (QAction *a : menu ? menu->actions() : QList<QAction *>()) {
                QVERIFY(a->isEnabled() && !a->isChecked());
                items << (a->isSeparator() ? a->objectName()
                                           : a->objectName() + u'|' + a->text() + u'|' + a->shortcut().toString()
                                  + (a->isCheckable() ? u"|checkable"_s : u""_s));
                QSignalSpy triggered(a, &QAction::triggered);
                if (!a->shortcut().isEmpty())
                    QTest::keySequence(m_box, a->shortcut());
                QVERIFY2(triggered.count() == !a->shortcut().isEmpty(), qPrintable(a->objectName()));
            }
        }
        QCOMPARE(items, (QStringList{
                u"con|&Конвертация"_s, u"rus|Русский шрифт|F3"_s, u"eng|Латинский шрифт|F4"_s, u"asd"_s,
                u"trans|Автоконвертация: RUS --> LAT||checkable"_s, u"transe|Автоконвертация: LAT --> RUS||checkable"_s,
                u"sel|&Правка"_s, u"cut|Вырезать|Ctrl+X"_s, u"copy|Копировать|Ctrl+C"_s, u"paste|Вставить|Ctrl+V"_s,
                u"del|Удалить|Del"_s, u"asa"_s, u"all|Выделить все|Ctrl+A"_s, u"date|Время и дата|Ctrl+D"_s,
                u"about(command)|&О программе..."_s}));
        // Alt with a key that is no access key is a menu key too, never text.
        const QString before = m_box->text();
        QTest::keyClick(m_box, Qt::Key_W, Qt::AltModifier);
        QTest::keyClick(m_box, Qt::Key_Space, Qt::AltModifier);
        // The key where the Russian layout has К opens Конвертация, whatever it reads now.
        QSignalSpy opened(m_window->findChild<QMenu *>(u"con"_s), &QMenu::aboutToShow);
        QKeyEvent p(QEvent::KeyPress, Qt::Key_P, Qt::AltModifier, QSysInfo::kernelType() == u"winnt"_s ? 0x13 : 27, 0, 0, u"p"_s);
        QApplication::sendEvent(m_box, &p);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(m_box->text(), before);
        QCOMPARE(typed.count(), 0);
    }

    // The text area fills the client area at every size; minimised it
    // keeps its size, and restored it fills the window again.
    void textAreaFillsClientArea()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->resize(1000, 700);
        QTRY_COMPARE(m_window->size(), QSize(1000, 700));
        const int menuHeight = m_window->menuBar()->height();
        QCOMPARE(m_box->geometry(), QRect(0, menuHeight, 1000, 700 - menuHeight));
        const QRect before = m_box->geometry();
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        QCOMPARE(m_box->geometry(), before);
        m_window->showNormal();
        QTRY_COMPARE(m_box->geometry(), before);
    }

    // The count is taken before the key's own edit, after any conversion.
    void workedExampleKeyByKeyThenClick()
    {
        m_box->resize(300, 200);
        trigger(u"transe"_s);
        QCOMPARE(m_window->windowTitle(), StartCaption);
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(m_box, "zhuk"[i]);
            QCOMPARE(m_window->windowTitle(), keyCaption(i));
        }
        QTest::keyClick(m_box, Qt::Key_Space);
        QCOMPARE(state(), u"жук | / "_s + keyCaption(3) + u" / - transe"_s);
        // Pasted spaces convert nothing and leave the count as it was.
        QGuiApplication::clipboard()->setText(u"uk "_s);
        m_box->paste();
        QCOMPARE(state(), u"жук uk | / "_s + keyCaption(3) + u" / - transe"_s);
        QTest::keyClick(m_box, Qt::Key_Return);
        QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, QPoint(150, 150));
        QCOMPARE(m_window->windowTitle(), clickCaption(9));
        m_box->setSelStart(9);
        QTest::keyClick(m_box, Qt::Key_Backspace);
        QCOMPARE(state(), u"жук uk | / "_s + keyCaption(9) + u" / - transe"_s);
        // Neither a key without a character nor a right click counts.
        QTest::keyClick(m_box, Qt::Key_Left);
        QTest::mouseClick(m_box->viewport(), Qt::RightButton, {}, QPoint(150, 150));
        QCOMPARE(m_window->windowTitle(), keyCaption(9));
    }

    // Choosing a mode converts nothing; a manual conversion ends any mode,
    // shows the hourglass while it runs and puts the caret at the start.
    // Neither touches the caption.
    void modeStateMachine_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        const QString kept = u"zh|uk\r\nжук / "_s + StartCaption + u" / "_s;
        QTest::newRow("trans twice") << u"trans trans"_s << kept + u"trans -"_s;
        QTest::newRow("transe twice") << u"transe transe"_s << kept + u"- transe"_s;
        QTest::newRow("trans, then transe") << u"trans transe"_s << kept + u"- transe"_s;
        QTest::newRow("transe, then trans") << u"transe trans"_s << kept + u"trans -"_s;
        QTest::newRow("F3 ends a mode") << u"trans rus"_s << u"|жук\r\nжук / "_s + StartCaption + u" / - -"_s;
        QTest::newRow("F4 ends a mode") << u"transe eng"_s << u"|zhuk\r\nzhuk / "_s + StartCaption + u" / - -"_s;
    }

    void modeStateMachine()
    {
        QFETCH(QString, chosen);
        setMarked(m_box, u"zh|uk\r\nжук"_s);
        QList<Qt::CursorShape> pointer; // while the text changes
        connect(m_box->document(), &QTextDocument::contentsChanged, this, [&] { pointer << m_window->cursor().shape(); });
        for (const QString &name : chosen.split(u' '))
            trigger(name);
        QTEST(state(), "expected");
        const bool manual = chosen.endsWith(u"rus"_s) || chosen.endsWith(u"eng"_s);
        QCOMPARE(pointer, manual ? QList{Qt::WaitCursor} : QList<Qt::CursorShape>());
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    }

    // In a mode a typed space goes at the end, after the converted text
    // whose length is the count; with no mode it goes at the caret.
    void typedSpace_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<qsizetype>("count");
        QTest::newRow("no mode, over a selection") << u""_s << u"z[hu]k"_s << u"z |k"_s << 4LL;
        QTest::newRow("mid-text") << u"transe"_s << u"zh|uk zhuk"_s << u"жук жук |"_s << 7LL;
        QTest::newRow("over a selection") << u"transe"_s << u"[zhuk] zhuk"_s << u"жук жук |"_s << 7LL;
        QTest::newRow("to Latin") << u"trans"_s << u"|жук"_s << u"zhuk |"_s << 4LL;
        QTest::newRow("only the middle changes") << u"transe"_s << u"|жук\r\nzhuk\r\nжук"_s << u"жук\r\nжук\r\nжук |"_s << 13LL;
    }

    void typedSpace()
    {
        QFETCH(QString, mode);
        QFETCH(qsizetype, count);
        if (!mode.isEmpty())
            trigger(mode);
        QFETCH(QString, before);
        setMarked(m_box, before);
        QTest::keyClick(m_box, Qt::Key_Space);
        QTEST(marked(m_box), "after");
        QCOMPARE(m_window->windowTitle(), keyCaption(count));
    }

    // A typed space converts what has changed since the last one, wherever
    // it is and however it came: edits away from the caret, undo, a new
    // paragraph. The second space finds both paragraphs converted already.
    void spaceAfterOtherEdits_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an earlier paragraph") << u"insert"_s << u"жук ук\r\nжук   "_s;
        QTest::newRow("undone conversion") << u"undo"_s << u"жук\r\nжук "_s;
        QTest::newRow("split paragraph") << u"split"_s << u"жук\r\nук\r\nжук   "_s;
    }

    void spaceAfterOtherEdits()
    {
        QFETCH(QString, edit);
        trigger(u"transe"_s);
        setMarked(m_box, u"zhuk\r\nzhuk|"_s);
        QTest::keyClick(m_box, Qt::Key_Space);
        QTest::keyClick(m_box, Qt::Key_Space);
        QTextCursor cursor(m_box->document());
        cursor.setPosition(3);
        if (edit == u"insert"_s)
            cursor.insertText(u" uk"_s);
        else if (edit == u"split"_s)
            cursor.insertText(u"\nuk"_s);
        else
            m_box->undo(), m_box->undo();
        m_box->moveCursor(QTextCursor::End);
        QTest::keyClick(m_box, Qt::Key_Space);
        QTEST(m_box->text(), "expected");
    }

    // One undo takes back a manual conversion, or a typed space together
    // with the conversion it set off; typing after either is a step of its own.
    void undoConversions()
    {
        QTest::keyClicks(m_box, u"zhuk uk"_s);
        trigger(u"rus"_s);
        trigger(u"transe"_s);
        m_box->moveCursor(QTextCursor::End);
        QTest::keyClicks(m_box, u"z k"_s);
        QStringList seen{m_box->text()};
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
            seen << m_box->text();
        }
        QCOMPARE(seen, (QStringList{u"жук укз k"_s, u"жук укз "_s, u"жук укz"_s, u"жук ук"_s, u"zhuk uk"_s, u""_s}));
    }

    // Reported in plain words, with the default pointer back; the text is
    // kept, and a typed space still lands at the caret.
    void tooLongTextIsKept()
    {
        // 32767 characters as the text area counts them, a line break as two.
        const QString head = QString(3, u'a'), tail = QString(32756, u'a') + u"\r\nzhuk"_s;
        QString report;
        ErrorReport::setSink([&](const RuntimeError &error, const QString &message) {
            const bool plain = message.contains(u"слишком длинный"_s) && message.contains(u"32 766"_s);
            const bool off = message.contains(u"Автоконвертация выключена"_s);
            report += u"error %1, plain %2, off %3, pointer %4; "_s.arg(error.number()).arg(plain).arg(off).arg(m_window->cursor().shape());
        });
        setMarked(m_box, head + u"[aa]"_s + tail);
        trigger(u"trans"_s);
        trigger(u"rus"_s);
        QCOMPARE(state(), head + u"[aa]"_s + tail + u" / "_s + StartCaption + u" / - -"_s);
        trigger(u"transe"_s);
        // The failing space ends the mode, so the next one converts nothing and says nothing.
        QTest::keyClick(m_box, Qt::Key_Space);
        QTest::keyClick(m_box, Qt::Key_Space);
        QCOMPARE(state(), head + u"aa  |"_s + tail + u" / "_s + keyCaption(32768) + u" / - -"_s);
        QCOMPARE(report, u"error 6, plain 1, off 0, pointer 0; error 6, plain 1, off 1, pointer 0; "_s);
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    }

    // Where it fits, a window keeps its size, centred in the screen's free
    // area; where it does not, it takes that area.
    void placeOnScreen_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("fits, below a panel") << QSize(600, 400) << QRect(0, 30, 1280, 770) << QRect(340, 215, 600, 400);
        QTest::newRow("too high") << QSize(600, 900) << QRect(0, 30, 1280, 770) << QRect(340, 30, 600, 770);
        QTest::newRow("scale 2 on 1280x800") << QSize(1146, 860) << QRect(0, 0, 640, 400) << QRect(0, 0, 640, 400);
    }

    void placeOnScreen()
    {
        QFETCH(QSize, frame);
        QFETCH(QRect, available);
        QTEST(ScreenFit::place(frame, available), "placed");
    }

    // At start-up there is no window to take the icon from.
    void messageBoxShowsTheIcon()
    {
        qunsetenv("VERTLIN_NO_DIALOGS");
        QIcon icon;
        QTimer::singleShot(0, this, [&icon] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                icon = box->windowIcon(), box->done(0);
        });
        ErrorReport::show(RuntimeError(RuntimeError::Overflow));
        qputenv("VERTLIN_NO_DIALOGS", "1");
        QVERIFY(!icon.availableSizes().isEmpty());
    }

    // Closing ends the program even while another top-level window is open.
    void closingEndsTheProgram()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QWidget other;
        other.show();
        QTimer::singleShot(0, m_window.get(), &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(tst_FrmMain)
#include "tst_frmmain.moc"
