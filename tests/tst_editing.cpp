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

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copyAndCut_data();
    void copyAndCut();
    void paste_data();
    void paste();
    void del_data();
    void del();
    void delWithoutFocusDoesNothing();
    void selectAll_data();
    void selectAll();
    void date_data();
    void date();
    void dateInOtherLocales_data();
    void dateInOtherLocales();
    void shortcutsReachCommands_data();
    void shortcutsReachCommands();
    void clipboardTakenByAnotherProgram_data();
    void clipboardTakenByAnotherProgram();
    void noCaptionNoAutoConversion_data();
    void noCaptionNoAutoConversion();

private:
    void setUp(const QString &text, qsizetype start, qsizetype length);
    void run(const QString &command) { m_window->findChild<QAction *>(command)->trigger(); }
    void checkText(const QString &text, qsizetype caret);

    QStringList m_table{u"zh ж"_s, u"a а"_s};
    std::unique_ptr<frmMain> m_window;
    TextBox *m_box = nullptr;
    QStringList m_errors;
};

static QClipboard *clipboard() { return QGuiApplication::clipboard(); }

void TestEditing::initTestCase()
{
    m_window = std::make_unique<frmMain>(m_table);
    m_box = m_window->textBox();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    ErrorReport::setSink([this](const RuntimeError &, const QString &text) { m_errors << text; });
}

void TestEditing::init()
{
    m_errors.clear();
    m_box->setFocus();
    clipboard()->setText(u"прежнее"_s);
    GeneralDate::setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(20, 11, 5)); });
}

void TestEditing::cleanup()
{
    GeneralDate::setClock({});
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
}

void TestEditing::setUp(const QString &text, qsizetype start, qsizetype length)
{
    m_box->setText(text);
    m_box->setSelStart(start);
    m_box->setSelLength(length);
}

void TestEditing::checkText(const QString &text, qsizetype caret)
{
    QCOMPARE(m_box->text(), text);
    QCOMPARE(m_box->selStart(), caret);
    QCOMPARE(m_box->selLength(), 0);
}

void TestEditing::copyAndCut_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<QString>("textAfter");

    const QString text = u"ab\r\ncd"_s;
    QTest::newRow("copy nothing selected") << u"copy"_s << text << 1LL << 0LL << u""_s << text;
    QTest::newRow("copy across a break") << u"copy"_s << text << 1LL << 4LL << u"b\r\nc"_s << text;
    QTest::newRow("cut nothing selected") << u"cut"_s << text << 2LL << 0LL << u""_s << text;
    QTest::newRow("cut across a break") << u"cut"_s << text << 1LL << 4LL << u"b\r\nc"_s << u"ad"_s;
    QTest::newRow("cut a break alone") << u"cut"_s << text << 2LL << 2LL << u"\r\n"_s << u"abcd"_s;
}

void TestEditing::copyAndCut()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, clipboardAfter);
    QFETCH(QString, textAfter);

    setUp(text, start, length);
    run(command);
    QCOMPARE(clipboard()->text(), clipboardAfter);
    QCOMPARE(m_box->text(), textAfter);
    QCOMPARE(m_box->selStart(), start);
    QCOMPARE(m_box->selLength(), command == u"copy" ? length : 0);
}

void TestEditing::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("onClipboard"); // null: no text at all
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<qsizetype>("caretAfter");

    QTest::newRow("no text removes the selection") << u"ab\r\ncd"_s << 1LL << 4LL << QString() << u"ad"_s << 1LL;
    QTest::newRow("no text, no selection") << u"abc"_s << 1LL << 0LL << QString() << u"abc"_s << 1LL;
    QTest::newRow("replaces the selection") << u"abc"_s << 1LL << 1LL << u"ж ж"_s << u"aж жc"_s << 4LL;
    QTest::newRow("at the end") << u"ab\r\n"_s << 4LL << 0LL << u"x"_s << u"ab\r\nx"_s << 5LL;
    QTest::newRow("LF breaks become CR LF") << u"ab"_s << 1LL << 0LL << u"1\n2\n"_s << u"a1\r\n2\r\nb"_s << 7LL;
    QTest::newRow("lone CR becomes CR LF") << u"ab"_s << 2LL << 0LL << u"1\r2"_s << u"ab1\r\n2"_s << 6LL;
}

