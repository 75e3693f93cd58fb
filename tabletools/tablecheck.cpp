// SPDX-License-Identifier: MIT
#include "tablecheck.h"

#include "codetable.h"
#include "conversion.h"
#include "modgp.h"
#include "numerals.h"
#include "runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;

namespace TableCheck {

namespace {

struct Entry
{
    QString latin;
    QString cyrillic;
    bool usable = false; // both words non-empty: the entry replaces something
    bool tooLong = false;

    const QString &search(bool toCyrillic) const { return toCyrillic ? latin : cyrillic; }
    const QString &replacement(bool toCyrillic) const { return toCyrillic ? cyrillic : latin; }
    QString text() const { return latin + u' ' + cyrillic; }
};

QString quoted(const QString &text)
{
    return u"«"_s + text + u"»"_s;
}

QString directionName(bool toCyrillic)
{
    return toCyrillic ? u"латиница → кириллица"_s : u"кириллица → латиница"_s;
}

bool shareCharacter(const QString &a, const QString &b)
{
    return std::any_of(a.cbegin(), a.cend(), [&b](QChar c) { return b.contains(c); });
}

// After entry i has run, its search word is gone from the text: a pass that
// replaces anything changes the length when the two words differ in length,
// so the last pass found nothing. Words of equal length run one pass, which
// may leave a match its own replacement formed.
bool clearsItsSearch(const Entry &entry, bool toCyrillic)
{
    const QString &search = entry.search(toCyrillic);
    const QString &replacement = entry.replacement(toCyrillic);
    return search.size() != replacement.size() || !shareCharacter(search, replacement);
}

// Finds, for entry after entry, the earliest entry that removes every
// occurrence of its search word before it runs. Every occurrence contains
// the earlier word; once that is gone, only a replacement that shares a
// character with it can form it again. The tables are indexed so that a
// table of many thousand entries is checked in seconds: by word, and by the
// first later entry that could form each word again.
class Consumers
{
public:
    Consumers(const QList<Entry> &entries, bool toCyrillic)
    {
        // Usable entries whose replacement holds each character, in table order.
        QHash<char16_t, std::vector<qsizetype>> holders;
        for (qsizetype k = 0; k < entries.size(); ++k) {
            if (!entries.at(k).usable)
                continue;
            for (const QChar c : entries.at(k).replacement(toCyrillic)) {
                std::vector<qsizetype> &list = holders[c.unicode()];
                if (list.empty() || list.back() != k)
                    list.push_back(k);
            }
        }
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const Entry &entry = entries.at(i);
            if (!entry.usable || !clearsItsSearch(entry, toCyrillic))
                continue;
            qsizetype reformedAt = std::numeric_limits<qsizetype>::max();
            for (const QChar c : entry.search(toCyrillic)) {
                const std::vector<qsizetype> &list = holders[c.unicode()];
                const auto later = std::upper_bound(list.cbegin(), list.cend(), i);
                if (later != list.cend())
                    reformedAt = std::min(reformedAt, *later);
            }
            const QStringView word = entry.search(toCyrillic);
            auto found = m_index.constFind(word);
            if (found == m_index.cend()) {
                found = m_index.insert(word, m_words.size());
                m_words.push_back({word, {}, 0});
                m_lengths.insert(word.size());
            }
            m_words[*found].entries.push_back({i, reformedAt});
        }
    }

    // The earliest entry before j that takes every occurrence of target, or
    // -1. Asked for j in increasing order.
    qsizetype before(qsizetype j, QStringView target)
    {
        qsizetype best = -1;
        const auto consider = [&](Word &word) {
            const qsizetype i = word.earliestAlive(j);
            if (i >= 0 && i < j && (best < 0 || i < best))
                best = i;
        };
        // Looking up every piece of target of a word's length costs about its
        // length times theirs; trying every word, their number times its length.
        qsizetype pieces = 0;
        for (const qsizetype length : m_lengths)
            pieces += length <= target.size() ? (target.size() - length + 1) * length : 0;
        if (pieces > qsizetype(m_words.size()) * (target.size() + 1)) {
            for (Word &word : m_words) {
                if (word.earliestAlive(j) < j && target.contains(word.text))
                    consider(word);
            }
            return best;
        }
        for (const qsizetype length : m_lengths) {
            for (qsizetype at = 0; at + length <= target.size(); ++at) {
                const auto found = m_index.constFind(target.sliced(at, length));
                if (found != m_index.cend())
                    consider(m_words[*found]);
            }
        }
        return best;
    }

private:
    struct Candidate
    {
        qsizetype index;
        qsizetype reformedAt; // the first later entry that can form the word again
    };
    struct Word
    {
        QStringView text;
        std::vector<Candidate> entries; // in table order
        size_t alive;                   // entries before it are formed again before any later j

