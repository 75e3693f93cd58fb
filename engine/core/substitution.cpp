// SPDX-License-Identifier: MIT
#include "substitution.h"

#include "kernels.h"
#include "rulegroup.h"
#include "runtimeerror.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace Substitution {

namespace {

constexpr qsizetype Unbounded = std::numeric_limits<qsizetype>::max();

// The one cutoff between plain search and reading character by character:
// a plain search could compare most of a longer string at every position,
// while the match state reads each character once.
constexpr qsizetype MaxSearchedDirectly = 8;

int bucketOf(char16_t c)
{
    return c & (Presence::BucketCount - 1);
}

int pairSlotOf(char16_t a, char16_t b)
{
    return int(((quint32(a) * 0x9E3779B1u) ^ (quint32(b) * 0x85EBCA77u)) >> 16);
}

std::u16string toU16(QStringView view)
{
    return std::u16string(view.utf16(), size_t(view.size()));
}

// Longest proper border of each prefix of s (the match state's fallback).
std::vector<int> bordersOf(const std::u16string &s)
{
    std::vector<int> border(s.size(), 0);
    for (size_t i = 1, k = 0; i < s.size(); ++i) {
        while (k > 0 && s[i] != s[k])
            k = size_t(border[k - 1]);
        if (s[i] == s[k])
            ++k;
        border[i] = int(k);
    }
    return border;
}

// Offsets o at which a match may stand before a replacement in the next
// pass: those where the search string, from its character o on, agrees
// with the start of the replacement. Found with the Z-function of
// replacement + separator + search; largest offset first.
std::vector<int> overlapOffsets(const std::u16string &search, const std::u16string &replacement)
{
    const qsizetype m = qsizetype(search.size()), rl = qsizetype(replacement.size());
    std::vector<int> joined(replacement.begin(), replacement.end());
    joined.push_back(-1);
    joined.insert(joined.end(), search.begin(), search.end());
    const qsizetype n = qsizetype(joined.size());
    std::vector<qsizetype> z(size_t(n), 0);
    for (qsizetype i = 1, left = 0, right = 0; i < n; ++i) {
        qsizetype k = i < right ? std::min(right - i, z[size_t(i - left)]) : 0;
        while (i + k < n && joined[size_t(k)] == joined[size_t(i + k)])
            ++k;
        z[size_t(i)] = k;
        if (i + k > right) {
            left = i;
            right = i + k;
        }
    }
    std::vector<int> overlaps;
    for (qsizetype o = m - 1; o >= 0; --o) {
        if (z[size_t(rl + 1 + o)] >= std::min(m - o, rl))
            overlaps.push_back(int(o));
    }
    return overlaps;
}

// Collects the blocks of a pass's result. Blocks it builds itself hold
// blockSize characters; blocks handed over whole are taken as they are.
// Every block but the last keeps at least half the block size, so a pass
// that touches the text in a few places never leaves a trail of splinters.
class BlockBuilder
{
public:
    explicit BlockBuilder(qsizetype blockSize) : m_blockSize(blockSize) { }

    void append(const char16_t *chars, qsizetype count)
    {
        if (qsizetype(m_current.size()) + count < m_blockSize) {
            m_current.append(chars, size_t(count));
            return;
        }
        while (count > 0) {
            if (qsizetype(m_current.size()) >= m_blockSize)
                flush();
            if (m_current.capacity() < size_t(m_blockSize))
                m_current.reserve(size_t(m_blockSize));
            const qsizetype take = std::min(count, m_blockSize - qsizetype(m_current.size()));
            m_current.append(chars, size_t(take));
            chars += take;
            count -= take;
        }
    }

    void appendBlock(std::u16string &&block)
    {
        if (m_current.empty()) {
            m_blocks.push_back(std::move(block));
        } else if (qsizetype(m_current.size()) * 2 >= m_blockSize) {
            flush();
            m_blocks.push_back(std::move(block));
        } else {
            m_current += block;
            if (qsizetype(m_current.size()) > 2 * m_blockSize) {
                const size_t half = m_current.size() / 2;
                m_blocks.emplace_back(m_current, 0, half);
                m_blocks.emplace_back(m_current, half);
                m_current.clear();
            } else {
                flush();
            }
        }
    }

    std::vector<std::u16string> finish()
    {
        flush();
        return std::move(m_blocks);
    }

private:
    void flush()
    {
        if (!m_current.empty())
            m_blocks.push_back(std::move(m_current));
        m_current = std::u16string();
    }

