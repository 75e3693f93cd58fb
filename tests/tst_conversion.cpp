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

const QStringList workedExample{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};

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
            const QString text = randomString(random, u"abxy \t", 14);
            const bool toCyrillic = random.bounded(2) == 0;
            const qsizetype limit = 6 + random.bounded(40);
            const Substitution::Limits limits{limit, 1 + random.bounded(4),
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
};

QTEST_APPLESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
