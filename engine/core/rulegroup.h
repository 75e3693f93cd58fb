// SPDX-License-Identifier: MIT
#pragma once

#include "substitution.h"

#include <string>
#include <vector>

namespace Substitution {

// Consecutive rules of a table swept together: all their matches are
// found in one reading of the text, then given to the rules in table order,
// each taking from left to right the ones that overlap nothing taken
// before, as the rules one after another would. That holds because no
// replacement holds a character that any search string of the group holds:
// no replacement (nor what it stands next to) can make a match for a rule
// after it, or for itself in a further pass, so every match any of them
// replaces is in the text before the first one starts. A table of hundreds
// of context entries and spellings then costs a few readings of the text
// instead of one per entry that may be in it.
class RuleGroup
{
public:
    // The widest span of characters the group's search strings may start with.
    static constexpr int MaxSpan = 4096;
    // The longest search string a group takes: finding the matches reads
    // the text again from every position for up to this many characters,
    // and a long string that repeats one letter would make that quadratic;
    // alone, a rule reads each character once.
    static constexpr size_t MaxSearchLength = 16;

    // Whether rule can join the group: a usable rule that keeps the
    // condition above, with a search string no longer than MaxSearchLength
    // whose first character keeps the span.
    bool admits(const Rule &rule) const;
    void add(const Rule &rule);
    // Ready for sweeps once every rule has been added.
    void prepare();

    size_t size() const { return m_rules.size(); }
    const Rule &rule(size_t index) const { return m_rules[index]; }

    // Appends to found, as (rule, at) pairs, the rules among those active
    // whose search string starts at text[at]; end is the text's end.
    void findAt(const char16_t *text, qint32 at, const char16_t *end,
                const std::vector<char> &active, std::vector<std::pair<qint32, qint32>> &found) const
    {
        const size_t offset = size_t(char16_t(text[at] - m_lowest));
        if (offset < m_root.size() && m_root[offset] >= 0)
            walk(m_root[offset], text, at, end, active, found);
    }

private:
    struct Node
    {
        int firstEdge = 0, lastEdge = 0; // into m_edges, sorted by character
        int rule = -1;                   // the first rule whose search ends here
    };
    struct Edge
    {
        char16_t c;
        int node;
    };

    void walk(int node, const char16_t *text, qint32 at, const char16_t *end,
              const std::vector<char> &active, std::vector<std::pair<qint32, qint32>> &found) const;

    std::vector<Rule> m_rules;
    std::u16string m_searchCharacters;      // sorted, each once
    std::u16string m_replacementCharacters; // likewise
    char16_t m_lowest = 0xFFFF, m_highest = 0; // first characters of the search strings
    // The trie of the search strings: first characters by offset from
    // m_lowest (-1 where none starts), then nodes and their edges.
    std::vector<int> m_root;
    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
};

} // namespace Substitution