        // The earliest entry whose removal holds up to j; j never decreases.
        qsizetype earliestAlive(qsizetype j)
        {
            while (alive < entries.size() && entries[alive].reformedAt < j)
                ++alive;
            return alive < entries.size() ? entries[alive].index
                                          : std::numeric_limits<qsizetype>::max();
        }
    };
    QHash<QStringView, qsizetype> m_index;
    std::vector<Word> m_words;
    std::set<qsizetype> m_lengths;
};

// Entries are user text: they go into messages through one multi-argument
// arg() call, so a "%1" inside an entry is never substituted.
QString lineName(qsizetype index)
{
    return QString::number(lineOfEntry(index));
}

QString emptyWordReason(const QString &line, const Entry &entry)
{
    if (!line.contains(u' '))
        return u"нет пробела между латинским и русским написанием"_s;
    if (entry.latin.isEmpty())
        return u"строка начинается с пробела, латинское написание пустое"_s;
    if (line.endsWith(u' ') && line.count(u' ') == 1)
        return u"после пробела нет русского написания"_s;
    return u"два пробела подряд, русское написание пустое"_s;
}

Finding finding(Kind kind, qsizetype index, qsizetype other, const QString &message)
{
    const bool information =
            kind == Kind::EmptyLine || kind == Kind::LatinOnly || kind == Kind::IgnoredText;
    return {kind, information ? Severity::Information : Severity::Problem, lineOfEntry(index),
            other < 0 ? 0 : lineOfEntry(other), message};
}

// The table has no comments: what follows a second space is never read, so
// an author who meant it as one is told.
void noteIgnoredText(const QString &line, qsizetype index, QList<Finding> &findings)
{
    const QString rest = line.section(u' ', 2);
    if (!rest.isEmpty())
        findings.append(finding(Kind::IgnoredText, index, -1,
                                u"текст после второго пробела не читается: %1 "
                                u"(комментариев в таблице нет)"_s.arg(quoted(rest))));
}

QList<Entry> readEntries(const QStringList &lines, QList<Finding> &findings)
{
    QList<Entry> entries;
    entries.reserve(lines.size());
    for (const QString &line : lines) {
        Entry entry;
        try {
            entry.latin = modGP::GetWord(line, 1);
            entry.cyrillic = modGP::GetWord(line, 2);
        } catch (const RuntimeError &) {
            entry.tooLong = true;
            findings.append(finding(Kind::EndlessGrowth, entries.size(), -1,
                                    u"строка длиннее 32767 знаков: любое преобразование "
                                    u"закончится ошибкой переполнения"_s));
        }
        entry.usable = !entry.latin.isEmpty() && !entry.cyrillic.isEmpty();
        entries.append(entry);
    }
    return entries;
}

// Entry j is shadowed by the earlier entries latinTaker and cyrillicTaker
// (-1 where none) in the two directions.
void reportShadowed(const QList<Entry> &entries, qsizetype j, qsizetype latinTaker,
                    qsizetype cyrillicTaker, QList<Finding> &findings)
{
    const QString self = quoted(entries.at(j).text());
    if (latinTaker >= 0 && cyrillicTaker >= 0) {
        findings.append(finding(
                Kind::NeverMatches, j, latinTaker,
                u"%1 не срабатывает ни в одну сторону: каждое %2 раньше заменяет "
                u"строка %3, каждое %4 — строка %5"_s
                        .arg(self, quoted(entries.at(latinTaker).latin), lineName(latinTaker),
                             quoted(entries.at(cyrillicTaker).cyrillic),
                             lineName(cyrillicTaker))));
    } else if (latinTaker >= 0) {
        findings.append(finding(
                Kind::NeverMatches, j, latinTaker,
                u"%1 никогда не срабатывает в направлении %2: строка %3 (%4) раньше "
                u"заменяет каждое %5. Слова, которые эта строка переводит в латиницу, "
                u"не вернутся обратно; поставьте её выше строки %3"_s
                        .arg(self, directionName(true), lineName(latinTaker),
                             quoted(entries.at(latinTaker).text()),
                             quoted(entries.at(latinTaker).latin))));
    } else if (cyrillicTaker >= 0) {
        findings.append(finding(
                Kind::LatinOnly, j, cyrillicTaker,
                u"%1 действует только в направлении %2 (вариант написания): в обратном "
                u"направлении каждое %3 раньше забирает строка %4"_s
                        .arg(self, directionName(true),
                             quoted(entries.at(cyrillicTaker).cyrillic),
                             lineName(cyrillicTaker))));
    }
}

void reportEndlessGrowth(const Entry &entry, qsizetype j, bool toCyrillic,
                         QList<Finding> &findings)
{
    const QString &search = entry.search(toCyrillic);
    const QString &replacement = entry.replacement(toCyrillic);
    if (replacement.size() <= search.size() || !replacement.contains(search))
        return;
    findings.append(finding(
            Kind::EndlessGrowth, j, -1,
            u"%1: замена %2 содержит искомое %3 и длиннее его — каждое "
            u"преобразование (%4), которое встретит %3, закончится ошибкой "
            u"переполнения"_s
                    .arg(quoted(entry.text()), quoted(replacement), quoted(search),
                         directionName(toCyrillic))));
}

// Whether the line can be checked further: an empty line, a line without
// two words or one already reported is not.
bool reportUnusable(const QString &line, const Entry &entry, qsizetype j,
                    QList<Finding> &findings)
{
    if (line.isEmpty())
        findings.append(finding(Kind::EmptyLine, j, -1, u"пустая строка: ничего не меняет"_s));
    else if (!entry.tooLong && !entry.usable)
        findings.append(finding(Kind::EmptyWord, j, -1,
                                emptyWordReason(line, entry) + u": строка ничего не меняет"_s));
    return !line.isEmpty() && entry.usable && !entry.tooLong;
}

} // namespace

