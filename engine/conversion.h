// SPDX-License-Identifier: MIT
#pragma once

#include "substitution.h"

#include <QString>
#include <QStringList>

#include <vector>

// Converts a whole text through a code table: every entry in table order,
// each replacing its Latin word by its Cyrillic word (toCyrillic) or the
// other way round, working on what the entries before it produced.
// Throws RuntimeError(Overflow) when the text is, or grows, too long, or a
// table line is too long to take its words from; the caller's text is then
// untouched.
QString convertText(const QString &text, const QStringList &table, bool toCyrillic);

// A code table with its words taken out once, for converting many texts.
class ConversionTable
{
public:
    explicit ConversionTable(const QStringList &table);

    // Same result and failures as convertText(text, table, toCyrillic).
    QString convert(const QString &text, bool toCyrillic,
                    Substitution::Limits limits = {}) const;

private:
    // Consecutive rules [first, last) that each replace one character by one.
    struct Run
    {
        size_t first, last;
        Substitution::CharacterMap map;
    };
    static std::vector<Run> runsOf(const std::vector<Substitution::Rule> &rules);

    // Only the entries that can replace anything, in table order.
    std::vector<Substitution::Rule> m_toCyrillic;
    std::vector<Substitution::Rule> m_toLatin;
    std::vector<Run> m_toCyrillicRuns;
    std::vector<Run> m_toLatinRuns;
    // A line GetWord refuses makes every conversion fail.
    bool m_hasOverlongLine = false;
};
