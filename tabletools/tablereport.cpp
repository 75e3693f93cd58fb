// SPDX-License-Identifier: MIT
#include "tablereport.h"

#include "codetable.h"
#include "conversion.h"
#include "runtimeerror.h"
#include "tablecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace TableReport {

namespace {

const QString Letters = u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s;
const QStringList Style1Latin = {
        u"a"_s, u"b"_s, u"v"_s,  u"g"_s,  u"d"_s,  u"e"_s,  u"yo"_s,   u"zh"_s, u"z"_s,
        u"i"_s, u"j"_s, u"k"_s,  u"l"_s,  u"m"_s,  u"n"_s,  u"o"_s,    u"p"_s,  u"r"_s,
        u"s"_s, u"t"_s, u"u"_s,  u"f"_s,  u"kh"_s, u"ts"_s, u"ch"_s,   u"sh"_s, u"shch"_s,
        u"#"_s, u"y"_s, u"'"_s,  u"e'"_s, u"yu"_s, u"ya"_s};
const QStringList Style2Latin = {
        u"a"_s, u"b"_s, u"v"_s, u"g"_s, u"d"_s, u"e"_s, u"jo"_s,  u"zh"_s, u"z"_s,
        u"i"_s, u"j"_s, u"k"_s, u"l"_s, u"m"_s, u"n"_s, u"o"_s,   u"p"_s,  u"r"_s,
        u"s"_s, u"t"_s, u"u"_s, u"f"_s, u"h"_s, u"c"_s, u"ch"_s,  u"sh"_s, u"sch"_s,
        u"'"_s, u"y"_s, u"'"_s, u"e"_s, u"ju"_s, u"ja"_s};
const QStringList Style3Latin = {
        u"a"_s, u"b"_s, u"v"_s, u"g"_s, u"d"_s, u"e"_s, u"yo"_s,  u"zh"_s, u"z"_s,
        u"i"_s, u"y"_s, u"k"_s, u"l"_s, u"m"_s, u"n"_s, u"o"_s,   u"p"_s,  u"r"_s,
        u"s"_s, u"t"_s, u"u"_s, u"f"_s, u"h"_s, u"c"_s, u"ch"_s,  u"sh"_s, u"sch"_s,
        u""_s,  u"y"_s, u""_s,  u"e"_s, u"yu"_s, u"ya"_s};
// The machine-readable zone's table of passports, in lower case.
const QStringList IcaoLatin = {
        u"a"_s, u"b"_s, u"v"_s,  u"g"_s,  u"d"_s,  u"e"_s,  u"e"_s,    u"zh"_s, u"z"_s,
        u"i"_s, u"i"_s, u"k"_s,  u"l"_s,  u"m"_s,  u"n"_s,  u"o"_s,    u"p"_s,  u"r"_s,
        u"s"_s, u"t"_s, u"u"_s,  u"f"_s,  u"kh"_s, u"ts"_s, u"ch"_s,   u"sh"_s, u"shch"_s,
        u"ie"_s, u"y"_s, u""_s,  u"e"_s,  u"iu"_s, u"ia"_s};

// Words travel together, one a line, in batches small enough that no
// conversion gets long; a batch that overflows goes again word by word, and
// a word that overflows on its own comes back as the error's text.
QStringList travel(const ConversionTable &table, const QStringList &words, bool toCyrillic)
{
    QStringList result;
    result.reserve(words.size());
    for (qsizetype first = 0; first < words.size();) {
        qsizetype last = first + 1, length = words.at(first).size();
        while (last < words.size() && length + words.at(last).size() + 1 <= 2000)
            length += words.at(last++).size() + 1;
        const QStringList batch = words.mid(first, last - first);
        try {
            result << table.convert(batch.join(u'\n'), toCyrillic).split(u'\n');
        } catch (const RuntimeError &) {
            for (const QString &word : batch) {
                try {
                    result << table.convert(word, toCyrillic);
                } catch (const RuntimeError &error) {
                    result << error.message();
                }
            }
        }
        first = last;
    }
    return result;
}

struct Counted
{
    QStringList words; // distinct, in order of first appearance
    QHash<QString, qsizetype> counts;
    void add(const QString &word, qsizetype times = 1)
    {
        qsizetype &count = counts[word];
        if (count == 0)
            words << word;
        count += times;
    }
};

void sortMisses(Measure &measure)
{
    std::stable_sort(measure.misses.begin(), measure.misses.end(),
                     [](const Miss &a, const Miss &b) { return a.count > b.count; });
}

// Sends every word to Latin and back; returns their Latin.
QStringList measureTrip(const ConversionTable &table, const Counted &words, Measure &measure)
{
    const QStringList latin = travel(table, words.words, false);
    const QStringList back = travel(table, latin, true);
    for (qsizetype i = 0; i < words.words.size(); ++i) {
        const QString &word = words.words.at(i);
        const qsizetype count = words.counts.value(word);
        measure.total += count;
        if (back.value(i) == word)
            measure.right += count;
        else
            measure.misses.append({word, count, latin.value(i), back.value(i)});
    }
    sortMisses(measure);
    return latin;
}

void measureCapitals(const ConversionTable &table, const Counted &words, Figures &figures)
{
    Counted capitals;
    for (const QString &word : words.words)
        if (word.size() >= 2)
            capitals.add(word.toUpper(), words.counts.value(word));
    const QStringList latin = measureTrip(table, capitals, figures.capitalTrip);
    Measure &inCapitals = figures.capitalsInLatin;
    for (qsizetype i = 0; i < capitals.words.size(); ++i) {
        const QString &word = capitals.words.at(i);
        const qsizetype count = capitals.counts.value(word);
        inCapitals.total += count;
        if (latin.at(i).toUpper() == latin.at(i))
            inCapitals.right += count;
        else
            inCapitals.misses.append({word, count, latin.at(i), QString()});
    }
    sortMisses(inCapitals);
}

// Scores what the table read of the typed words against the words.
void score(const QStringList &words, const QStringList &typedWords, const QStringList &read,
           const Counted &common, Habit habit, Measure &measure)
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        ++measure.total;
        if (readsAs(read.value(i), words.at(i), habit))
            ++measure.right;
        else
            measure.misses.append({words.at(i), common.counts.value(words.at(i).toLower()),
                                   typedWords.at(i), read.value(i)});
    }
    sortMisses(measure);
}

