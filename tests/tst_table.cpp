// SPDX-License-Identifier: MIT
// The shipped code table data/vl1.ini: its file form, its spellings in every
// case, what people type, and Russian prose going to Latin and back.
#include "codetable.h"
#include "conversion.h"
#include "tablecheck.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

static QString sourcePath(const QString &relative)
{
    return qEnvironmentVariable("VERTLIN_SOURCE_DIR") + u'/' + relative;
}

static QString capitalised(const QString &s)
{
    return s.left(1).toUpper() + s.mid(1);
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
        QStringDecoder cp1251("windows-1251");
        const QString text = cp1251.decode(bytes);
        QVERIFY(!cp1251.hasError());
        QCOMPARE(CodeTable::decode(bytes), text);
        QVERIFY(text.startsWith(u"Vertlin"_s));
    }

    // One fixed spelling per letter; a capital alone is written Capitalised.
    void spellings()
    {
        QCOMPARE(convert(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя Щука ЩУКА"_s, false),
                 u"abvgdeyozhzijklmnoprstufkhcchshshch''y'e'yuya Shchuka ShchUKA"_s);
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

    // Every multi-letter Latin spelling of the table read back alone, in lower
    // case too, and those in lower case also Capitalised and in ALL CAPS; a
    // sign after every capital consonant; signs in running text.
    void readBack_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");
        QMap<QString, QString> spellings;
        for (const QString &entry : m_table) {
            const QString latin = entry.section(u' ', 0, 0), cyrillic = entry.section(u' ', 1);
            if (latin.size() < 2 || latin.at(0).script() != QChar::Script_Latin)
                continue;
            spellings.insert(latin, cyrillic);
            spellings.insert(latin.toLower(), cyrillic.toLower());
            if (latin == latin.toLower()) {
                spellings.insert(capitalised(latin), capitalised(cyrillic));
                // No "JA": it would take the "ЙА" of ALL CAPS text.
                spellings.insert(latin.toUpper(), latin == u"ja"_s ? u"ЙА"_s : cyrillic.toUpper());
            }
        }
        for (const QChar c : u"БВГДЖЗКЛМНПРСТФХЦЧШЩ"_s) { // a sign at the end takes the case
            const QString latin = convert(c, false);
            for (const QString &l : {latin, latin.toUpper()})
                spellings.insert(l + u"'"_s, c + u"Ь"_s), spellings.insert(l + u"''"_s, c + u"Ъ"_s);
        }
        for (auto it = spellings.cbegin(); it != spellings.cend(); ++it)
            QTest::addRow("%s", qPrintable(it.key())) << it.key() << it.value();
        QTest::newRow("signs") << u"ob''ekt sem'ya S''ezd L'vov"_s << u"объект семья Съезд Львов"_s;
        QTest::newRow("caps signs") << u"ISPOL'ZOVANIE OB''EKT ZH'OM PUT' DEN'"_s
                                    << u"ИСПОЛЬЗОВАНИЕ ОБЪЕКТ ЖЬОМ ПУТЬ ДЕНЬ"_s;
        QTest::newRow("one apostrophe, digraphs") << u"POD'EZD Ob'yavlenie SHCH'' Shch'e KH'L"_s
                                                  << u"ПОДЪЕЗД Объявление ЩЪ Щье ХЬЛ"_s;
    }

    void readBack()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(convert(latin, true), cyrillic);
    }

    void checksClean()
    {
        QStringList problems;
        for (const auto &f : TableCheck::checkEntries(m_table))
            if (f.severity == TableCheck::Severity::Problem)
                problems << u"%1: %2"_s.arg(f.line).arg(f.message);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
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
        QVERIFY(misses.size() <= 0.03 * double(words));
    }

    // Russian prose to Latin and back: the manual pages of manpages-ru.
    void corpusRoundTrip()
    {
        QProcess corpus;
        corpus.start(u"bash"_s, {sourcePath(u"scripts/ru-corpus.sh"_s)});
        QVERIFY(corpus.waitForFinished(300000));
        QVERIFY2(corpus.exitCode() == 0, corpus.readAllStandardError().constData());
        const auto trip =
                TableCheck::roundTrip(m_table, QString::fromUtf8(corpus.readAllStandardOutput()));
        QStringList lost;
        for (const auto &word : trip.lost)
            lost << u"%1 ×%2 → %3 → %4"_s.arg(word.word).arg(word.count).arg(word.latin, word.back);
        qInfo("corpus round trip: %lld of %lld words back; lost: %s", qlonglong(trip.restored),
              qlonglong(trip.words), qPrintable(lost.join(u", "_s)));
        QVERIFY(trip.words >= 100000);
        QVERIFY(trip.share() >= 0.9999);
    }
};

QTEST_GUILESS_MAIN(tst_Table)
#include "tst_table.moc"