    qsizetype m_blockSize;
    std::vector<std::u16string> m_blocks;
    std::u16string m_current;
};

// A read position in a text's blocks, in the text they hold now. Unless it
// is at the end, the offset lies inside the block at the index, and the
// position is the block's start plus the offset.
class BlockCursor
{
public:
    explicit BlockCursor(std::vector<std::u16string> &blocks) : m_blocks(blocks) { }

    bool atEnd() const { return m_index >= m_blocks.size(); }
    qsizetype position() const { return m_position; }
    size_t index() const { return m_index; }
    qsizetype offset() const { return m_offset; }
    char16_t *here() { return m_blocks[m_index].data() + m_offset; }
    qsizetype blockEnd() const { return m_blockStart + sizeOf(m_index); }

    void advance(qsizetype count)
    {
        m_offset += count;
        m_position += count;
        if (m_offset == sizeOf(m_index)) {
            m_blockStart += m_offset;
            ++m_index;
            m_offset = 0;
        }
    }

    void seek(qsizetype pos)
    {
        while (pos < m_blockStart) {
            --m_index;
            m_blockStart -= sizeOf(m_index);
        }
        while (!atEnd() && pos >= m_blockStart + sizeOf(m_index)) {
            m_blockStart += sizeOf(m_index);
            ++m_index;
        }
        m_offset = pos - m_blockStart;
        m_position = pos;
    }

    // Whether s stands at the cursor, across blocks if need be.
    bool startsWith(const char16_t *s, qsizetype length) const
    {
        qsizetype compared = 0;
        for (size_t k = m_index, from = size_t(m_offset); compared < length; ++k, from = 0) {
            if (k == m_blocks.size())
                return false;
            const qsizetype take = std::min(length - compared, sizeOf(k) - qsizetype(from));
            if (std::memcmp(m_blocks[k].data() + from, s + compared,
                            size_t(take) * sizeof(char16_t)) != 0)
                return false;
            compared += take;
        }
        return true;
    }

    // The `length` characters at the cursor become `by`; the cursor goes
    // past it. A block that grows past twice blockSize is cut up.
    void replace(qsizetype length, const std::u16string &by, qsizetype blockSize)
    {
        const qsizetype at = m_position;
        if (qsizetype(by.size()) == length) {
            for (const char16_t c : by) {
                m_blocks[m_index][size_t(m_offset)] = c;
                advance(1);
            }
            return;
        }
        std::u16string &block = m_blocks[m_index];
        while (m_offset + length > qsizetype(block.size())) {
            block += m_blocks[m_index + 1];
            m_blocks.erase(m_blocks.begin() + qsizetype(m_index) + 1);
        }
        block.replace(size_t(m_offset), size_t(length), by);
        if (qsizetype(block.size()) > 2 * blockSize)
            split(blockSize);
        seek(at + qsizetype(by.size()));
    }

private:
    qsizetype sizeOf(size_t index) const { return qsizetype(m_blocks[index].size()); }

    void split(qsizetype blockSize)
    {
        const std::u16string whole = std::move(m_blocks[m_index]);
        std::vector<std::u16string> pieces;
        for (size_t from = 0; from < whole.size(); from += size_t(blockSize))
            pieces.emplace_back(whole, from, size_t(blockSize));
        const auto at = m_blocks.begin() + qsizetype(m_index);
        m_blocks.insert(m_blocks.erase(at), std::make_move_iterator(pieces.begin()),
                        std::make_move_iterator(pieces.end()));
    }

    std::vector<std::u16string> &m_blocks;
    size_t m_index = 0;
    qsizetype m_offset = 0;
    qsizetype m_blockStart = 0;
    qsizetype m_position = 0;
};

// Walks a pass's candidate intervals, which are positions in the text as
// the pass found it: ahead of the cursor, the current text is that text
// moved by the pass's growth so far (its shift).
class CandidateWalk
{
public:
    explicit CandidateWalk(const std::vector<Text::Interval> &intervals) : m_intervals(intervals) { }

