// SPDX-License-Identifier: MIT
#include "errorreport.h"
#include "frmmain.h"
#include "markedtext.h"
#include "runtimeerror.h"
#include "screenfit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString StartCaption = u"Vertlin v2.0"_s;
QString keyCaption(qsizetype count) { return StartCaption + u"   ---   (Напечатано символов: %1)"_s.arg(count); }

} // namespace

class tst_FrmMain : public QObject
{
    Q_OBJECT

    // zh before z, as a real table must have it.
    const QStringList m_table{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};
    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;
    QString m_reports; // errors shown to the user

    void trigger(const QString &name) { m_window->findChild<QAction *>(name)->trigger(); }
    // The state a test reads at once: text with selection, caption, checked modes, errors shown.
    QString state() const
    {
        const auto on = [this](const QString &mode) { return m_window->findChild<QAction *>(mode)->isChecked() ? mode : u"-"_s; };
        return marked(m_box) + u" / "_s + m_window->windowTitle() + u" / "_s + on(u"trans"_s) + u' ' + on(u"transe"_s) + m_reports;
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION)); }
    void init()
    {
        m_window = std::make_unique<frmMain>(m_table);
        m_box = m_window->textBox();
        m_reports.clear();
        ErrorReport::setSink([this](const RuntimeError &error, const QString &message) {
            const bool plain = message.contains(u"слишком длинный"_s) && message.contains(u"32 766"_s);
            const bool off = message.contains(u"Автоконвертация выключена"_s);
            m_reports += u" / error %1, plain %2, off %3, pointer %4"_s.arg(error.number()).arg(plain).arg(off).arg(m_window->cursor().shape());
        });
    }
    void cleanup() { ErrorReport::setSink({}); }

    // Every shortcut, pressed in the text area, runs its own menu command and
    // never reaches the text area's key handling; nor does Alt with the key of
    // an access letter, whatever the layout prints on it.
    void shortcuts()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QSignalSpy typed(m_box, &TextBox::keyPress);
        QStringList items; // text|the shortcut that ran it
        for (const QAction *top : m_window->menuBar()->actions()) {
            for (QAction *a : top->menu() ? top->menu()->actions() : QList<QAction *>()) {
                QSignalSpy triggered(a, &QAction::triggered);
                if (!a->shortcut().isEmpty())
                    QTest::keySequence(m_box, a->shortcut());
                items << a->text() + u'|' + (triggered.count() == 1 ? a->shortcut().toString() : QString());
            }
        }
        QCOMPARE(items.join(u", "_s), u"Русский шрифт|F3, Латинский шрифт|F4, |, Автоконвертация: RUS --> LAT|, "
                                      u"Автоконвертация: LAT --> RUS|, Вырезать|Ctrl+X, Копировать|Ctrl+C, "
                                      u"Вставить|Ctrl+V, Удалить|Del, |, Выделить все|Ctrl+A, Время и дата|Ctrl+D"_s);
        // The key where the Russian layout has К opens Конвертация, whatever it reads now.
        const QString before = m_box->text();
        QSignalSpy opened(m_window->findChild<QMenu *>(u"con"_s), &QMenu::aboutToShow);
        QKeyEvent p(QEvent::KeyPress, Qt::Key_P, Qt::AltModifier, QSysInfo::kernelType() == u"winnt"_s ? 0x13 : 27, 0, 0, u"p"_s);
        QApplication::sendEvent(m_box, &p);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(m_box->text(), before);
        QCOMPARE(typed.count(), 0);
    }

    // Only typed characters and left clicks write the caption; a pasted
    // space converts nothing.
    void pasteAndOtherInputLeaveTheCaption()
    {
        m_box->resize(300, 200);
        trigger(u"transe"_s);
        QTest::keyClicks(m_box, u"zhuk "_s);
        QGuiApplication::clipboard()->setText(u"uk "_s);
        m_box->paste();
        QTest::keyClick(m_box, Qt::Key_Left);
        QTest::mouseClick(m_box->viewport(), Qt::RightButton, {}, QPoint(150, 150));
        QCOMPARE(state(), u"жук uk|  / "_s + keyCaption(3) + u" / - transe"_s);
    }

    // Commands by name, " " a typed space, "+text" text inserted at 3 and
    // "undo" an undo (the caret then at the end). Choosing a mode converts nothing;
    // a manual conversion ends any mode, shows the hourglass while it runs
    // and puts the caret at the start, leaving the caption alone. In a mode
    // a typed space goes at the end, after the converted text, whose length
    // the caption shows; with no mode it goes at the caret. A typed space
    // converts what has changed since the last one, however it came. A text
    // too long is kept, the failure told in plain words with the default
    // pointer back, and a typed space still lands at the caret; a failing
    // space switches its mode off.
    void commands_data()
    {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("expected");
        const QString kept = u"zh|uk\r\nжук / "_s + StartCaption + u" / "_s;
        const auto spaced = [](const char *text, qsizetype count, const char *modes) -> QString {
            return QString::fromUtf8(text) + u" / "_s + keyCaption(count) + u" / "_s + QString::fromUtf8(modes);
        };
        // Chosen again, a mode stays on; the other one goes.
        QTest::newRow("trans, transe twice") << u"trans,transe,transe"_s << u"zh|uk\r\nжук"_s << kept + u"- transe"_s;
        QTest::newRow("transe, trans twice") << u"transe,trans,trans"_s << u"zh|uk\r\nжук"_s << kept + u"trans -"_s;
        // F3 ending a mode: "too long for F3"; converting, with the caret at the start: e2e.
        QTest::newRow("F4 ends a mode") << u"transe,eng"_s << u"zh|uk\r\nжук"_s << u"|zhuk\r\nzhuk / "_s + StartCaption + u" / - -"_s;
        QTest::newRow("no mode, space over a selection") << u" "_s << u"z[hu]k"_s << spaced("z |k", 4, "- -");
        QTest::newRow("space mid-text") << u"transe, "_s << u"zh|uk zhuk"_s << spaced("жук жук |", 7, "- transe");
        QTest::newRow("space over a selection") << u"transe, "_s << u"[zhuk] zhuk"_s << spaced("жук жук |", 7, "- transe");
        QTest::newRow("space to Latin") << u"trans, "_s << u"|жук"_s << spaced("zhuk |", 4, "trans -");
        QTest::newRow("only the middle changes") << u"transe, "_s << u"|жук\r\nzhuk\r\nжук"_s
                                                 << spaced("жук\r\nжук\r\nжук |", 13, "- transe");
        QTest::newRow("an earlier paragraph edited") << u"transe, , ,+ uk, "_s << u"zhuk\r\nzhuk|"_s
                                                     << spaced("жук ук\r\nжук   |", 13, "- transe");
        QTest::newRow("a paragraph split") << u"transe, , ,+\nuk, "_s << u"zhuk\r\nzhuk|"_s
                                           << spaced("жук\r\nук\r\nжук   |", 14, "- transe");
        // 32767 characters as the text area counts them, a line break as two.
        const QString head = QString(3, u'a'), tail = QString(32756, u'a') + u"\r\nzhuk"_s;
        const QString refused = u" / error 6, plain 1, off 0, pointer 0"_s;
        QTest::newRow("too long for F3") << u"trans,rus"_s << head + u"[aa]"_s + tail
                                         << head + u"[aa]"_s + tail + u" / "_s + StartCaption + u" / - -"_s + refused;
        // The failing space ends its mode, so the next one converts nothing and says nothing.
        QTest::newRow("too long for a space") << u"transe, , "_s << head + u"[aa]"_s + tail
                                              << head + u"aa  |"_s + tail + u" / "_s + keyCaption(32768) + u" / - -"_s
                                                     + u" / error 6, plain 1, off 1, pointer 0"_s;
        QTest::newRow("a conversion undone") << u"transe, , ,undo,undo, "_s << u"zhuk\r\nzhuk|"_s
                                             << spaced("жук\r\nжук |", 8, "- transe");
    }

    void commands()
    {
        QFETCH(QString, commands);
        QFETCH(QString, before);
        setMarked(m_box, before);
        QList<Qt::CursorShape> pointer; // while the text changes
        connect(m_box->document(), &QTextDocument::contentsChanged, this, [&] { pointer << m_window->cursor().shape(); });
        for (const QString &name : commands.split(u',')) {
            if (name == u" "_s) {
                QTest::keyClick(m_box, Qt::Key_Space);
            } else if (name == u"undo"_s || name.startsWith(u'+')) {
                QTextCursor cursor(m_box->document());
                cursor.setPosition(3);
                name == u"undo"_s ? m_box->undo() : cursor.insertText(name.mid(1));
                m_box->moveCursor(QTextCursor::End);
            } else {
                trigger(name);
            }
        }
        QTEST(state(), "expected");
        const bool manual = commands.endsWith(u"rus"_s) || commands.endsWith(u"eng"_s);
        const bool changed = manual && m_reports.isEmpty();
        QCOMPARE(pointer, changed ? QList{Qt::WaitCursor} : QList<Qt::CursorShape>(pointer.size(), Qt::ArrowCursor));
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
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

};

QTEST_MAIN(tst_FrmMain)
#include "tst_frmmain.moc"
