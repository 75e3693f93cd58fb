// SPDX-License-Identifier: MIT
#include "codetable.h"
#include "conversion.h"
#include "literalreference.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using LiteralReference::outcome;
using LiteralReference::Overflow;
using Limits = ConversionTable::Limits;

// Random cases: texts and Latin words up to these lengths (Cyrillic words one
// longer), tables of up to this many entries.
struct Shape
{
    int textLength, wordLength, entries, cases;
};

// Rows hold for the engine and, where it is quick enough, for the step-by-step routine.
class tst_Conversion : public QObject
{
    Q_OBJECT

    QRandomGenerator m_random;

    QString randomString(QStringView alphabet, int minLength, int maxLength)
    {
        QString result(m_random.bounded(minLength, maxLength + 1), u' ');
        for (QChar &c : result)
            c = alphabet.at(m_random.bounded(int(alphabet.size())));
        return result;
    }

private slots:
    void getWord_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("word");
        QTest::newRow("past the end") << u"zh ж"_s << 3 << u""_s;
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

    // Entries are separated by '|'. A row with one entry to Cyrillic holds for ReplaceAll too.
    void conversion_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("toCyrillic");
        QTest::addColumn<QString>("result");
        const QString table = u"zh ж|z з|u у|k к"_s, reversed = u"z з|zh ж|u у|k к"_s;
        QTest::newRow("to Cyrillic") << table << u"zhuk"_s << true << u"жук"_s;
        QTest::newRow("to Latin") << table << u"жук"_s << false << u"zhuk"_s;
        QTest::newRow("z before zh") << reversed << u"zhuk"_s << true << u"зhук"_s;
        QTest::newRow("overlong line") << QString(32768, u'z') << u""_s << true << Overflow;
        // Passes "aa", "a", then one that leaves the length as it is.
        QTest::newRow("three passes") << u"aa a"_s << u"aaaa"_s << true << u"a"_s;
        // The length stays: one pass, and the "ab" it made stays too.
        QTest::newRow("one pass") << u"ab ba"_s << u"aab"_s << true << u"aba"_s;
        QTest::newRow("case-sensitive") << u"sh ш"_s << u"Shah"_s << true << u"Shah"_s;
        // ks would start further left, but sh comes first in the table.
        QTest::newRow("earlier entry to the right") << u"sh ш|ks кс|h х"_s << u"kshks"_s << true
                                                    << u"kшкс"_s;
        QTest::newRow("same search twice") << u"aa x|a y|aa z"_s << u"aaa"_s << true << u"xy"_s;
        const QString a40000(40000, u'a'), a32767(32767, u'a');
        QTest::newRow("empty search, any length") << u" b"_s << a40000 << true << a40000;
        QTest::newRow("empty replacement, any length") << u"a "_s << a40000 << true << a40000;
        QTest::newRow("32766") << u"a b"_s << a32767.mid(1) << true << QString(32766, u'b');
        QTest::newRow("32767") << u"a b"_s << a32767 << true << Overflow;
        QTest::newRow("32767, no match") << u"x y"_s << a32767 << true << Overflow;
        QTest::newRow("grows to 32767") << u"b xy"_s << a32767.mid(2) + u'b' << true << Overflow;
        QTest::newRow("endless growth") << u"ab abb"_s << u"ab"_s << true << Overflow;
        // Thousands of passes with one replacement each.
        const QString aaab = QString(3000, u'a') + u'b', tail = aaab.right(300);
        QTest::newRow("one less per pass") << u"ab b"_s << aaab << true << u"b"_s;
        QTest::newRow("one more per pass") << u"ab bbb"_s << aaab << true << QString(6001, u'b');
        QTest::newRow("long search string") << u'a' + tail + u' ' + tail << aaab << true << tail;
        // Each kind of step at its boundaries: character maps, groups (one
        // growing to the limit, a match at the very end, one a rule before
        // it overlaps), one rule and its passes.
        QTest::newRow("map, chained, then a lone one") << u"a b|b c|x y|c a"_s << u"abcx"_s << true
                                                       << u"aaay"_s;
        QTest::newRow("map at the limit") << u"a b|b a"_s << QString(20, u'a') << true
                                          << QString(20, u'a');
        QTest::newRow("group grows to the limit") << u"ab x|cd yzw"_s << u"cd"_s.repeated(8) << true
                                                  << u"yzw"_s.repeated(8);
        QTest::newRow("group, match at the end") << u"ba x|ab yz"_s << u"abaxab"_s << true
                                                 << u"axxyz"_s;
        QTest::newRow("grows past its bound") << u"ab bba"_s << u"aaab"_s << true
                                              << u"bbbbbbbbaaa"_s;
        QTest::newRow("shrinks in place, a place a pass") << u"cxy xy"_s << u"cccxyx"_s << true
                                                          << u"xyx"_s;
        QTest::newRow("partial match left behind") << u"aab b"_s << u"aaabaab"_s << true << u"abb"_s;
        QTest::newRow("lone place past the end") << u"abb a"_s << u"bbabb"_s << true << u"bba"_s;
        QTest::newRow("identity at the limit") << u"ab ab"_s << QString(20, u'x') << true
                                               << QString(20, u'x');
        QTest::newRow("runaway without a match") << u"ab abb"_s << u"ba"_s << true << u"ba"_s;
    }

    void conversion()
    {
        QFETCH(QString, table);
        QFETCH(QString, text);
        QFETCH(bool, toCyrillic);
        QFETCH(QString, result);
        const QStringList entries = table.split(u'|');
        QCOMPARE(outcome([&] { return convertText(text, entries, toCyrillic); }), result);
        const auto word = [&](int n) { return modGP::GetWord(table, n); };
        if (entries.size() == 1 && toCyrillic)
            QCOMPARE(outcome([&] { return modGP::ReplaceAll(text, word(1), word(2)); }), result);
        // The step-by-step routine takes seconds to reach the limit or to run
        // many passes. Short texts go both ways, with lower limits, and with
        // later passes reading the whole text (scatter 1) or visiting the
        // places the pass before changed (0).
        if (text.size() >= 100)
            return;
        if (result != Overflow)
            QCOMPARE(LiteralReference::convertText(text, entries, toCyrillic), result);
        for (const bool way : {true, false}) {
            for (const Limits limits : {Limits{20, 0}, Limits{20, 1}, Limits{200, 0}, Limits{200, 1}})
                QCOMPARE(outcome([&] { return ConversionTable(entries).convert(text, way, limits); }),
                         outcome([&] {
                             return LiteralReference::convertText(text, entries, way, limits.maxLength);
                         }));
        }
    }

    // The overflow names what to mend: the table line (by its line in the
    // file, the header being line 1) or the text's length.
    void overflowCause_data()
    {
        using Cause = RuntimeError::OverflowCause;
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("toCyrillic");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("named");
        const QString q40000(40000, u'q');
        QTest::newRow("text too long") << u"a b"_s << QString(32767, u'x') << true
                                       << int(Cause::TextTooLong) << 0 << u"32 767 знаков"_s;
        QTest::newRow("endless growth") << u"zh ж|a aa"_s << u"zhuka"_s << true
                                        << int(Cause::EntryGrowsWithoutEnd) << 3 << u"«a aa»"_s;
        QTest::newRow("endless growth, to Latin") << u"ab b|k к"_s << u"kb"_s << false
                                                  << int(Cause::EntryGrowsWithoutEnd) << 2
                                                  << u"Строка 2 таблицы vl1.ini «ab b»"_s;
        QTest::newRow("grows past the limit") << u"k к|x кс"_s << QString(20000, u'x') << true
                                              << int(Cause::EntryGrowsText) << 3
                                              << u"строке 3 таблицы vl1.ini «x кс» текст (20 000"_s;
        // Blamed whatever the text; shown by its beginning. "%1" stays as typed.
        QTest::newRow("overlong line") << u"a b| |%1"_s + q40000 << u"ab"_s << true
                                       << int(Cause::EntryTooLong) << 4
                                       << u"(«%1"_s + q40000.left(58) + u"…») слишком длинная: в ней 40 002"_s;
    }

    void overflowCause()
    {
        QFETCH(QString, table);
        QFETCH(QString, text);
        QFETCH(bool, toCyrillic);
        QFETCH(int, line);
        QFETCH(QString, named);
        try {
            convertText(text, table.split(u'|'), toCyrillic);
            QFAIL("no overflow");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), RuntimeError::Overflow);
            QTEST(int(error.overflowCause().kind), "kind");
            QCOMPARE(error.overflowCause().line, line);
            const QString explanation = error.overflowExplanation(u"vl1.ini"_s);
            QVERIFY2(explanation.contains(named), qPrintable(explanation));
        }
    }

    // Which kind of step takes which entries, at the switch-over points,
    // and the shipped table's plan, which a change that sends it down a
    // slower way would alter.
    void plan_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("steps"); // maps, groups, singles: to Latin | to Cyrillic
        QStringList shipped;
        CodeTable::load(qEnvironmentVariable("VERTLIN_SOURCE_DIR") + u"/data/vl1.ini"_s, shipped);
        QTest::newRow("shipped") << shipped << u"3 4 66|3 4 66"_s;
        const QString a16(16, u'a'), far = QString(QChar(u'a' + 4096));
        QTest::newRow("16 letters, grouped") << QStringList{a16 + u" x"_s, u"b yz"_s} << u"0 1 0|0 1 0"_s;
        QTest::newRow("17 letters, alone") << QStringList{a16 + u"a x"_s, u"b yz"_s} << u"0 1 0|0 0 2"_s;
        QTest::newRow("maps 4096 apart") << QStringList{u"a b"_s, far + u" c"_s} << u"1 0 0|2 0 0"_s;
        QTest::newRow("replacement holds a searched letter") << QStringList{u"ab xy"_s, u"cd a"_s}
                                                             << u"0 0 2|0 0 2"_s;
    }

    void plan()
    {
        QFETCH(QStringList, table);
        QStringList steps;
        for (const bool toCyrillic : {false, true}) {
            const auto counts = ConversionTable(table).stepCounts(toCyrillic);
            steps << u"%1 %2 %3"_s.arg(counts.characterMaps).arg(counts.groups).arg(counts.singles);
        }
        QTEST(steps.join(u'|'), "steps");
    }

    // Random cases against the step-by-step routine. Short texts get a
    // length limit so low that every boundary is reached.
    void differential_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<Shape>("shape");
        // Overlapping matches, cascades through replacements, growth past the bound.
        QTest::newRow("two letters") << u"ab"_s << Shape{16, 4, 1, 60000};
        QTest::newRow("longer texts") << u"abx"_s << Shape{60, 2, 1, 15000};
        QTest::newRow("long words") << u"ab"_s << Shape{40, 11, 1, 25000};
        // Runs of one-letter entries, chained (a to b, then b to c), and
        // spread so far apart that a run is split.
        QTest::newRow("one-letter entries") << u"abц\uFFFD "_s << Shape{20, 1, 8, 20000};
        QTest::newRow("real limits") << u"abxy \n"_s << Shape{8000, 3, 6, 20};
        // Latin words from the letters before '|', Cyrillic ones from those
        // after, as in real tables: entries whose replacements hold none of
        // the letters searched for, taken in one sweep.
        QTest::newRow("two scripts") << u"abc|цд \n"_s << Shape{20, 3, 8, 20000};
        QTest::newRow("two scripts, real limits") << u"ab|цд \n"_s << Shape{6000, 4, 20, 20};
    }

    void differential()
    {
        QFETCH(QString, alphabet);
        QFETCH(Shape, shape);
        const QStringList scripts = QString(alphabet).remove(u' ').split(u'|');
        const QString &latin = scripts.first(), &cyrillic = scripts.last();
        const QStringView gaps[] = {u" ", u" ", u" ", u" ", u" ", u"  ", u""};
        m_random.seed(20261206);
        for (int i = 0; i < shape.cases; ++i) {
            QStringList table;
            // Entries as people write them, and now and then as they mistype
            // them: a leading space, two spaces or none, a third word.
            for (int e = 1 + m_random.bounded(shape.entries); e > 0; --e) {
                QString entry = m_random.bounded(8) ? u""_s : u" "_s;
                entry.append(randomString(latin, 1, shape.wordLength))
                        .append(gaps[m_random.bounded(7)])
                        .append(randomString(cyrillic, 1, shape.wordLength + 1));
                table.append(m_random.bounded(8) ? entry
                                                 : entry + u' ' + randomString(latin, 0, 2));
            }
            const QString text =
                    randomString(QString(alphabet).remove(u'|'), 0, shape.textLength);
            const bool toCyrillic = m_random.bounded(2) == 0;
            const int n = shape.textLength;
            const Limits limits = n > 1000 ? Limits{}
                    : Limits{6 + m_random.bounded(3 * n), m_random.bounded(4) == 0 ? 32 : 0};
            const QString actual = outcome(
                    [&] { return ConversionTable(table).convert(text, toCyrillic, limits); });
            const QString expected = outcome([&] {
                return LiteralReference::convertText(text, table, toCyrillic, limits.maxLength);
            });
            QVERIFY2(actual == expected, qPrintable(table.join(u'|') + u" / "_s + text.left(100)
                                                    + u" / "_s + actual + u" / "_s + expected));
        }
    }
};

QTEST_APPLESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
