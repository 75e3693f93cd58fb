// SPDX-License-Identifier: MIT
// Searches for the tables and texts that make a whole conversion slowest and
// prints the slowest found in each family, against the goals: no conversion
// of a text at the length limit over 10 ms with a table of the shipped size,
// none over 1 s with any table of at most 64 KB, and no table of up to 1 MB
// taking 0.5 s or more to prepare.
//
//   bench_worstcase [--seconds S] [--seed N]
//
// Each family starts from hand-made hard cases (overlapping search strings,
// replacements that make their search string again a little further on,
// long runs of one letter, entries of thousands of characters whose match
// moves one place per pass, shrink-then-regrow chains of such entries,
// tables of long lines) and climbs from its slowest case by random edits,
// for S seconds (default 20) per family. Texts are a pattern repeated up to
// the 32,766-character limit; a conversion that ends in the overflow error
// counts with the time it took to fail.

#include "codetable.h"
#include "conversion.h"
#include "runtimeerror.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype MaxText = 32766;

struct Case
{
    QStringList table;
    QString pattern, tail; // the text: pattern repeated, then tail, at the limit
    bool toCyrillic = true;
    double ms = 0;

    QString text() const
    {
        const QString body = pattern.repeated(MaxText / std::max<qsizetype>(1, pattern.size()) + 1);
        return body.left(MaxText - tail.size()) + tail;
    }
};