void TestEditing::paste()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, onClipboard);

    if (onClipboard.isNull()) {
        auto *html = new QMimeData;
        html->setHtml(u"<b>не текст</b>"_s);
        clipboard()->setMimeData(html);
    } else {
        clipboard()->setText(onClipboard);
    }
    setUp(text, start, length);
    run(u"paste"_s);
    QFETCH(QString, textAfter);
    QFETCH(qsizetype, caretAfter);
    checkText(textAfter, caretAfter);
}

void TestEditing::del_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("textAfter");

    QTest::newRow("at the very end") << u"ab\r\ncd"_s << 6LL << 0LL << u"ab\r\ncd"_s;
    QTest::newRow("at the end after a break") << u"ab\r\n"_s << 4LL << 0LL << u"ab\r\n"_s;
    QTest::newRow("empty text") << u""_s << 0LL << 0LL << u""_s;
    QTest::newRow("before a break") << u"ab\r\ncd"_s << 2LL << 0LL << u"abcd"_s;
    QTest::newRow("break at the start") << u"\r\n\r\nx"_s << 0LL << 0LL << u"\r\nx"_s;
    QTest::newRow("before a character") << u"ab\r\ncd"_s << 1LL << 0LL << u"a\r\ncd"_s;
    QTest::newRow("after a break") << u"ab\r\ncd"_s << 4LL << 0LL << u"ab\r\nd"_s;
    QTest::newRow("selection starting with CR") << u"ab\r\ncd"_s << 2LL << 3LL << u"abd"_s;
    QTest::newRow("selection of one character") << u"abc"_s << 1LL << 1LL << u"ac"_s;
    QTest::newRow("whole text selected") << u"ab\r\ncd"_s << 0LL << 6LL << u""_s;
}

void TestEditing::del()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, textAfter);

    // From the menu and from the Delete key in the text area alike.
    setUp(text, start, length);
    run(u"del"_s);
    checkText(textAfter, start);

    setUp(text, start, length);
    QTest::keyClick(m_box, Qt::Key_Delete);
    checkText(textAfter, start);
}

void TestEditing::delWithoutFocusDoesNothing()
{
    setUp(u"abc"_s, 1, 0);
    m_box->clearFocus();
    QVERIFY(!QApplication::focusWidget());
    run(u"del"_s);
    checkText(u"abc"_s, 1);
}

void TestEditing::selectAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << u""_s;
    QTest::newRow("lines") << u"ab\r\n\r\ncd\r\n"_s;
}

void TestEditing::selectAll()
{
    QFETCH(QString, text);
    setUp(text, text.size() / 2, 0);
    run(u"all"_s);
    QCOMPARE(m_box->selStart(), 0);
    QCOMPARE(m_box->selLength(), text.size());
    QCOMPARE(m_box->selText(), text);
}

// The user's regional settings are pinned to Russian in main() below.
void TestEditing::date_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");

    const QDate day(2026, 3, 6);
    QTest::newRow("evening") << QDateTime(day, QTime(20, 11, 5)) << u"06.03.2026 20:11:05"_s;
    QTest::newRow("morning") << QDateTime(day, QTime(9, 5, 7)) << u"06.03.2026 09:05:07"_s;
    QTest::newRow("midnight") << QDateTime(day, QTime(0, 0, 0)) << u"06.03.2026"_s;
    QTest::newRow("midnight and a bit") << QDateTime(day, QTime(0, 0, 0, 900)) << u"06.03.2026"_s;
    QTest::newRow("one second past") << QDateTime(day, QTime(0, 0, 1)) << u"06.03.2026 00:00:01"_s;
    QTest::newRow("noon") << QDateTime(day, QTime(12, 0, 0)) << u"06.03.2026 12:00:00"_s;
}

void TestEditing::date()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);

    GeneralDate::setClock([now] { return now; });
    setUp(u"a\r\nXYb"_s, 3, 2);
    run(u"date"_s);
    checkText(u"a\r\n"_s + expected + u'b', 3 + expected.size());
}

void TestEditing::dateInOtherLocales_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("en_US") << u"en_US"_s << QTime(20, 11, 5) << u"12/6/26 8:11:05 PM"_s;
    QTest::newRow("en_US midnight") << u"en_US"_s << QTime(0, 0) << u"12/6/26"_s;
    QTest::newRow("zone first") << u"zh_CN"_s << QTime(20, 11, 5) << u"2026/12/6 20:11:05"_s;
    QTest::newRow("zone in brackets") << u"fa_IR"_s << QTime(20, 11, 5) << u"۲۰۲۶/۱۲/۶ ۲۰:۱۱:۰۵"_s;
    QTest::newRow("quoted literals") << u"fr_CA"_s << QTime(8, 1, 5) << u"2026-12-06 08 h 01 min 05 s"_s;
    QTest::newRow("quoted, with t nearby") << u"bg_BG"_s << QTime(8, 1, 5) << u"6.12.26 г. 8:01:05 ч."_s;
}

