// SPDX-License-Identifier: MIT
#include "conversion.h"

#include "modgp.h"
#include "runtimeerror.h"

#include <QStringView>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <numeric>
#include <string>
#include <variant>
#include <vector>

// The classic routine rescans the text position by position, rebuilds it at
// every match and repeats the pass until the length stays put. The plan
// gives the same results without that cost: each run of rules that can be
// taken together becomes one step, and a rule on its own streams its pass
// through the text once, with a match state that reads each character once.

namespace {

using Limits = ConversionTable::Limits;
constexpr qsizetype Nowhere = std::numeric_limits<qsizetype>::max();

std::u16string toU16(QStringView view)
{
    return std::u16string(view.utf16(), size_t(view.size()));
}

// Copied as it is: QString::fromUtf16 would take a leading U+FEFF for a
// byte-order mark and drop it.
QString toQString(const std::u16string &text)
{
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

// Offsets o, ascending, at which a[o..] agrees with the start of b as far as
// both go: the Z-function of b, a separator, then a.
std::vector<int> agreeingOffsets(const std::u16string &a, const std::u16string &b)
{
    std::vector<int> joined(b.begin(), b.end());
    joined.push_back(-1);
    joined.insert(joined.end(), a.begin(), a.end());
    const qsizetype n = qsizetype(joined.size()), bl = qsizetype(b.size());
    std::vector<qsizetype> z(size_t(n), 0);
    std::vector<int> offsets;
    for (qsizetype i = 1, left = 0, right = 0; i < n; ++i) {
        qsizetype k = i < right ? std::min(right - i, z[size_t(i - left)]) : 0;
        while (i + k < n && joined[size_t(k)] == joined[size_t(i + k)])
            ++k;
        z[size_t(i)] = k;
        if (i + k > right) {
            left = i;
            right = i + k;
        }
        const qsizetype o = i - bl - 1;
        if (o >= 0 && k >= std::min(qsizetype(a.size()) - o, bl))
            offsets.push_back(int(o));
    }
    return offsets;
}

// One entry's words in the direction of a plan; entry is its index in the
// table (-1 for ReplaceAll's own).
struct Rule
{
    std::u16string search, replacement;
    qsizetype entry = -1;
    bool holdsSearch = false; // the replacement contains the search string

    Rule(std::u16string s, std::u16string r, qsizetype index)
        : search(std::move(s)), replacement(std::move(r)), entry(index)
    {
        const std::vector<int> inside = agreeingOffsets(replacement, search);
        holdsSearch = std::any_of(inside.begin(), inside.end(), [&](int o) {
            return size_t(o) + search.size() <= replacement.size();
        });
    }
    qsizetype growth() const { return qsizetype(replacement.size()) - qsizetype(search.size()); }
    bool oneForOne() const { return search.size() == 1 && replacement.size() == 1; }
};

// Step one: a run of rules that each replace one character by one. Such a
// rule makes one pass and keeps the length, so the run comes down to one
// mapping of characters, done in one sweep.
struct CharacterMap
{
    static constexpr size_t MaxSpan = 4096; // of the characters looked for
    char16_t lowest = 0;
    std::vector<char16_t> mapped; // the character lowest + i becomes mapped[i]

    void apply(std::u16string &text) const
    {
        const size_t span = mapped.size();
        for (char16_t &c : text) {
            const size_t offset = char16_t(c - lowest);
            if (offset < span)
                c = mapped[offset];
        }
    }
};

// What a conversion works on: the text, a second buffer for passes that
// stream, and room the steps reuse.
struct Work
{
    Work(const QString &start, Limits bounds)
        : text(toU16(start)), limits(bounds), longest(start.size())
    {
    }

    std::u16string text, spare;
    Limits limits;
    qsizetype longest = 0;
    std::vector<std::pair<qint32, qint32>> found; // a group's matches (rule, at)
    std::vector<qint32> owner;
    // How many characters of each bucket (code % 4096) the text holds,
    // counted again only when a rule asks after the text has changed. Most
    // rules near the end of a table look for what earlier ones have already
    // replaced: they go without a reading of the text.
    std::vector<qint32> counts;
    bool changed = true;

    bool mayHold(const std::vector<std::pair<int, int>> &needed)
    {
        if (changed) {
            counts.assign(4096, 0);
            for (const char16_t c : text)
                ++counts[c & 0xFFF];
            changed = false;
        }
        return std::all_of(needed.begin(), needed.end(),
                           [&](const auto &need) { return counts[size_t(need.first)] >= need.second; });
    }
};

// Step two: rules that cannot make matches for one another, swept together.
// No replacement holds a character that a search string of the group
// holds, so no replacement (nor what it stands next to) can make a match
// for a rule after it, or for itself in a further pass: every match any of
// them replaces is in the text before the first one starts. All of them
// are found in one reading, then given to the rules in table order, each
// taking from left to right those that overlap nothing taken before, as the
// rules one after another would. A table of hundreds of context entries
// and spellings then costs a few readings of the text instead of one per
// entry.
class Group
{
public:
    // Finding the matches reads the text again from every position for up
    // to this many characters: a long string that repeats one letter would
    // make it quadratic, while alone a rule reads each character once.
    static constexpr size_t MaxSearchLength = 16;
    static constexpr int MaxSpan = 4096; // of the search strings' first characters

    explicit Group(const std::vector<const Rule *> &rules);
    // Returns the rule whose replacements take the text to the limit, with
    // the text as it was; nullptr once done.
    const Rule *apply(Work &work) const;

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
    void find(const std::u16string &text, std::vector<std::pair<qint32, qint32>> &found) const;
    std::vector<qint32> take(Work &work) const;
    void write(Work &work, qsizetype length) const;

    std::vector<const Rule *> m_rules;
    char16_t m_lowest = 0xFFFF;
    std::vector<int> m_root; // by first character, from m_lowest; -1 where none starts
    std::vector<Node> m_nodes;
    std::vector<Edge> m_edges;
};

// A trie of the search strings, built with maps, then laid out flat: a
// sweep reads it at nearly every character of the text. A later rule with
// the same search string never matches, as the first one takes whatever
// it could: the trie keeps only the first.
Group::Group(const std::vector<const Rule *> &rules) : m_rules(rules)
{
    std::vector<std::map<char16_t, int>> children(1);
    std::vector<int> ruleAt(1, -1);
    char16_t highest = 0;
    for (size_t index = 0; index < rules.size(); ++index) {
        int node = 0;
        for (const char16_t c : rules[index]->search) {
            auto [edge, added] = children[size_t(node)].try_emplace(c, int(children.size()));
            if (added) {
                children.emplace_back();
                ruleAt.push_back(-1);
            }
            node = edge->second;
        }
        if (ruleAt[size_t(node)] < 0)
            ruleAt[size_t(node)] = int(index);
        m_lowest = std::min(m_lowest, rules[index]->search.front());
        highest = std::max(highest, rules[index]->search.front());
    }
    m_root.assign(size_t(highest - m_lowest + 1), -1);
    for (const auto &[c, node] : children.front())
        m_root[size_t(c - m_lowest)] = node;
    for (size_t node = 0; node < children.size(); ++node) {
        const int firstEdge = int(m_edges.size());
        for (const auto &[c, child] : children[node])
            m_edges.push_back({c, child});
        m_nodes.push_back({firstEdge, int(m_edges.size()), ruleAt[node]});
    }
}

// Every match of every rule, as (rule, at), by position.
void Group::find(const std::u16string &text, std::vector<std::pair<qint32, qint32>> &found) const
{
    const char16_t *const end = text.data() + text.size();
    for (const char16_t *start = text.data(); start != end; ++start) {
        const size_t offset = char16_t(*start - m_lowest);
        if (offset >= m_root.size() || m_root[offset] < 0)
            continue;
        const qint32 at = qint32(start - text.data());
        int node = m_root[offset];
        for (const char16_t *next = start + 1;; ++next) {
            const Node &here = m_nodes[size_t(node)];
            if (here.rule >= 0)
                found.emplace_back(here.rule, at);
            if (next == end)
                break;
            const Edge *edge = m_edges.data() + here.firstEdge;
            const Edge *const last = m_edges.data() + here.lastEdge;
            while (edge != last && edge->c < *next)
                ++edge;
            if (edge == last || edge->c != *next)
                break;
            node = edge->node;
        }
    }
}

// Each rule in turn takes, from left to right, the matches that overlap
// nothing taken. Leaves in work.owner, per position, the rule whose match
// starts there, -2 inside a match, -1 elsewhere; returns how many each
// rule took.
std::vector<qint32> Group::take(Work &work) const
{
    // The matches ordered by rule, and by position within each rule.
    std::vector<qint32> first(m_rules.size() + 1, 0), order(work.found.size());
    for (const auto &found : work.found)
        ++first[size_t(found.first) + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<qint32> next(first.begin(), first.end() - 1);
    for (const auto &[rule, at] : work.found)
        order[size_t(next[size_t(rule)]++)] = at;

    std::vector<qint32> counts(m_rules.size(), 0);
    work.owner.assign(work.text.size(), -1);
    for (size_t rule = 0; rule < m_rules.size(); ++rule) {
        const size_t length = m_rules[rule]->search.size();
        for (qint32 k = first[rule]; k < first[rule + 1]; ++k) {
            qint32 *const place = work.owner.data() + order[size_t(k)];
            if (std::any_of(place, place + length, [](qint32 owner) { return owner != -1; }))
                continue;
            std::fill(place + 1, place + length, -2);
            *place = qint32(rule);
            ++counts[rule];
        }
    }
    return counts;
}

// The text with the matches take() left replaced, length long.
void Group::write(Work &work, qsizetype length) const
{
    std::u16string &result = work.spare;
    result.clear();
    result.reserve(size_t(length));
    const std::u16string &text = work.text;
    size_t copied = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const qint32 owner = work.owner[at];
        if (owner < 0)
            continue;
        const Rule &rule = *m_rules[size_t(owner)];
        result.append(text, copied, at - copied);
        result += rule.replacement;
        copied = at + rule.search.size();
        at = copied - 1;
    }
    result.append(text, copied);
    std::swap(work.text, result);
}

// One rule at a time, a pass fails when it starts on a text at the limit,
// and a rule that replaced something and changed the length makes one more
// pass: the text after each rule must stay under the limit. No other pass
// can fail, as the group's rules make no match for one another.
const Rule *Group::apply(Work &work) const
{
    work.found.clear();
    find(work.text, work.found);
    if (work.found.empty())
        return nullptr;
    const std::vector<qint32> counts = take(work);
    qsizetype length = qsizetype(work.text.size());
    for (size_t i = 0; i < m_rules.size(); ++i) {
        const Rule &rule = *m_rules[i];
        length += counts[i] * rule.growth();
        if (counts[i] > 0 && rule.growth() > 0 && length >= work.limits.maxLength)
            return &rule;
        work.longest = std::max(work.longest, length);
    }
    write(work, length);
    work.changed = true;
    return nullptr;
}

// Step three: one rule and its passes, for a rule no other step takes.
struct Single
{
    const Rule *rule;
    std::vector<int> border; // longest proper border of each prefix of the search string
    int stateAfterTail = 0;  // the match state after the replacement but its first character
    // Offsets o at which a match may stand before a replacement in the next
    // pass: where the search string, from its character o on, agrees with
    // the start of the replacement.
    std::vector<int> overlaps;
    std::vector<std::pair<int, int>> needed; // (bucket, characters) the search string holds

    explicit Single(const Rule *r);
    int advance(int state, char16_t c) const
    {
        const std::u16string &s = rule->search;
        while (state > 0 && s[size_t(state)] != c)
            state = border[size_t(state - 1)];
        return s[size_t(state)] == c ? state + 1 : state;
    }
    const Rule *apply(Work &work) const;
};

Single::Single(const Rule *r) : rule(r), border(r->search.size(), 0)
{
    const std::u16string &s = r->search;
    for (size_t i = 1, k = 0; i < s.size(); ++i) {
        while (k > 0 && s[i] != s[k])
            k = size_t(border[k - 1]);
        if (s[i] == s[k])
            ++k;
        border[i] = int(k);
    }
    std::map<int, int> buckets;
    for (const char16_t c : s)
        ++buckets[c & 0xFFF];
    needed.assign(buckets.begin(), buckets.end());
    if (r->holdsSearch)
        return;
    // After a replacement the scan goes on at its second character. No
    // match lies wholly inside the replacement, so where the scan stands
    // after it is fixed.
    for (size_t i = 1; i < r->replacement.size(); ++i)
        stateAfterTail = advance(stateAfterTail, r->replacement[i]);
    overlaps = agreeingOffsets(s, r->replacement);
    std::reverse(overlaps.begin(), overlaps.end()); // places before a replacement in order
}

// Where a pass may find a match: the places in spots (sorted), and any
// place from `from` on.
struct Places
{
    std::vector<qint32> spots;
    qsizetype from = 0;
};

// One pass. It examines every position up to the length it started with,
// in order, in the text as it stands; at a match it replaces, and the scan
// goes on at the next position, inside the replacement. Everything before
// the position being examined is final, so the pass writes the text once,
// from its first match on, instead of rebuilding it at every match: in
// place when replacements do not lengthen it (what is written never
// overtakes what is read, and a pass with one match near the end costs
// next to nothing), into the second buffer when they do. The match state
// is how many characters of the search string the last ones read are; with
// none pending, the pass jumps to the next place a match may start.
class Pass
{
public:
    enum Outcome { Unchanged, Changed, Overflow };

    Pass(const Single &single, Work &work, const Places &places)
        : m_single(single), m_rule(*single.rule), m_work(work), m_places(places),
          m_in(work.text.data()), m_length(qsizetype(work.text.size())),
          m_spot(places.spots.begin())
    {
    }
    Outcome run(Places &next);

private:
    bool seek();
    bool read();
    bool replace(Places &next);
    void keepRead(qsizetype extra);

    const Single &m_single;
    const Rule &m_rule;
    Work &m_work;
    const Places &m_places;
    const char16_t *const m_in; // the text as the pass found it
    const qsizetype m_length;   // its length, the bound of the scan
    std::vector<qint32>::const_iterator m_spot;
    char16_t *m_out = nullptr; // where the result is written, from the first match on
    qsizetype m_at = 0;        // in m_in, the next character to read
    qsizetype m_copied = 0;    // m_in before this is written, or replaced
    qsizetype m_shift = 0;     // the growth so far: m_in[i] now stands at i + m_shift
    int m_state = 0;
};

Pass::Outcome Pass::run(Places &next)
{
    const int m = int(m_rule.search.size());
    while (m_state > 0 || seek()) {
        if (m_state < m && !read())
            break;
        if (m_state == m && !replace(next))
            return Overflow;
    }
    if (!m_out)
        return Unchanged;
    m_at = m_length;
    keepRead(0);
    const qsizetype length = m_length + m_shift;
    if (m_out != m_work.text.data())
        std::swap(m_work.text, m_work.spare);
    m_work.text.resize(size_t(length));
    if (!std::is_sorted(next.spots.begin(), next.spots.end()))
        std::sort(next.spots.begin(), next.spots.end());
    next.spots.erase(std::unique(next.spots.begin(), next.spots.end()), next.spots.end());
    // What grew past the bound waits for the next pass.
    if (next.from != 0)
        next.from = length > m_length ? m_length : Nowhere;
    return m_rule.growth() == 0 ? Unchanged : Changed;
}

// Feeds characters to the match state until it is empty again or complete:
// false when a match would start at the bound or later, which is not
// looked for. The pass spends most of its time here.
bool Pass::read()
{
    const char16_t *const search = m_rule.search.data();
    const int *const border = m_single.border.data();
    const int m = int(m_rule.search.size());
    const qsizetype bound = m_length - m_shift; // in m_in
    int state = m_state;
    qsizetype at = m_at;
    bool more = true;
    for (;;) {
        if (at == m_length || at - state >= bound) {
            more = false;
            break;
        }
        const char16_t c = m_in[at++];
        while (state > 0 && search[state] != c)
            state = border[state - 1];
        if (search[state] == c)
            ++state;
        if (state == 0 || state == m)
            break;
        // A possible match in what this pass has not changed, before `from`,
        // can only start at a place the pass before left: seek() compares
        // those. Reading on could cross a long stretch that repeats the
        // search string's start.
        if (at - state >= m_copied && at - state < m_places.from) {
            at -= state;
            state = 0;
            break;
        }
    }
    m_state = state;
    m_at = at;
    return more;
}

// Writes what has been read since the last match, with room for extra more.
void Pass::keepRead(qsizetype extra)
{
    const qsizetype count = m_at - m_copied, written = m_copied + m_shift;
    if (m_out != m_work.text.data()) {
        std::u16string &spare = m_work.spare;
        if (qsizetype(spare.size()) < written + count + extra) {
            spare.resize(size_t(std::max(written + count + extra, 2 * qsizetype(spare.size()))));
            m_out = spare.data();
        }
    }
    if (m_shift != 0 || m_out != m_in)
        std::memmove(m_out + written, m_in + m_copied, size_t(count) * sizeof(char16_t));
    m_copied = m_at;
}

// To the next place a match may start, before the bound: false when none is.
// Before `from` a match can only start at a place the pass before left: it
// is compared there at once, and with a match the state is complete.
bool Pass::seek()
{
    const std::u16string &search = m_rule.search;
    const qsizetype m = qsizetype(search.size()), end = std::min(m_length, m_length - m_shift);
    for (const auto spotsEnd = m_places.spots.end();; ++m_spot) {
        while (m_spot != spotsEnd && *m_spot < m_at)
            ++m_spot;
        if (m_spot == spotsEnd || *m_spot >= m_places.from)
            break;
        if (*m_spot >= end)
            return false;
        m_at = *m_spot + 1;
        if (*m_spot + m <= m_length
            && std::memcmp(m_in + *m_spot, search.data(), size_t(m) * sizeof(char16_t)) == 0) {
            m_at = *m_spot + m;
            m_state = int(m);
            return true;
        }
    }
    // Anywhere from here on: skip to the search string's first character.
    const qsizetype at = std::max(m_at, m_places.from);
    const qsizetype found =
            at >= end ? -1 : QStringView(m_in + at, end - at).indexOf(QChar(search[0]));
    m_at = at + found;
    return found >= 0;
}

// The match ends just before m_at. False when the text, which only grows
// from here, reaches the limit: the next pass could not start.
bool Pass::replace(Places &next)
{
    const std::u16string &by = m_rule.replacement;
    const qsizetype growth = m_rule.growth();
    m_state = m_single.stateAfterTail;
    m_work.changed = true;
    if (!m_out)
        m_out = growth > 0 ? m_work.spare.data() : m_work.text.data();
    keepRead(growth);
    const qsizetype at = m_at + m_shift - qsizetype(m_rule.search.size());
    std::copy(by.begin(), by.end(), m_out + at);
    m_shift += growth;
    if (growth > 0 && m_length + m_shift >= m_work.limits.maxLength)
        return false;
    // Many scattered places cost more to visit one by one than a reading
    // of the whole text.
    if (growth != 0 && next.from != 0) {
        // What stands before the replacement is final: a place whose first
        // character or whose character before the replacement cannot be the
        // search string's is left out.
        const char16_t *const search = m_rule.search.data();
        for (const int o : m_single.overlaps) {
            if (at >= o && (o == 0 || (m_out[at - 1] == search[o - 1] && m_out[at - o] == search[0])))
                next.spots.push_back(qint32(at - o));
        }
        const qsizetype scatter = m_work.limits.scatter;
        if (scatter > 0 && qsizetype(next.spots.size()) * scatter > m_length + m_shift)
            next = {{}, 0};
    }
    return true;
}

const Rule *Single::apply(Work &work) const
{
    if (!work.mayHold(needed))
        return nullptr;
    if (rule->holdsSearch) {
        // Replaced by itself, nothing changes. A longer replacement that
        // contains its search string finds a match again in every pass and
        // grows the text until the limit: say so now.
        if (rule->growth() == 0)
            return nullptr;
        int state = 0;
        for (const char16_t c : work.text) {
            if ((state = advance(state, c)) == int(rule->search.size()))
                return rule;
        }
        return nullptr;
    }
    Places places;
    for (;;) {
        Places next{{}, Nowhere};
        const Pass::Outcome outcome = Pass(*this, work, places).run(next);
        if (outcome == Pass::Overflow)
            return rule;
        if (outcome == Pass::Unchanged)
            return nullptr;
        work.longest = std::max(work.longest, qsizetype(work.text.size()));
        places = std::move(next);
    }
}

// Whether a replacement, wherever it is put, can be part of a new occurrence
// of its search string: inside it, or across either of its ends.
bool canFormItsSearch(const Rule &rule)
{
    return !agreeingOffsets(rule.search, rule.replacement).empty()
        || !agreeingOffsets(rule.replacement, rule.search).empty();
}

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
bool isLocal(const Rule &rule)
{
    for (const std::u16string *word : {&rule.search, &rule.replacement}) {
        if (word->find_first_of(u"\r\n") != std::u16string::npos)
            return false;
    }
    return rule.growth() == 0 || rule.holdsSearch || !canFormItsSearch(rule);
}

} // namespace

using Step = std::variant<CharacterMap, Group, Single>;

struct ConversionTable::Plan
{
    std::vector<Rule> rules; // only those that can replace anything, in table order
    std::vector<Step> steps;
    bool byLine = true;

