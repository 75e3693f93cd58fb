// SPDX-License-Identifier: MIT
#include "errorreport.h"
#include "frmmain.h"
#include "generaldate.h"
#include "markedtext.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace Qt::StringLiterals;

static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

class TestEditing : public QObject
{
    Q_OBJECT

    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;
    QStringList m_errors;

    void trigger(const QString &name) { m_window->findChild<QAction *>(name)->trigger(); }

private slots:
    void initTestCase()
    {
        m_window = std::make_unique<frmMain>(QStringList{u"zh ж"_s});
        m_box = m_window->textBox();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        ErrorReport::setSink([this](const RuntimeError &, const QString &text) { m_errors << text; });
        GeneralDate::setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(20, 11, 5)); });
        // Both auto-conversion modes on: no command here may convert the text
        // ("zh" and "ж" would change).
        for (const QString &mode : {u"trans"_s, u"transe"_s})
            m_window->findChild<QAction *>(mode)->setChecked(true);
    }

    void init() { m_errors.clear(); }

    // The clipboard column: before the command -> after it; a null "before"
    // means no text on the clipboard, "(taken)" another program that takes
    // the clipboard the moment it is written: that is reported, and a cut
    // then leaves the text in place.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("clipboardAfter");
        // Copied line breaks are the platform's own, as other programs expect.
        const QString nl = QSysInfo::kernelType() == u"winnt"_s ? u"\r\n"_s : u"\n"_s, c = u"ж zh"_s;
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("copy, nothing selected") << u"copy"_s << u"z|h\r\nж d"_s << c << u"z|h\r\nж d"_s << u""_s;
        row("copy one character at a CR") << u"copy"_s << u"zh[\r]\nж d"_s << c << u"zh[\r\n]ж d"_s << nl;
        row("copy from inside a break") << u"copy"_s << u"zh\r[\n]ж d"_s << c << u"zh[\r\n]ж d"_s << nl;
        row("cut, nothing selected") << u"cut"_s << u"zh|\r\nж d"_s << c << u"zh|\r\nж d"_s << u""_s;
        row("cut across a break") << u"cut"_s << u"z[h\r\nж] d"_s << c << u"z| d"_s << u"h"_s + nl + u"ж"_s;
        row("paste, no text") << u"paste"_s << u"z[h\r\nж] d"_s << QString() << u"z| d"_s << u""_s;
        row("paste LF and CR breaks") << u"paste"_s << u"zh\r\nж[ ]d"_s << u"1\n2\r3"_s << u"zh\r\nж1\r\n2\r\n3|d"_s << u"1\n2\r3"_s;
        row("delete at the very end") << u"del"_s << u"zh\r\nж d|"_s << c << u"zh\r\nж d|"_s << c;
        row("delete before a break") << u"del"_s << u"zh|\r\nж d"_s << c << u"zh|ж d"_s << c;
        row("delete a selection from a CR") << u"del"_s << u"zh[\r\nж] d"_s << c << u"zh| d"_s << c;
        row("select all") << u"all"_s << u"zh\r\nж| d"_s << c << u"[zh\r\nж d]"_s << c;
        row("copy, clipboard taken") << u"copy"_s << u"a[b\r\nc]d"_s << u"(taken)"_s << u"a[b\r\nc]d"_s << u"чужое"_s;
        row("cut, clipboard taken") << u"cut"_s << u"a[b\r\nc]d"_s << u"(taken)"_s << u"a[b\r\nc]d"_s << u"чужое"_s;
        row("date over a selection") << u"date"_s << u"zh\r\n[ж] d"_s << c << u"zh\r\n06.12.2026 20:11:05| d"_s << c;
    }

    // None of these commands touches the caption.
    void commands()
    {
        QFETCH(QString, clipboardBefore);
        const bool taken = clipboardBefore == u"(taken)"_s;
        clipboardBefore.isNull() ? clipboard()->clear() : clipboard()->setText(clipboardBefore);
        QMetaObject::Connection grab;
        if (taken)
            grab = connect(clipboard(), &QClipboard::dataChanged, this, [&grab] { disconnect(grab), clipboard()->setText(u"чужое"_s); });
        QFETCH(QString, before);
        setMarked(m_box, before);
        const QString caption = m_window->windowTitle();
        QFETCH(QString, command);
        trigger(command);
        disconnect(grab);
        QTEST(marked(m_box), "after");
        QTEST(clipboard()->text(), "clipboardAfter");
        QCOMPARE(m_window->windowTitle(), caption);
        QCOMPARE(m_errors.filter(u"Буфер обмена занят"_s).size(), m_errors.size());
        QCOMPARE(m_errors.size(), int(taken));
    }

    // Each command is an undo step of its own, apart from the typing around
    // it. The history lets go of what it cannot hold, but never of a
    // conversion about to be made.
    void undoSteps()
    {
        setMarked(m_box, u"|"_s);
        clipboard()->setText(u"cd"_s);
        // ab, Ctrl+V, e, Ctrl+D, f; Home, Del, Del; "cd" selected and cut; g.
        for (QKeyCombination k : std::initializer_list<QKeyCombination>{Qt::Key_A, Qt::Key_B, Qt::CTRL | Qt::Key_V, Qt::Key_E, Qt::CTRL | Qt::Key_D,
                                  Qt::Key_F, Qt::Key_Home, Qt::Key_Delete, Qt::Key_Delete, Qt::SHIFT | Qt::Key_Right,
                                  Qt::SHIFT | Qt::Key_Right, Qt::CTRL | Qt::Key_X, Qt::Key_G})
            QTest::keyClick(m_box, k.key(), k.keyboardModifiers());
        QStringList seen{m_box->text()};
        for (int i = 0; i < 9; ++i)
            m_box->undo(), seen << m_box->text();
        const QString d = u"06.12.2026 20:11:05"_s;
        QCOMPARE(seen, (QStringList{u"ge"_s + d + u'f', u'e' + d + u'f', u"cde"_s + d + u'f', u"bcde"_s + d + u'f',
                                    u"abcde"_s + d + u'f', u"abcde"_s + d, u"abcde"_s, u"abcd"_s, u"ab"_s, u""_s}));

        const QString a = u"a"_s.repeated(63).append(u'\n').repeated(TextBox::HistoryBudget / 64 - 16);
        const QString zh = u"zh"_s.repeated(1000);
        m_box->setText(a);
        m_box->setText(zh);
        m_box->undo(); // takes the history past its bound: all of it goes
        QCoreApplication::processEvents();
        m_box->undo();
        QCOMPARE(m_box->editorText().size(), a.size());
        m_box->setText(zh);
        trigger(u"rus"_s); // would take it past the bound
        QCoreApplication::processEvents();
        m_box->undo();
        QCOMPARE(m_box->text(), zh);
    }

    // Qt's long time format names the zone; the zone goes, quoted text stays.
    void dateText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("midnight and 900 ms") << u"ru_RU"_s << QTime(0, 0, 0, 900) << u"06.12.2026"_s;
        QTest::newRow("a second past") << u"ru_RU"_s << QTime(0, 0, 1) << u"06.12.2026 00:00:01"_s;
        QTest::newRow("zone in brackets") << u"fa_IR"_s << QTime(20, 11, 5) << u"۲۰۲۶/۱۲/۶ ۲۰:۱۱:۰۵"_s;
        QTest::newRow("quoted literals") << u"fr_CA"_s << QTime(8, 1, 5) << u"2026-12-06 08 h 01 min 05 s"_s;
    }

    void dateText()
    {
        QFETCH(QString, locale);
        QFETCH(QTime, time);
        QTEST(GeneralDate::toString(QDateTime(QDate(2026, 12, 6), time), QLocale(locale)), "expected");
    }
};

int main(int argc, char **argv)
{
    // The date command follows the user's regional settings: pin them
    // before Qt reads them.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    TestEditing test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editing.moc"
