// SPDX-License-Identifier: MIT
#include "conversion.h"

#include "modgp.h"
#include "runtimeerror.h"

QString convertText(const QString &text, const QStringList &table, bool toCyrillic)
{
    return ConversionTable(table).convert(text, toCyrillic);
}

ConversionTable::ConversionTable(const QStringList &table)
{
    for (const QString &entry : table) {
        QString latin, cyrillic;
        try {
            latin = modGP::GetWord(entry, 1);
            cyrillic = modGP::GetWord(entry, 2);
        } catch (const RuntimeError &) {
            m_hasOverlongLine = true;
            return;
        }
        if (latin.isEmpty() || cyrillic.isEmpty())
            continue;
        m_toCyrillic.emplace_back(latin, cyrillic);
        m_toLatin.emplace_back(cyrillic, latin);
    }
    m_toCyrillicRuns = runsOf(m_toCyrillic);
    m_toLatinRuns = runsOf(m_toLatin);
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

QString ConversionTable::convert(const QString &text, bool toCyrillic,
                                 Substitution::Limits limits) const
{
    // Every entry's words are taken at every conversion, so such a line
    // fails them all, whatever the text.
    if (m_hasOverlongLine)
        throw RuntimeError::overflow();

    const std::vector<Substitution::Rule> &rules = toCyrillic ? m_toCyrillic : m_toLatin;
    const std::vector<Run> &runs = toCyrillic ? m_toCyrillicRuns : m_toLatinRuns;
    // With nothing to replace, no pass ever runs and length sets no limit.
    if (rules.empty())
        return text;
    if (text.size() >= limits.maxLength)
        throw RuntimeError::overflow();

    Substitution::Text working(text, limits);
    auto run = runs.begin();
    for (size_t i = 0; i < rules.size();) {
        if (run != runs.end() && run->first == i) {
            working.replaceCharacters(run->map);
            i = run->last;
            ++run;
        } else {
            working.replaceAll(rules[i++]);
        }
    }
    return working.toString();
}