void TestEditing::dateInOtherLocales()
{
    QFETCH(QString, locale);
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(GeneralDate::toString(QDateTime(QDate(2026, 12, 6), time), QLocale(locale)), expected);
}

void TestEditing::shortcutsReachCommands_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<qsizetype>("selStartAfter");
    QTest::addColumn<qsizetype>("selLengthAfter");

    // The editor's own copy would put a bare LF on the clipboard.
    QTest::newRow("Ctrl+C") << QKeySequence(u"Ctrl+C"_s) << u"b\r\nc"_s << u"ab\r\ncd"_s << 1LL << 4LL;
    QTest::newRow("Ctrl+X") << QKeySequence(u"Ctrl+X"_s) << u"b\r\nc"_s << u"ad"_s << 1LL << 0LL;
    QTest::newRow("Ctrl+V") << QKeySequence(u"Ctrl+V"_s) << u"прежнее"_s << u"aпрежнееd"_s << 8LL << 0LL;
    QTest::newRow("Ctrl+A") << QKeySequence(u"Ctrl+A"_s) << u"прежнее"_s << u"ab\r\ncd"_s << 0LL << 6LL;
    QTest::newRow("Ctrl+D") << QKeySequence(u"Ctrl+D"_s) << u"прежнее"_s
                            << u"a06.12.2026 20:11:05d"_s << 20LL << 0LL;
}

void TestEditing::shortcutsReachCommands()
{
    QFETCH(QKeySequence, key);
    setUp(u"ab\r\ncd"_s, 1, 4);
    QTest::keySequence(m_box, key);
    QTEST(clipboard()->text(), "clipboardAfter");
    QTEST(m_box->text(), "textAfter");
    QTEST(m_box->selStart(), "selStartAfter");
    QTEST(m_box->selLength(), "selLengthAfter");
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
    setUp(u"ab\r\ncd"_s, 1, 3);
    // Another program takes the clipboard the moment it is written.
    bool taken = false;
    auto grab = connect(clipboard(), &QClipboard::dataChanged, this, [&taken] {
        if (!std::exchange(taken, true))
            clipboard()->setText(u"чужое"_s);
    });
    run(command);
    disconnect(grab);

    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.front().contains(u"буфер обмена"_s));
    m_errors.clear();
    QCOMPARE(m_box->text(), u"ab\r\ncd"_s);
    QCOMPARE(m_box->selStart(), 1);
    QCOMPARE(m_box->selLength(), 3);
}

void TestEditing::noCaptionNoAutoConversion_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("textAfter");

    for (const QString &mode : {u"trans"_s, u"transe"_s}) {
        const QByteArray m = mode.toLatin1();
        QTest::newRow(QByteArray(m + " paste").constData()) << mode << QKeySequence(u"Ctrl+V"_s) << u"zh zh a  d"_s;
        QTest::newRow(QByteArray(m + " date").constData()) << mode << QKeySequence(u"Ctrl+D"_s) << u"zh 06.12.2026 20:11:05 d"_s;
        QTest::newRow(QByteArray(m + " cut").constData()) << mode << QKeySequence(u"Ctrl+X"_s) << u"zh  d"_s;
        QTest::newRow(QByteArray(m + " delete").constData()) << mode << QKeySequence(Qt::Key_Delete) << u"zh  d"_s;
    }
}

void TestEditing::noCaptionNoAutoConversion()
{
    QFETCH(QString, mode);
    QFETCH(QKeySequence, key);
    QFETCH(QString, textAfter);

    auto *action = m_window->findChild<QAction *>(mode);
    action->setChecked(true);
    clipboard()->setText(u"zh a "_s);
    setUp(u"zh abc d"_s, 3, 3);
    const QString caption = m_window->windowTitle();
    QTest::keySequence(m_box, key);
    action->setChecked(false);
    QCOMPARE(m_box->text(), textAfter);
    QCOMPARE(m_window->windowTitle(), caption);
}

int main(int argc, char **argv)
{
    // Pin the user's regional settings before Qt reads them.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    TestEditing test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editing.moc"