QList<Finding> checkEntries(const QStringList &lines)
{
    QList<Finding> findings;
    const QList<Entry> entries = readEntries(lines, findings);
    QHash<QString, qsizetype> firstSeen;
    Consumers toCyrillic(entries, true), toLatin(entries, false);
    for (qsizetype j = 0; j < entries.size(); ++j) {
        const Entry &entry = entries.at(j);
        if (!reportUnusable(lines.at(j), entry, j, findings))
            continue;
        noteIgnoredText(lines.at(j), j, findings);
        const auto seen = firstSeen.constFind(entry.text());
        if (seen != firstSeen.cend()) {
            findings.append(finding(Kind::Duplicate, j, *seen,
                                    u"повторяет строку %1 (%2)"_s.arg(
                                            lineName(*seen), quoted(entry.text()))));
            continue;
        }
        firstSeen.insert(entry.text(), j);

        const qsizetype latinTaker = toCyrillic.before(j, entry.latin);
        const qsizetype cyrillicTaker = toLatin.before(j, entry.cyrillic);
        reportShadowed(entries, j, latinTaker, cyrillicTaker, findings);
        // An entry never reached in a direction is harmless there.
        if (latinTaker < 0)
            reportEndlessGrowth(entry, j, true, findings);
        if (cyrillicTaker < 0)
            reportEndlessGrowth(entry, j, false, findings);
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding &a, const Finding &b) { return a.line < b.line; });
    return findings;
}

bool hasProblems(const QList<Finding> &findings)
{
    return std::any_of(findings.cbegin(), findings.cend(),
                       [](const Finding &f) { return f.severity == Severity::Problem; });
}

QStringList cyrillicWords(const QString &text)
{
    QStringList words;
    qsizetype start = -1;
    bool allCyrillic = true;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool letter = i < text.size() && text.at(i).isLetter();
        if (letter) {
            if (start < 0) {
                start = i;
                allCyrillic = true;
            }
            allCyrillic = allCyrillic && text.at(i).script() == QChar::Script_Cyrillic;
        } else if (start >= 0) {
            if (allCyrillic)
                words.append(text.mid(start, i - start));
            start = -1;
        }
    }
    return words;
}

