#include "conversion.h"
#include "literalreference.h"
#include "modgp.h"

#include <QTest>

using namespace Qt::StringLiterals;
using LiteralReference::outcome;
using LiteralReference::Overflow;

// Rows hold for the engine and, where it is quick enough, for the step-by-step routine.
class tst_ModGP : public QObject
{
    Q_OBJECT

private slots:
    void getWord_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("word");
        QTest::newRow("word 1") << u"zh ж"_s << 1 << u"zh"_s;
        QTest::newRow("word 2") << u"zh ж"_s << 2 << u"ж"_s;
        QTest::newRow("past the end") << u"zh ж"_s << 3 << u""_s;
        QTest::newRow("third word not in word 2") << u"zh ж x"_s << 2 << u"ж"_s;
        QTest::newRow("two spaces: empty word 2") << u"zh  ж"_s << 2 << u""_s;
        QTest::newRow("leading space: empty word 1") << u" zh ж"_s << 1 << u""_s;
        QTest::newRow("tab inside the word") << u"zh\tж"_s << 1 << u"zh\tж"_s;
        // At 32767 characters the scan may stop, never step past the end.
        const QString early = u"a b"_s + QString(32764, u'c');
        QTest::newRow("32767, stops early") << early << 1 << u"a"_s;
        QTest::newRow("32767, runs to the end") << early << 2 << Overflow;
        QTest::newRow("32766, runs to the end") << early.mid(1) << 2 << early.mid(2);
        QTest::newRow("32768, stops early") << early + u'c' << 1 << Overflow;
        QTest::newRow("word counter past 32767") << QString(32767, u' ') << 32767 << Overflow;
    }

    void getWord()
    {
        QFETCH(QString, line);
        QFETCH(int, n);
        QFETCH(QString, word);
        QCOMPARE(outcome([&] { return modGP::GetWord(line, n); }), word);
        QCOMPARE(outcome([&] { return LiteralReference::getWord(line, n); }), word);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const QString &text, const QString &search,
                            const QString &replacement, const QString &result) {
            QTest::newRow(name) << text << search << replacement << result;
        };
        // Passes "aa", "a", then one that leaves the length as it is.
        row("three passes", u"aaaa"_s, u"aa"_s, u"a"_s, u"a"_s);
        // The length stays: one pass, and the "ab" it made stays too.
        row("one pass", u"aab"_s, u"ab"_s, u"ba"_s, u"aba"_s);
        row("match inside the replacement", u"abb"_s, u"ab"_s, u"xya"_s, u"xyxya"_s);
        row("case-sensitive", u"Shah"_s, u"sh"_s, u"ш"_s, u"Shah"_s);
        row("replaced by itself", u"abab"_s, u"ab"_s, u"ab"_s, u"abab"_s);
        row("growth waits for the next pass", u"bbbb"_s, u"b"_s, u"xy"_s, u"xyxyxyxy"_s);
        const QString a40000(40000, u'a'), a32767(32767, u'a'), b32764(32764, u'b');
        row("empty search, any length", a40000, u""_s, u"b"_s, a40000);
        row("empty replacement, any length", a40000, u"a"_s, u""_s, a40000);
        row("32766", QString(32766, u'a'), u"a"_s, u"b"_s, QString(32766, u'b'));
        row("32767", a32767, u"a"_s, u"b"_s, Overflow);
        row("32767, no match", a32767, u"x"_s, u"y"_s, Overflow);
        row("growing to 32766", b32764 + u'a', u"a"_s, u"xy"_s, b32764 + u"xy"_s);
        row("growing to 32767", b32764 + u"ba"_s, u"a"_s, u"xy"_s, Overflow);
        row("endless growth", u"ab"_s, u"ab"_s, u"abb"_s, Overflow);
        row("endless growth never started", u"bb"_s, u"a"_s, u"aa"_s, u"bb"_s);
        // Thousands of passes with one replacement each.
        const QString aaab = QString(3000, u'a') + u'b';
        row("one less per pass", aaab, u"ab"_s, u"b"_s, u"b"_s);
        row("one more per pass", aaab, u"ab"_s, u"bbb"_s, QString(6001, u'b'));
        row("two places far apart", aaab + QString(3000, u'x') + aaab, u"ab"_s, u"b"_s,
            u'b' + QString(3000, u'x') + u'b');
        row("long search string", aaab, aaab.right(301), aaab.right(300), aaab.right(300));
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(outcome([&] { return modGP::ReplaceAll(text, search, replacement); }), result);
        // Conversions replace the same way, with their own checks of the length.
        QCOMPARE(outcome([&] { return convertText(text, {search + u' ' + replacement}, true); }),
                 result);
        // The step-by-step routine takes seconds to reach the limit or to run many passes.
        if (text.size() < 100 && result != Overflow)
            QCOMPARE(LiteralReference::replaceAll(text, search, replacement), result);
    }
};

QTEST_APPLESS_MAIN(tst_ModGP)
#include "tst_modgp.moc"
