#include "conversion.h"
#include "literalreference.h"
#include "modgp.h"
#include "runtimeerror.h"
#include "substitution.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A result, or nothing for the overflow error.
using Outcome = std::optional<QString>;

template <typename F>
Outcome outcomeOf(F &&convert)
{
    try {
        return convert();
    } catch (const RuntimeError &error) {
        if (error.number() != RuntimeError::Overflow)
            throw;
        return std::nullopt;
    }
}

QString describe(const Outcome &outcome)
{
    return outcome ? u'"' + *outcome + u'"' : u"overflow"_s;
}

QString randomString(QRandomGenerator &random, QStringView alphabet, qsizetype maxLength)
{
    QString result;
    const qsizetype length = random.bounded(int(maxLength) + 1);
    for (qsizetype i = 0; i < length; ++i)
        result += alphabet.at(random.bounded(int(alphabet.size())));
    return result;
}

// An entry line as people write them, and as they mistype them: one space
// mostly, sometimes two, a leading space, a third word, a tab.
QString randomEntry(QRandomGenerator &random)
{
    const QString first = randomString(random, u"abx\t", 3);
    const QString second = randomString(random, u"abxy", 4);
    switch (random.bounded(8)) {
    case 0:
        return first + u"  "_s + second;
    case 1:
        return u' ' + first + u' ' + second;
    case 2:
        return first + u' ' + second + u' ' + randomString(random, u"ab", 2);
    case 3:
        return first;
    default:
        return first + u' ' + second;
    }
}

