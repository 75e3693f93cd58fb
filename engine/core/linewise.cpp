// SPDX-License-Identifier: MIT
#include "linewise.h"

#include <algorithm>

namespace {

// Whether a replacement, wherever it is put, can be part of a new occurrence
// of the rule's search string: inside it, or across either of its ends.
bool canFormItsSearch(QStringView search, QStringView replacement)
{
    const qsizetype s = search.size(), r = replacement.size();
    // The search string put at each offset that overlaps the replacement:
    // if they agree wherever they overlap, some text around makes it match.
    for (qsizetype offset = 1 - s; offset < r; ++offset) {
        bool agree = true;
        for (qsizetype j = std::max<qsizetype>(0, -offset); agree && j < s && j + offset < r; ++j)
            agree = search[j] == replacement[j + offset];
        if (agree)
            return true;
    }
    return false;
}

} // namespace

namespace Linewise {

// Lines are independent when no rule sees or makes a line end, so that no
// occurrence spans two lines, and when a rule does in a line what it does
// there in the whole text. One pass does the same in both; what may differ
// is the number of passes, since a pass repeats over all lines while any one
// of them changes length, and where a pass stops, since a growing text
// pushes the last positions past its scan bound until the next pass.
//  - A rule that keeps the length makes one pass in both.
//  - A rule that grows and holds its search string grows without end in a
//    line that holds its search string, and so does the whole text.
//  - Any other rule that changes the length, and whose replacement cannot
//    form its search string again, leaves no occurrence behind a pass; so a
//    further pass finds nothing, and a pass cut short by its bound goes on
//    in the next one where it stopped. In both, it comes down to one scan
//    from the start of the line to its end.
bool convertsLineByLine(const std::vector<Substitution::Rule> &rules)
{
    using Shape = Substitution::Rule::Shape;
    const auto local = [](const Substitution::Rule &rule) {
        const QString search = rule.search(), replacement = rule.replacement();
        for (const QString &word : {search, replacement}) {
            if (word.contains(u'\r') || word.contains(u'\n'))
                return false;
        }
        return rule.shape() != Shape::Resizing || !canFormItsSearch(search, replacement);
    };
    return std::all_of(rules.cbegin(), rules.cend(), local);
}

} // namespace Linewise