void measureHabit(const ConversionTable &table, const Counted &common, Habit habit,
                  Measure &measure)
{
    QStringList typedWords;
    for (const QString &word : common.words)
        typedWords << typed(word, habit);
    score(common.words, typedWords, travel(table, typedWords, true), common, habit, measure);
}

// ICU's transliterator, through its command-line tool (Debian's icu-devtools):
// the lines transformed, or none when it cannot run.
QStringList icu(const QStringList &lines, const QString &transform)
{
    QProcess uconv;
    uconv.start(u"uconv"_s, {u"-f"_s, u"utf-8"_s, u"-t"_s, u"utf-8"_s, u"-x"_s, transform});
    if (!uconv.waitForStarted())
        return {};
    uconv.write((lines.join(u'\n') + u'\n').toUtf8());
    uconv.closeWriteChannel();
    if (!uconv.waitForFinished(120000) || uconv.exitStatus() != QProcess::NormalExit
        || uconv.exitCode() != 0)
        return {};
    QStringList out = QString::fromUtf8(uconv.readAllStandardOutput()).split(u'\n');
    out.removeLast(); // what follows the last line end
    return out.size() == lines.size() ? out : QStringList();
}

// BGN/PCGN as people type it: the primes become ' and ", the diacritics
// (ë, the dot of t·s) go.
QString ascii(const QString &latin)
{
    QString out;
    for (const QChar c : latin.normalized(QString::NormalizationForm_D))
        if (c == u'\u02B9' || c == u'\u02BA')
            out += c == u'\u02B9' ? u'\'' : u'"';
        else if (c.unicode() < 0x80)
            out += c;
    return out;
}

QString capitalised(const QString &word)
{
    return word.left(1).toUpper() + word.mid(1);
}

