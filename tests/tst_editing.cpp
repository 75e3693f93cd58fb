#include "errorreport.h"
#include "frmmain.h"
#include "generaldate.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void commands_data();
    void commands();
    void deleteWithoutFocusDoesNothing();
    void clipboardTakenByAnotherProgram_data();
    void clipboardTakenByAnotherProgram();
    void dateText_data();
    void dateText();

private:
    void setUp(const QString &text, qsizetype start, qsizetype length);
    QAction *action(const QString &name) { return m_window->findChild<QAction *>(name); }

    QStringList m_table{u"zh ж"_s};
    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;
    QStringList m_errors;
};

void TestEditing::initTestCase()
{
    m_window = std::make_unique<frmMain>(m_table);
    m_box = m_window->textBox();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    ErrorReport::setSink([this](const RuntimeError &, const QString &text) { m_errors << text; });
    GeneralDate::setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(20, 11, 5)); });
}

void TestEditing::init()
{
    m_errors.clear();
    m_box->setFocus();
}

void TestEditing::setUp(const QString &text, qsizetype start, qsizetype length)
{
    m_box->setText(text);
    m_box->setSelStart(start);
    m_box->setSelLength(length);
}

void TestEditing::commands_data()
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
    row("paste, no text, selection") << u"paste"_s << t << 1LL << 4LL << QString() << u"z d"_s << 1LL << 0LL << u""_s;
    row("paste, no text, no selection") << u"paste"_s << t << 1LL << 0LL << QString() << t << 1LL << 0LL << u""_s;
    row("paste over a selection") << u"paste"_s << t << 5LL << 1LL << clip << u"zh\r\nжж zhd"_s << 9LL << 0LL << clip;
    row("paste LF and CR breaks") << u"paste"_s << t << 7LL << 0LL << u"1\n2\r3"_s << u"zh\r\nж d1\r\n2\r\n3"_s << 14LL << 0LL << u"1\n2\r3"_s;
    row("delete at the very end") << u"del"_s << t << 7LL << 0LL << clip << t << 7LL << 0LL << clip;
    row("delete at the end after a break") << u"del"_s << u"a\r\n"_s << 3LL << 0LL << clip << u"a\r\n"_s << 3LL << 0LL << clip;
    row("delete in an empty text") << u"del"_s << u""_s << 0LL << 0LL << clip << u""_s << 0LL << 0LL << clip;
    row("delete before a break") << u"del"_s << t << 2LL << 0LL << clip << u"zhж d"_s << 2LL << 0LL << clip;
    row("delete a leading break") << u"del"_s << u"\r\n\r\nx"_s << 0LL << 0LL << clip << u"\r\nx"_s << 0LL << 0LL << clip;
    row("delete before a character") << u"del"_s << t << 4LL << 0LL << clip << u"zh\r\n d"_s << 4LL << 0LL << clip;
    row("delete a selection from a CR") << u"del"_s << t << 2LL << 3LL << clip << u"zh d"_s << 2LL << 0LL << clip;
    row("delete everything") << u"del"_s << t << 0LL << 7LL << clip << u""_s << 0LL << 0LL << clip;
    row("select all, empty") << u"all"_s << u""_s << 0LL << 0LL << clip << u""_s << 0LL << 0LL << clip;
    row("select all") << u"all"_s << t << 3LL << 0LL << clip << t << 0LL << 7LL << clip;
    row("date over a selection") << u"date"_s << t << 4LL << 1LL << clip
                                 << u"zh\r\n06.12.2026 20:11:05 d"_s << 23LL << 0LL << clip;
}

// Each command runs once from the menu and once from its key in the text
// area. Both auto-conversion modes stay on: none of these commands may
// convert the text ("zh" and "ж" would change) or rewrite the caption.
void TestEditing::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, onClipboard);

    action(u"trans"_s)->setChecked(true);
    action(u"transe"_s)->setChecked(true);
    const QString caption = m_window->windowTitle();
    for (bool fromKey : {false, true}) {
        if (onClipboard.isNull()) {
            auto *html = new QMimeData;
            html->setHtml(u"<b>не текст</b>"_s);
            clipboard()->setMimeData(html);
        } else {
            clipboard()->setText(onClipboard);
        }
        setUp(text, start, length);
        if (fromKey)
            QTest::keySequence(m_box, action(command)->shortcut());
        else
            action(command)->trigger();

        QTEST(m_box->text(), "textAfter");
        QTEST(m_box->selStart(), "startAfter");
        QTEST(m_box->selLength(), "lengthAfter");
        QTEST(clipboard()->text(), "clipboardAfter");
        QCOMPARE(m_window->windowTitle(), caption);
        QVERIFY(m_errors.isEmpty());
    }
    action(u"trans"_s)->setChecked(false);
    action(u"transe"_s)->setChecked(false);
}

void TestEditing::deleteWithoutFocusDoesNothing()
{
    setUp(u"abc"_s, 1, 0);
    m_box->clearFocus();
    QVERIFY(!QApplication::focusWidget());
    action(u"del"_s)->trigger();
    QCOMPARE(m_box->text(), u"abc"_s);
    QVERIFY(m_errors.isEmpty());
}

void TestEditing::clipboardTakenByAnotherProgram_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("copy") << u"copy"_s;
    QTest::newRow("cut") << u"cut"_s;
}

void TestEditing::clipboardTakenByAnotherProgram()
{
    QFETCH(QString, command);
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
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 4);
}

void TestEditing::dateText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ru") << u"ru_RU"_s << QTime(9, 5, 7) << u"06.12.2026 09:05:07"_s;
    QTest::newRow("ru midnight") << u"ru_RU"_s << QTime(0, 0) << u"06.12.2026"_s;
    QTest::newRow("ru midnight and 900 ms") << u"ru_RU"_s << QTime(0, 0, 0, 900) << u"06.12.2026"_s;
    QTest::newRow("ru a second past") << u"ru_RU"_s << QTime(0, 0, 1) << u"06.12.2026 00:00:01"_s;
    QTest::newRow("en_US") << u"en_US"_s << QTime(20, 11, 5) << u"12/6/26 8:11:05 PM"_s;
    QTest::newRow("en_US midnight") << u"en_US"_s << QTime(0, 0) << u"12/6/26"_s;
    QTest::newRow("zone first") << u"zh_CN"_s << QTime(20, 11, 5) << u"2026/12/6 20:11:05"_s;
    QTest::newRow("zone in brackets") << u"fa_IR"_s << QTime(20, 11, 5) << u"۲۰۲۶/۱۲/۶ ۲۰:۱۱:۰۵"_s;
    QTest::newRow("quoted literals") << u"fr_CA"_s << QTime(8, 1, 5) << u"2026-12-06 08 h 01 min 05 s"_s;
    QTest::newRow("quoted, zone after") << u"bg_BG"_s << QTime(8, 1, 5) << u"6.12.26 г. 8:01:05 ч."_s;
}

void TestEditing::dateText()
{
    QFETCH(QString, locale);
    QFETCH(QTime, time);
    QTEST(GeneralDate::toString(QDateTime(QDate(2026, 12, 6), time), QLocale(locale)), "expected");
}

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
