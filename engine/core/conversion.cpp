// SPDX-License-Identifier: MIT
#include "conversion.h"

#include "linewise.h"
#include "modgp.h"
#include "runtimeerror.h"

QString convertText(const QString &text, const QStringList &table, bool toCyrillic)
{
    return ConversionTable(table).convert(text, toCyrillic);
}

// The table's header is line 1 of its file.
static int lineOfEntry(qsizetype index)
{
    return int(index) + 2;
}

ConversionTable::ConversionTable(const QStringList &table) : m_table(table)
{
    for (qsizetype index = 0; index < table.size(); ++index) {
        const QString &entry = table.at(index);
        QString latin, cyrillic;
        try {
            latin = modGP::GetWord(entry, 1);
            cyrillic = modGP::GetWord(entry, 2);
        } catch (const RuntimeError &) {
            m_overlongEntry = index;
            return;
        }
        if (latin.isEmpty() || cyrillic.isEmpty())
            continue;
        m_toCyrillic.emplace_back(latin, cyrillic);
        m_toLatin.emplace_back(cyrillic, latin);
        m_ruleEntries.push_back(index);
    }
    m_toCyrillicRuns = runsOf(m_toCyrillic);
    m_toLatinRuns = runsOf(m_toLatin);
    m_toCyrillicGroups = groupsOf(m_toCyrillic, m_toCyrillicRuns);
    m_toLatinGroups = groupsOf(m_toLatin, m_toLatinRuns);
    m_toCyrillicByLine = Linewise::convertsLineByLine(m_toCyrillic);
    m_toLatinByLine = Linewise::convertsLineByLine(m_toLatin);
}

std::vector<ConversionTable::Run>
ConversionTable::runsOf(const std::vector<Substitution::Rule> &rules)
{
    const auto oneForOne = [](const Substitution::Rule &rule) {
        return rule.search().size() == 1 && rule.replacement().size() == 1;
    };
    std::vector<Run> runs;
    for (size_t first = 0; first < rules.size();) {
        size_t last = first;
        std::vector<std::pair<char16_t, char16_t>> characters;
        char16_t lowest = 0xFFFF, highest = 0;
        while (last < rules.size() && oneForOne(rules[last])) {
            const char16_t from = rules[last].search().at(0).unicode();
            lowest = std::min(lowest, from);
            highest = std::max(highest, from);
            if (highest - lowest >= Substitution::CharacterMap::MaxSpan)
                break;
            characters.emplace_back(from, rules[last].replacement().at(0).unicode());
            ++last;
        }
        if (last - first >= 2)
            runs.push_back({first, last, Substitution::CharacterMap(characters)});
        first = std::max(last, first + 1);
    }
    return runs;
}

std::vector<ConversionTable::Group>
ConversionTable::groupsOf(const std::vector<Substitution::Rule> &rules, const std::vector<Run> &runs)
{
    std::vector<Group> groups;
    auto run = runs.begin();
    for (size_t first = 0; first < rules.size();) {
        if (run != runs.end() && run->first == first) {
            first = run++->last;
            continue;
        }
        const size_t end = run != runs.end() ? run->first : rules.size();
        Group group{first, first, {}};
        while (group.last < end && group.rules.admits(rules[group.last]))
            group.rules.add(rules[group.last++]);
        if (group.last - first >= 2) {
            group.rules.prepare();
            groups.push_back(std::move(group));
        }
        first = std::max(group.last, first + 1);
    }
    return groups;
}

void ConversionTable::blame(RuntimeError &error, RuntimeError::OverflowCause::Kind kind,
                            qsizetype entry, qsizetype textLength) const
{
    RuntimeError::OverflowCause cause{kind, textLength, 0, {}};
    if (entry >= 0) {
        cause.line = lineOfEntry(entry);
        cause.entry = m_table.at(entry);
    }
    error.setOverflowCause(std::move(cause));
    throw error;
}

// Only a text over the limit or a rule that lengthens it can overflow: the
// pass that starts within the limit and leaves it always is the growing one.
void ConversionTable::apply(Substitution::Text &working, const Substitution::Rule &rule,
                            size_t index, qsizetype textLength) const
{
    using Cause = RuntimeError::OverflowCause;
    const qsizetype before = working.size();
    try {
        working.replaceAll(rule);
    } catch (RuntimeError &error) {
        const QString search = rule.search(), replacement = rule.replacement();
        if (replacement.size() <= search.size())
            blame(error, Cause::TextTooLong, -1, before);
        const Cause::Kind kind =
                replacement.contains(search) ? Cause::EntryGrowsWithoutEnd : Cause::EntryGrowsText;
        blame(error, kind, m_ruleEntries.at(index), textLength);
    }
}

// One sweep, unless a rule of the group would make the text too long:
// then they go one at a time, for the error to name that rule.
void ConversionTable::applyGroup(Substitution::Text &working, const Group &group,
                                 const std::vector<Substitution::Rule> &rules,
                                 qsizetype textLength, qsizetype *longest) const
{
    qsizetype greatest = working.size();
    if (working.replaceGroup(group.rules, &greatest)) {
        if (longest)
            *longest = std::max(*longest, greatest);
        return;
    }
    for (size_t i = group.first; i < group.last; ++i)
        apply(working, rules[i], i, textLength);
}

QString ConversionTable::convert(const QString &text, bool toCyrillic,
                                 Substitution::Limits limits, qsizetype *longest) const
{
    if (longest)
        *longest = text.size();
    using Cause = RuntimeError::OverflowCause;
    // Every entry's words are taken at every conversion, so such a line
    // fails them all, whatever the text.
    if (m_overlongEntry >= 0) {
        RuntimeError error = RuntimeError::overflow();
        blame(error, Cause::EntryTooLong, m_overlongEntry, text.size());
    }

    const std::vector<Substitution::Rule> &rules = toCyrillic ? m_toCyrillic : m_toLatin;
    const std::vector<Run> &runs = toCyrillic ? m_toCyrillicRuns : m_toLatinRuns;
    const std::vector<Group> &groups = toCyrillic ? m_toCyrillicGroups : m_toLatinGroups;
    // With nothing to replace, no pass ever runs and length sets no limit.
    if (rules.empty())
        return text;
    if (text.size() >= limits.maxLength) {
        RuntimeError error = RuntimeError::overflow();
        blame(error, Cause::TextTooLong, -1, text.size());
    }

    Substitution::Text working(text, limits);
    auto run = runs.begin();
    auto group = groups.begin();
    for (size_t i = 0; i < rules.size();) {
        if (run != runs.end() && run->first == i) {
            // One character for one: the length stays, and it was in bounds.
            working.replaceCharacters(run->map);
            i = run->last;
            ++run;
        } else if (group != groups.end() && group->first == i) {
            applyGroup(working, *group, rules, text.size(), longest);
            i = group->last;
            ++group;
        } else {
            apply(working, rules[i], i, text.size());
            ++i;
            if (longest)
                *longest = std::max(*longest, working.size());
        }
    }
    return working.toString();
}