// Passports and maps write names: the commonest words go Capitalised.
void measurePassports(const ConversionTable &table, const Counted &common, Figures &figures)
{
    QStringList names, icao, bgn;
    for (const QString &word : common.words) {
        names << capitalised(word);
        icao << capitalised(typed(word, Habit::Icao));
    }
    for (const QString &latin : icu(names, u"Russian-Latin/BGN"_s))
        bgn << ascii(latin);
    const QStringList bgnIcu = icu(bgn, u"Latin-Russian/BGN"_s);
    const QStringList icaoIcu = icu(icao, u"Latin-Russian/BGN"_s);
    if (bgn.isEmpty() || bgnIcu.isEmpty() || icaoIcu.isEmpty())
        return;
    score(names, bgn, travel(table, bgn, true), common, Habit::Bgn, figures.bgn);
    score(names, bgn, bgnIcu, common, Habit::Bgn, figures.bgnIcu);
    score(names, icao, travel(table, icao, true), common, Habit::Icao, figures.icao);
    score(names, icao, icaoIcu, common, Habit::Icao, figures.icaoIcu);
}

// The commonest lower-case forms, most frequent first.
Counted commonest(const Counted &words)
{
    Counted lower;
    for (const QString &word : words.words)
        lower.add(word.toLower(), words.counts.value(word));
    QStringList order = lower.words;
    std::stable_sort(order.begin(), order.end(), [&](const QString &a, const QString &b) {
        return lower.counts.value(a) > lower.counts.value(b);
    });
    // A list of words without repeats (every word form once) has no
    // commonest words: an even spread over it stands for it instead.
    const bool flat = std::all_of(words.words.cbegin(), words.words.cend(),
                                  [&](const QString &w) { return words.counts.value(w) == 1; });
    Counted common;
    for (qsizetype i = 0; i < std::min(CommonWords, order.size()); ++i) {
        const QString &word = order.at(flat ? i * order.size() / CommonWords : i);
        common.add(word, lower.counts.value(word));
    }
    return common;
}

} // namespace

QString typed(const QString &word, Habit habit)
{
    const QStringList &latin = habit == Habit::Style1   ? Style1Latin
                               : habit == Habit::Style2 ? Style2Latin
                               : habit == Habit::Style3 ? Style3Latin
                                                        : IcaoLatin;
    QString result;
    for (const QChar c : word) {
        const qsizetype letter = Letters.indexOf(c);
        result += letter < 0 ? QString(c) : latin.at(letter);
    }
    return result;
}

bool readsAs(const QString &read, const QString &word, Habit habit)
{
    const auto fold = [habit](QString s) {
        s.replace(u'ё', u'е').replace(u'Ё', u'Е');
        if (habit == Habit::Style2)
            s.replace(u'ъ', u'ь').replace(u'э', u'е');
        if (habit != Habit::Style1 && habit != Habit::Style2)
            s.remove(u'ъ').remove(u'ь').remove(u'\'').remove(u'"');
        if (habit == Habit::Style3 || habit == Habit::Icao)
            s.replace(u'э', u'е').replace(u'Э', u'Е');
        return s;
    };
    return fold(read) == fold(word);
}

Figures measure(const QStringList &entries, const QString &kind, const QString &text)
{
    const ConversionTable table(entries);
    Figures figures;
    figures.kind = kind;
    Counted words;
    for (const QString &word : TableCheck::cyrillicWords(text))
        words.add(word);
    measureTrip(table, words, figures.roundTrip);
    measureCapitals(table, words, figures);
    const Counted common = commonest(words);
    measureHabit(table, common, Habit::Style1, figures.style1);
    measureHabit(table, common, Habit::Style2, figures.style2);
    measureHabit(table, common, Habit::Style3, figures.style3);
    measurePassports(table, common, figures);
    return figures;
}

Goals goalsFor(const QString &kind)
{
    // The full list of word forms is every rare form at once.
    const double trip = kind == u"wordforms"_s ? 0.999 : 0.9999;
    return {trip, 0.999, 0.99, 0.995, 0.95, 0.995};
}

QStringList shortfalls(const Figures &figures)
{
    const Goals goals = goalsFor(figures.kind);
    QStringList under;
    const auto check = [&](const Measure &measure, double goal, const QString &name) {
        if (measure.share() < goal)
            under << u"%1 %2 %, цель %3 %"_s.arg(name)
                             .arg(100 * measure.share(), 0, 'f', 3)
                             .arg(100 * goal, 0, 'f', 2);
    };
    check(figures.roundTrip, goals.roundTrip, u"туда и обратно"_s);
    check(figures.capitalTrip, goals.capitalTrip, u"прописными туда и обратно"_s);
    check(figures.capitalsInLatin, goals.capitalsInLatin, u"прописные в латинице"_s);
    check(figures.style1, goals.style1, u"набор 1"_s);
    check(figures.style2, goals.style2, u"набор 2"_s);
    check(figures.style3, goals.style3, u"набор 3"_s);
    if (figures.bgn.total == 0)
        under << u"BGN/PCGN и ICAO не измерены: нет uconv (пакет icu-devtools)"_s;
    const auto beat = [&](const Measure &ours, const Measure &theirs, const QString &name) {
        if (figures.bgn.total > 0 && ours.right <= theirs.right)
            under << u"%1: %2 слов, у ICU %3, цель больше"_s.arg(name).arg(ours.right).arg(
                             theirs.right);
    };
    beat(figures.bgn, figures.bgnIcu, u"BGN/PCGN"_s);
    beat(figures.icao, figures.icaoIcu, u"ICAO"_s);
    return under;
}

