#include "codetable.h"
#include "tablecheck.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;
using TableCheck::Kind;
using TableCheck::Severity;

// One finding, written so that a failing comparison reads well:
// "kind line other severity".
static QString describe(const TableCheck::Finding &f)
{
    static const QHash<Kind, QString> names{
        {Kind::EmptyLine, u"empty-line"_s},      {Kind::EmptyWord, u"empty-word"_s},
        {Kind::Duplicate, u"duplicate"_s},       {Kind::NeverMatches, u"never-matches"_s},
        {Kind::LatinOnly, u"latin-only"_s},      {Kind::EndlessGrowth, u"endless-growth"_s},
    };
    return u"%1 %2 %3 %4"_s.arg(names.value(f.kind)).arg(f.line).arg(f.otherLine)
            .arg(f.severity == Severity::Problem ? u"problem"_s : u"info"_s);
}

class tst_TableCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write a test file");
        file.write(bytes);
        return path;
    }

    QString writeTable(const QStringList &entries)
    {
        const QString text = u"header\r\n"_s + entries.join(u"\r\n"_s) + u"\r\n"_s;
        return writeFile(u"table.ini"_s, QStringEncoder("windows-1251").encode(text));
    }

private slots:
    void findings_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("clean") << QStringList{u"zh ж"_s, u"z з"_s, u"u у"_s, u"k к"_s}
                               << QStringList{};
        QTest::newRow("empty line is only information")
                << QStringList{u"zh ж"_s, u""_s, u"z з"_s} << QStringList{u"empty-line 3 0 info"_s};
        QTest::newRow("no space") << QStringList{u"z з"_s, u"zhж"_s}
                                  << QStringList{u"empty-word 3 0 problem"_s};
        QTest::newRow("leading space") << QStringList{u" zh ж"_s}
                                       << QStringList{u"empty-word 2 0 problem"_s};
        QTest::newRow("two spaces") << QStringList{u"zh  ж"_s}
                                    << QStringList{u"empty-word 2 0 problem"_s};
        QTest::newRow("nothing after the space") << QStringList{u"zh "_s}
                                                 << QStringList{u"empty-word 2 0 problem"_s};
        QTest::newRow("duplicate") << QStringList{u"zh ж"_s, u"z з"_s, u"zh ж"_s}
                                   << QStringList{u"duplicate 4 2 problem"_s};
        QTest::newRow("shorter Latin above longer")
                << QStringList{u"s с"_s, u"sh ш"_s} << QStringList{u"never-matches 3 2 problem"_s};
        QTest::newRow("starved both ways") << QStringList{u"s с"_s, u"sh с"_s}
                                           << QStringList{u"never-matches 3 2 problem"_s};
        QTest::newRow("alias below its letter")
                << QStringList{u"kh х"_s, u"h х"_s} << QStringList{u"latin-only 3 2 info"_s};
        QTest::newRow("alias of a letter pair")
                << QStringList{u"j й"_s, u"o о"_s, u"oy ой"_s}
                << QStringList{u"never-matches 4 3 problem"_s};
        QTest::newRow("alias of a letter pair, right order")
                << QStringList{u"j й"_s, u"oy ой"_s, u"o о"_s} << QStringList{u"latin-only 3 2 info"_s};
        QTest::newRow("replacement brings the Latin back")
                << QStringList{u"s с"_s, u"x s"_s, u"sh ш"_s} << QStringList{};
        QTest::newRow("same-length swap may leave matches")
                << QStringList{u"ab ba"_s, u"abc д"_s} << QStringList{};
        QTest::newRow("grows to Cyrillic") << QStringList{u"a ab"_s}
                                           << QStringList{u"endless-growth 2 0 problem"_s};
        QTest::newRow("grows to Latin") << QStringList{u"жж ж"_s}
                                        << QStringList{u"endless-growth 2 0 problem"_s};
        QTest::newRow("growth never reached is harmless")
                << QStringList{u"a а"_s, u"ab а"_s, u"x xa"_s}
                << QStringList{u"never-matches 3 2 problem"_s, u"endless-growth 4 0 problem"_s};
    }

    void findings()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);

        const QList<TableCheck::Finding> found = TableCheck::checkEntries(entries);
        QStringList described;
        for (const auto &f : found) {
            described << describe(f);
            QVERIFY2(!f.message.isEmpty(), qPrintable(describe(f)));
        }
        QCOMPARE(described, expected);
        QCOMPARE(TableCheck::hasProblems(found),
                 std::any_of(expected.cbegin(), expected.cend(),
                             [](const QString &e) { return e.endsWith(u"problem"_s); }));
    }

    void messagesNameTheCulprit()
    {
        // "%3" in an entry stays as it is.
        const auto found = TableCheck::checkEntries({u"s%3 с"_s, u"s%3h ш"_s});
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().message.contains(u"«s%3h ш»"_s), qPrintable(found.first().message));
        QVERIFY2(found.first().message.contains(u"строка 2 («s%3 с»)"_s),
                 qPrintable(found.first().message));
    }

    void shippedTableIsClean()
    {
        QStringList entries;
        CodeTable::load(qEnvironmentVariable("VERTLIN_SOURCE_DIR") + u"/data/vl1.ini"_s, entries);
        const auto found = TableCheck::checkEntries(entries);
        QStringList problems;
        qsizetype aliases = 0;
        for (const auto &f : found) {
            if (f.severity == Severity::Problem)
                problems << u"%1: %2"_s.arg(f.line).arg(f.message);
            aliases += f.kind == Kind::LatinOnly;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        // The aliases are recognised as such, not as mistakes.
        QVERIFY(aliases > 20);
    }

    void cyrillicWords()
    {
        QCOMPARE(TableCheck::cyrillicWords(u"Жук, zhuk; ёлка-палка Zhук 12 ЪЬ жук"_s),
                 (QStringList{u"Жук"_s, u"ёлка"_s, u"палка"_s, u"ЪЬ"_s, u"жук"_s}));
        QCOMPARE(TableCheck::cyrillicWords(u"zhuk 42"_s), QStringList{});
    }

    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<qsizetype>("restored");
        QTest::addColumn<QString>("lost");

        const QString sample = u"шок, сок; шок хук Shok\r\nшок"_s;
        QTest::newRow("all back")
                << QStringList{u"sh ш"_s, u"s с"_s, u"h х"_s, u"o о"_s, u"k к"_s} << qsizetype(5)
                << QString();
        QTest::newRow("short spelling first")
                << QStringList{u"s с"_s, u"sh ш"_s, u"h х"_s, u"o о"_s, u"k к"_s} << qsizetype(2)
                << u"шок 3 shok схок"_s;
    }

    void roundTrip()
    {
        QFETCH(QStringList, table);
        QFETCH(qsizetype, restored);
        QFETCH(QString, lost);

        const auto trip = TableCheck::roundTrip(table, u"шок, сок; шок хук Shok\r\nшок"_s);
        QCOMPARE(trip.words, qsizetype(5));
        QCOMPARE(trip.restored, restored);
        QStringList described;
        for (const auto &l : trip.lost)
            described << u"%1 %2 %3 %4"_s.arg(l.word).arg(l.count).arg(l.latin, l.back);
        QCOMPARE(described.join(u'|'), lost);
    }

    // Words travel in batches; a word must never meet its neighbour.
    void roundTripKeepsWordsApart()
    {
        QStringList words;
        for (int i = 0; i < 3000; ++i)
            words << (i % 2 ? u"аб"_s : u"ба"_s);
        const auto trip = TableCheck::roundTrip({u"ba ж"_s, u"a а"_s, u"b б"_s},
                                                words.join(u' ') + u" аб ба"_s);
        QCOMPARE(trip.words, qsizetype(3002));
        // "аб" goes to "ab" and comes back; "ба" goes to "ba", which the first
        // entry reads as "ж".
        QCOMPARE(trip.restored, qsizetype(1501));
        QCOMPARE(trip.lost.size(), 1);
        QCOMPARE(trip.lost.first().back, u"ж"_s);
    }

    void roundTripCountsOverflowAsLost()
    {
        const QStringList table{u"b б"_s, QString(20000, u'x') + u" а"_s};
        const auto trip = TableCheck::roundTrip(table, u"б баа бб"_s);
        QCOMPARE(trip.words, qsizetype(3));
        QCOMPARE(trip.restored, qsizetype(2));
        QCOMPARE(trip.lost.size(), 1);
        QCOMPARE(trip.lost.first().word, u"баа"_s);
        QVERIFY2(trip.lost.first().latin.startsWith(u"Ошибка 6"_s), qPrintable(trip.lost.first().latin));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("entries"); // empty: no table written
        QTest::addColumn<QString>("sample");      // a file in the test folder, or none
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("mentions"); // in the report, or in the error

        const QStringList clean{u"zh ж"_s, u"z з"_s, u"h х"_s, u"u у"_s, u"k к"_s};
        QTest::newRow("clean") << clean << QString() << 0
                               << QStringList{u"записей: 5"_s, u"Итог: замечаний нет\n"_s};
        QTest::newRow("information only")
                << QStringList{u"kh х"_s, u"h х"_s} << QString() << 0
                << QStringList{u"строка 3: к сведению:"_s,
                               u"Итог: замечаний нет, к сведению: 1"_s};
        QTest::newRow("problem") << QStringList{u"s с"_s, u"sh ш"_s} << QString() << 1
                                 << QStringList{u"строка 3: замечание:"_s, u"Итог: замечаний: 1"_s};
        // A word that does not come back is information, not a problem.
        QTest::newRow("sample") << clean << u"sample"_s << 0
                                << QStringList{u"Русских слов в образце: 3, вернулись без "
                                               u"изменений: 2 (66,6667 %)"_s,
                                               u"  зхук ×1 → zhuk → жук"_s};
        QTest::newRow("sample skipped when the table overflows")
                << QStringList{u"a ab"_s} << u"sample"_s << 1
                << QStringList{u"Проверка по образцу пропущена"_s};
        QTest::newRow("missing sample") << clean << u"nothing"_s << 5
                                        << QStringList{u"Ошибка 53"_s, u"nothing"_s};
        QTest::newRow("sample not in UTF-8") << clean << u"cp1251"_s << 5
                                             << QStringList{u"не в кодировке UTF-8"_s};
        QTest::newRow("missing table") << QStringList{} << QString() << 3
                                       << QStringList{u"Ошибка 53"_s, u"table.ini"_s};
    }

    void run()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, sample);
        QFETCH(int, status);
        QFETCH(QStringList, mentions);

        // Only "зхук" is lost: its Latin "zhuk" reads as "жук".
        writeFile(u"sample"_s, u"жук зхук Жук"_s.toUtf8());
        writeFile(u"cp1251"_s, QStringEncoder("windows-1251").encode(u"жук"_s));
        QFile::remove(m_dir.filePath(u"table.ini"_s));
        if (!entries.isEmpty())
            writeTable(entries);

        QString report, error;
        QTextStream out(&report);
        const int got = TableCheck::run(m_dir.filePath(u"table.ini"_s),
                                        sample.isEmpty() ? QString() : m_dir.filePath(sample),
                                        out, error);
        out.flush();
        QCOMPARE(got, status);
        // A failure writes no report, only the error.
        QCOMPARE(report.isEmpty(), status > 1);
        QCOMPARE(error.isEmpty(), status <= 1);
        for (const QString &m : mentions)
            QVERIFY2(QString(report + error).contains(m),
                     qPrintable(u"«%1» not in:\n%2%3"_s.arg(m, report, error)));
    }
};

QTEST_GUILESS_MAIN(tst_TableCheck)
#include "tst_tablecheck.moc"
