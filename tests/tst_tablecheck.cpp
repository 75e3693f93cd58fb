// SPDX-License-Identifier: MIT
#include "cp1251.h"
#include "tablecheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

class tst_TableCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // Entries, and findings as "Kind-number line otherLine P(roblem)/i(nfo)", separated by "|".
    void findings_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clean") << u"zh ж|z з|u у"_s << QString();
        QTest::newRow("changes nothing") << u"|zhж| zh ж|zh  ж|zh "_s
                << u"0 2 0 i|1 3 0 P|1 4 0 P|1 5 0 P|1 6 0 P"_s;
        QTest::newRow("duplicate") << u"zh ж|z з|zh ж"_s << u"2 4 2 P"_s;
        QTest::newRow("text after a second space") << u"zh ж # the letter ж|z з "_s
                                                   << u"6 2 0 i"_s;
        QTest::newRow("shorter Latin above") << u"s с|sh ш"_s << u"3 3 2 P"_s;
        QTest::newRow("alias below its letter") << u"kh х|h х"_s << u"4 3 2 i"_s;
        // Starved both ways: the finding names the entry that takes the Latin.
        QTest::newRow("pair below its letters") << u"j й|o о|oy ой"_s << u"3 4 3 P"_s;
        QTest::newRow("pair alias between its letters") << u"j й|oy ой|o о"_s << u"4 3 2 i"_s;
        QTest::newRow("replacement brings the Latin back") << u"s с|x s|sh ш"_s << QString();
        QTest::newRow("same-length swap may leave matches") << u"ab ba|abc д"_s << QString();
        QTest::newRow("grows either way") << u"a ab|жж ж"_s << u"5 2 0 P|5 3 0 P"_s;
        QTest::newRow("growth never reached is harmless") << u"a а|ab aba|x xa"_s
                                                          << u"3 3 2 P|5 4 0 P"_s;
    }

    void findings()
    {
        QFETCH(QString, entries);
        QFETCH(QString, expected);
        const auto found = TableCheck::checkEntries(entries.split(u'|'));
        QStringList described;
        for (const auto &f : found) {
            const bool problem = f.severity == TableCheck::Severity::Problem;
            described << u"%1 %2 %3 %4"_s.arg(int(f.kind)).arg(f.line).arg(f.otherLine)
                                 .arg(QChar(problem ? u'P' : u'i'));
            QVERIFY(!f.message.isEmpty());
        }
        QCOMPARE(described.join(u'|'), expected);
        QCOMPARE(TableCheck::hasProblems(found), expected.contains(u'P'));
    }

    // A "%3" in an entry is the user's text, not a placeholder.
    void messagesNameTheCulprit()
    {
        const auto found = TableCheck::checkEntries({u"s%3 с"_s, u"s%3h ш"_s});
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().message.contains(u"«s%3h ш»"_s)
                         && found.first().message.contains(u"строка 2 («s%3 с»)"_s),
                 qPrintable(found.first().message));
    }

    // Only purely Cyrillic words count; a word is listed once with its count,
    // never meets its neighbours on the way, and is lost alone when it overflows.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("expected"); // words restored|lost word count latin back
        const QString sample = u"шок, сок; шок-хук Shok Zhок\r\nшок"_s;
        QTest::newRow("all back") << u"sh ш|s с|h х|o о|k к"_s << sample << u"5 5"_s;
        QTest::newRow("short spelling first")
                << u"s с|sh ш|h х|o о|k к"_s << sample << u"5 2|шок 3 shok схок"_s;
        QTest::newRow("neighbours") << u"ba ж|a а|b б"_s << u"аб ба аб"_s << u"3 2|ба 1 ba ж"_s;
        QTest::newRow("overflow") << u"b б|"_s + QString(20000, u'x') + u" а"_s << u"б баа бб"_s
                                  << u"3 2|баа 1 Ошибка 6 "_s;
    }

    void roundTrip()
    {
        QFETCH(QString, table);
        QFETCH(QString, sample);
        QFETCH(QString, expected);
        const auto trip = TableCheck::roundTrip(table.split(u'|'), sample);
        QStringList described{u"%1 %2"_s.arg(trip.words).arg(trip.restored)};
        for (const auto &l : trip.lost)
            described << u"%1 %2 %3 %4"_s.arg(l.word).arg(l.count).arg(l.latin.left(8), l.back);
        QCOMPARE(described.join(u'|'), expected);
    }

    // The report with a sample; statuses and missing files are left to the
    // command-line tests.
    void run()
    {
        QString report;
        const auto check = [&](const QString &entry, const QByteArray &sample) {
            QFile table(m_dir.filePath(u"table.ini"_s)), text(m_dir.filePath(u"sample"_s));
            if (!table.open(QIODevice::WriteOnly) || !text.open(QIODevice::WriteOnly))
                return -1;
            const QString entries = u"-\r\nzh ж\r\nz з\r\nh х\r\nu у\r\n"_s + entry;
            table.write(Cp1251::encode(entries));
            text.write(sample);
            table.close(), text.close();
            QString error;
            QTextStream out(&report);
            const int status = TableCheck::run(table.fileName(), text.fileName(), out, error);
            out.flush();
            report += error;
            return status;
        };
        // A word that does not come back is information, not a problem.
        QCOMPARE(check(u"k к"_s, u"жук зхук Жук"_s.toUtf8()), 0);
        QVERIFY2(report.endsWith(u"Русских слов в образце: 3, вернулись без изменений: 2 "
                                 u"(66,6667 %)\nНе вернулись (слово, сколько раз, латиницей, "
                                 u"обратно):\n  зхук ×1 → zhuk → жук\nИтог: замечаний нет\n"_s),
                 qPrintable(report));
        // The round trip of such a table could take very long.
        QCOMPARE(check(u"a ab"_s, u"жук"_s.toUtf8()), 1);
        QVERIFY2(report.contains(u"Проверка по образцу пропущена"_s), qPrintable(report));
        report.clear();
        QCOMPARE(check(u"k к"_s, "\xE6\xF3\xEA"_ba), 5); // a failure writes only the error
        QVERIFY2(report.startsWith(u"Образец "_s) && report.endsWith(u"не в кодировке UTF-8"_s),
                 qPrintable(report));
    }
};

QTEST_GUILESS_MAIN(tst_TableCheck)
#include "tst_tablecheck.moc"
