// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <limits>
#include <string>
#include <utility>
#include <vector>

// The machinery behind modGP::ReplaceAll and whole-text conversion. It gives
// exactly the results of the classic step-by-step routine (rescan the text
// position by position, rebuild it at every match, repeat the pass until the
// length stays put) without its cost:
//
// - within a pass, everything before the position being examined is final,
//   so the text is streamed once into a new one instead of being rebuilt at
//   every match;
// - the text is kept in blocks, and a pass after the first only looks at the
//   places where the previous pass replaced something (and at the part that
//   grew past its scan bound): anywhere else it already found no match, and
//   nothing there has changed. Untouched blocks are handed over as they are,
//   so a long run of passes with one replacement each costs little per pass;
// - a replacement that contains its search string and is longer than it
//   would grow the text pass after pass up to the length limit: that
//   overflow is reported at once;
// - each rule takes, once, the strategy its shape needs (Rule::Shape), a
//   run of one-character rules becomes one mapping (CharacterMap), and
//   rules that cannot make matches for one another are swept together
//   (RuleGroup).
namespace Substitution {

class RuleGroup;

struct Limits
{
    // A pass over a text of this length or more fails with the overflow
    // error: positions are 16-bit numbers.
    qsizetype maxLength = 32767;
    // Target length of the text's blocks.
    qsizetype blockSize = 1024;
    // A pass that would have to visit more than one place per this many
    // characters searches the whole text instead; 0 never does.
    qsizetype scatter = 32;
};

// One search string and its replacement, prepared for repeated use. Its
// shape decides, once, which strategy its conversion takes.
class Rule
{
public:
    Rule(QStringView search, QStringView replacement);

    // An empty search string or replacement replaces nothing.
    bool isUsable() const { return !m_search.empty() && !m_replacement.empty(); }
    QString search() const;
    QString replacement() const;

    enum class Shape {
        Unusable,     // an empty word: nothing, whatever the text
        Identity,     // replaced by itself: nothing, but the length limit holds
        Runaway,      // longer and containing its search string: endless growth
        OneCharacter, // one character for one: one sweep
        SameLength,   // one pass, edited in place
        Resizing,     // passes until the length stays put
    };
    Shape shape() const { return m_shape; }

private:
    friend class Text;
    friend class Pass;
    friend class StreamingPass;
    friend class InPlacePass;
    friend class Presence;
    friend class RuleGroup;

    void prepareMatching();
    void prepareFilters();

    std::u16string m_search;
    std::u16string m_replacement;
    Shape m_shape = Shape::Unusable;
    std::vector<int> m_border;  // longest proper border of each prefix of search
    int m_stateAfterTail = 0;   // match state after the replacement minus its first character
    std::vector<int> m_overlaps; // see prepareMatching()
    qsizetype m_growth = 0;     // length change per replacement
    // Per character bucket: how many the search string needs, and how a
    // replacement changes the text's count.
    std::vector<std::pair<int, int>> m_needed;
    std::vector<std::pair<int, int>> m_delta;
    // Adjacent characters of the search string (pair slot, bucket of the
    // first, bucket of the second), and the pair slots inside the
    // replacement.
    struct Pair
    {
        int slot, first, second;
    };
    std::vector<Pair> m_searchPairs;
    std::vector<int> m_replacementPairs;
};

// A run of rules that each replace one character by one character, applied
// in their order: such a rule makes one pass and keeps the length, so the
// run comes down to one mapping of characters, done in one sweep.
class CharacterMap
{
public:
    // The widest span of characters a run may look for.
    static constexpr int MaxSpan = 4096;

    // The rules' search and replacement characters, in order; the search
    // characters lie within MaxSpan of each other.
    explicit CharacterMap(const std::vector<std::pair<char16_t, char16_t>> &rules);

private:
    friend class Text;

    // No character outside [m_lowest, m_lowest + m_span) changes.
    char16_t m_lowest = 0;
    size_t m_span = 0;
    std::vector<char16_t> m_mapped; // from m_lowest on
};

// What a text may hold, kept cheaply so that a rule whose search string
// cannot be there is skipped without a pass. Invariant: every character of
// the text is counted in its bucket (code & 0xFFF), exactly; every pair of
// adjacent characters (a, b) of the text has its slot set, or a's bucket in
// anyAfter, or b's bucket in anyBefore. Replacements only ever add to the
// pair sets (what they put next to their ends is not looked at), so they
// stay a superset of the text's pairs.
class Presence
{
public:
    static constexpr int BucketCount = 4096;
    static constexpr int PairSlotCount = 65536;

    explicit Presence(QStringView text);

    bool mayContain(const Rule &rule) const;
    // After one replacement by rule; noteReplaced once its pass is over.
    void countReplacement(const Rule &rule, qint32 times = 1);
    void noteReplaced(const Rule &rule);
    // count characters `from` became `to`, each now with unknown neighbours.
    void moveCharacters(char16_t from, char16_t to, qint32 count);

private:
    std::array<qint32, BucketCount> m_counts{};
    std::vector<quint64> m_pairSlots;
    std::array<bool, BucketCount> m_anyAfter{};
    std::array<bool, BucketCount> m_anyBefore{};
};

// A text being converted.
class Text
{
public:
    explicit Text(QStringView text, Limits limits = {});

    qsizetype size() const { return m_size; }
    QString toString() const;

    // ReplaceAll on this text. Throws RuntimeError(Overflow) and leaves the
    // object unusable when the classic routine would fail.
    void replaceAll(const Rule &rule);
    // replaceAll of every rule of the run, in order.
    void replaceCharacters(const CharacterMap &map);
    // replaceAll of every rule of the group, in order, in one sweep. Returns
    // false, with the text as it was, when some rule's pass would fail:
    // going one rule at a time then fails the same way. longest, when
    // given, receives the greatest length the text has had after a rule.
    bool replaceGroup(const RuleGroup &group, qsizetype *longest = nullptr);

    static constexpr int BucketCount = Presence::BucketCount;
    static constexpr int PairSlotCount = Presence::PairSlotCount;

    // Sorted, disjoint places [begin, end) of the text a pass must look at.
    struct Interval
    {
        qsizetype begin;
        qsizetype end;
    };

private:
    friend class Pass;
    friend class StreamingPass;
    friend class InPlacePass;

    void checkLength() const;
    void replaceRunaway(const Rule &rule);
    void replaceOneCharacter(const Rule &rule);
    void replaceResizing(const Rule &rule);
    bool replaceCharacter(char16_t from, char16_t to);
    std::vector<qint32> takeMatches(const RuleGroup &group, const std::vector<char> &active);
    void writeMatches(const RuleGroup &group, qsizetype length);

    Limits m_limits;
    std::vector<std::u16string> m_blocks; // never empty ones
    qsizetype m_size = 0;
    Presence m_presence;
    std::vector<qsizetype> m_nextPositions; // kept to spare allocations
    std::vector<qint32> m_histogram;        // likewise
    // A group's sweep: the text in one piece, the matches found, their
    // positions ordered by rule, and what owns each position.
    std::u16string m_flat;
    std::vector<std::pair<qint32, qint32>> m_found;
    std::vector<qint32> m_order;
    std::vector<qint32> m_owner;
};

// ReplaceAll with other limits (the tests shrink them to reach every
// boundary with tiny texts).
QString replaceAll(const QString &text, const QString &search, const QString &replacement,
                   Limits limits = {});

} // namespace Substitution
