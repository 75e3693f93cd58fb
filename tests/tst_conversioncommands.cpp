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

// The pointer shapes the watched window takes, in order.
struct PointerLog : QObject
{
    QList<Qt::CursorShape> shapes;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::CursorChange)
            shapes.append(static_cast<QWidget *>(watched)->cursor().shape());
        return false;
    }
};

} // namespace

class tst_ConversionCommands : public QObject
{
    Q_OBJECT

    // zh before z, as a real table must have it.
    const QStringList m_table{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};

    static QAction *action(const frmMain &window, const QString &name)
    {
        return window.findChild<QAction *>(name);
    }
    static void setUp(TextBox *box, const QString &text, qsizetype start, qsizetype length = 0)
    {
        box->setText(text);
        box->setSelStart(start);
        box->setSelLength(length);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION)); }
    void cleanup() { ErrorReport::setSink({}); }

    // The count is taken before the key's own edit, after any conversion.
    void workedExampleKeyByKeyThenClick()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        box->resize(300, 200);
        action(window, u"transe"_s)->trigger();
        QCOMPARE(window.windowTitle(), StartCaption);
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(box, "zhuk"[i]);
            QCOMPARE(window.windowTitle(), KeyCaption.arg(i));
        }
        QCOMPARE(box->text(), u"zhuk"_s);
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(3));
        QCOMPARE(box->text(), u"жук "_s);
        // Pasted spaces convert nothing and leave the count as it was.
        QGuiApplication::clipboard()->setText(u"uk "_s);
        box->paste();
        QCOMPARE(box->text(), u"жук uk "_s);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(3));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(150, 150));
        QCOMPARE(window.windowTitle(), ClickCaption.arg(9));
        box->setSelStart(9);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(window.windowTitle(), KeyCaption.arg(9));
        QCOMPARE(box->text(), u"жук uk "_s);
        // Neither a key without a character nor a right click counts.
        QTest::keyClick(box, Qt::Key_Left);
        QTest::mouseClick(box->viewport(), Qt::RightButton, {}, QPoint(150, 150));
        QCOMPARE(window.windowTitle(), KeyCaption.arg(9));
    }

    void modeStateMachine_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("trans");
        QTest::addColumn<bool>("transe");
        QTest::addColumn<QString>("text");
        // Choosing a mode converts nothing; a manual conversion ends it.
        const QString text = u"zhuk\r\nжук"_s;
        QTest::newRow("trans trans") << u"trans trans"_s << true << false << text;
        QTest::newRow("transe transe") << u"transe transe"_s << false << true << text;
        QTest::newRow("trans transe") << u"trans transe"_s << false << true << text;
        QTest::newRow("transe trans") << u"transe trans"_s << true << false << text;
        QTest::newRow("trans rus") << u"trans rus"_s << false << false << u"жук\r\nжук"_s;
        QTest::newRow("transe rus") << u"transe rus"_s << false << false << u"жук\r\nжук"_s;
        QTest::newRow("trans eng") << u"trans eng"_s << false << false << u"zhuk\r\nzhuk"_s;
        QTest::newRow("transe eng") << u"transe eng"_s << false << false << u"zhuk\r\nzhuk"_s;
    }

    // A manual conversion shows the hourglass for its run only, puts the
    // caret at the start and leaves the caption alone.
    void modeStateMachine()
    {
        QFETCH(QString, chosen);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        setUp(box, u"zhuk\r\nжук"_s, 2);
        PointerLog pointer;
        window.installEventFilter(&pointer);
        for (const QString &name : chosen.split(u' '))
            action(window, name)->trigger();
        QTEST(action(window, u"trans"_s)->isChecked(), "trans");
        QTEST(action(window, u"transe"_s)->isChecked(), "transe");
        QTEST(box->text(), "text");
        const bool manual = chosen.endsWith(u"rus"_s) || chosen.endsWith(u"eng"_s);
        const QList<Qt::CursorShape> hourglass{Qt::WaitCursor, Qt::ArrowCursor};
        QCOMPARE(pointer.shapes, manual ? hourglass : QList<Qt::CursorShape>());
        QCOMPARE(box->selStart(), manual ? 0 : 2);
        QCOMPARE(window.windowTitle(), StartCaption);
    }

    void typedSpace_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no mode, mid-text") << u""_s << u"zhuk zhuk"_s << 2LL << 0LL << u"zh uk zhuk"_s;
        QTest::newRow("no mode, over a selection") << u""_s << u"zhuk"_s << 1LL << 2LL << u"z k"_s;
        QTest::newRow("mid-text") << u"transe"_s << u"zhuk zhuk"_s << 2LL << 0LL << u"жук жук "_s;
        QTest::newRow("over a selection") << u"transe"_s << u"zhuk zhuk"_s << 0LL << 4LL << u"жук жук "_s;
        QTest::newRow("to Latin") << u"trans"_s << u"жук"_s << 0LL << 0LL << u"zhuk "_s;
        QTest::newRow("several lines") << u"transe"_s << u"zhuk\r\n\r\nuk"_s << 0LL << 0LL << u"жук\r\n\r\nук "_s;
        QTest::newRow("only the middle changes") << u"transe"_s << u"жук\r\nzhuk\r\nжук"_s << 0LL << 0LL << u"жук\r\nжук\r\nжук "_s;
    }

    void typedSpace()
    {
        QFETCH(QString, mode);
        QFETCH(QString, text);
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QString, expected);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        if (!mode.isEmpty())
            action(window, mode)->trigger();
        setUp(box, text, start, length);
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(box->text(), expected);
        // In a mode the count is the converted text's, the space not yet in it.
        const qsizetype count = mode.isEmpty() ? text.size() : expected.size() - 1;
        QCOMPARE(window.windowTitle(), KeyCaption.arg(count));
        QCOMPARE(box->selStart(), mode.isEmpty() ? start + 1 : expected.size());
        QCOMPARE(box->selLength(), 0);
    }

    // One undo takes back a manual conversion, or a typed space together
    // with the conversion it set off; typing after either is a step of its own.
    void undoConversions()
    {
        frmMain window(m_table);
        TextBox *box = window.textBox();
        QTest::keyClicks(box, u"zhuk uk"_s);
        action(window, u"rus"_s)->trigger();
        action(window, u"transe"_s)->trigger();
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, u"z k"_s);
        QCOMPARE(box->text(), u"жук укз k"_s);
        for (const QString &text : {u"жук укз "_s, u"жук укz"_s, u"жук ук"_s, u"zhuk uk"_s, QString()}) {
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(box->text(), text);
        }
        while (box->document()->isRedoAvailable())
            box->redo();
        QCOMPARE(box->text(), u"жук укз k"_s);
    }

    void tooLongTextIsKept_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        // 32767 characters as the text area counts them, a line break as two.
        const QString latin = QString(32761, u'a') + u"\r\nzhuk"_s;
        QTest::newRow("F3") << u"rus"_s << latin;
        QTest::newRow("F4") << u"eng"_s << QString(32762, u'a') + u"\r\nжук"_s;
        QTest::newRow("space") << u"transe"_s << latin;
    }

    void tooLongTextIsKept()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        frmMain window(m_table);
        TextBox *box = window.textBox();
        const bool typed = command == u"transe"_s;
        action(window, typed ? command : u"trans"_s)->trigger();
        setUp(box, text, 3, 2);
        QString report;
        ErrorReport::setSink([&](const RuntimeError &error, const QString &message) {
            const bool plain = message.contains(u"слишком длинный"_s) && message.contains(u"32 766"_s);
            report += u"error %1, said plainly %2, pointer %3;"_s.arg(error.number()).arg(plain).arg(
                    window.cursor().shape());
        });
        if (typed)
            QTest::keyClick(box, Qt::Key_Space);
        else
            action(window, command)->trigger();
        // Reported once, in plain words, with the default pointer back.
        QCOMPARE(report, u"error 6, said plainly 1, pointer 0;"_s);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.windowTitle(), StartCaption);
        QVERIFY(!action(window, u"trans"_s)->isChecked());
        QCOMPARE(action(window, u"transe"_s)->isChecked(), typed);
        // A typed space still lands at the caret, replacing nothing.
        QCOMPARE(box->text(), typed ? text.left(5) + u' ' + text.mid(5) : text);
    }
};

QTEST_MAIN(tst_ConversionCommands)
#include "tst_conversioncommands.moc"
