#include "errorreport.h"
#include "frmmain.h"
#include "runtimeerror.h"
#include "textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString KeyCaption = u"Vertlin v2.0   ---   (Напечатано символов: %1)"_s;
const QString ClickCaption = u"Vertlin v2.0   ---    (Напечатано символов: %1)"_s;
const QString StartCaption = u"Vertlin v2.0"_s;

// Records the pointers the window shows, in order, each change once.
class PointerLog : public QObject
{
public:
    explicit PointerLog(QWidget *window) : m_window(window) { window->installEventFilter(this); }
    QList<Qt::CursorShape> shapes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::CursorChange) {
            const Qt::CursorShape shape = m_window->cursor().shape();
            if (shapes.isEmpty() || shapes.constLast() != shape)
                shapes.append(shape);
        }
        return false;
    }

private:
    QWidget *m_window;
};

struct Report
{
    int count = 0;
    RuntimeError::Number number{};
    QString text;
    Qt::CursorShape pointerWhenShown = Qt::BlankCursor;
};

} // namespace

class tst_ConversionCommands : public QObject
{
    Q_OBJECT

private:
    // zh before z, as a real table must have it.
    const QStringList m_table{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};

    static QAction *action(const frmMain &window, const QString &name)
    {
        return window.findChild<QAction *>(name);
    }
    static bool checked(const frmMain &window, const QString &name)
    {
        return action(window, name)->isChecked();
    }
    static void typeSpace(TextBox *box) { QTest::keyClick(box, Qt::Key_Space); }
    static void setText(TextBox *box, const QString &text, qsizetype start = 0,
                        qsizetype length = 0)
    {
        box->setText(text);
        box->setSelStart(start);
        box->setSelLength(length);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION)); }
    void cleanup() { ErrorReport::setSink({}); }

    void workedExampleKeyByKey()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        action(window, u"transe"_s)->trigger();

        const QString keys = u"zhuk"_s;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QTest::keyClick(box, keys.at(i).toLatin1());
            QCOMPARE(window.windowTitle(), KeyCaption.arg(i));
        }
        QCOMPARE(box->text(), u"zhuk"_s);

        // The count is taken after the conversion and before the space lands.
        box->setSelStart(1);
        typeSpace(box);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(3));
        QCOMPARE(box->text(), u"жук "_s);
        QCOMPARE(box->selStart(), 4);
    }

    void captionForms()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        box->resize(300, 200);
        box->setText(u"ab\r\nc"_s);
        QCOMPARE(window.windowTitle(), StartCaption);

        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(150, 150));
        QCOMPARE(window.windowTitle(), ClickCaption.arg(5));

        box->setSelStart(5);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(5));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(7));
        QTest::keyClick(box, 'x');
        QCOMPARE(window.windowTitle(), KeyCaption.arg(5));

    }

    void modeStateMachine_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<bool>("trans");
        QTest::addColumn<bool>("transe");
        QTest::addColumn<QString>("text");
        // From "zhuk жук"; choosing a mode converts nothing.
        const auto row = [](const char *name, const QString &chosen, bool trans, bool transe,
                            const QString &text) {
            QTest::newRow(name) << chosen.split(u' ') << trans << transe << text;
        };
        row("trans twice", u"trans trans"_s, true, false, u"zhuk жук"_s);
        row("transe twice", u"transe transe"_s, false, true, u"zhuk жук"_s);
        row("trans then transe", u"trans transe"_s, false, true, u"zhuk жук"_s);
        row("transe then trans", u"transe trans"_s, true, false, u"zhuk жук"_s);
        row("rus ends trans", u"trans rus"_s, false, false, u"жук жук"_s);
        row("eng ends transe", u"transe eng"_s, false, false, u"zhuk zhuk"_s);
    }

    void modeStateMachine()
    {
        QFETCH(QStringList, chosen);
        frmMain window(m_table);
        window.textBox()->setText(u"zhuk жук"_s);
        for (const QString &name : chosen)
            action(window, name)->trigger();
        QTEST(checked(window, u"trans"_s), "trans");
        QTEST(checked(window, u"transe"_s), "transe");
        QTEST(window.textBox()->text(), "text");
    }

    void functionKeysConvertAndEndTheMode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F3") << int(Qt::Key_F3) << u"trans"_s << u"zhuk\r\nzuk"_s
                            << u"жук\r\nзук"_s;
        QTest::newRow("F4") << int(Qt::Key_F4) << u"transe"_s << u"жук\r\nзук"_s
                            << u"zhuk\r\nzuk"_s;
    }

    void functionKeysConvertAndEndTheMode()
    {
        QFETCH(int, key);
        QFETCH(QString, mode);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        action(window, mode)->trigger();
        QFETCH(QString, text);
        box->setText(text);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        const QString caption = window.windowTitle();
        PointerLog pointer(&window);

        QTest::keyClick(box, Qt::Key(key));
        QTEST(box->text(), "expected");
        QCOMPARE(box->selStart(), 0);
        QCOMPARE(box->selLength(), 0);
        QVERIFY(!checked(window, u"trans"_s));
        QVERIFY(!checked(window, u"transe"_s));
        // The hourglass during the conversion only; the caption keeps its
        // old count.
        QCOMPARE(pointer.shapes, (QList<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.windowTitle(), caption);
    }

    void typedSpace_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("selStart");
        QTest::addColumn<qsizetype>("selLength");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qsizetype>("count");

        QTest::newRow("no mode, mid-text") << QString() << u"zhuk zhuk"_s << qsizetype(2)
                                           << qsizetype(0) << u"zh uk zhuk"_s << qsizetype(9);
        QTest::newRow("no mode, over a selection")
                << QString() << u"zhuk"_s << qsizetype(1) << qsizetype(2) << u"z k"_s
                << qsizetype(4);
        QTest::newRow("to Cyrillic, mid-text") << u"transe"_s << u"zhuk zhuk"_s << qsizetype(2)
                                               << qsizetype(0) << u"жук жук "_s << qsizetype(7);
        QTest::newRow("to Cyrillic, over a selection")
                << u"transe"_s << u"zhuk zhuk"_s << qsizetype(0) << qsizetype(4)
                << u"жук жук "_s << qsizetype(7);
        QTest::newRow("to Latin, caret at the start")
                << u"trans"_s << u"жук"_s << qsizetype(0) << qsizetype(0) << u"zhuk "_s
                << qsizetype(4);
        QTest::newRow("to Cyrillic, several lines")
                << u"transe"_s << u"zhuk\r\n\r\nuk"_s << qsizetype(0) << qsizetype(0)
                << u"жук\r\n\r\nук "_s << qsizetype(9);
        QTest::newRow("to Cyrillic, only the middle changes")
                << u"transe"_s << u"жук\r\nzhuk\r\nжук"_s << qsizetype(0) << qsizetype(0)
                << u"жук\r\nжук\r\nжук "_s << qsizetype(13);
        QTest::newRow("to Cyrillic, nothing to convert")
                << u"transe"_s << u"abc"_s << qsizetype(1) << qsizetype(0) << u"abc "_s
                << qsizetype(3);
    }

    void typedSpace()
    {
        QFETCH(QString, mode);
        QFETCH(QString, text);
        QFETCH(qsizetype, selStart);
        QFETCH(qsizetype, selLength);
        QFETCH(QString, expected);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        if (!mode.isEmpty())
            action(window, mode)->trigger();
        setText(box, text, selStart, selLength);

        typeSpace(box);
        QCOMPARE(box->text(), expected);
        QFETCH(qsizetype, count);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(count));
        const qsizetype caret = mode.isEmpty() ? selStart + 1 : expected.size();
        QCOMPARE(box->selStart(), caret);
        QCOMPARE(box->selLength(), 0);
    }

    void insertedSpacesDoNotConvert_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"setSelText", "insertPlainText", "editor paste", "paste", "date"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    void insertedSpacesDoNotConvert()
    {
        QFETCH(QString, how);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        action(window, u"transe"_s)->trigger();
        setText(box, u"zhuk"_s, 4);
        const QString inserted = u" uk uk "_s;
        QGuiApplication::clipboard()->setText(inserted);
        if (how == u"setSelText"_s)
            box->setSelText(inserted);
        else if (how == u"insertPlainText"_s)
            box->insertPlainText(inserted);
        else if (how == u"editor paste"_s)
            box->paste();
        else
            action(window, how)->trigger();
        const QString text = box->text();
        QVERIFY2(text.startsWith(u"zhuk"_s) && text.size() > 5, qPrintable(text));
        QVERIFY2(text.contains(u' '), qPrintable(text));
        QVERIFY2(!text.contains(u"ук"_s), qPrintable(text));
        QCOMPARE(window.windowTitle(), StartCaption);
    }

    void undoAfterManualConversion_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("converted");
        QTest::newRow("rus") << u"rus"_s << u"zhuk uk"_s << u"жук ук"_s;
        QTest::newRow("eng") << u"eng"_s << u"zhuk uk"_s << u"zhuk uk"_s;
    }

    void undoAfterManualConversion()
    {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, converted);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        QTest::keyClicks(box, typed);
        if (command == u"eng"_s)
            action(window, u"rus"_s)->trigger();
        action(window, command)->trigger();
        QCOMPARE(box->text(), converted);

        // Typing after it is a step of its own, even right after the
        // converted span.
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, 'z');
        box->undo();
        QCOMPARE(box->text(), converted);
        box->undo();
        QCOMPARE(box->text(), command == u"eng"_s ? u"жук ук"_s : typed);
    }

    void undoAfterAutoConversion()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        action(window, u"transe"_s)->trigger();
        QTest::keyClicks(box, u"zhuk"_s);
        typeSpace(box);
        QTest::keyClicks(box, u"uk"_s);
        typeSpace(box);
        QCOMPARE(box->text(), u"жук ук "_s);

        const auto undo = [box] { QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); };
        const QStringList history{u"жук uk"_s, u"жук "_s, u"zhuk"_s, QString()};
        for (const QString &text : history) {
            undo();
            QCOMPARE(box->text(), text);
        }
        box->redo();
        box->redo();
        QCOMPARE(box->text(), u"жук "_s);
    }

    void tooLongText_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("text");

        const QString longest = QString(32766 - 4, u'a') + u"zhuk"_s;
        QTest::newRow("32767 characters, F3")
                << u"rus"_s << m_table << (u'a' + longest);
        QTest::newRow("32767 characters, F4")
                << u"eng"_s << m_table << (u'a' + QString(32766 - 3, u'a') + u"жук"_s);
        QTest::newRow("32767 characters, space")
                << u"transe"_s << m_table << (u'a' + longest);
        QTest::newRow("grows past the limit, F3")
                << u"rus"_s << QStringList{u"x кс"_s}
                << (QString(32700, u'a') + QString(60, u'x'));
        QTest::newRow("grows past the limit, space")
                << u"trans"_s << QStringList{u"ks х"_s}
                << (QString(32700, u'a') + QString(60, u'х'));
    }

    void tooLongText()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, table);
        QFETCH(QString, text);
        frmMain window(table);
        TextBox *box = window.textBox();
        const bool typed = command.startsWith(u"trans"_s);
        if (typed)
            action(window, command)->trigger();
        else
            action(window, u"trans"_s)->trigger();
        setText(box, text, 3, 2);
        const QString caption = window.windowTitle();

        Report report;
        ErrorReport::setSink([&](const RuntimeError &error, const QString &message) {
            ++report.count;
            report.number = error.number();
            report.text = message;
            report.pointerWhenShown = window.cursor().shape();
        });

        if (typed)
            typeSpace(box);
        else
            action(window, command)->trigger();

        QCOMPARE(report.count, 1);
        QCOMPARE(report.number, RuntimeError::Overflow);
        QVERIFY2(report.text.contains(u"слишком длинный"_s), qPrintable(report.text));
        QVERIFY2(report.text.contains(u"32 766"_s), qPrintable(report.text));
        QCOMPARE(report.pointerWhenShown, Qt::ArrowCursor);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.windowTitle(), caption);
        if (typed) {
            // The mode stays; the space lands at the caret, which has not
            // moved, and the selection it stood in is kept.
            QVERIFY(checked(window, command));
            QCOMPARE(box->text(), text.left(5) + u' ' + text.mid(5));
            QCOMPARE(box->selStart(), 6);
        } else {
            QVERIFY(!checked(window, u"trans"_s));
            QCOMPARE(box->text(), text);
        }
    }

    void longestTextConverts()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        const QString text = QString(32766 - 4, u'a') + u"zhuk"_s;
        int reports = 0;
        ErrorReport::setSink([&](const RuntimeError &, const QString &) { ++reports; });
        box->setText(text);
        action(window, u"rus"_s)->trigger();
        QCOMPARE(reports, 0);
        QCOMPARE(box->text(), text.chopped(4) + u"жук"_s);
    }
};

QTEST_MAIN(tst_ConversionCommands)
#include "tst_conversioncommands.moc"
