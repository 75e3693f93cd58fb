// The shipped code table data/vl1.ini: its file form, its spellings in the
// three cases, what people type, and Russian prose going to Latin and back.
#include "codetable.h"
#include "conversion.h"
#include "tablecheck.h"

#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("VERTLIN_SOURCE_DIR") + u'/' + relative;
}

const QString lowerLetters = u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s;

bool isPlainAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

} // namespace

class tst_Table : public QObject
{
    Q_OBJECT

    QStringList m_table;

    QString toLatin(const QString &text) const { return convertText(text, m_table, false); }
    QString toCyrillic(const QString &text) const { return convertText(text, m_table, true); }

private slots:
    void initTestCase()
    {
        CodeTable::load(sourcePath(u"data/vl1.ini"_s), m_table);
        QVERIFY(m_table.size() > 100);
    }

    // Classic form: windows-1251, CR LF, a header, then "latin cyrillic".
    void fileForm()
    {
        QFile file(sourcePath(u"data/vl1.ini"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();

        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));

        QStringDecoder cp1251("windows-1251");
        const QString text = cp1251.decode(bytes);
        QVERIFY(!cp1251.hasError());
        QCOMPARE(QStringEncoder("windows-1251").encode(text), bytes);
        QCOMPARE(CodeTable::decode(bytes), text); // not mistaken for UTF-8

        const QStringList lines = CodeTable::splitLines(text);
        QVERIFY(lines.first().startsWith(u"Vertlin"_s));
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList words = lines.at(i).split(u' ');
            QVERIFY2(words.size() == 2 && !words.at(0).isEmpty() && !words.at(1).isEmpty(),
                     qPrintable(u"line %1: %2"_s.arg(i + 1).arg(lines.at(i))));
        }
    }

    // Each letter has one Latin spelling, printable ASCII, the same wherever
    // the letter stands.
    void oneSpellingPerLetter_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("spelling");

        const QStringList lower{u"a"_s, u"b"_s, u"v"_s, u"g"_s, u"d"_s, u"e"_s, u"yo"_s,
                                u"zh"_s, u"z"_s, u"i"_s, u"j"_s, u"k"_s, u"l"_s, u"m"_s,
                                u"n"_s, u"o"_s, u"p"_s, u"r"_s, u"s"_s, u"t"_s, u"u"_s,
                                u"f"_s, u"kh"_s, u"c"_s, u"ch"_s, u"sh"_s, u"shch"_s,
                                u"''"_s, u"y"_s, u"'"_s, u"e'"_s, u"yu"_s, u"ya"_s};
        QCOMPARE(lower.size(), lowerLetters.size());
        for (qsizetype i = 0; i < lowerLetters.size(); ++i) {
            const QString letter = lowerLetters.mid(i, 1);
            QTest::addRow("%s", qPrintable(letter)) << letter << lower.at(i);
            const QString capital = lower.at(i).left(1).toUpper() + lower.at(i).mid(1);
            QTest::addRow("%s", qPrintable(letter.toUpper())) << letter.toUpper() << capital;
        }
    }

    void oneSpellingPerLetter()
    {
        QFETCH(QString, letter);
        QFETCH(QString, spelling);

        QVERIFY(isPlainAscii(spelling));
        const bool sign = letter == u"Ь"_s || letter == u"Ъ"_s;
        if (!sign) // capital signs only ever follow a capital consonant
            QCOMPARE(toLatin(letter), spelling);
        const QList<std::pair<QString, QString>> neighbours{
            {u"б"_s, u"b"_s}, {u"Б"_s, u"B"_s}, {u"т"_s, u"t"_s}, {u"Т"_s, u"T"_s},
            {u"ш"_s, u"sh"_s}, {u"Ш"_s, u"Sh"_s}};
        for (const auto &[cyrillic, latin] : neighbours) {
            if (sign && cyrillic.isLower()) // "бЬ" is not Russian
                continue;
            QCOMPARE(toLatin(cyrillic + letter + cyrillic), latin + spelling + latin);
        }
    }

    // Lower case, Capitalised and ALL CAPS of every letter go to Latin and
    // come back.
    void caseFormsComeBack_data()
    {
        QTest::addColumn<QString>("word");

        for (const QChar l : lowerLetters) {
            const QString u = QString(l).toUpper();
            const bool sign = l == u'ь' || l == u'ъ';
            QTest::addRow("б%cр", l.unicode()) << u"б"_s + l + u"р"_s;
            if (sign) {
                QTest::addRow("Об%cор", l.unicode()) << u"Об"_s + l + u"ор"_s;
                QTest::addRow("Б%sР", qPrintable(u)) << u"Б"_s + u + u"Р"_s;
            } else {
                QTest::addRow("%sба", qPrintable(u)) << u + u"ба"_s;
                QTest::addRow("%sБА", qPrintable(u)) << u + u"БА"_s;
                QTest::addRow("Б%sР", qPrintable(u)) << u"Б"_s + u + u"Р"_s;
            }
        }
        for (const QString &word : {u"Жук"_s, u"ЖУК"_s, u"жук"_s, u"ЩЁЛОЧЬ"_s, u"ОБЪЯВЛЕНИЕ"_s,
                                    u"ИСПОЛЬЗОВАНИЕ"_s, u"ПОДЪЁМ"_s, u"СЕМЬЯ"_s, u"Съезд"_s,
                                    u"ЭХО"_s, u"Юля"_s, u"ЯЩИК"_s, u"ЁЖ"_s, u"Пьеса"_s,
                                    u"Вьюга"_s, u"Объём"_s, u"ПУТЬ"_s, u"Съёмка"_s})
            QTest::addRow("%s", qPrintable(word)) << word;
    }

    void caseFormsComeBack()
    {
        QFETCH(QString, word);
        const QString latin = toLatin(word);
        QVERIFY2(isPlainAscii(latin), qPrintable(latin));
        QCOMPARE(toCyrillic(latin), word);
    }

    // Every spelling of more than one letter, canonical or alias, read in
    // lower case, Capitalised and ALL CAPS.
    void multiLetterSpellings_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");

        const QList<std::pair<QString, QString>> spellings{
            {u"shch"_s, u"щ"_s}, {u"shh"_s, u"щ"_s}, {u"zh"_s, u"ж"_s}, {u"kh"_s, u"х"_s},
            {u"ch"_s, u"ч"_s}, {u"sh"_s, u"ш"_s}, {u"yo"_s, u"ё"_s}, {u"yu"_s, u"ю"_s},
            {u"ju"_s, u"ю"_s}, {u"ya"_s, u"я"_s}, {u"e'"_s, u"э"_s}, {u"tsa"_s, u"ца"_s},
            {u"tse"_s, u"це"_s}, {u"tsi"_s, u"ци"_s}, {u"tsv"_s, u"цв"_s}, {u"ay"_s, u"ай"_s},
            {u"ey"_s, u"ей"_s}, {u"iy"_s, u"ий"_s}, {u"oy"_s, u"ой"_s}, {u"uy"_s, u"уй"_s},
            {u"yy"_s, u"ый"_s}, {u"yi"_s, u"ый"_s}, {u"ob'e"_s, u"объе"_s},
            {u"ob'ya"_s, u"объя"_s}, {u"ob'yo"_s, u"объё"_s}, {u"ob'yu"_s, u"объю"_s},
            {u"pod'e"_s, u"подъе"_s}, {u"pod'ya"_s, u"подъя"_s}, {u"pod'yo"_s, u"подъё"_s},
            {u"raz'e"_s, u"разъе"_s}, {u"raz'ya"_s, u"разъя"_s}, {u"ras'e"_s, u"расъе"_s},
            {u"iz'ya"_s, u"изъя"_s}, {u"ot'e"_s, u"отъе"_s}, {u"ot'ya"_s, u"отъя"_s},
            {u"nad'e"_s, u"надъе"_s}, {u"sub'e"_s, u"субъе"_s}, {u"in'e"_s, u"инъе"_s},
            {u"ad'yu"_s, u"адъю"_s}, {u"kon'yu"_s, u"конъю"_s}, {u"s'e"_s, u"съе"_s}};
        const auto capitalised = [](const QString &s) -> QString { return s.left(1).toUpper() + s.mid(1); };
        for (const auto &[latin, cyrillic] : spellings) {
            QTest::addRow("%s", qPrintable(latin)) << latin << cyrillic;
            QTest::addRow("%s", qPrintable(capitalised(latin)))
                    << capitalised(latin) << capitalised(cyrillic);
            QTest::addRow("%s", qPrintable(latin.toUpper())) << latin.toUpper() << cyrillic.toUpper();
        }
        // "JA" would take "ЙА" of ALL CAPS text; "ja" and "Ja" are safe.
        QTest::newRow("ja") << u"ja"_s << u"я"_s;
        QTest::newRow("Ja") << u"Ja"_s << u"Я"_s;
    }

    void multiLetterSpellings()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(toCyrillic(latin), cyrillic);
        // Inside a word as well, between letters of the other case.
        const QString m = latin.at(0).isUpper() ? u"m"_s : u"M"_s;
        const QString cm = latin.at(0).isUpper() ? u"м"_s : u"М"_s;
        QCOMPARE(toCyrillic(m + latin + m), cm + cyrillic + cm);
    }

    // The soft and hard signs take the case of the letter after them, or of
    // the consonant before them at the end of a word.
    void signsTakeTheirCase_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");

        QTest::newRow("small") << u"ob''ekt sem'ya"_s << u"объект семья"_s;
        QTest::newRow("capitalised") << u"S''ezd L'vov"_s << u"Съезд Львов"_s;
        QTest::newRow("all caps") << u"ISPOL'ZOVANIE OB''EKT ZH'OM"_s
                                  << u"ИСПОЛЬЗОВАНИЕ ОБЪЕКТ ЖЬОМ"_s;
        QTest::newRow("all caps, word end") << u"PUT' DEN'"_s << u"ПУТЬ ДЕНЬ"_s;
        QTest::newRow("typed with one apostrophe") << u"POD'EZD Ob'yavlenie"_s
                                                   << u"ПОДЪЕЗД Объявление"_s;
        QTest::newRow("digraph consonants") << u"SHCH'' Shch'e KH'L"_s << u"ЩЪ Щье ХЬЛ"_s;
    }

    void signsTakeTheirCase()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(toCyrillic(latin), cyrillic);
    }

    // Informal translit as people type it, from tests/data/typed-translit.tsv.
    void typedTranslit()
    {
        QFile file(sourcePath(u"tests/data/typed-translit.tsv"_s));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        qsizetype items = 0, words = 0, right = 0;
        QStringList misses;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QStringList fields = line.split(u'\t');
            QCOMPARE(fields.size(), 2);
            const QStringList got = toCyrillic(fields.at(0)).split(u' ');
            const QStringList expected = fields.at(1).split(u' ');
            QCOMPARE(got.size(), expected.size());
            ++items;
            for (qsizetype i = 0; i < got.size(); ++i, ++words) {
                if (got.at(i) == expected.at(i))
                    ++right;
                else
                    misses << u"%1 → %2 (%3)"_s.arg(fields.at(0).split(u' ').at(i), got.at(i),
                                                   expected.at(i));
            }
        }
        const double share = double(right) / double(words);
        qInfo("typed translit: %lld items, %lld of %lld words right (%.2f %%); misses: %s",
              qlonglong(items), qlonglong(right), qlonglong(words), share * 100.0,
              qPrintable(misses.join(u", "_s)));
        QVERIFY(items >= 300);
        QVERIFY2(share >= 0.97, qPrintable(misses.join(u'\n')));
    }

    // Russian prose to Latin and back: the manual pages of manpages-ru.
    void corpusRoundTrip()
    {
        QProcess corpus;
        corpus.start(u"bash"_s, {sourcePath(u"scripts/ru-corpus.sh"_s)});
        QVERIFY2(corpus.waitForFinished(300000), "the corpus script did not finish");
        QVERIFY2(corpus.exitStatus() == QProcess::NormalExit && corpus.exitCode() == 0,
                 corpus.readAllStandardError().constData());
        const QString text = QString::fromUtf8(corpus.readAllStandardOutput());

        const TableCheck::RoundTrip trip = TableCheck::roundTrip(m_table, text);
        QStringList lost;
        for (const auto &word : trip.lost)
            lost << u"%1 ×%2 → %3 → %4"_s.arg(word.word).arg(word.count).arg(word.latin, word.back);
        qInfo("corpus round trip: %lld of %lld words back (%.4f %%); lost: %s",
              qlonglong(trip.restored), qlonglong(trip.words), trip.share() * 100.0,
              qPrintable(lost.join(u", "_s)));
        QVERIFY(trip.words >= 100000);
        QVERIFY2(trip.share() >= 0.9999, qPrintable(lost.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(tst_Table)
#include "tst_table.moc"
