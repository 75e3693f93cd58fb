// SPDX-License-Identifier: MIT
#include "tablereport.h"

#include "conversion.h"
#include "runtimeerror.h"
#include "tablecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

void measureHabit(const ConversionTable &table, const Counted &common, Habit habit,
                  Measure &measure)
{
    QStringList typedWords;
    for (const QString &word : common.words)
        typedWords << typed(word, habit);
    const QStringList read = travel(table, typedWords, true);
    for (qsizetype i = 0; i < common.words.size(); ++i) {
        const QString &word = common.words.at(i);
        ++measure.total;
        if (readsAs(read.at(i), word, habit))
            ++measure.right;
        else
            measure.misses.append({word, common.counts.value(word), typedWords.at(i), read.at(i)});
    }
    sortMisses(measure);
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
    const QStringList &latin = habit == Habit::Style1 ? Style1Latin : Style2Latin;
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
        s.replace(u'ё', u'е');
        if (habit == Habit::Style2)
            s.replace(u'ъ', u'ь').replace(u'э', u'е');
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
    return figures;
}

Goals goalsFor(const QString &kind)
{
    // The full list of word forms is every rare form at once.
    const double trip = kind == u"wordforms"_s ? 0.999 : 0.9999;
    return {trip, 0.999, 0.99, 0.995, 0.95};
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
    return under;
}

namespace {

void printMeasure(const QString &name, const Measure &measure, double goal, QTextStream &out,
                  int worst)
{
    out << u"  %1: %2 % из %3 (цель %4 %)"_s.arg(name)
                    .arg(100 * measure.share(), 0, 'f', 3)
                    .arg(measure.total)
                    .arg(100 * goal, 0, 'f', 2)
        << '\n';
    QStringList shown;
    for (const Miss &miss : measure.misses.mid(0, worst))
        shown << u"%1 ×%2 → %3%4"_s.arg(miss.word).arg(miss.count).arg(
                miss.latin, miss.back.isEmpty() ? QString() : u" → "_s + miss.back);
    if (!shown.isEmpty())
        out << u"    хуже всего: "_s << shown.join(u", "_s) << '\n';
}

bool readText(const QString &path, QString &text, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"«%1»: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8.decode(file.readAll());
    if (utf8.hasError()) {
        error = u"«%1» не в кодировке UTF-8."_s.arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
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
}

bool run(const QStringList &entries, const QStringList &samplePaths, QTextStream &out,
         QString &error)
{
    QStringList summary;
    for (const QString &path : samplePaths) {
        QString text;
        if (!readText(path, text, error))
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
