#include "conversion.h"
#include "literalreference.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using LiteralReference::outcome;
using LiteralReference::Overflow;

namespace {

QString randomString(QRandomGenerator &random, QStringView alphabet, int maxLength,
                     int minLength = 0)
{
    QString result(random.bounded(minLength, maxLength + 1), u' ');
    for (QChar &c : result)
        c = alphabet.at(random.bounded(int(alphabet.size())));
    return result;
}

// An entry line as people write it, and now and then as they mistype it:
// two spaces or none, a leading space, a third word.
QString randomEntry(QRandomGenerator &random, QStringView letters, int length1, int length2)
{
    const QStringView gaps[] = {u" ", u" ", u" ", u" ", u" ", u"  ", u""};
    QString entry = randomString(random, letters, length1, 1) + gaps[random.bounded(7)]
            + randomString(random, letters, length2, 1);
    if (random.bounded(8) == 0)
        entry.prepend(u' ');
    if (random.bounded(8) == 0)
        entry += u' ' + randomString(random, letters, 2);
    return entry;
}

const QStringList exampleTable{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s};

} // namespace

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    // Random cases against the step-by-step routine. Short texts get a
    // length limit and blocks so small that every boundary is reached.
    void differential_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("wordLength"); // the longest Latin word; Cyrillic ones one more
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("cases");
        QTest::newRow("five letters") << u"abx \t"_s << 12 << 3 << 1 << 60000;
        // Overlapping matches, cascades through replacements, growth past the bound.
        QTest::newRow("two letters") << u"ab"_s << 16 << 4 << 1 << 60000;
        QTest::newRow("longer texts") << u"abx"_s << 60 << 2 << 1 << 15000;
        QTest::newRow("long words") << u"ab"_s << 40 << 11 << 1 << 25000;
        QTest::newRow("tables") << u"abxy \t\n"_s << 20 << 3 << 6 << 20000;
        QTest::newRow("real limits") << u"abxy \n"_s << 8000 << 3 << 6 << 20;
    }

    void differential()
    {
        QFETCH(QString, alphabet);
        QFETCH(int, textLength);
        QFETCH(int, wordLength);
        QFETCH(int, entries);
        QFETCH(int, cases);
        const QString letters = QString(alphabet).remove(u' ');
        QRandomGenerator random(20261206);
        for (int i = 0; i < cases; ++i) {
            QStringList table;
            for (int e = 1 + random.bounded(entries); e > 0; --e)
                table.append(randomEntry(random, letters, wordLength, wordLength + 1));
            const QString text = randomString(random, alphabet, textLength);
            const bool toCyrillic = random.bounded(2) == 0;
            const Substitution::Limits limits = textLength > 1000
                    ? Substitution::Limits{}
                    : Substitution::Limits{6 + random.bounded(3 * textLength),
                                           1 + random.bounded(textLength / 2),
                                           random.bounded(4) == 0 ? 32 : 0};
            const QString expected = outcome([&] {
                return LiteralReference::convertText(text, table, toCyrillic, limits.maxLength);
            });
            const QString actual = outcome(
                    [&] { return ConversionTable(table).convert(text, toCyrillic, limits); });
            if (actual != expected)
                qWarning() << table << text.left(100) << toCyrillic << limits.maxLength
                           << limits.blockSize << limits.scatter;
            QCOMPARE(actual, expected);
        }
    }

    void convert_data()
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
        // Top down in both directions: "з" goes first, then nothing is left for "ж".
        QTest::newRow("to Latin, top down") << QStringList{u"zh ж"_s, u"z з"_s, u"h ж"_s}
                                            << u"жз"_s << false << u"zhz"_s;
        QTest::newRow("several lines")
                << exampleTable << u"zhuk\r\nkuz\nzh\r"_s << true << u"жук\r\nкуз\nж\r"_s;
        // With nothing that can replace, no pass runs and the length sets no limit.
        QTest::newRow("nothing usable, 50000")
                << QStringList{u"zh"_s, u" ж"_s, u""_s} << QString(50000, u'z') << true
                << QString(50000, u'z');
        QTest::newRow("table line too long for its words")
                << QStringList{QString(32768, u'z')} << u""_s << true << Overflow;
    }

    void convert()
    {
        QFETCH(QStringList, table);
        QFETCH(QString, text);
        QFETCH(bool, toCyrillic);
        QFETCH(QString, result);
        QCOMPARE(outcome([&] { return convertText(text, table, toCyrillic); }), result);
        if (text.size() < 100 && result != Overflow)
            QCOMPARE(LiteralReference::convertText(text, table, toCyrillic), result);
    }
};

QTEST_APPLESS_MAIN(tst_Conversion)
#include "tst_conversion.moc"
