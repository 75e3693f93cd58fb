#include "textbox.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_TextBox : public QObject
{
    Q_OBJECT

private slots:
    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("text");

        QTest::newRow("empty") << u""_s << u""_s;
        QTest::newRow("CR LF kept") << u"ab\r\ncd"_s << u"ab\r\ncd"_s;
        QTest::newRow("lone LF") << u"ab\ncd\n"_s << u"ab\r\ncd\r\n"_s;
        QTest::newRow("lone CR") << u"ab\rcd"_s << u"ab\r\ncd"_s;
        QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << u"a\r\n\r\nb"_s;
        QTest::newRow("breaks only") << u"\r\n\r\n"_s << u"\r\n\r\n"_s;
        QTest::newRow("no-break space survives") << u"a\u00A0b"_s << u"a\u00A0b"_s;
        QTest::newRow("Cyrillic") << u"жук\r\nЖУК"_s << u"жук\r\nЖУК"_s;
    }

    void textRoundTrip()
    {
        QFETCH(QString, assigned);
        QFETCH(QString, text);
        TextBox box;
        box.setText(assigned);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.textLength(), text.size());
        QCOMPARE(box.selStart(), 0);
        QCOMPARE(box.selLength(), 0);
    }

    void positionMapping_data()
    {
        QTest::addColumn<qsizetype>("modelPosition");
        QTest::addColumn<qsizetype>("back");
        QTest::addColumn<qsizetype>("forward");

        // Model text "ab\r\n\r\ncd": a0 b1 CR2 LF3 CR4 LF5 c6 d7, end 8.
        // Document text "ab|\u2029|\u2029|cd": a0 b1 P2 P3 c4 d5, end 6.
        QTest::newRow("start") << qsizetype(0) << qsizetype(0) << qsizetype(0);
        QTest::newRow("before first CR") << qsizetype(2) << qsizetype(2) << qsizetype(2);
        QTest::newRow("inside first break") << qsizetype(3) << qsizetype(2) << qsizetype(3);
        QTest::newRow("between breaks") << qsizetype(4) << qsizetype(3) << qsizetype(3);
        QTest::newRow("inside second break") << qsizetype(5) << qsizetype(3) << qsizetype(4);
        QTest::newRow("after breaks") << qsizetype(6) << qsizetype(4) << qsizetype(4);
        QTest::newRow("end") << qsizetype(8) << qsizetype(6) << qsizetype(6);
        QTest::newRow("past the end") << qsizetype(20) << qsizetype(6) << qsizetype(6);
    }

    void positionMapping()
    {
        QFETCH(qsizetype, modelPosition);
        QFETCH(qsizetype, back);
        QFETCH(qsizetype, forward);
        const QString raw = u"ab\u2029\u2029cd"_s;
        QCOMPARE(TextBox::toDocumentPosition(raw, modelPosition, false), back);
        QCOMPARE(TextBox::toDocumentPosition(raw, modelPosition, true), forward);
        // Every document position maps back to a model position off the
        // middle of a break.
        const qsizetype model = TextBox::toModelPosition(raw, back);
        QCOMPARE(TextBox::toDocumentPosition(raw, model), back);
        QVERIFY(model != 3 && model != 5);
    }

    void selection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("selStart");
        QTest::addColumn<qsizetype>("selLength");
        QTest::addColumn<QString>("selText");

        const QString twoLines = u"ab\r\ncd"_s;
        QTest::newRow("inside a line") << twoLines << qsizetype(1) << qsizetype(1)
                                       << qsizetype(1) << qsizetype(1) << u"b"_s;
        QTest::newRow("across a break") << twoLines << qsizetype(1) << qsizetype(4)
                                        << qsizetype(1) << qsizetype(4) << u"b\r\nc"_s;
        QTest::newRow("one character at CR takes the whole break")
                << twoLines << qsizetype(2) << qsizetype(1) << qsizetype(2) << qsizetype(2)
                << u"\r\n"_s;
        QTest::newRow("start inside a break goes before it")
                << twoLines << qsizetype(3) << qsizetype(1) << qsizetype(2) << qsizetype(2)
                << u"\r\n"_s;
        QTest::newRow("clamped at the end") << twoLines << qsizetype(4) << qsizetype(50)
                                            << qsizetype(4) << qsizetype(2) << u"cd"_s;
        QTest::newRow("start past the end") << twoLines << qsizetype(50) << qsizetype(1)
                                            << qsizetype(6) << qsizetype(0) << u""_s;
        QTest::newRow("whole text") << twoLines << qsizetype(0) << qsizetype(6) << qsizetype(0)
                                    << qsizetype(6) << twoLines;
    }

    void selection()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        TextBox box;
        box.setText(text);
        box.setSelStart(start);
        box.setSelLength(length);
        QTEST(box.selStart(), "selStart");
        QTEST(box.selLength(), "selLength");
        QTEST(box.selText(), "selText");
    }

    void setSelTextReplacesAndLeavesCaretAfter_data()
    {
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("caret");

        QTest::newRow("insert at caret") << qsizetype(2) << qsizetype(0) << u"X"_s
                                         << u"abX\r\ncd"_s << qsizetype(3);
        QTest::newRow("replace across a break") << qsizetype(1) << qsizetype(4) << u"-"_s
                                                << u"a-d"_s << qsizetype(2);
        QTest::newRow("insert a break") << qsizetype(4) << qsizetype(0) << u"1\n2"_s
                                        << u"ab\r\n1\r\n2cd"_s << qsizetype(8);
        QTest::newRow("remove a break") << qsizetype(2) << qsizetype(2) << u""_s
                                        << u"abcd"_s << qsizetype(2);
    }

    void setSelTextReplacesAndLeavesCaretAfter()
    {
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QString, inserted);
        TextBox box;
        box.setText(u"ab\r\ncd"_s);
        box.setSelStart(start);
        box.setSelLength(length);
        box.setSelText(inserted);
        QTEST(box.text(), "text");
        QTEST(box.selStart(), "caret");
        QCOMPARE(box.selLength(), 0);
    }

    void setTextIsOneUndoStep()
    {
        TextBox box;
        box.setText(u"first"_s);
        box.setText(u"second\r\nline"_s);
        box.undo();
        QCOMPARE(box.text(), u"first"_s);
    }

    void keyPressComesBeforeInsertion()
    {
        TextBox box;
        box.setText(u"ab"_s);
        box.setSelStart(2);
        QString seenText;
        char16_t seenKey = 0;
        connect(&box, &TextBox::keyPress, &box, [&](char16_t key) {
            seenKey = key;
            seenText = box.text();
        });
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, u"щ"_s, Qt::NoModifier);
        QCOMPARE(seenKey, u'щ');
        QCOMPARE(seenText, u"ab"_s);
        QCOMPARE(box.text(), u"abщ"_s);

        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(seenKey, char16_t(13));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(seenKey, char16_t(8));
        QCOMPARE(box.text(), u"abщ"_s);
    }

    void keysWithoutCharacterAreNotReported()
    {
        TextBox box;
        QSignalSpy spy(&box, &TextBox::keyPress);
        QTest::keyClick(&box, Qt::Key_Left);
        QTest::keyClick(&box, Qt::Key_F5);
        QCOMPARE(spy.count(), 0);
    }

    void leftClickIsReported()
    {
        TextBox box;
        box.resize(200, 100);
        QSignalSpy spy(&box, &TextBox::clicked);
        QTest::mouseClick(box.viewport(), Qt::LeftButton);
        QTest::mouseClick(box.viewport(), Qt::RightButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"
