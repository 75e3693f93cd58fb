// SPDX-License-Identifier: MIT
#pragma once

#include "rulegroup.h"
#include "runtimeerror.h"
#include "substitution.h"

#include <QString>
#include <QStringList>

#include <vector>

// Converts a whole text through a code table: every entry in table order,
// each replacing its Latin word by its Cyrillic word (toCyrillic) or the
// other way round, working on what the entries before it produced.
// Throws RuntimeError(Overflow) when the text is, or grows, too long, or a
// table line is too long to take its words from; the caller's text is then
// untouched. The error's overflow cause says which, and names the line.
QString convertText(const QString &text, const QStringList &table, bool toCyrillic);

// A code table with its words taken out once, for converting many texts.
class ConversionTable
{
public:
    explicit ConversionTable(const QStringList &table);

    // Same result and failures as convertText(text, table, toCyrillic).
    // longest, when given, receives the greatest length the text had on the
    // way, its own length included.
    QString convert(const QString &text, bool toCyrillic, Substitution::Limits limits = {},
                    qsizetype *longest = nullptr) const;

    // Whether converting each line on its own and joining the results at
    // the same line ends gives what converting the whole text gives, as
    // long as the lines' greatest lengths on the way, added up with the line
    // ends, stay under the length limit (then the whole text never reaches
    // it either).
    bool convertsLineByLine(bool toCyrillic) const
    {
        return toCyrillic ? m_toCyrillicByLine : m_toLatinByLine;
    }

private:
    // Consecutive rules [first, last) that each replace one character by one.
    struct Run
    {
        size_t first, last;
        Substitution::CharacterMap map;
    };
    static std::vector<Run> runsOf(const std::vector<Substitution::Rule> &rules);
    // Consecutive rules [first, last), outside the runs, swept as one.
    struct Group
    {
        size_t first, last;
        Substitution::RuleGroup rules;
    };
    static std::vector<Group> groupsOf(const std::vector<Substitution::Rule> &rules,
                                       const std::vector<Run> &runs);

    // Only the entries that can replace anything, in table order.
    std::vector<Substitution::Rule> m_toCyrillic;
    std::vector<Substitution::Rule> m_toLatin;
    std::vector<Run> m_toCyrillicRuns;
    std::vector<Run> m_toLatinRuns;
    std::vector<Group> m_toCyrillicGroups;
    std::vector<Group> m_toLatinGroups;
    bool m_toCyrillicByLine = false;
    bool m_toLatinByLine = false;
    // Where each rule comes from: its index in the table, and the line.
    std::vector<qsizetype> m_ruleEntries;
    QStringList m_table;
    // A line GetWord refuses makes every conversion fail; -1 when none does.
    qsizetype m_overlongEntry = -1;

    [[noreturn]] void blame(RuntimeError &error, RuntimeError::OverflowCause::Kind kind,
                            qsizetype entry, qsizetype textLength) const;
    void apply(Substitution::Text &working, const Substitution::Rule &rule, size_t index,
               qsizetype textLength) const;
    void applyGroup(Substitution::Text &working, const Group &group,
                    const std::vector<Substitution::Rule> &rules, qsizetype textLength,
                    qsizetype *longest) const;
};
