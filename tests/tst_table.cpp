// SPDX-License-Identifier: MIT
// The shipped code table data/vl1.ini: its file form, its spellings in every
// case, what people type in each habit and copy from passports and maps, and
// every kind of Russian text going to Latin and back.
#include "codetable.h"
#include "cp1251.h"
#include "conversion.h"
#include "tablereport.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

static QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("VERTLIN_SOURCE_DIR") + u'/' + relative;
}

class tst_Table : public QObject
{
    Q_OBJECT

    QStringList m_table;

    QString convert(const QString &text, bool toCyrillic) const
    {
        return convertText(text, m_table, toCyrillic);
    }

private slots:
    void initTestCase() { CodeTable::load(sourcePath(u"data/vl1.ini"_s), m_table); }

    // windows-1251 that the loader does not take for UTF-8, CR LF only, a header.
    void fileForm()
    {
        QFile file(sourcePath(u"data/vl1.ini"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\r') + bytes.count('\n'), 2 * bytes.count("\r\n"));
        const QString text = Cp1251::decode(bytes);
        QCOMPARE(CodeTable::decode(bytes), text);
        QVERIFY(text.startsWith(u"Vertlin"_s));
    }

    // One fixed spelling per letter; a capital alone is written Capitalised,
    // an all-capital word in Latin capitals.
    void spellings()
    {
        QCOMPARE(convert(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя Щука ЩУКА ЮЛА СЪЕЗД ЩЁЛОЧЬ"_s, false),
                 u"abvgdeyozhzijklmnoprstufkhcchshshch''y'e'yuya Shchuka SHCHUKA YULA S''EZD "
                 "SHCHYOLOCH'"_s);
    }

    // Every letter in lower case, Capitalised and ALL CAPS goes to plain ASCII and back.
    void lettersComeBack_data()
    {
        QTest::addColumn<QString>("word");
        for (const QChar l : u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s) {
            const QString u = QString(l).toUpper();
            const QString start = l == u'ь' || l == u'ъ' ? u"Об"_s + l : u; // signs never start words
            QTest::addRow("%s", qPrintable(u + l)) << start + u"ба"_s;
            QTest::addRow("%s", qPrintable(u + u)) << u"б"_s + l + u"р Б"_s + u + u"Р"_s;
        }
        QTest::newRow("words") << u"ЩЁЛОЧЬ ОБЪЯВЛЕНИЕ ПОДЪЁМ СЕМЬЯ Съёмка Вьюга ПУТЬ"_s;
        QTest::newRow("context") << u"отсечь выиграть выучить воробью досье свинье лохмотья "
                                    "считать расчёт общий является детский Отсутствие ОТСЕК ВЫУЧИТЬ ВЫУДИТЬ "
                                    "ВЫУЖИВАТЬ ВЫИГРАТЬ"_s;
        QTest::newRow("prefix ot- before s") << u"отсудить Отсуживать отсыхать отсохнуть"_s;
        QTest::newRow("compounds") << u"азотсодержащий постсоветский алюминийорганический"_s;
        QTest::newRow("j before o") << u"майор Майорка Майотта"_s;
        QTest::newRow("sch agent nouns") << u"разносчик опросчик Запросчики"_s;
        // No context entry tells these from ц, я, ю, ё, щ: they go marked.
        QTest::newRow("marked") << u"Китс Тсонга Гайана Кикуйу КИКУЙУ Огайо Нью-Йорк "
                                   "веснушчатый ВЕСНУШЧАТЫЙ Иуда Иаков"_s;
    }

    void lettersComeBack()
    {
        QFETCH(QString, word);
        const QString latin = convert(word, false);
        QVERIFY2(std::all_of(latin.cbegin(), latin.cend(),
                             [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; }),
                 qPrintable(latin));
        QCOMPARE(convert(latin, true), word);
    }

    // The typing habits, passport and map spellings, capitals in either form,
    // and the signs.
    void readBack_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");
        QTest::newRow("capitals") << u"ZhUK ZHUK Zhuk SHCHI ShchI YuLYa YULYA"_s
                                  << u"ЖУК ЖУК Жук ЩИ ЩИ ЮЛЯ ЮЛЯ"_s;
        // Shorter тс entries would take protsvetanie (otsvet отсвет), kantsona (Ватсон).
        QTest::newRow("style 1") << u"otets konets litso mesyats granitsy yavlyaetsya otstup "
                                    "detskij s#est' shchuka protsvetanie kantsona"_s
                                 << u"отец конец лицо месяц границы является отступ детский "
                                    "съесть щука процветание канцона"_s;
        QTest::newRow("style 2") << u"zhenschina esche vsjo dajot pomosch'ju javljaetsja ishodnyj "
                                    "schitat' rasschet hleb"_s
                                 << u"женщина еще всё даёт помощью является исходный считать "
                                    "рассчет хлеб"_s;
        QTest::newRow("style 3") << u"nastoyaschiy sleduyuschie eschyo yayca otpravlyayte vsyo"_s
                                 << u"настоящий следующие ещё яйца отправляйте всё"_s;
        QTest::newRow("BGN/PCGN") << u"Yelabuga Yeye novoye Vasil'yev ob\"yekt znaniye Eto"_s
                                  << u"Елабуга Ее новое Васильев объект знание Это"_s;
        QTest::newRow("ICAO") << u"Iuliia Iakov novaia novuiu informatsiia"_s
                              << u"Юлия Яков новая новую информация"_s;
        QTest::newRow("signs") << u"ob''ekt sem'ya S''ezd L'vov ISPOL'ZOVANIE PUT' DEN' POD'EZD "
                                  "Ob'yavlenie pod'ezd s'ezd dos'e vorob'yu"_s
                               << u"объект семья Съезд Львов ИСПОЛЬЗОВАНИЕ ПУТЬ ДЕНЬ ПОДЪЕЗД "
                                  "Объявление подъезд съезд досье воробью"_s;
    }

    void readBack()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(convert(latin, true), cyrillic);
    }

    // Informal translit as people type it, from tests/data/typed-translit.tsv.
    void typedTranslit()
    {
        QFile file(sourcePath(u"tests/data/typed-translit.tsv"_s));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        qsizetype items = 0, words = 0;
        QStringList misses;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QStringList typed = line.section(u'\t', 0, 0).split(u' ');
            const QStringList expected = line.section(u'\t', 1).split(u' ');
            const QStringList got = convert(typed.join(u' '), true).split(u' ');
            QCOMPARE(got.size(), expected.size());
            ++items, words += got.size();
            for (qsizetype i = 0; i < got.size(); ++i)
                if (got.at(i) != expected.at(i))
                    misses << typed.at(i) + u" → "_s + got.at(i);
        }
        qInfo("typed translit: %lld items, %lld of %lld words right; misses: %s", qlonglong(items),
              qlonglong(words - misses.size()), qlonglong(words), qPrintable(misses.join(u", "_s)));
        QVERIFY(items >= 300);
        QVERIFY(misses.size() <= 0.02 * double(words));
    }