namespace {

void printMisses(const Measure &measure, QTextStream &out, int worst)
{
    QStringList shown;
    for (const Miss &miss : measure.misses.mid(0, worst))
        shown << u"%1 ×%2 → %3%4"_s.arg(miss.word).arg(miss.count).arg(
                miss.latin, miss.back.isEmpty() ? QString() : u" → "_s + miss.back);
    if (!shown.isEmpty())
        out << u"    хуже всего: "_s << shown.join(u", "_s) << '\n';
}

void printMeasure(const QString &name, const Measure &measure, double goal, QTextStream &out,
                  int worst)
{
    out << u"  %1: %2 % из %3 (цель %4 %)"_s.arg(name)
                    .arg(100 * measure.share(), 0, 'f', 3)
                    .arg(measure.total)
                    .arg(100 * goal, 0, 'f', 2)
        << '\n';
    printMisses(measure, out, worst);
}

void printPassport(const QString &name, const Measure &ours, const Measure &icu,
                   QTextStream &out, int worst)
{
    if (ours.total == 0) {
        out << u"  %1: не измерено, нет uconv (пакет icu-devtools)"_s.arg(name) << '\n';
        return;
    }
    out << u"  %1, частые слова с прописной: %2 % из %3, у ICU %4 % (цель: больше, чем у ICU)"_s
                    .arg(name)
                    .arg(100 * ours.share(), 0, 'f', 3)
                    .arg(ours.total)
                    .arg(100 * icu.share(), 0, 'f', 3)
        << '\n';
    printMisses(ours, out, worst);
}

} // namespace

void print(const Figures &figures, QTextStream &out, int worst)
{
    const Goals goals = goalsFor(figures.kind);
    out << u"Вид текста «%1»"_s.arg(figures.kind) << '\n';
    printMeasure(u"слова туда и обратно"_s, figures.roundTrip, goals.roundTrip, out, worst);
    printMeasure(u"прописными туда и обратно"_s, figures.capitalTrip, goals.capitalTrip, out,
                 worst);
    printMeasure(u"прописные в латинице"_s, figures.capitalsInLatin, goals.capitalsInLatin, out,
                 worst);
    printMeasure(u"набор 1 (ya ts shch #), частые слова"_s, figures.style1, goals.style1, out,
                 worst);
    printMeasure(u"набор 2 (ja h c sch), частые слова"_s, figures.style2, goals.style2, out,
                 worst);
    printMeasure(u"набор 3 (ya y h c sch, без знаков), частые слова"_s, figures.style3,
                 goals.style3, out, worst);
    printPassport(u"BGN/PCGN (Yelabuga, pod\"yezd)"_s, figures.bgn, figures.bgnIcu, out, worst);
    printPassport(u"ICAO (Iuliia, Iakov)"_s, figures.icao, figures.icaoIcu, out, worst);
}

bool run(const QStringList &entries, const QStringList &samplePaths, QTextStream &out,
         QString &error)
{
    QStringList summary;
    for (const QString &path : samplePaths) {
        QString text;
        if (!TableCheck::readUtf8Text(path, text, error))
            return false;
        const Figures figures = measure(entries, QFileInfo(path).completeBaseName(), text);
        print(figures, out);
        const QStringList under = shortfalls(figures);
        summary << u"%1: %2"_s.arg(figures.kind,
                                   under.isEmpty() ? u"все цели достигнуты"_s : under.join(u"; "_s));
    }
    out << u"Итог по видам текста:\n  "_s << summary.join(u"\n  "_s) << '\n';
    return true;
}

} // namespace TableReport
