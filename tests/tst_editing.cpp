#include "errorreport.h"
#include "frmmain.h"
#include "generaldate.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace Qt::StringLiterals;

static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

class TestEditing : public QObject
{
    Q_OBJECT

    const QStringList m_table{u"zh ж"_s};
    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;
    QStringList m_errors;

    QAction *action(const QString &name) { return m_window->findChild<QAction *>(name); }
    void setUp(const QString &text, qsizetype start, qsizetype length)
    {
        m_box->setText(text);
        m_box->setSelStart(start);
        m_box->setSelLength(length);
    }

private slots:
    void initTestCase()
    {
        m_window = std::make_unique<frmMain>(m_table);
        m_box = m_window->textBox();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        ErrorReport::setSink([this](const RuntimeError &, const QString &text) { m_errors << text; });
        GeneralDate::setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(20, 11, 5)); });
        // Both auto-conversion modes on: no command here may convert the text
        // ("zh" and "ж" would change).
        m_window->findChild<QAction *>(u"trans"_s)->setChecked(true);
        m_window->findChild<QAction *>(u"transe"_s)->setChecked(true);
    }

    void init()
    {
        m_errors.clear();
        m_box->setFocus();
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("onClipboard"); // null: the clipboard holds no text
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<qsizetype>("startAfter");
        QTest::addColumn<qsizetype>("lengthAfter");
        QTest::addColumn<QString>("clipboardAfter");

        const QString t = u"zh\r\nж d"_s; // z h CR LF ж space d
        const QString clip = u"ж zh"_s;
#ifdef Q_OS_WIN
        const QString copiedBreak = u"h\r\nж"_s;
#else
        const QString copiedBreak = u"h\nж"_s; // other programs expect LF here
#endif
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("copy, nothing selected") << u"copy"_s << t << 1LL << 0LL << clip << t << 1LL << 0LL << u""_s;
        row("copy across a break") << u"copy"_s << t << 1LL << 4LL << clip << t << 1LL << 4LL << copiedBreak;
        row("cut, nothing selected") << u"cut"_s << t << 2LL << 0LL << clip << t << 2LL << 0LL << u""_s;
        row("cut across a break") << u"cut"_s << t << 1LL << 4LL << clip << u"z d"_s << 1LL << 0LL << copiedBreak;
        row("paste, no text") << u"paste"_s << t << 1LL << 4LL << QString() << u"z d"_s << 1LL << 0LL << u""_s;
        row("paste over a selection") << u"paste"_s << t << 5LL << 1LL << clip << u"zh\r\nжж zhd"_s << 9LL << 0LL << clip;
        row("paste LF and CR breaks") << u"paste"_s << t << 7LL << 0LL << u"1\n2\r3"_s << u"zh\r\nж d1\r\n2\r\n3"_s << 14LL << 0LL << u"1\n2\r3"_s;
        row("delete at the very end") << u"del"_s << t << 7LL << 0LL << clip << t << 7LL << 0LL << clip;
        row("delete before a break") << u"del"_s << t << 2LL << 0LL << clip << u"zhж d"_s << 2LL << 0LL << clip;
        row("delete before a character") << u"del"_s << t << 4LL << 0LL << clip << u"zh\r\n d"_s << 4LL << 0LL << clip;
        row("delete a selection from a CR") << u"del"_s << t << 2LL << 3LL << clip << u"zh d"_s << 2LL << 0LL << clip;
        row("select all, empty") << u"all"_s << u""_s << 0LL << 0LL << clip << u""_s << 0LL << 0LL << clip;
        row("select all") << u"all"_s << t << 3LL << 0LL << clip << t << 0LL << 7LL << clip;
        row("date over a selection") << u"date"_s << t << 4LL << 1LL << clip << u"zh\r\n06.12.2026 20:11:05 d"_s << 23LL << 0LL << clip;
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QString, onClipboard);
        if (onClipboard.isNull())
            clipboard()->clear();
        else
            clipboard()->setText(onClipboard);
        setUp(text, start, length);
        const QString caption = m_window->windowTitle();
        action(command)->trigger();

        QTEST(m_box->text(), "textAfter");
        QTEST(m_box->selStart(), "startAfter");
        QTEST(m_box->selLength(), "lengthAfter");
        QTEST(clipboard()->text(), "clipboardAfter");
        QCOMPARE(m_window->windowTitle(), caption);
        QVERIFY(m_errors.isEmpty());
    }

    // Delete swallows its own failures: with no focused control it does nothing.
    void deleteWithoutFocusDoesNothing()
    {
        setUp(u"abc"_s, 1, 0);
        m_box->clearFocus();
        QVERIFY(!QApplication::focusWidget());
        action(u"del"_s)->trigger();
        QCOMPARE(m_box->text(), u"abc"_s);
        QVERIFY(m_errors.isEmpty());
    }

    void clipboardTakenByAnotherProgram()
    {
        for (const QString &command : {u"copy"_s, u"cut"_s}) {
            init();
            setUp(u"ab\r\ncd"_s, 1, 4);
            // Another program takes the clipboard the moment it is written.
            bool taken = false;
            auto grab = connect(clipboard(), &QClipboard::dataChanged, this, [&taken] {
                if (!std::exchange(taken, true))
                    clipboard()->setText(u"чужое"_s);
            });
            action(command)->trigger();
            disconnect(grab);
            QCOMPARE(m_errors.size(), 1);
            QVERIFY(m_errors.front().contains(u"буфер обмена"_s));
            QCOMPARE(m_box->text(), u"ab\r\ncd"_s);
        }
    }

    void dateText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ru") << u"ru_RU"_s << QTime(9, 5, 7) << u"06.12.2026 09:05:07"_s;
        QTest::newRow("ru midnight and 900 ms") << u"ru_RU"_s << QTime(0, 0, 0, 900) << u"06.12.2026"_s;
        QTest::newRow("ru a second past") << u"ru_RU"_s << QTime(0, 0, 1) << u"06.12.2026 00:00:01"_s;
        QTest::newRow("en_US") << u"en_US"_s << QTime(20, 11, 5) << u"12/6/26 8:11:05 PM"_s;
        // Qt's long time format names the zone; the zone goes, quoted text stays.
        QTest::newRow("zone first") << u"zh_CN"_s << QTime(20, 11, 5) << u"2026/12/6 20:11:05"_s;
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
