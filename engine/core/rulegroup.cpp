// SPDX-License-Identifier: MIT
#include "rulegroup.h"

#include <algorithm>
#include <map>

namespace Substitution {

namespace {

bool sharesCharacter(const std::u16string &sortedSet, const std::u16string &s)
{
    return std::any_of(s.begin(), s.end(), [&](char16_t c) {
        return std::binary_search(sortedSet.begin(), sortedSet.end(), c);
    });
}

void addCharacters(std::u16string &sortedSet, const std::u16string &s)
{
    sortedSet += s;
    std::sort(sortedSet.begin(), sortedSet.end());
    sortedSet.erase(std::unique(sortedSet.begin(), sortedSet.end()), sortedSet.end());
}

} // namespace

bool RuleGroup::admits(const Rule &rule) const
{
    if (rule.shape() == Rule::Shape::Unusable || rule.shape() == Rule::Shape::Identity
        || rule.shape() == Rule::Shape::Runaway)
        return false;
    const std::u16string &search = rule.m_search, &replacement = rule.m_replacement;
    if (search.size() > MaxSearchLength)
        return false;
    const char16_t first = search.front();
    if (std::max(m_highest, first) - std::min(m_lowest, first) >= MaxSpan)
        return false;
    std::u16string searchCharacters = m_searchCharacters;
    addCharacters(searchCharacters, search);
    return !sharesCharacter(searchCharacters, replacement)
        && !sharesCharacter(m_replacementCharacters, search);
}

void RuleGroup::add(const Rule &rule)
{
    m_rules.push_back(rule);
    addCharacters(m_searchCharacters, rule.m_search);
    addCharacters(m_replacementCharacters, rule.m_replacement);
    m_lowest = std::min(m_lowest, rule.m_search.front());
    m_highest = std::max(m_highest, rule.m_search.front());
}

// The trie is built with maps, then laid out flat: a sweep reads it at
// nearly every character of the text.
void RuleGroup::prepare()
{
    std::vector<std::map<char16_t, int>> children(1);
    std::vector<int> ruleAt(1, -1);
    for (size_t index = 0; index < m_rules.size(); ++index) {
        int node = 0;
        for (const char16_t c : m_rules[index].m_search) {
            auto [edge, added] = children[size_t(node)].try_emplace(c, int(children.size()));
            if (added) {
                children.emplace_back();
                ruleAt.push_back(-1);
            }
            node = edge->second;
        }
        if (ruleAt[size_t(node)] < 0)
            ruleAt[size_t(node)] = int(index);
    }
    m_root.assign(m_rules.empty() ? 0 : size_t(m_highest - m_lowest + 1), -1);
    for (const auto &[c, node] : children.front())
        m_root[size_t(c - m_lowest)] = node;
    m_nodes.clear();
    m_edges.clear();
    for (size_t node = 0; node < children.size(); ++node) {
        const int firstEdge = int(m_edges.size());
        for (const auto &[c, child] : children[node])
            m_edges.push_back({c, child});
        m_nodes.push_back({firstEdge, int(m_edges.size()), ruleAt[node]});
    }
}

// A later rule with the same search string never matches: the first one
// takes whatever it could, so the trie keeps only the first.
void RuleGroup::walk(int node, const char16_t *text, qint32 at, const char16_t *end,
                     const std::vector<char> &active,
                     std::vector<std::pair<qint32, qint32>> &found) const
{
    for (const char16_t *next = text + at + 1;; ++next) {
        const Node &here = m_nodes[size_t(node)];
        if (here.rule >= 0 && active[size_t(here.rule)])
            found.emplace_back(here.rule, at);
        if (next == end)
            return;
        const Edge *edge = m_edges.data() + here.firstEdge;
        const Edge *const last = m_edges.data() + here.lastEdge;
        while (edge != last && edge->c < *next)
            ++edge;
        if (edge == last || edge->c != *next)
            return;
        node = edge->node;
    }
}

} // namespace Substitution
