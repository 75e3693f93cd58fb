#include "textbox.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_TextBox : public QObject
{
    Q_OBJECT

private slots:
    void textAndSelection_data()
    {
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<qsizetype>("start");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("selStart");
        QTest::addColumn<qsizetype>("selLength");
        QTest::addColumn<QString>("selText");
        const QString t = u"ab\r\ncd"_s;
        QTest::newRow("every kind of break") << u"a\r\nb\nc\rd\n\re"_s << 0LL << 0LL << u"a\r\nb\r\nc\r\nd\r\n\r\ne"_s << 0LL << 0LL << u""_s;
        QTest::newRow("across a break") << t << 1LL << 4LL << t << 1LL << 4LL << u"b\r\nc"_s;
        QTest::newRow("one character at a CR takes the whole break") << t << 2LL << 1LL << t << 2LL << 2LL << u"\r\n"_s;
        QTest::newRow("start inside a break goes before it") << t << 3LL << 1LL << t << 2LL << 2LL << u"\r\n"_s;
        QTest::newRow("clamped at the end") << t << 4LL << 50LL << t << 4LL << 2LL << u"cd"_s;
        QTest::newRow("start past the end") << t << 50LL << 1LL << t << 6LL << 0LL << u""_s;
    }

    void textAndSelection()
    {
        QFETCH(QString, assigned);
        QFETCH(qsizetype, start);
        QFETCH(qsizetype, length);
        QFETCH(QString, text);
        TextBox box;
        box.setText(u"old"_s);
        box.moveCursor(QTextCursor::End);
        box.setText(assigned);
        QCOMPARE(box.selStart(), 0);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.textLength(), text.size());
        box.setSelStart(start);
        box.setSelLength(length);
        QTEST(box.selStart(), "selStart");
        QTEST(box.selLength(), "selLength");
        QTEST(box.selText(), "selText");
    }

    void positionMapping()
    {
        // Model "ab\r\n\r\ncd" (a0 b1 CR2 LF3 CR4 LF5 c6 d7, end 8) on document
        // "ab||cd" (end 6). A model position inside a break snaps before it, or
        // after it going forward; positions past the end clamp.
        const QString raw = u"ab\u2029\u2029cd"_s;
        const QList<qsizetype> back{0, 1, 2, 2, 3, 3, 4, 5, 6, 6};
        const QList<qsizetype> forward{0, 1, 2, 3, 3, 4, 4, 5, 6, 6};
        for (qsizetype model = 0; model < back.size(); ++model) {
            QCOMPARE(TextBox::toDocumentPosition(raw, model, false), back.at(model));
            QCOMPARE(TextBox::toDocumentPosition(raw, model, true), forward.at(model));
        }
        const QList<qsizetype> toModel{0, 1, 2, 4, 6, 7, 8, 8};
        for (qsizetype document = 0; document < toModel.size(); ++document)
            QCOMPARE(TextBox::toModelPosition(raw, document), toModel.at(document));
    }
};

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"
