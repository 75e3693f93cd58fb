#include "literalreference.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Runs f and tells whether it failed with the overflow error.
template <typename F>
bool overflows(F &&f)
{
    try {
        f();
    } catch (const RuntimeError &error) {
        return error.number() == RuntimeError::Overflow;
    }
    return false;
}

} // namespace

class tst_ModGP : public QObject
{
    Q_OBJECT

private slots:
    void getWord_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("word");

        QTest::newRow("Latin word") << u"zh ж"_s << 1 << u"zh"_s;
        QTest::newRow("Cyrillic word") << u"zh ж"_s << 2 << u"ж"_s;
        QTest::newRow("past the last word") << u"zh ж"_s << 3 << u""_s;
        QTest::newRow("two spaces: empty word 2") << u"zh  ж"_s << 2 << u""_s;
        QTest::newRow("two spaces: word 3") << u"zh  ж"_s << 3 << u"ж"_s;
        QTest::newRow("leading space: empty word 1") << u" zh ж"_s << 1 << u""_s;
        QTest::newRow("leading space: word 2") << u" zh ж"_s << 2 << u"zh"_s;
        QTest::newRow("tab is part of the word") << u"zh\tж"_s << 1 << u"zh\tж"_s;
        QTest::newRow("tab: no word 2") << u"zh\tж"_s << 2 << u""_s;
        QTest::newRow("no-break space is part of the word") << u"zh\u00A0ж"_s << 1
                                                             << u"zh\u00A0ж"_s;
        QTest::newRow("empty line") << u""_s << 1 << u""_s;
        QTest::newRow("word 0") << u"zh ж"_s << 0 << u""_s;
        QTest::newRow("negative word number") << u"zh ж"_s << -3 << u""_s;
        QTest::newRow("third word ignored by word 2") << u"zh ж extra"_s << 2 << u"ж"_s;
        QTest::newRow("trailing space") << u"zh ж "_s << 2 << u"ж"_s;
    }

    void getWord()
    {
        QFETCH(QString, line);
        QFETCH(int, n);
        QFETCH(QString, word);
        QCOMPARE(modGP::GetWord(line, n), word);
        QCOMPARE(LiteralReference::getWord(line, n), word);
    }

    // Lines at the 16-bit length limit: the scan may stop before the last
    // position, never step past it.
    void getWordLimits_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("fails");

        const QString full = QString(32767, u'a');
        QTest::newRow("32767, no space, word 1") << full << 1 << true;
        QTest::newRow("32767, no space, word 0") << full << 0 << true;
        QTest::newRow("32767, space early, word 1")
                << u"a b"_s + QString(32764, u'c') << 1 << false;
        QTest::newRow("32767, one space, word 2")
                << u"a b"_s + QString(32764, u'c') << 2 << true;
        QTest::newRow("32767, ends in the stopping space")
                << QString(32766, u'a') + u' ' << 1 << false;
        QTest::newRow("32766, no space") << QString(32766, u'a') << 1 << false;
        QTest::newRow("32768, space early") << u"a b"_s + QString(32765, u'c') << 1 << true;
        QTest::newRow("32767 spaces, word 32767: the counter overflows")
                << QString(32767, u' ') << 32767 << true;
        QTest::newRow("32766 spaces, word 32767") << QString(32766, u' ') << 32767 << false;
    }

    void getWordLimits()
    {
        QFETCH(QString, line);
        QFETCH(int, n);
        QFETCH(bool, fails);
        QCOMPARE(overflows([&] { modGP::GetWord(line, n); }), fails);
        QCOMPARE(overflows([&] { LiteralReference::getWord(line, n); }), fails);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");

        // Three passes: "aa", then "a", then one that finds nothing.
        QTest::newRow("shrinking over passes") << u"aaaa"_s << u"aa"_s << u"a"_s << u"a"_s;
        // Same length: one pass, the new "ab" at position 1 stays.
        QTest::newRow("same length, one pass") << u"aab"_s << u"ab"_s << u"ba"_s << u"aba"_s;
        // The scan resumes at the second character of "xya" and matches again.
        QTest::newRow("match inside the replacement")
                << u"abb"_s << u"ab"_s << u"xya"_s << u"xyxya"_s;
        QTest::newRow("case-sensitive") << u"Shah"_s << u"sh"_s << u"ш"_s << u"Shah"_s;
        QTest::newRow("empty text") << u""_s << u"a"_s << u"b"_s << u""_s;
        QTest::newRow("empty search string") << u"abc"_s << u""_s << u"x"_s << u"abc"_s;
        QTest::newRow("empty replacement") << u"abc"_s << u"b"_s << u""_s << u"abc"_s;
        QTest::newRow("no occurrence") << u"abc"_s << u"d"_s << u"xx"_s << u"abc"_s;
        QTest::newRow("replaced by itself") << u"abab"_s << u"ab"_s << u"ab"_s << u"abab"_s;
        // "ab" -> "b" removes one "a" per pass: a match before the one just
        // made is only seen in the next pass.
        QTest::newRow("one character less per pass")
                << u"aaaab"_s << u"ab"_s << u"b"_s << u"b"_s;
        // Growth pushes "b"s past the pass's bound; they wait for the next one.
        QTest::newRow("growth past the scan bound")
                << u"bbbb"_s << u"b"_s << u"xy"_s << u"xyxyxyxy"_s;
        QTest::newRow("growth over passes") << u"aab"_s << u"ab"_s << u"bba"_s << u"bbbbaa"_s;
        QTest::newRow("spaces and tabs are characters")
                << u"a \tb"_s << u" \t"_s << u"_"_s << u"a_b"_s;
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(modGP::ReplaceAll(text, search, replacement), result);
        QCOMPARE(LiteralReference::replaceAll(text, search, replacement), result);
    }

    void replaceAllLimits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("fails");

        QTest::newRow("32766, match") << QString(32766, u'a') << u"a"_s << u"b"_s << false;
        QTest::newRow("32766, no match") << QString(32766, u'a') << u"x"_s << u"y"_s << false;
        QTest::newRow("32767, no match") << QString(32767, u'a') << u"x"_s << u"y"_s << true;
        QTest::newRow("32767, match") << QString(32767, u'a') << u"a"_s << u"b"_s << true;
        QTest::newRow("40000, empty search") << QString(40000, u'a') << u""_s << u"b"_s << false;
        QTest::newRow("40000, empty replacement")
                << QString(40000, u'a') << u"a"_s << u""_s << false;
        QTest::newRow("growing to 32766")
                << QString(32764, u'b') + u'a' << u"a"_s << u"xy"_s << false;
        QTest::newRow("growing to 32767")
                << QString(32765, u'b') + u'a' << u"a"_s << u"xy"_s << true;
        QTest::newRow("growing within one pass far past the limit")
                << QString(20000, u'a') << u"a"_s << QString(1000, u'x') << true;
        // The replacement contains the search string: every pass matches.
        QTest::newRow("endless growth") << u"a"_s << u"a"_s << u"aa"_s << true;
        QTest::newRow("endless growth, slowest kind") << u"ab"_s << u"ab"_s << u"abb"_s << true;
        QTest::newRow("endless growth, nothing to start it")
                << u"bbb"_s << u"a"_s << u"aa"_s << false;
    }

    void replaceAllLimits()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(bool, fails);
        QCOMPARE(overflows([&] { modGP::ReplaceAll(text, search, replacement); }), fails);
    }

    // Shrinking and growing a character per pass, over thousands of passes,
    // matches the step-by-step routine to the letter (which is slow on them).
    void manyPasses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");

        QTest::newRow("one less per pass") << QString(3000, u'a') + u'b' << u"ab"_s << u"b"_s;
        QTest::newRow("one more per pass") << QString(2000, u'a') + u'b' << u"ab"_s << u"bbb"_s;
        QTest::newRow("two places far apart")
                << QString(1500, u'a') + u'b' + QString(3000, u'x') + QString(1500, u'a') + u'b'
                << u"ab"_s << u"b"_s;
        QTest::newRow("long search string")
                << QString(3000, u'a') + u'b' << QString(300, u'a') + u'b'
                << QString(299, u'a') + u'b';
    }

    void manyPasses()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QCOMPARE(modGP::ReplaceAll(text, search, replacement),
                 LiteralReference::replaceAll(text, search, replacement));
    }
};

QTEST_APPLESS_MAIN(tst_ModGP)
#include "tst_modgp.moc"