RoundTrip roundTrip(const QStringList &entries, const QString &sample)
{
    RoundTrip result;
    QHash<QString, qsizetype> counts;
    QStringList distinct;
    for (const QString &word : cyrillicWords(sample)) {
        qsizetype &count = counts[word];
        if (count++ == 0)
            distinct.append(word);
        ++result.words;
    }

    // Words travel together, one per line: no entry can match across a line
    // break, since entries are lines themselves. The batches stay small
    // because a conversion's cost may grow with the square of its text.
    const bool lineBreakInTable = std::any_of(entries.cbegin(), entries.cend(),
                                              [](const QString &e) { return e.contains(u'\n'); });
    const qsizetype batchLimit = lineBreakInTable ? 0 : 2000;
    const auto travel = [&](const QStringList &batch) {
        const QString latin = convertText(batch.join(u'\n'), entries, false);
        const QStringList latinWords = latin.split(u'\n');
        const QStringList backWords = convertText(latin, entries, true).split(u'\n');
        for (qsizetype k = 0; k < batch.size(); ++k) {
            const QString &word = batch.at(k);
            if (backWords.value(k) == word)
                result.restored += counts.value(word);
            else
                result.lost.append({word, counts.value(word), latinWords.value(k), backWords.value(k)});
        }
    };
    for (qsizetype first = 0; first < distinct.size();) {
        qsizetype last = first + 1, length = distinct.at(first).size();
        while (last < distinct.size() && length + distinct.at(last).size() + 1 <= batchLimit)
            length += distinct.at(last++).size() + 1;
        const QStringList batch = distinct.mid(first, last - first);
        try {
            travel(batch);
        } catch (const RuntimeError &) {
            // Some word makes the table overflow: find it by sending the
            // batch's words one by one.
            for (const QString &word : batch) {
                try {
                    travel({word});
                } catch (const RuntimeError &error) {
                    result.lost.append({word, counts.value(word), error.message(), QString()});
                }
            }
        }
        first = last;
    }
    std::stable_sort(result.lost.begin(), result.lost.end(),
                     [](const LostWord &a, const LostWord &b) { return a.count > b.count; });
    return result;
}

namespace {

QString severityName(Severity severity)
{
    return severity == Severity::Problem ? u"замечание"_s : u"к сведению"_s;
}

void reportRoundTrip(const RoundTrip &trip, QTextStream &out)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    out << u"Русских слов в образце: %1, вернулись без изменений: %2 (%3 %)"_s
                    .arg(trip.words)
                    .arg(trip.restored)
                    .arg(russian.toString(trip.share() * 100.0, 'f', 4))
        << '\n';
    if (trip.lost.isEmpty())
        return;
    out << u"Не вернулись (слово, сколько раз, латиницей, обратно):"_s << '\n';
    constexpr qsizetype listed = 100;
    for (qsizetype i = 0; i < std::min(listed, trip.lost.size()); ++i) {
        const LostWord &lost = trip.lost.at(i);
        out << u"  %1 ×%2 → %3 → %4"_s.arg(lost.word, QString::number(lost.count), lost.latin,
                                         lost.back)
            << '\n';
    }
    if (trip.lost.size() > listed)
        out << u"  …и ещё "_s
                    + Numerals::count(trip.lost.size() - listed, u"слово"_s, u"слова"_s, u"слов"_s)
            << '\n';
}

} // namespace

bool readUtf8Text(const QString &path, QString &text, QString &error)
{
    QFile file(path);
    try {
        CodeTable::openForReading(file);
    } catch (const RuntimeError &failure) {
        error = failure.message();
        return false;
    }
    // Qt drops a leading byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8.decode(file.readAll());
    if (utf8.hasError()) {
        error = u"«%1» не в кодировке UTF-8."_s.arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

Status run(const QString &tablePath, const QString &samplePath, QTextStream &out,
           QString &error)
{
    QStringList entries;
    CodeTable::Encoding encoding;
    try {
        CodeTable::load(tablePath, entries, &encoding);
    } catch (const RuntimeError &failure) {
        error = failure.message();
        return TableUnreadable;
    }
    QString sample;
    if (!samplePath.isEmpty() && !readUtf8Text(samplePath, sample, error))
        return SampleUnreadable;

    out << u"Таблица: %1, записей: %2, кодировка: %3"_s.arg(
                   QDir::toNativeSeparators(tablePath), QString::number(entries.size()), CodeTable::encodingName(encoding))
        << '\n';
    const QList<Finding> findings = checkEntries(entries);
    qsizetype problems = 0;
    for (const Finding &f : findings) {
        out << u"строка %1: %2: %3"_s.arg(QString::number(f.line), severityName(f.severity),
                                            f.message)
            << '\n';
        problems += f.severity == Severity::Problem;
    }

    if (!samplePath.isEmpty()) {
        out << u"Образец: %1"_s.arg(QDir::toNativeSeparators(samplePath)) << '\n';
        const bool grows = std::any_of(findings.cbegin(), findings.cend(), [](const Finding &f) {
            return f.kind == Kind::EndlessGrowth;
        });
        if (grows)
            out << u"Проверка по образцу пропущена: таблица вызывает ошибку переполнения"_s
                << '\n';
        else
            reportRoundTrip(roundTrip(entries, sample), out);
    }

    const qsizetype notes = findings.size() - problems;
    out << (problems == 0 ? u"Итог: замечаний нет"_s : u"Итог: замечаний: %1"_s.arg(problems))
        << (notes == 0 ? QString() : u", к сведению: %1"_s.arg(notes)) << '\n';
    return problems == 0 ? Clean : ProblemsFound;
}

} // namespace TableCheck