const QStringList exampleTable{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};

} // namespace

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void differentialReplaceAll_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("searchLength");
        QTest::addColumn<int>("replacementLength");
        QTest::addColumn<int>("maxLimit");
        QTest::addColumn<int>("maxBlock");
        QTest::addColumn<int>("cases");
        // Text blocks of a few characters put matches across their borders.
        QTest::newRow("five letters, short") << u"abx \t"_s << 12 << 3 << 4 << 36 << 5 << 60000;
        // Two letters make matches that overlap, cascade through
        // replacements and run past the scan bound of a pass.
        QTest::newRow("two letters, longer") << u"ab"_s << 16 << 3 << 5 << 70 << 5 << 60000;
        QTest::newRow("long texts, larger blocks") << u"abx"_s << 60 << 2 << 3 << 120 << 24 << 15000;
        QTest::newRow("long search strings") << u"ab"_s << 40 << 11 << 12 << 90 << 16 << 15000;
    }

    void differentialReplaceAll()
    {
        QFETCH(QString, alphabet);
        QFETCH(int, textLength);
        QFETCH(int, searchLength);
        QFETCH(int, replacementLength);
        QFETCH(int, maxLimit);
        QFETCH(int, maxBlock);
        QFETCH(int, cases);
        QRandomGenerator random(20261206);
        for (int i = 0; i < cases; ++i) {
            const QString text = randomString(random, alphabet, textLength);
            const QString search =
                    randomString(random, QStringView(alphabet).left(3), searchLength);
            const QString replacement = randomString(random, alphabet, replacementLength);
            const qsizetype limit = 6 + random.bounded(maxLimit - 6);
            const Substitution::Limits limits{limit, 1 + random.bounded(maxBlock),
                                              random.bounded(4) == 0 ? 32 : 0};
            const Outcome expected = outcomeOf(
                    [&] { return LiteralReference::replaceAll(text, search, replacement, limit); });
            const Outcome actual = outcomeOf(
                    [&] { return Substitution::replaceAll(text, search, replacement, limits); });
            if (actual != expected) {
                QFAIL(qPrintable(u"ReplaceAll(\"%1\", \"%2\", \"%3\") with limit %4, blocks of %5: "
                                 "expected %6, got %7"_s
                                         .arg(text, search, replacement)
                                         .arg(limit)
                                         .arg(limits.blockSize)
                                         .arg(describe(expected), describe(actual))));
            }
        }
    }

    void differentialConversion()
    {
        QRandomGenerator random(1206);
        const qsizetype cases = 20000;
        for (qsizetype i = 0; i < cases; ++i) {
            QStringList table;
            const int entries = random.bounded(6);
            for (int e = 0; e < entries; ++e)
                table.append(randomEntry(random));
            const QString text = randomString(random, u"abxy \t", 20);
            const bool toCyrillic = random.bounded(2) == 0;
            const qsizetype limit = 6 + random.bounded(50);
            const Substitution::Limits limits{limit, 1 + random.bounded(12),
                                               random.bounded(4) == 0 ? 32 : 0};
            const Outcome expected = outcomeOf([&] {
                return LiteralReference::convertText(text, table, toCyrillic, limit);
            });
            const Outcome actual = outcomeOf(
                    [&] { return ConversionTable(table).convert(text, toCyrillic, limits); });
            if (actual != expected) {
                QFAIL(qPrintable(u"table [%1], text \"%2\", %3, limit %4: expected %5, got %6"_s
                                         .arg(table.join(u" | "_s), text,
                                              toCyrillic ? u"to Cyrillic"_s : u"to Latin"_s)
                                         .arg(limit)
                                         .arg(describe(expected), describe(actual))));
            }
        }
    }

    void workedExample_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("toCyrillic");
        QTest::addColumn<QString>("result");

        const QStringList reversed{u"z з"_s, u"zh ж"_s, u"u у"_s, u"k к"_s};
        QTest::newRow("to Cyrillic") << exampleTable << u"zhuk"_s << true << u"жук"_s;
        QTest::newRow("to Latin") << exampleTable << u"жук"_s << false << u"zhuk"_s;
        QTest::newRow("z before zh") << reversed << u"zhuk"_s << true << u"зhук"_s;
        QTest::newRow("z before zh, to Latin") << reversed << u"жук"_s << false << u"zhuk"_s;
        QTest::newRow("capital not in the table") << exampleTable << u"Zhuk"_s << true
                                                   << u"Zhук"_s;
        // Both directions walk the table top down: "з" -> "z" first, then
        // nothing is left for "ж".
        QTest::newRow("to Latin, same order both ways")
                << QStringList{u"zh ж"_s, u"z з"_s, u"h ж"_s} << u"жз"_s << false << u"zhz"_s;
        QTest::newRow("entries feed each other")
                << QStringList{u"a b"_s, u"b c"_s} << u"ab"_s << true << u"cc"_s;
        QTest::newRow("several lines, line ends kept")
                << exampleTable << u"zhuk\r\nkuz\nzh\r"_s << true << u"жук\r\nкуз\nж\r"_s;
        QTest::newRow("spaces never change")
                << QStringList{u"zh ж"_s} << u" zh  zh\t"_s << true << u" ж  ж\t"_s;
        QTest::newRow("empty text") << exampleTable << u""_s << false << u""_s;
        QTest::newRow("empty table") << QStringList{} << u"zhuk"_s << true << u"zhuk"_s;
        QTest::newRow("entries without two words")
                << QStringList{u""_s, u"zh"_s, u" ж"_s, u"zh  ж"_s, u"zh\tж"_s} << u"zhuk"_s
                << true << u"zhuk"_s;
    }

    void workedExample()
    {
        QFETCH(QStringList, table);
        QFETCH(QString, text);
        QFETCH(bool, toCyrillic);
        QFETCH(QString, result);
        QCOMPARE(convertText(text, table, toCyrillic), result);
        QCOMPARE(LiteralReference::convertText(text, table, toCyrillic), result);
    }

    void limits_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fails");

        QTest::newRow("32766 converts") << exampleTable << QString(32766, u'z') << false;
        QTest::newRow("32767 fails") << exampleTable << QString(32767, u'x') << true;
        QTest::newRow("32767, nothing usable in the table")
                << QStringList{u"zh"_s, u""_s} << QString(32767, u'z') << false;
        QTest::newRow("50000, empty table") << QStringList{} << QString(50000, u'z') << false;
        QTest::newRow("growing past 32766")
                << QStringList{u"z xy"_s, u"xy z"_s} << QString(20000, u'z')
                << true;
        QTest::newRow("endless growth")
                << QStringList{u"zh ж"_s, u"a aa"_s, u"aa a"_s} << u"abc"_s << true;
        QTest::newRow("line too long for its words, empty text")
                << QStringList{QString(32768, u'z')} << u""_s << true;
    }

    void limits()
    {
        QFETCH(QStringList, table);
        QFETCH(QString, text);
        QFETCH(bool, fails);
        for (const bool toCyrillic : {true, false}) {
            const Outcome outcome = outcomeOf([&] { return convertText(text, table, toCyrillic); });
            if (fails)
                QVERIFY(!outcome);
            else
                QVERIFY(outcome && (outcome->size() > 0) == (text.size() > 0));
        }
    }

    // Long texts at the real limit and real block size, against the
    // step-by-step routine (which takes a while on them: only a few).
    void differentialLongTexts()
    {
        QRandomGenerator random(32766);
        for (int i = 0; i < 12; ++i) {
            QStringList table;
            for (int e = 0; e < 6; ++e)
                table.append(randomString(random, u"abx", 3) + u' '
                             + randomString(random, u"abxy", 3));
            const QString text = randomString(random, u"abxy \n", 32766);
            const bool toCyrillic = random.bounded(2) == 0;
            const Outcome expected = outcomeOf(
                    [&] { return LiteralReference::convertText(text, table, toCyrillic); });
            const Outcome actual = outcomeOf([&] { return convertText(text, table, toCyrillic); });
            QVERIFY2(actual == expected, qPrintable(table.join(u" | "_s)));
        }
    }
};

QTEST_APPLESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
