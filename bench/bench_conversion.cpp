// SPDX-License-Identifier: MIT
// Times one whole conversion of real Russian prose with the shipped table,
// both ways, against the plain step-by-step routine on the same input. The
// engine is timed as the window uses it: the table's words are taken out
// once, before the timed runs.
//
//   bench_conversion [--table FILE] [--runs N] [--engine-only] [CORPUS]
//
// CORPUS is UTF-8 text, by default what scripts/ru-corpus.sh prints (the
// Russian manual pages of manpages-ru, GPL-3+). Its lines, with runs of
// spaces squeezed and blank lines dropped, are taken from the start for as
// long as they stay within 29,000 characters and their Latin form within
// the 32,766-character limit.

#include "codetable.h"
#include "conversion.h"
#include "literalreference.h"
#include "runtimeerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype ProseTarget = 29000;
constexpr qsizetype MaxText = 32766;

void print(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &message)
{
    std::fputs(qPrintable(u"bench_conversion: "_s + message + u'\n'), stderr);
    std::exit(1);
}

QString readCorpus(const QString &path)
{
    QByteArray bytes;
    if (path.isEmpty()) {
        QProcess script;
        script.start(u"bash"_s, {QStringLiteral(VERTLIN_SOURCE_DIR "/scripts/ru-corpus.sh")});
        if (!script.waitForFinished(300000) || script.exitCode() != 0)
            fail(u"scripts/ru-corpus.sh failed (is manpages-ru installed?)"_s);
        bytes = script.readAllStandardOutput();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(u"cannot read "_s + path);
        bytes = file.readAll();
    }
    return QString::fromUtf8(bytes);
}

// Median of runs, in milliseconds.
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void compare(const QString &what, const QString &input, const QStringList &table, bool toCyrillic,
             int runs, int literalRuns)
{
    QString fast, literal;
    const ConversionTable conversion(table);
    const double fastMs = medianMs(runs, [&] { fast = conversion.convert(input, toCyrillic); });
    if (literalRuns == 0) {
        print(u"%1: %2 -> %3 characters; engine median %4 ms (%5 runs)"_s.arg(what)
                      .arg(input.size())
                      .arg(fast.size())
                      .arg(fastMs, 0, 'f', 3)
                      .arg(runs));
        return;
    }
    const double literalMs = medianMs(literalRuns, [&] {
        literal = LiteralReference::convertText(input, table, toCyrillic);
    });
    if (fast != literal)
        fail(what + u": the engine and the step-by-step routine disagree"_s);
    print(u"%1: %2 -> %3 characters; engine median %4 ms (%5 runs), step by step %6 ms "
          "(%7 runs), %8 times faster"_s.arg(what)
                  .arg(input.size())
                  .arg(fast.size())
                  .arg(fastMs, 0, 'f', 3)
                  .arg(runs)
                  .arg(literalMs, 0, 'f', 1)
                  .arg(literalRuns)
                  .arg(literalMs / fastMs, 0, 'f', 0));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Times whole-text conversion with a code table."_s);
    parser.addHelpOption();
    const QCommandLineOption tableOption(u"table"_s, u"Code table file."_s, u"FILE"_s,
                                         QStringLiteral(VERTLIN_SOURCE_DIR "/data/vl1.ini"));
    const QCommandLineOption runsOption(u"runs"_s, u"Timed runs of the engine."_s, u"N"_s,
                                        u"201"_s);
    parser.addOption(tableOption);
    parser.addOption(runsOption);
    // The step-by-step routine takes far longer than the engine: leave it
    // out to count the engine's instructions under valgrind.
    const QCommandLineOption engineOnlyOption(u"engine-only"_s,
                                              u"Leave out the step-by-step routine."_s);
    parser.addOption(engineOnlyOption);
    parser.addPositionalArgument(u"corpus"_s, u"UTF-8 Russian text (default: ru-corpus.sh)."_s);
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());

    QStringList table;
    try {
        CodeTable::load(parser.value(tableOption), table);
    } catch (const RuntimeError &error) {
        fail(error.message());
    }

    // Manual pages are indented and justified with runs of spaces: those
    // are squeezed, blank lines dropped, to leave running prose. The window
    // holds its lines with CR LF.
    QStringList lines;
    const QString corpus = readCorpus(parser.positionalArguments().value(0));
    for (const QString &line : corpus.split(u'\n')) {
        const QString prose = line.simplified();
        if (!prose.isEmpty())
            lines.append(prose);
    }
    QString prose;
    qsizetype used = 0;
    while (used < lines.size() && prose.size() + lines[used].size() + 2 <= ProseTarget)
        prose += lines[used++] + u"\r\n"_s;
    QString latin = convertText(prose, table, false);
    while (latin.size() > MaxText && used > 0) {
        prose.chop(lines[--used].size() + 2);
        latin = convertText(prose, table, false);
    }
    if (prose.size() < ProseTarget / 2)
        fail(u"the corpus is too short"_s);

    print(u"Table: %1 entries; prose: the first %2 lines of the corpus"_s.arg(table.size())
                  .arg(used));
    const int literalRuns = parser.isSet(engineOnlyOption) ? 0 : 5;
    compare(u"to Latin"_s, prose, table, false, runs, literalRuns);
    compare(u"back to Cyrillic"_s, latin, table, true, runs, literalRuns);
    return 0;
}