// Best of three, in milliseconds: the search wants the input's cost, not
// the machine's noise.
double timeMs(const Case &c)
{
    const ConversionTable table(c.table);
    const QString text = c.text();
    double best = 1e18;
    for (int run = 0; run < 3 && (run == 0 || best < 2000); ++run) {
        QElapsedTimer timer;
        timer.start();
        try {
            table.convert(text, c.toCyrillic);
        } catch (const RuntimeError &) {
        }
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

struct Family
{
    const char *name;
    double goalMs;
    QStringList fixed;   // entries every case ends with
    QStringList pieces;  // what patterns and tails are made of
    int maxFree = 0;     // entries of its own a case may put before them
    std::vector<Case> starts;
    QStringList words{u"a"_s, u"b"_s}; // what its entries are made of
    int maxWords = 5;                   // per word of an entry
    bool preparation = false;           // times the table's preparation instead
};

double timeMs(const Family &family, const Case &c)
{
    Case whole = c;
    whole.table += family.fixed;
    if (!family.preparation)
        return timeMs(whole);
    QElapsedTimer timer;
    timer.start();
    const ConversionTable table(whole.table);
    return double(timer.nsecsElapsed()) / 1e6;
}

QString randomString(QRandomGenerator &random, const QStringList &pieces, int maxPieces)
{
    QString result;
    for (int n = 1 + random.bounded(maxPieces); n > 0; --n)
        result += pieces.at(random.bounded(int(pieces.size())));
    return result;
}

// One random edit: an entry, the pattern, the tail or the direction.
Case edited(Case c, QRandomGenerator &random, const Family &family)
{
    // A QString, not the builder '+' makes: that would outlive its pieces.
    const auto entry = [&]() -> QString {
        return randomString(random, family.words, family.maxWords) + u' '
                + randomString(random, family.words, family.maxWords + 1);
    };
    const int free = int(c.table.size());
    switch (random.bounded(family.maxFree > 0 ? 6 : 3)) {
    case 0:
        c.pattern = randomString(random, family.pieces, 6);
        break;
    case 1:
        c.tail = random.bounded(2) ? randomString(random, family.pieces, 3) : QString();
        break;
    case 2:
        c.toCyrillic = !c.toCyrillic;
        break;
    case 3:
        if (free > 0)
            c.table[random.bounded(free)] = entry();
        break;
    case 4:
        if (free < family.maxFree)
            c.table.insert(random.bounded(free + 1), entry());
        break;
    default:
        if (free > 1)
            c.table.removeAt(random.bounded(free));
    }
    return c;
}

// From the slowest start, keeps any edit that is at least as slow.
Case climb(const Family &family, double seconds, QRandomGenerator &random, int &tried)
{
    Case slowest;
    slowest.ms = -1;
    for (Case c : family.starts) {
        c.ms = timeMs(family, c);
        ++tried;
        if (c.ms > slowest.ms)
            slowest = c;
    }
    QElapsedTimer clock;
    clock.start();
    // Tables to convert with stay within 64 KB, tables to prepare within 1 MB.
    const qsizetype limit = family.preparation ? 1 << 20 : 1 << 16;
    while (clock.elapsed() < seconds * 1000) {
        Case c = edited(slowest, random, family);
        if (c.table.join(u"\r\n"_s).size() > limit)
            continue;
        c.ms = timeMs(family, c);
        ++tried;
        if (c.ms >= slowest.ms)
            slowest = c;
    }
    return slowest;
}

// Long tables and words by their beginning and their length.
QString shown(const QString &text)
{
    QString escaped = text.left(160);
    escaped.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
    return u'"' + escaped + u'"'
            + (text.size() > 160 ? u"… (%1 characters)"_s.arg(text.size()) : QString());
}

std::vector<Family> families(const QStringList &shipped)
{
    QStringList latin, cyrillic;
    for (const QString &entry : shipped) {
        const QStringList words = entry.split(u' ');
        if (words.size() >= 2 && !words[0].isEmpty() && !words[1].isEmpty())
            latin << words[0], cyrillic << words[1];
    }
    const QStringList ab{u"a"_s, u"b"_s};
    // Halving runs, one replacement per pass, growth up to the limit,
    // one-letter runs that shift back and forth.
    const std::vector<Case> hard{{{u"aa a"_s}, u"a"_s, {}}, {{u"ab b"_s}, u"a"_s, u"b"_s},
                                 {{u"ab aab"_s}, u"a"_s, u"b"_s}, {{u"ba ab"_s}, u"b"_s, u"a"_s},
                                 {{u"a aa"_s}, u"b"_s, u"a"_s}, {{u"b a"_s, u"a b"_s}, u"ab"_s, {}}};
    std::vector<Case> own;
    for (const QString &word : {u"shch"_s, u"ShCh"_s, u"s"_s, u"'"_s})
        own.push_back({{}, word, {}, true});
    for (const QString &word : {u"щ"_s, u"Щ"_s, u"ь"_s, u"ы"_s})
        own.push_back({{}, word, {}, false});
    // Long entries: c(xy)^1030 shrinks to (xy)^1030 one place further left
    // in every pass; a chain lets each entry's result regrow for the next.
    const QString xy = u"xy"_s.repeated(1030), yx = u"yx"_s.repeated(1030);
    QStringList chain;
    for (int i = 0; i < 5; ++i) {
        const QString &from = i % 2 ? yx : xy, &to = i % 2 ? xy : yx;
        chain << u'c' + from + u' ' + from << from + u' ' + u"c"_s.repeated(2000) + to;
    }
    const std::vector<Case> longHard{{{u'c' + xy + u' ' + xy}, u"c"_s, xy},
                                     {chain, u"c"_s, xy},
                                     {{u"a"_s.repeated(2000) + u"b a"_s}, u"a"_s, u"b"_s},
                                     {{u"a"_s.repeated(3000) + u' ' + u"a"_s.repeated(2999)}, u"a"_s, {}}};
    const QStringList longWords{u"a"_s, u"b"_s, u"a"_s.repeated(500), u"ab"_s.repeated(300), xy,
                                u"c"_s};
    // Ten lines of 32,000 characters, and 1 MB of lines of a few hundred.
    QStringList longLines, shrinkingLines, manyLines;
    for (int i = 0; i < 10; ++i) {
        longLines << u"ab"_s.repeated(8000) + u' ' + u"ab"_s.repeated(7999) + u'a';
        shrinkingLines << u"a"_s.repeated(16000) + u' ' + u"a"_s.repeated(15000) + u'b';
    }
    for (int i = 0; i < 3000; ++i)
        manyLines << u"ab"_s.repeated(80) + u' ' + u"ba"_s.repeated(80);
    const QStringList lineWords{u"a"_s.repeated(4000), u"ab"_s.repeated(2000), u"b"_s};
    return {{"shipped table, its own spellings", 10, shipped, latin + cyrillic, 0, own},
            {"shipped table and 3 entries of its own", 10, shipped, ab, 3, hard},
            {"any table (up to 8 entries)", 1000, {}, ab, 8, hard},
            {"long entries (up to 12, 64 KB)", 1000, {}, longWords, 12, longHard, longWords, 6},
            {"preparing tables of long lines (up to 1 MB)", 500, {}, ab, 12,
             {{longLines, u"a"_s, {}}, {shrinkingLines, u"a"_s, {}}, {manyLines, u"a"_s, {}}},
             lineWords, 8, true}};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const auto option = [&](const QString &name, double fallback) {
        const qsizetype at = arguments.indexOf(name);
        return at > 0 && at + 1 < arguments.size() ? arguments[at + 1].toDouble() : fallback;
    };
    const double seconds = option(u"--seconds"_s, 20);
    QRandomGenerator random(quint32(option(u"--seed"_s, 1)));
    QStringList shipped;
    try {
        CodeTable::load(QStringLiteral(VERTLIN_TABLE_FILE), shipped);
    } catch (const RuntimeError &error) {
        std::fprintf(stderr, "bench_worstcase: %s\n", error.what());
        return 1;
    }

    bool met = true;
    for (const Family &family : families(shipped)) {
        int tried = 0;
        const Case slowest = climb(family, seconds, random, tried);
        const bool ok = slowest.ms <= family.goalMs;
        met = met && ok;
        std::printf("%s: %d cases, slowest %.2f ms (goal %.0f ms: %s)\n  %s, entries %s,"
                    " text %s repeated, then %s\n",
                    family.name, tried, slowest.ms, family.goalMs, ok ? "met" : "MISSED",
                    slowest.toCyrillic ? "to Cyrillic" : "to Latin",
                    qPrintable(shown(slowest.table.join(u'|'))), qPrintable(shown(slowest.pattern)),
                    qPrintable(shown(slowest.tail)));
    }
    return met ? 0 : 1;
}
