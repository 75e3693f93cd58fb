// SPDX-License-Identifier: MIT
// Times the table check on made-up tables against its goals: any table of at
// most 64 KB within 2 s, 32,767 short entries within 10 s. Prints one line
// per table; the exit status is 1 when one misses its goal.
//
//   bench_tablecheck [--seed N]

#include "tablecheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString randomWord(QRandomGenerator &random, const QString &letters, int shortest, int longest)
{
    QString word;
    for (int n = random.bounded(shortest, longest + 1); n > 0; --n)
        word += letters.at(random.bounded(int(letters.size())));
    return word;
}

// The made-up tables: a name and the entries, header left out.
QList<std::pair<QString, QStringList>> tables(QRandomGenerator &random)
{
    const QString latin = u"abcdefghijklmnopqrstuvwxyz'#"_s, cyrillic = u"абвгдежзийклмнопрстуфхцчшщъыьэюя"_s;
    QStringList starved, letters, twoLetters, lengths, mixed;
    // Every entry after the 2,000th one reads its word only after an entry
    // whose replacement forms it again.
    for (int i = 0; i < 3000; ++i)
        starved << (i == 2000 ? u"a ba%1"_s.arg(i) : u"a б%1х"_s.arg(i));
    for (int i = 0; i < 32767; ++i) {
        letters << randomWord(random, latin, 1, 4) + u' ' + randomWord(random, cyrillic, 1, 3);
        twoLetters << randomWord(random, u"ab"_s, 1, 4) + u' ' + randomWord(random, u"abв"_s, 1, 3);
    }
    // Words of every length up to the size allows, and long words among short ones.
    for (int k = 1; k < 350; ++k)
        lengths << QString(k, u'a') + u" b"_s;
    mixed << QString(30000, u'a') + u" б"_s;
    for (int i = 0; i < 5000; ++i)
        mixed << randomWord(random, u"ab"_s, 1, 3) + u" в"_s;
    return {{u"3,000 lines, one that forms the others' word (35 KB)"_s, starved},
            {u"32,767 entries of Latin and Cyrillic letters"_s, letters},
            {u"32,767 entries of two letters"_s, twoLetters},
            {u"349 words, one of each length (61 KB)"_s, lengths},
            {u"a 30,000-letter word and 5,000 short ones (60 KB)"_s, mixed}};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype seedAt = arguments.indexOf(u"--seed"_s);
    QRandomGenerator random(seedAt > 0 ? arguments.value(seedAt + 1).toUInt() : 1u);
    int status = 0;
    for (const auto &[name, entries] : tables(random)) {
        qsizetype bytes = 0;
        for (const QString &entry : entries)
            bytes += entry.toUtf8().size() + 2;
        const double goal = bytes <= 65536 ? 2.0 : 10.0;
        QElapsedTimer timer;
        timer.start();
        const qsizetype findings = TableCheck::checkEntries(entries).size();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        std::printf("%-55s %7.3f s (goal %4.1f s), %lld findings\n", qPrintable(name), seconds,
                    goal, static_cast<long long>(findings));
        status |= seconds > goal;
    }
    return status;
}