    explicit Plan(std::vector<Rule> usable);
    size_t addCharacterMap(size_t first);
    size_t addGroup(size_t first);
    const Rule *run(Work &work) const;
};

// The one place that decides which step takes which rule: a run of
// one-for-one rules is one sweep whatever its length; consecutive rules
// that cannot make matches for one another are one reading of the text
// for all of them; any other rule needs its own passes, as each of them
// depends on what the one before it left.
ConversionTable::Plan::Plan(std::vector<Rule> usable) : rules(std::move(usable))
{
    for (size_t first = 0; first < rules.size();)
        first = rules[first].oneForOne() ? addCharacterMap(first) : addGroup(first);
    byLine = std::all_of(rules.begin(), rules.end(), isLocal);
}

size_t ConversionTable::Plan::addCharacterMap(size_t first)
{
    size_t last = first;
    char16_t lowest = 0xFFFF, highest = 0;
    for (; last < rules.size() && rules[last].oneForOne(); ++last) {
        const char16_t c = rules[last].search[0];
        if (std::max(highest, c) - std::min(lowest, c) >= int(CharacterMap::MaxSpan))
            break;
        lowest = std::min(lowest, c);
        highest = std::max(highest, c);
    }
    CharacterMap map{lowest, std::vector<char16_t>(size_t(highest - lowest + 1))};
    for (size_t i = 0; i < map.mapped.size(); ++i)
        map.mapped[i] = char16_t(lowest + i);
    // Each rule changes what the rules before it have made of its character.
    for (size_t i = first; i < last; ++i)
        std::replace(map.mapped.begin(), map.mapped.end(), rules[i].search[0],
                     rules[i].replacement[0]);
    steps.emplace_back(std::move(map));
    return last;
}

// A group takes consecutive rules as long as no replacement shares a
// character with a search string, and the search strings stay short.
size_t ConversionTable::Plan::addGroup(size_t first)
{
    std::vector<bool> searched(65536), replaced(65536);
    std::vector<const Rule *> members;
    char16_t lowest = 0xFFFF, highest = 0;
    for (size_t i = first; i < rules.size(); ++i) {
        const Rule &rule = rules[i];
        const char16_t c = rule.search.front();
        if (rule.holdsSearch || rule.search.size() > Group::MaxSearchLength || rule.oneForOne()
            || std::max(highest, c) - std::min(lowest, c) >= Group::MaxSpan)
            break;
        for (const char16_t s : rule.search)
            searched[s] = true;
        const auto isSearched = [&](char16_t r) { return bool(searched[r]); };
        const auto isReplaced = [&](char16_t s) { return bool(replaced[s]); };
        if (std::any_of(rule.replacement.begin(), rule.replacement.end(), isSearched)
            || std::any_of(rule.search.begin(), rule.search.end(), isReplaced))
            break;
        for (const char16_t r : rule.replacement)
            replaced[r] = true;
        members.push_back(&rule);
        lowest = std::min(lowest, c);
        highest = std::max(highest, c);
    }
    if (members.size() >= 2) {
        steps.emplace_back(Group(members));
        return first + members.size();
    }
    steps.emplace_back(Single(&rules[first]));
    return first + 1;
}

// The rule whose passes would take the text to the limit, or nullptr.
const Rule *ConversionTable::Plan::run(Work &work) const
{
    for (const Step &step : steps) {
        const Rule *failed = nullptr;
        if (const auto *map = std::get_if<CharacterMap>(&step)) {
            map->apply(work.text);
            work.changed = true;
        } else if (const auto *group = std::get_if<Group>(&step))
            failed = group->apply(work);
        else
            failed = std::get<Single>(step).apply(work);
        if (failed)
            return failed;
    }
    return nullptr;
}

QString convertText(const QString &text, const QStringList &table, bool toCyrillic)
{
    return ConversionTable(table).convert(text, toCyrillic);
}

ConversionTable::ConversionTable(const QStringList &table) : m_table(table)
{
    std::vector<Rule> toLatin, toCyrillic;
    for (qsizetype index = 0; index < table.size(); ++index) {
        QString latin, cyrillic;
        try {
            latin = modGP::GetWord(table.at(index), 1);
            cyrillic = modGP::GetWord(table.at(index), 2);
        } catch (const RuntimeError &) {
            m_overlongEntry = index;
            break;
        }
        if (latin.isEmpty() || cyrillic.isEmpty())
            continue;
        toCyrillic.emplace_back(toU16(latin), toU16(cyrillic), index);
        toLatin.emplace_back(toU16(cyrillic), toU16(latin), index);
    }
    m_plans[0] = std::make_shared<const Plan>(std::move(toLatin));
    m_plans[1] = std::make_shared<const Plan>(std::move(toCyrillic));
}

bool ConversionTable::convertsLineByLine(bool toCyrillic) const
{
    return m_plans[toCyrillic]->byLine;
}

ConversionTable::StepCounts ConversionTable::stepCounts(bool toCyrillic) const
{
    StepCounts counts;
    for (const Step &step : m_plans[toCyrillic]->steps) {
        counts.characterMaps += std::holds_alternative<CharacterMap>(step);
        counts.groups += std::holds_alternative<Group>(step);
        counts.singles += std::holds_alternative<Single>(step);
    }
    return counts;
}

namespace {

// The table's header is line 1 of its file.
[[noreturn]] void throwOverflow(RuntimeError::OverflowCause::Kind kind, qsizetype entry,
                                const QStringList &table, qsizetype textLength)
{
    RuntimeError error = RuntimeError::overflow();
    RuntimeError::OverflowCause cause{kind, textLength, 0, {}};
    if (entry >= 0) {
        cause.line = int(entry) + 2;
        cause.entry = table.at(entry);
    }
    error.setOverflowCause(std::move(cause));
    throw error;
}

} // namespace

QString ConversionTable::convert(const QString &text, bool toCyrillic, Limits limits,
                                 qsizetype *longest) const
{
    using Cause = RuntimeError::OverflowCause;
    if (longest)
        *longest = text.size();
    // Every entry's words are taken at every conversion, so such a line
    // fails them all, whatever the text.
    if (m_overlongEntry >= 0)
        throwOverflow(Cause::EntryTooLong, m_overlongEntry, m_table, text.size());
    const Plan &plan = *m_plans[toCyrillic];
    // With nothing to replace, no pass ever runs and length sets no limit.
    if (plan.rules.empty())
        return text;
    // Positions and lengths are 16-bit: a pass cannot start on a text this
    // long. Past this check only a rule that lengthens the text can fail.
    if (text.size() >= limits.maxLength)
        throwOverflow(Cause::TextTooLong, -1, m_table, text.size());
    Work work(text, limits);
    if (const Rule *failed = plan.run(work)) {
        throwOverflow(failed->holdsSearch ? Cause::EntryGrowsWithoutEnd : Cause::EntryGrowsText,
                      failed->entry, m_table, text.size());
    }
    if (longest)
        *longest = work.longest;
    return toQString(work.text);
}

QString ConversionTable::replaceAll(const QString &text, const QString &search,
                                    const QString &replacement, Limits limits)
{
    if (search.isEmpty() || replacement.isEmpty())
        return text;
    if (text.size() >= limits.maxLength)
        throw RuntimeError::overflow();
    const Plan plan({Rule(toU16(search), toU16(replacement), -1)});
    Work work(text, limits);
    if (plan.run(work))
        throw RuntimeError::overflow();
    return toQString(work.text);
}