    // Moves to the first interval that ends after pos; false when none is left.
    bool reach(qsizetype pos, qsizetype shift)
    {
        while (m_index < m_intervals.size() && moved(m_intervals[m_index].end, shift) <= pos)
            ++m_index;
        return m_index < m_intervals.size();
    }
    qsizetype begin(qsizetype shift) const { return moved(m_intervals[m_index].begin, shift); }
    qsizetype end(qsizetype shift) const { return moved(m_intervals[m_index].end, shift); }

private:
    static qsizetype moved(qsizetype pos, qsizetype shift)
    {
        return pos == Unbounded ? pos : pos + shift;
    }

    const std::vector<Text::Interval> &m_intervals;
    size_t m_index = 0;
};

bool isEverywhere(const std::vector<Text::Interval> &candidates)
{
    return candidates.size() == 1 && candidates[0].begin == 0 && candidates[0].end == Unbounded;
}

// The places the next pass has to look at: where this pass's replacements
// may have formed a match, and what grew past this pass's bound. Many
// scattered places cost more to visit one by one than a plain search of
// the whole text.
std::vector<Text::Interval> nextCandidates(std::vector<qsizetype> &positions,
                                           qsizetype startLength, qsizetype length,
                                           qsizetype scatter)
{
    std::sort(positions.begin(), positions.end());
    std::vector<Text::Interval> next;
    for (const qsizetype pos : positions) {
        if (!next.empty() && pos <= next.back().end)
            next.back().end = std::max(next.back().end, pos + 1);
        else
            next.push_back({pos, pos + 1});
    }
    if (length > startLength) {
        if (!next.empty() && startLength <= next.back().end)
            next.back().end = length;
        else
            next.push_back({startLength, length});
    }
    if (scatter > 0 && qsizetype(next.size()) * scatter > length)
        next.assign(1, {0, Unbounded});
    return next;
}

// Maps each character through [lowest, lowest + span) and counts it in its
// slot; characters outside the span are counted in the last slot, which
// they never change. Written so as to compile without branches, with four
// histograms, one per place modulo four: runs of one letter would
// otherwise wait on the same counter.
void mapCharacters(char16_t *c, qsizetype length, const char16_t *mapped, char16_t lowest,
                   size_t span, qint32 *histogram)
{
    const size_t stride = span + 1;
    const auto mapOne = [&](char16_t &ch, qint32 *counts) {
        const size_t offset = char16_t(ch - lowest);
        const size_t inside = size_t(0) - size_t(offset < span); // all ones or zero
        const size_t slot = (offset & inside) | (span & ~inside);
        ++counts[slot];
        ch = char16_t((mapped[slot] & inside) | (ch & ~inside));
    };
    char16_t *const end = c + length;
    for (; end - c >= 4; c += 4) {
        mapOne(c[0], histogram);
        mapOne(c[1], histogram + stride);
        mapOne(c[2], histogram + 2 * stride);
        mapOne(c[3], histogram + 3 * stride);
    }
    for (; c != end; ++c)
        mapOne(*c, histogram);
}

} // namespace

Rule::Rule(QStringView search, QStringView replacement)
    : m_search(toU16(search)), m_replacement(toU16(replacement))
{
    if (!isUsable())
        return;
    m_growth = qsizetype(m_replacement.size()) - qsizetype(m_search.size());
    if (m_replacement.find(m_search) != std::u16string::npos)
        m_shape = m_growth > 0 ? Shape::Runaway : Shape::Identity;
    else if (m_search.size() == 1 && m_replacement.size() == 1)
        m_shape = Shape::OneCharacter;
    else
        m_shape = m_growth == 0 ? Shape::SameLength : Shape::Resizing;
    prepareFilters();
    if (m_shape == Shape::SameLength || m_shape == Shape::Resizing)
        prepareMatching();
}

void Rule::prepareMatching()
{
    m_border = bordersOf(m_search);
    // After a replacement the scan goes on at its second character. No
    // match can lie wholly inside the replacement (it does not contain the
    // search string), so where the scan stands after it is fixed.
    int state = 0;
    for (size_t i = 1; i < m_replacement.size(); ++i) {
        const char16_t c = m_replacement[i];
        while (state > 0 && m_search[size_t(state)] != c)
            state = m_border[size_t(state - 1)];
        if (m_search[size_t(state)] == c)
            ++state;
    }
    m_stateAfterTail = state;
    m_overlaps = overlapOffsets(m_search, m_replacement);
}