    // Every kind of Russian text the test command installs, measured as
    // "vertlin-convert --check --report" does, against the table's goals.
    void corpusGoals_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"manpages", "guides", "thesaurus", "dictionary", "messages",
                                 "wordforms"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void corpusGoals()
    {
        QFETCH(QString, kind);
        QProcess corpus;
        corpus.start(u"bash"_s, {sourcePath(u"scripts/ru-corpus.sh"_s), kind});
        if (!corpus.waitForStarted())
            QSKIP("the corpus script needs bash, which this system cannot start");
        QVERIFY(corpus.waitForFinished(300000));
        const QByteArray why = corpus.readAllStandardError();
        if (corpus.exitCode() == 1 && why.contains("install"))
            QSKIP(why.trimmed().constData());
        QVERIFY2(corpus.exitCode() == 0, why.constData());
        const auto figures = TableReport::measure(
                m_table, kind, QString::fromUtf8(corpus.readAllStandardOutput()));
        QTextStream out(stdout);
        TableReport::print(figures, out, 5);
        QVERIFY(figures.roundTrip.total >= 10000);
        const QStringList under = TableReport::shortfalls(figures);
        QVERIFY2(under.isEmpty(), qPrintable(under.join(u"; "_s)));
    }
};

QTEST_GUILESS_MAIN(tst_Table)
#include "tst_table.moc"
