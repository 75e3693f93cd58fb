// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

// Converts a whole text through a code table: every entry in table order,
// each replacing its Latin word by its Cyrillic word (toCyrillic) or the
// other way round, working on what the entries before it produced.
// Throws RuntimeError(Overflow) when the text is, or grows, too long, or a
// table line is too long to take its words from; the caller's text is then
// untouched. The error's overflow cause says which, and names the line.
QString convertText(const QString &text, const QStringList &table, bool toCyrillic);

struct ConversionLimits
{
    // A pass over a text of this length or more fails with the overflow
    // error: positions are 16-bit numbers.
    qsizetype maxLength = 32767;
    // A rule's later pass visits only the places its pass before changed,
    // unless there are more than one per this many characters: then it
    // reads the whole text. 0 always visits the places.
    qsizetype scatter = 4;
};

// A code table with its words taken out once and planned, for each
// direction, as a list of steps, for converting many texts. Results and
// failures are exactly those of the classic step-by-step routine.
class ConversionTable
{
public:
    using Limits = ConversionLimits;

    explicit ConversionTable(const QStringList &table);

    // Same result and failures as convertText(text, table, toCyrillic).
    // longest, when given, receives the greatest length the text had on the
    // way, its own length included.
    QString convert(const QString &text, bool toCyrillic, Limits limits = {},
                    qsizetype *longest = nullptr) const;

    // Whether converting each line on its own and joining the results at
    // the same line ends gives what converting the whole text gives, as
    // long as the lines' greatest lengths on the way, added up with the line
    // ends, stay under the length limit (then the whole text never reaches
    // it either).
    bool convertsLineByLine(bool toCyrillic) const;

    // The plan of a direction: how many steps of each kind it takes.
    struct StepCounts
    {
        int characterMaps = 0, groups = 0, singles = 0;
    };
    StepCounts stepCounts(bool toCyrillic) const;

    // modGP::ReplaceAll with other limits. Throws RuntimeError(Overflow),
    // without a cause.
    static QString replaceAll(const QString &text, const QString &search,
                              const QString &replacement, Limits limits = {});

    struct Plan;

private:
    std::array<std::shared_ptr<const Plan>, 2> m_plans; // to Latin, to Cyrillic
    QStringList m_table;
    // A line GetWord refuses makes every conversion fail; -1 when none does.
    qsizetype m_overlongEntry = -1;
};