void Rule::prepareFilters()
{
    std::map<int, int> needed, delta;
    for (char16_t c : m_search) {
        ++needed[bucketOf(c)];
        --delta[bucketOf(c)];
    }
    for (char16_t c : m_replacement)
        ++delta[bucketOf(c)];
    m_needed.assign(needed.begin(), needed.end());
    for (const auto &[bucket, change] : delta) {
        if (change != 0)
            m_delta.emplace_back(bucket, change);
    }
    for (size_t i = 1; i < m_search.size(); ++i) {
        const char16_t a = m_search[i - 1], b = m_search[i];
        m_searchPairs.push_back({pairSlotOf(a, b), bucketOf(a), bucketOf(b)});
    }
    for (size_t i = 1; i < m_replacement.size(); ++i)
        m_replacementPairs.push_back(pairSlotOf(m_replacement[i - 1], m_replacement[i]));
}

// Copied as they are: QString::fromUtf16 would take a leading U+FEFF for a
// byte-order mark and drop it.
QString Rule::search() const
{
    return QStringView(m_search).toString();
}

QString Rule::replacement() const
{
    return QStringView(m_replacement).toString();
}

CharacterMap::CharacterMap(const std::vector<std::pair<char16_t, char16_t>> &rules)
{
    if (rules.empty())
        return;
    const auto [lowest, highest] = std::minmax_element(
            rules.begin(), rules.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_lowest = lowest->first;
    m_span = size_t(highest->first - m_lowest + 1);
    // One more slot, read (and ignored) for the characters outside the span.
    m_mapped.resize(m_span + 1);
    for (size_t i = 0; i < m_span; ++i)
        m_mapped[i] = char16_t(m_lowest + i);
    // Only the characters some rule looks for can change: follow each of
    // them through the rules.
    for (const auto &rule : rules) {
        char16_t mapped = rule.first;
        for (const auto &[from, to] : rules) {
            if (mapped == from)
                mapped = to;
        }
        m_mapped[size_t(rule.first - m_lowest)] = mapped;
    }
}

Presence::Presence(QStringView text) : m_pairSlots(PairSlotCount / 64, 0)
{
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        ++m_counts[size_t(bucketOf(chars[i]))];
    for (qsizetype i = 1; i < text.size(); ++i) {
        const int slot = pairSlotOf(chars[i - 1], chars[i]);
        m_pairSlots[size_t(slot / 64)] |= quint64(1) << (slot % 64);
    }
}

bool Presence::mayContain(const Rule &rule) const
{
    const auto hasEnough = [this](const std::pair<int, int> &need) {
        return m_counts[size_t(need.first)] >= need.second;
    };
    const auto mayHave = [this](const Rule::Pair &pair) {
        return (m_pairSlots[size_t(pair.slot / 64)] >> (pair.slot % 64) & 1)
            || m_anyAfter[size_t(pair.first)] || m_anyBefore[size_t(pair.second)];
    };
    return std::all_of(rule.m_needed.begin(), rule.m_needed.end(), hasEnough)
        && std::all_of(rule.m_searchPairs.begin(), rule.m_searchPairs.end(), mayHave);
}

void Presence::countReplacement(const Rule &rule, qint32 times)
{
    for (const auto &[bucket, change] : rule.m_delta)
        m_counts[size_t(bucket)] += change * times;
}

// The replacement's own pairs may now be in the text, and so may any pair
// ending in its first character or starting with its last.
void Presence::noteReplaced(const Rule &rule)
{
    for (const int slot : rule.m_replacementPairs)
        m_pairSlots[size_t(slot / 64)] |= quint64(1) << (slot % 64);
    m_anyBefore[size_t(bucketOf(rule.m_replacement.front()))] = true;
    m_anyAfter[size_t(bucketOf(rule.m_replacement.back()))] = true;
}

void Presence::moveCharacters(char16_t from, char16_t to, qint32 count)
{
    m_counts[size_t(bucketOf(from))] -= count;
    m_counts[size_t(bucketOf(to))] += count;
    if (count > 0) {
        m_anyBefore[size_t(bucketOf(to))] = true;
        m_anyAfter[size_t(bucketOf(to))] = true;
    }
}

// What every pass shares. A pass examines every position from the first to
// its starting length, in order, in the text as it stands; at a match it
// replaces, and the scan goes on at the next position (inside the
// replacement). The match state follows the characters read since the
// last replacement: the last m_state of them are the search string's first
// m_state characters, a match that may still come true.
class Pass
{
protected:
    Pass(Text &text, const Rule &rule)
        : m_text(text), m_rule(rule), m_search(rule.m_search.data()),
          m_searchLength(qsizetype(rule.m_search.size())), m_startLength(text.m_size),
          m_cursor(text.m_blocks)
    {
        text.m_nextPositions.clear();
    }

    // Feeds c to the match state; returns the state before it.
    int step(char16_t c)
    {
        const int before = m_state;
        while (m_state > 0 && m_search[m_state] != c)
            m_state = m_rule.m_border[size_t(m_state - 1)];
        if (m_search[m_state] == c)
            ++m_state;
        return before;
    }

    // After a replacement at `at`, a position in the text as it now stands.
    void noteMatch(qsizetype at)
    {
        m_replaced = true;
        m_state = m_rule.m_stateAfterTail;
        m_shift += m_rule.m_growth;
        m_text.m_presence.countReplacement(m_rule);
        for (const int o : m_rule.m_overlaps) {
            if (at >= o)
                m_text.m_nextPositions.push_back(at - o);
        }
        // The text only grows from here: this pass ends longer than it
        // started, and the next one cannot start.
        if (m_rule.m_growth > 0 && m_startLength + m_shift >= m_text.m_limits.maxLength)
            throw RuntimeError::overflow();
    }

    void finish(std::vector<Text::Interval> &candidates)
    {
        m_text.m_size = m_startLength + m_shift;
        candidates = nextCandidates(m_text.m_nextPositions, m_startLength, m_text.m_size,
                                    m_text.m_limits.scatter);
    }

    Text &m_text;
    const Rule &m_rule;
    const char16_t *const m_search;
    const qsizetype m_searchLength;
    const qsizetype m_startLength;
    BlockCursor m_cursor;
    qsizetype m_shift = 0; // growth of the text so far in this pass
    int m_state = 0;
    bool m_replaced = false;
};

// The first pass of a rule that changes the length, and any later one with
// too many places to visit one by one. Everything before the position being
// examined is final, so the text is streamed once into new blocks instead
// of being rebuilt at every match. Nothing is copied before the first
// match; untouched blocks are handed over as they are. Positions in the
// current text are the cursor's (in the text as the pass found it) plus
// the shift.
class StreamingPass : Pass
{
public:
    StreamingPass(Text &text, const Rule &rule) : Pass(text, rule), m_out(text.m_limits.blockSize)
    {
    }

    bool run(std::vector<Text::Interval> &candidates)
    {
        const qsizetype m = m_searchLength;
        while (!m_cursor.atEnd()) {
            const qsizetype position = m_cursor.position();
            if (position + m_shift - m_state >= m_startLength)
                break;
            // Matches wholly inside this block are found by a plain search;
            // those that run into the next block are read one by one.
            const qsizetype last = std::min(m_cursor.blockEnd() - m + 1, m_startLength - m_shift);
            if (m_state > 0 || last <= position || m > MaxSearchedDirectly) {
                readOne();
                continue;
            }
            const qsizetype span = last - position;
            const qsizetype found = Kernels::find(m_cursor.here(), span + m - 1, m_search, m);
            keep(m_cursor.here(), found < 0 ? span : found);
            m_cursor.advance(found < 0 ? span : found);
            if (found >= 0) {
                const qsizetype at = m_cursor.position() + m_shift;
                m_cursor.seek(m_cursor.position() + m);
                replace(at);
            }
        }
        if (!m_started)
            return false;
        keepRest();
        m_text.m_blocks = m_out.finish();
        finish(candidates);
        return true;
    }

private:
    void keep(const char16_t *chars, qsizetype count)
    {
        if (m_started)
            m_out.append(chars, count);
    }

    void readOne()
    {
        const char16_t c = *m_cursor.here();
        m_cursor.advance(1);
        const int before = step(c);
        if (m_started) {
            // What no longer belongs to a possible match is final.
            const qsizetype settled = before + 1 - m_state;
            if (settled > before) {
                m_out.append(m_search, before);
                m_out.append(&c, 1);
            } else {
                m_out.append(m_search, settled);
            }
        }
        if (m_state == m_searchLength)
            replace(m_cursor.position() + m_shift - m_searchLength);
    }

    // The match at `at` lies behind the cursor. The replacement's last
    // characters that the match state holds are written once they settle.
    void replace(qsizetype at)
    {
        if (!m_started)
            start(at);
        const std::u16string &by = m_rule.m_replacement;
        m_out.append(by.data(), qsizetype(by.size()) - m_rule.m_stateAfterTail);
        noteMatch(at);
    }

    // Until now the output was the input; from `at` on it is built.
    void start(qsizetype at)
    {
        m_started = true;
        std::vector<std::u16string> &in = m_text.m_blocks;
        qsizetype pos = 0;
        size_t k = 0;
        for (; k < in.size() && pos + qsizetype(in[k].size()) <= at; ++k) {
            pos += qsizetype(in[k].size());
            m_out.appendBlock(std::move(in[k]));
        }
        if (pos < at)
            m_out.append(in[k].data(), at - pos);
    }

    void keepRest()
    {
        m_out.append(m_search, m_state);
        std::vector<std::u16string> &in = m_text.m_blocks;
        size_t k = m_cursor.index();
        if (k < in.size() && m_cursor.offset() > 0) {
            m_out.append(m_cursor.here(), qsizetype(in[k].size()) - m_cursor.offset());
            ++k;
        }
        for (; k < in.size(); ++k)
            m_out.appendBlock(std::move(in[k]));
    }

    BlockBuilder m_out;
    bool m_started = false;
};

// A same-length rule's one pass, and the later passes of a rule that
// changes the length. Such a pass visits only the candidate places
// (anywhere else the previous pass found no match, and nothing there has
// changed) and edits the blocks where they are, so a long run of passes
// with one replacement each costs little per pass.
class InPlacePass : Pass
{
public:
    InPlacePass(Text &text, const Rule &rule, const std::vector<Text::Interval> &candidates)
        : Pass(text, rule), m_candidates(candidates)
    {
    }

    bool run(std::vector<Text::Interval> &candidates)
    {
        while (!m_cursor.atEnd()) {
            const qsizetype position = m_cursor.position();
            if (position - m_state >= m_startLength)
                break;
            if (m_state > 0) {
                if (!abandonPartial())
                    readOne();
                continue;
            }
            if (!m_candidates.reach(position, m_shift))
                break;
            const qsizetype begin = m_candidates.begin(m_shift), end = m_candidates.end(m_shift);
            if (begin > position) {
                m_cursor.seek(begin);
            } else if (end - position == 1) {
                // A lone place: compare it directly, however long the string.
                if (m_cursor.startsWith(m_search, m_searchLength))
                    replaceHere();
                else
                    m_cursor.advance(1);
            } else {
                searchBlock(std::min({end, m_cursor.blockEnd() - m_searchLength + 1,
                                      m_startLength}));
            }
        }
        if (!m_replaced)
            return false;
        finish(candidates);
        return true;
    }

private:
    // A possible match that starts after the latest replacement, at a place
    // that is no candidate, cannot come true: reading on could cross a long
    // stretch that repeats the search string's start. Go back to where it
    // starts and skip ahead from there.
    bool abandonPartial()
    {
        const qsizetype partialStart = m_cursor.position() - m_state;
        if (partialStart < m_replacementEnd
            || (m_candidates.reach(partialStart, m_shift)
                && m_candidates.begin(m_shift) <= partialStart))
            return false;
        m_cursor.seek(partialStart);
        m_state = 0;
        return true;
    }

    // Matches wholly inside the block, before `last`, are found by a plain
    // search; the others are read one by one.
    void searchBlock(qsizetype last)
    {
        const qsizetype position = m_cursor.position();
        if (last <= position || m_searchLength > MaxSearchedDirectly) {
            readOne();
            return;
        }
        const qsizetype span = last - position;
        const qsizetype found =
                Kernels::find(m_cursor.here(), span + m_searchLength - 1, m_search, m_searchLength);
        m_cursor.advance(found < 0 ? span : found);
        if (found >= 0)
            replaceHere();
    }

    void readOne()
    {
        step(*m_cursor.here());
        m_cursor.advance(1);
        if (m_state == m_searchLength) {
            m_cursor.seek(m_cursor.position() - m_searchLength);
            replaceHere();
        }
    }

    // The match is at the cursor.
    void replaceHere()
    {
        const qsizetype at = m_cursor.position();
        m_cursor.replace(m_searchLength, m_rule.m_replacement, m_text.m_limits.blockSize);
        noteMatch(at);
        m_replacementEnd = m_cursor.position();
    }

    CandidateWalk m_candidates;
    qsizetype m_replacementEnd = 0; // just after the latest replacement
};

Text::Text(QStringView text, Limits limits)
    : m_limits(limits), m_size(text.size()), m_presence(text)
{
    const char16_t *chars = text.utf16();
    for (qsizetype at = 0; at < m_size; at += m_limits.blockSize) {
        const qsizetype length = std::min(m_limits.blockSize, m_size - at);
        m_blocks.emplace_back(chars + at, size_t(length));
    }
}

QString Text::toString() const
{
    QString result(m_size, Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(result.data());
    for (const std::u16string &block : m_blocks) {
        std::memcpy(to, block.data(), block.size() * sizeof(char16_t));
        to += block.size();
    }
    return result;
}

// Positions and lengths are 16-bit: a pass cannot start on a text this
// long, not even one that holds no match.
void Text::checkLength() const
{
    if (m_size >= m_limits.maxLength)
        throw RuntimeError::overflow();
}

void Text::replaceAll(const Rule &rule)
{
    switch (rule.m_shape) {
    case Rule::Shape::Unusable:
        return;
    case Rule::Shape::Identity:
        checkLength();
        return;
    case Rule::Shape::Runaway:
        replaceRunaway(rule);
        return;
    case Rule::Shape::OneCharacter:
        replaceOneCharacter(rule);
        return;
    case Rule::Shape::SameLength: {
        checkLength();
        if (!m_presence.mayContain(rule))
            return;
        std::vector<Interval> candidates{{0, Unbounded}};
        if (InPlacePass(*this, rule, candidates).run(candidates))
            m_presence.noteReplaced(rule);
        return;
    }
    case Rule::Shape::Resizing:
        replaceResizing(rule);
        return;
    }
}

// A longer replacement that contains its search string finds a match again
// in every pass and grows the text until the limit: say so now.
void Text::replaceRunaway(const Rule &rule)
{
    checkLength();
    const QStringView search(rule.m_search.data(), qsizetype(rule.m_search.size()));
    if (m_presence.mayContain(rule) && toString().contains(search))
        throw RuntimeError::overflow();
}

// One character for another: one pass, and no replacement can make a new
// match.
void Text::replaceOneCharacter(const Rule &rule)
{
    checkLength();
    if (m_presence.mayContain(rule))
        replaceCharacter(rule.m_search[0], rule.m_replacement[0]);
}

void Text::replaceResizing(const Rule &rule)
{
    checkLength();
    // Most rules of a table are ruled out here: allocate nothing before.
    if (!m_presence.mayContain(rule))
        return;
    std::vector<Interval> candidates{{0, Unbounded}};
    for (;;) {
        const bool replaced = isEverywhere(candidates)
                ? StreamingPass(*this, rule).run(candidates)
                : InPlacePass(*this, rule, candidates).run(candidates);
        if (!replaced)
            return;
        m_presence.noteReplaced(rule);
        checkLength();
        if (!m_presence.mayContain(rule))
            return;
    }
}

void Text::replaceCharacters(const CharacterMap &map)
{
    // The length stays as it is through the whole run: what the first rule's
    // pass would say about it, every other rule's would too.
    checkLength();
    const size_t span = map.m_span;
    if (span == 0)
        return;
    const size_t stride = span + 1;
    m_histogram.assign(4 * stride, 0);
    qint32 *const histogram = m_histogram.data();
    for (std::u16string &block : m_blocks)
        mapCharacters(block.data(), qsizetype(block.size()), map.m_mapped.data(), map.m_lowest,
                      span, histogram);
    for (size_t offset = 0; offset < span; ++offset) {
        const qint32 count = histogram[offset] + histogram[stride + offset]
                + histogram[2 * stride + offset] + histogram[3 * stride + offset];
        const char16_t from = char16_t(map.m_lowest + offset), to = map.m_mapped[offset];
        if (from != to)
            m_presence.moveCharacters(from, to, count);
    }
}

bool Text::replaceCharacter(char16_t from, char16_t to)
{
    qint32 replaced = 0;
    for (std::u16string &block : m_blocks)
        replaced += Kernels::replaceCharacter(block.data(), qsizetype(block.size()), from, to);
    m_presence.moveCharacters(from, to, replaced);
    return replaced > 0;
}

// Going one rule at a time, a pass fails when it starts on a text at the
// limit, and a rule that replaced something and changed the length makes
// one more pass: the text after each rule must stay under the limit. No
// other pass can fail, as the group's rules make no match for one another.
bool Text::replaceGroup(const RuleGroup &group, qsizetype *longest)
{
    if (m_size >= m_limits.maxLength)
        return false;
    std::vector<char> active(group.size());
    bool any = false;
    for (size_t i = 0; i < group.size(); ++i)
        any |= (active[i] = m_presence.mayContain(group.rule(i)));
    if (!any)
        return true;
    const std::vector<qint32> counts = takeMatches(group, active);
    if (std::all_of(counts.begin(), counts.end(), [](qint32 n) { return n == 0; }))
        return true;
    qsizetype length = m_size, greatest = m_size;
    for (size_t i = 0; i < group.size(); ++i) {
        const Rule &rule = group.rule(i);
        length += counts[i] * rule.m_growth;
        if (counts[i] > 0 && rule.m_growth > 0 && length >= m_limits.maxLength)
            return false;
        greatest = std::max(greatest, length);
    }
    for (size_t i = 0; i < group.size(); ++i) {
        if (counts[i] > 0) {
            m_presence.countReplacement(group.rule(i), counts[i]);
            m_presence.noteReplaced(group.rule(i));
        }
    }
    writeMatches(group, length);
    if (longest)
        *longest = greatest;
    return true;
}

// Every match of the group's active rules in the text, then each rule in
// turn takes, from left to right, those that overlap nothing taken. Leaves
// in m_owner, per position, the rule whose match starts there, -2 inside a
// match, -1 elsewhere; returns how many each rule took.
std::vector<qint32> Text::takeMatches(const RuleGroup &group, const std::vector<char> &active)
{
    m_flat.clear();
    for (const std::u16string &block : m_blocks)
        m_flat += block;
    const char16_t *const text = m_flat.data(), *const end = text + m_flat.size();
    m_found.clear();
    for (qint32 at = 0; at < qint32(m_flat.size()); ++at)
        group.findAt(text, at, end, active, m_found);
    // Ordered by rule, and by position within each rule.
    std::vector<qint32> first(group.size() + 1, 0);
    for (const auto &found : m_found)
        ++first[size_t(found.first) + 1];
    for (size_t i = 1; i < first.size(); ++i)
        first[i] += first[i - 1];
    m_order.resize(m_found.size());
    std::vector<qint32> next(first.begin(), first.end() - 1);
    for (const auto &[rule, at] : m_found)
        m_order[size_t(next[size_t(rule)]++)] = at;

    std::vector<qint32> counts(group.size(), 0);
    m_owner.assign(m_flat.size(), -1);
    for (size_t rule = 0; rule < group.size(); ++rule) {
        const size_t length = group.rule(rule).m_search.size();
        for (qint32 k = first[rule]; k < first[rule + 1]; ++k) {
            qint32 *const place = m_owner.data() + m_order[size_t(k)];
            if (std::any_of(place, place + length, [](qint32 owner) { return owner != -1; }))
                continue;
            std::fill(place + 1, place + length, -2);
            *place = qint32(rule);
            ++counts[rule];
        }
    }
    return counts;
}

// The text with the matches takeMatches left replaced, length long.
void Text::writeMatches(const RuleGroup &group, qsizetype length)
{
    std::u16string result;
    result.reserve(size_t(length));
    const char16_t *const text = m_flat.data();
    size_t copied = 0;
    for (size_t at = 0; at < m_flat.size(); ++at) {
        const qint32 owner = m_owner[at];
        if (owner < 0)
            continue;
        const Rule &rule = group.rule(size_t(owner));
        result.append(text + copied, at - copied);
        result += rule.m_replacement;
        copied = at + rule.m_search.size();
        at = copied - 1;
    }
    result.append(text + copied, m_flat.size() - copied);
    m_blocks.clear();
    for (size_t at = 0; at < result.size(); at += size_t(m_limits.blockSize))
        m_blocks.emplace_back(result, at, size_t(m_limits.blockSize));
    m_size = qsizetype(result.size());
}

QString replaceAll(const QString &text, const QString &search, const QString &replacement,
                   Limits limits)
{
    const Rule rule(search, replacement);
    if (!rule.isUsable())
        return text;
    if (text.size() >= limits.maxLength)
        throw RuntimeError::overflow();
    Text working(text, limits);
    working.replaceAll(rule);
    return working.toString();
}

} // namespace Substitution
