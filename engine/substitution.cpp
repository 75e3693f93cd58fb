// SPDX-License-Identifier: MIT
#include "substitution.h"

#include "runtimeerror.h"

#include <QtAlgorithms>

#include <algorithm>
#include <cstring>
#include <map>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Substitution {

namespace {

constexpr qsizetype Unbounded = std::numeric_limits<qsizetype>::max();

// Longer search strings go through the match state character by character:
// a plain search could compare most of such a string at every position.
constexpr qsizetype MaxSearchedDirectly = 8;

int bucketOf(char16_t c)
{
    return c & (Text::BucketCount - 1);
}

int pairSlotOf(char16_t a, char16_t b)
{
    return int(((quint32(a) * 0x9E3779B1u) ^ (quint32(b) * 0x85EBCA77u)) >> 16);
}

// First occurrence of needle in haystack: the first character is looked for
// with the vectorised character search, the rest compared where it is found.
qsizetype find(const char16_t *haystack, qsizetype length, const char16_t *needle, qsizetype m)
{
    const QChar first(needle[0]);
    if (m == 1)
        return QStringView(haystack, length).indexOf(first);
    const qsizetype lastStart = length - m;
    qsizetype from = 0;
#ifdef __SSE2__
    // Eight places at a time, kept only where both the first and the last
    // character agree: frequent first letters cost no more than rare ones.
    const __m128i firstLanes = _mm_set1_epi16(qint16(needle[0]));
    const __m128i lastLanes = _mm_set1_epi16(qint16(needle[m - 1]));
    for (; from + 8 <= lastStart + 1; from += 8) {
        const __m128i atFirst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(haystack + from));
        const __m128i atLast =
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(haystack + from + m - 1));
        int mask = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(atFirst, firstLanes),
                                                   _mm_cmpeq_epi16(atLast, lastLanes)));
        while (mask != 0) {
            const qsizetype start = from + qCountTrailingZeroBits(quint32(mask)) / 2;
            if (std::memcmp(haystack + start + 1, needle + 1, size_t(m - 2) * sizeof(char16_t)) == 0)
                return start;
            mask &= ~(3 << ((start - from) * 2));
        }
    }
#endif
    while (from <= lastStart) {
        const qsizetype at = QStringView(haystack + from, lastStart - from + 1).indexOf(first);
        if (at < 0)
            return -1;
        const qsizetype start = from + at;
        if (std::memcmp(haystack + start + 1, needle + 1, size_t(m - 1) * sizeof(char16_t)) == 0)
            return start;
        from = start + 1;
    }
    return -1;
}

std::u16string toU16(QStringView view)
{
    return std::u16string(view.utf16(), size_t(view.size()));
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

} // namespace

Rule::Rule(QStringView search, QStringView replacement)
    : m_search(toU16(search)), m_replacement(toU16(replacement))
{
    if (!isUsable())
        return;

    const qsizetype m = qsizetype(m_search.size());
    m_border.assign(size_t(m), 0);
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && m_search[size_t(i)] != m_search[size_t(k)])
            k = m_border[size_t(k - 1)];
        if (m_search[size_t(i)] == m_search[size_t(k)])
            ++k;
        m_border[size_t(i)] = int(k);
    }

    m_replacementContainsSearch = m_replacement.find(m_search) != std::u16string::npos;
    m_growth = qsizetype(m_replacement.size()) - m;

    // After a replacement the scan goes on at its second character. Unless
    // the replacement contains the search string (handled apart), no match
    // can lie wholly inside it, so where the scan stands after it is fixed.
    int state = 0;
    for (size_t i = 1; i < m_replacement.size() && !m_replacementContainsSearch; ++i) {
        const char16_t c = m_replacement[i];
        while (state > 0 && m_search[size_t(state)] != c)
            state = m_border[size_t(state - 1)];
        if (m_search[size_t(state)] == c)
            ++state;
    }
    m_stateAfterTail = state;

    // Where a match may stand in the next pass, relative to a replacement
    // made in this one: at offset o before it when the search string, from
    // its character o on, agrees with the start of the replacement. Found
    // with the Z-function of replacement + separator + search.
    const qsizetype rl = qsizetype(m_replacement.size());
    std::vector<int> joined;
    joined.reserve(size_t(rl + 1 + m));
    joined.insert(joined.end(), m_replacement.begin(), m_replacement.end());
    joined.push_back(-1);
    joined.insert(joined.end(), m_search.begin(), m_search.end());
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
    for (qsizetype o = m - 1; o >= 0; --o) {
        if (z[size_t(rl + 1 + o)] >= std::min(m - o, rl))
            m_overlaps.push_back(int(o));
    }

    std::map<int, int> needed, delta;
    for (char16_t c : m_search) {
        ++needed[bucketOf(c)];
        --delta[bucketOf(c)];
    }
    for (char16_t c : m_replacement)
        ++delta[bucketOf(c)];
    m_needed.assign(needed.begin(), needed.end());
    for (size_t i = 1; i < m_search.size(); ++i) {
        const char16_t a = m_search[i - 1], b = m_search[i];
        m_searchPairs.push_back({pairSlotOf(a, b), bucketOf(a), bucketOf(b)});
    }
    for (size_t i = 1; i < m_replacement.size(); ++i)
        m_replacementPairs.push_back(pairSlotOf(m_replacement[i - 1], m_replacement[i]));
    for (const auto &[bucket, change] : delta) {
        if (change != 0)
            m_delta.emplace_back(bucket, change);
    }
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

Text::Text(QStringView text, Limits limits)
    : m_limits(limits), m_size(text.size()), m_pairSlots(PairSlotCount / 64, 0)
{
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0; i < m_size; ++i)
        ++m_counts[size_t(bucketOf(chars[i]))];
    for (qsizetype i = 1; i < m_size; ++i) {
        const int slot = pairSlotOf(chars[i - 1], chars[i]);
        m_pairSlots[size_t(slot / 64)] |= quint64(1) << (slot % 64);
    }
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

bool Text::mayContain(const Rule &rule) const
{
    return std::all_of(rule.m_needed.begin(), rule.m_needed.end(),
                       [this](const auto &need) {
                           return m_counts[size_t(need.first)] >= need.second;
                       })
        && std::all_of(rule.m_searchPairs.begin(), rule.m_searchPairs.end(),
                       [this](const Rule::Pair &pair) {
                           return (m_pairSlots[size_t(pair.slot / 64)] >> (pair.slot % 64) & 1)
                               || m_anyAfter[size_t(pair.first)]
                               || m_anyBefore[size_t(pair.second)];
                       });
}

// After a pass that replaced something: the replacement's own pairs may now
// be in the text, and so may any pair ending in its first character or
// starting with its last.
void Text::noteReplaced(const Rule &rule)
{
    for (const int slot : rule.m_replacementPairs)
        m_pairSlots[size_t(slot / 64)] |= quint64(1) << (slot % 64);
    m_anyBefore[size_t(bucketOf(rule.m_replacement.front()))] = true;
    m_anyAfter[size_t(bucketOf(rule.m_replacement.back()))] = true;
}

bool Text::contains(const Rule &rule) const
{
    return mayContain(rule)
        && toString().contains(QStringView(rule.m_search.data(), qsizetype(rule.m_search.size())));
}

void Text::replaceAll(const Rule &rule)
{
    if (!rule.isUsable())
        return;

    std::vector<Interval> candidates{{0, Unbounded}};
    for (bool firstPass = true;; firstPass = false) {
        // Positions and lengths are 16-bit: a pass cannot start on a text
        // this long, not even one that holds no match.
        if (m_size >= m_limits.maxLength)
            throw RuntimeError::overflow();
        if (!mayContain(rule))
            return;
        if (firstPass && rule.m_replacementContainsSearch) {
            // Replacing a string by itself changes nothing. A longer
            // replacement that contains it finds a match again in every
            // pass and grows the text until the limit: say so now.
            if (rule.m_growth > 0 && contains(rule))
                throw RuntimeError::overflow();
            return;
        }
        if (rule.m_search.size() == 1 && rule.m_replacement.size() == 1) {
            // One character for another: one pass, and no replacement can
            // make a new match.
            if (replaceCharacter(rule.m_search[0], rule.m_replacement[0]))
                noteReplaced(rule);
            return;
        }
        if (!runPass(rule, candidates))
            return;
        noteReplaced(rule);
        if (rule.m_growth == 0)
            return;
    }
}

void Text::replaceCharacters(const CharacterMap &map)
{
    // The length stays as it is through the whole run: what the first rule's
    // pass would say about it, every other rule's would too.
    if (m_size >= m_limits.maxLength)
        throw RuntimeError::overflow();
    const size_t span = map.m_span;
    if (span == 0)
        return;
    // Characters outside the span are counted in its last slot, which
    // they never change; written so as to compile without branches. Four
    // histograms, one per place modulo four: runs of one letter would
    // otherwise wait on the same counter.
    const size_t stride = span + 1;
    m_histogram.assign(4 * stride, 0);
    qint32 *const histogram = m_histogram.data();
    const char16_t *const mapped = map.m_mapped.data();
    const char16_t lowest = map.m_lowest;
    const auto mapOne = [&](char16_t &c, qint32 *counts) {
        const size_t offset = char16_t(c - lowest);
        const size_t inside = size_t(0) - size_t(offset < span); // all ones or zero
        const size_t slot = (offset & inside) | (span & ~inside);
        ++counts[slot];
        c = char16_t((mapped[slot] & inside) | (c & ~inside));
    };
    for (std::u16string &block : m_blocks) {
        char16_t *c = block.data();
        char16_t *const end = c + block.size();
        for (; end - c >= 4; c += 4) {
            mapOne(c[0], histogram);
            mapOne(c[1], histogram + stride);
            mapOne(c[2], histogram + 2 * stride);
            mapOne(c[3], histogram + 3 * stride);
        }
        for (; c != end; ++c)
            mapOne(*c, histogram);
    }
    for (size_t offset = 0; offset < span; ++offset) {
        for (size_t k = 1; k < 4; ++k)
            histogram[offset] += histogram[k * stride + offset];
    }
    for (size_t offset = 0; offset < span; ++offset) {
        const char16_t from = char16_t(lowest + offset), to = mapped[offset];
        if (histogram[offset] == 0 || from == to)
            continue;
        m_counts[size_t(bucketOf(from))] -= histogram[offset];
        m_counts[size_t(bucketOf(to))] += histogram[offset];
        // As after any one-character replacement.
        m_anyBefore[size_t(bucketOf(to))] = true;
        m_anyAfter[size_t(bucketOf(to))] = true;
    }
}

bool Text::replaceCharacter(char16_t from, char16_t to)
{
    qint32 replaced = 0;
    for (std::u16string &block : m_blocks) {
        char16_t *c = block.data();
        char16_t *const end = c + block.size();
#ifdef __SSE2__
        // Eight characters at a time: this runs for most entries of a table.
        const __m128i fromLanes = _mm_set1_epi16(qint16(from));
        const __m128i toLanes = _mm_set1_epi16(qint16(to));
        // Per lane, minus the number of hits (a hit is -1); a block holds
        // far fewer than 65536 characters per lane.
        __m128i hitCounts = _mm_setzero_si128();
        for (; end - c >= 8; c += 8) {
            const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(c));
            const __m128i hits = _mm_cmpeq_epi16(chars, fromLanes);
            if (_mm_movemask_epi8(hits) == 0)
                continue;
            hitCounts = _mm_add_epi16(hitCounts, hits);
            const __m128i blended = _mm_or_si128(_mm_and_si128(hits, toLanes),
                                                 _mm_andnot_si128(hits, chars));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(c), blended);
        }
        alignas(16) qint16 lanes[8];
        _mm_store_si128(reinterpret_cast<__m128i *>(lanes), hitCounts);
        for (const qint16 lane : lanes)
            replaced += quint16(-lane);
#endif
        for (; c != end; ++c) {
            if (*c == from) {
                *c = to;
                ++replaced;
            }
        }
    }
    m_counts[size_t(bucketOf(from))] -= replaced;
    m_counts[size_t(bucketOf(to))] += replaced;
    return replaced > 0;
}

// One pass of the classic routine: every position from the first to the
// pass's starting length, in order, compared with the search string in the
// text as it stands, replaced on a match, the scan going on at the next
// position (inside the replacement). A match state follows the characters
// read since the last replacement (a prefix of the search string that may
// still become a match). Positions outside the candidate intervals are
// skipped: they cannot match.
//
// A pass over the whole text streams it into new blocks; a pass over a few
// places (or one whose replacements keep the length) edits the blocks where
// they are. Returns whether anything was replaced; the text, its counts and
// the candidates for the next pass are then updated.
bool Text::runPass(const Rule &rule, std::vector<Interval> &candidates)
{
    const qsizetype startLength = m_size;
    const char16_t *search = rule.m_search.data();
    const qsizetype m = qsizetype(rule.m_search.size());
    const std::u16string &replacement = rule.m_replacement;
    const qsizetype growth = rule.m_growth;
    std::vector<std::u16string> &in = m_blocks;
    size_t blockCount = in.size();
    const bool everywhere = candidates.size() == 1 && candidates[0].begin == 0
            && candidates[0].end == Unbounded;
    const bool inPlace = growth == 0 || !everywhere;

    // Cursor: the next character of the blocks not yet read. When editing
    // in place the blocks are the current text; when streaming they are the
    // text as the pass found it, and a position in the current text is
    // the cursor's position + shift.
    size_t bi = 0;
    qsizetype off = 0;
    qsizetype blockStart = 0;
    qsizetype inPos = 0;
    qsizetype shift = 0;
    const auto current = [&](qsizetype pos) { return inPlace ? pos : pos + shift; };
    // Candidates are positions in the text as the pass found it.
    const auto cursorOf = [&](qsizetype candidate) {
        return (inPlace && candidate != Unbounded) ? candidate + shift : candidate;
    };
    qsizetype length = startLength;
    int state = 0; // the last `state` characters read are search[0, state)
    qsizetype replacementEnd = 0; // cursor position just after the latest replacement
    bool started = false;
    BlockBuilder out(m_limits.blockSize);
    std::vector<qsizetype> &nextPositions = m_nextPositions;
    nextPositions.clear();
    size_t ci = 0;

    const auto stepBlock = [&](qsizetype size) {
        blockStart += size;
        ++bi;
        off = 0;
    };
    const auto advance = [&](qsizetype count) {
        off += count;
        inPos += count;
        if (off == qsizetype(in[bi].size()))
            stepBlock(off);
    };
    const auto commit = [&](const char16_t *chars, qsizetype count) {
        if (started && !inPlace)
            out.append(chars, count);
    };
    const auto seek = [&](qsizetype pos) {
        while (pos < blockStart) {
            --bi;
            blockStart -= qsizetype(in[bi].size());
        }
        while (bi < blockCount && pos >= blockStart + qsizetype(in[bi].size())) {
            blockStart += qsizetype(in[bi].size());
            ++bi;
        }
        off = pos - blockStart;
        inPos = pos;
    };
    // Streaming: the output so far is the input before `at`; from now on
    // it is built.
    const auto start = [&](qsizetype at) {
        started = true;
        qsizetype pos = 0;
        size_t k = 0;
        while (k < blockCount && pos + qsizetype(in[k].size()) <= at) {
            pos += qsizetype(in[k].size());
            out.appendBlock(std::move(in[k]));
            ++k;
        }
        if (pos < at)
            out.append(in[k].data(), at - pos);
    };
    // In place: the match at the cursor becomes the replacement, and the
    // cursor goes past it.
    const auto replaceAtCursor = [&] {
        const qsizetype at = inPos;
        if (growth == 0) {
            for (const char16_t c : replacement) {
                in[bi][size_t(off)] = c;
                advance(1);
            }
            return;
        }
        while (off + m > qsizetype(in[bi].size())) {
            in[bi] += in[bi + 1];
            in.erase(in.begin() + qsizetype(bi) + 1);
            --blockCount;
        }
        in[bi].replace(size_t(off), size_t(m), replacement);
        const qsizetype blockSize = m_limits.blockSize;
        if (qsizetype(in[bi].size()) > 2 * blockSize) {
            std::u16string whole = std::move(in[bi]);
            std::vector<std::u16string> pieces;
            for (size_t from = 0; from < whole.size(); from += size_t(blockSize))
                pieces.emplace_back(whole, from, size_t(blockSize));
            in.erase(in.begin() + qsizetype(bi));
            in.insert(in.begin() + qsizetype(bi), std::make_move_iterator(pieces.begin()),
                      std::make_move_iterator(pieces.end()));
            blockCount = in.size();
        }
        seek(at + qsizetype(replacement.size()));
    };
    const auto onMatch = [&](qsizetype at) {
        if (inPlace) {
            started = true;
            seek(at);
            replaceAtCursor();
        } else {
            if (!started)
                start(at);
            out.append(replacement.data(), qsizetype(replacement.size()) - rule.m_stateAfterTail);
        }
        state = rule.m_stateAfterTail;
        shift += growth;
        length += growth;
        for (const auto &[bucket, change] : rule.m_delta)
            m_counts[size_t(bucket)] += change;
        for (const int o : rule.m_overlaps) {
            if (at >= o)
                nextPositions.push_back(at - o);
        }
        replacementEnd = inPos;
        // The text only grows from here: this pass ends longer than it
        // started, and the next one cannot start.
        if (growth > 0 && length >= m_limits.maxLength)
            throw RuntimeError::overflow();
    };
    const auto readOne = [&] {
        const char16_t c = in[bi][size_t(off)];
        advance(1);
        const int before = state;
        while (state > 0 && search[state] != c)
            state = rule.m_border[size_t(state - 1)];
        if (search[state] == c)
            ++state;
        if (started && !inPlace) {
            // What no longer belongs to a possible match is final.
            const qsizetype settled = before + 1 - state;
            if (settled > before) {
                out.append(search, before);
                out.append(&c, 1);
            } else {
                out.append(search, settled);
            }
        }
        if (state == m)
            onMatch(current(inPos) - m);
    };
    // Whether the search string stands at the cursor.
    const auto windowMatches = [&] {
        qsizetype compared = 0;
        size_t k = bi;
        qsizetype from = off;
        while (compared < m) {
            if (k == blockCount)
                return false;
            const qsizetype take = std::min(m - compared, qsizetype(in[k].size()) - from);
            if (std::memcmp(in[k].data() + from, search + compared, size_t(take) * sizeof(char16_t)) != 0)
                return false;
            compared += take;
            ++k;
            from = 0;
        }
        return true;
    };
    const auto skipTo = [&](qsizetype target) {
        while (bi < blockCount && blockStart + qsizetype(in[bi].size()) <= target) {
            const qsizetype size = qsizetype(in[bi].size());
            if (started && !inPlace) {
                if (off == 0)
                    out.appendBlock(std::move(in[bi]));
                else
                    out.append(in[bi].data() + off, size - off);
            }
            inPos = blockStart + size;
            stepBlock(size);
        }
        if (bi < blockCount && target > inPos) {
            commit(in[bi].data() + off, target - inPos);
            advance(target - inPos);
        }
    };

    while (bi < blockCount) {
        // Positions from the pass's starting length on are not examined.
        if (current(inPos) - state >= startLength)
            break;
        if (state > 0) {
            // A possible match that starts after the latest replacement, at
            // a place that is no candidate, cannot come true: reading on
            // could cross a long stretch that repeats the search string's
            // start. Go back to where it starts and skip ahead from there.
            const qsizetype partialStart = inPos - state;
            if (!everywhere && partialStart >= replacementEnd) {
                while (ci < candidates.size() && cursorOf(candidates[ci].end) <= partialStart)
                    ++ci;
                if (ci == candidates.size() || cursorOf(candidates[ci].begin) > partialStart) {
                    seek(partialStart);
                    state = 0;
                    continue;
                }
            }
            readOne();
            continue;
        }
        while (ci < candidates.size() && cursorOf(candidates[ci].end) <= inPos)
            ++ci;
        if (ci == candidates.size())
            break;
        const qsizetype candidateBegin = cursorOf(candidates[ci].begin);
        const qsizetype candidateEnd = cursorOf(candidates[ci].end);
        if (candidateBegin > inPos) {
            skipTo(candidateBegin);
            continue;
        }
        if (candidateEnd - inPos == 1) {
            // A lone place: compare it directly, however long the string.
            if (windowMatches()) {
                const qsizetype at = current(inPos);
                if (!inPlace)
                    seek(inPos + m);
                onMatch(at);
            } else {
                commit(in[bi].data() + off, 1);
                advance(1);
            }
            continue;
        }
        // Matches wholly inside this block are found by a plain search;
        // those that run into the next block are read one by one.
        const qsizetype blockEnd = blockStart + qsizetype(in[bi].size());
        const qsizetype last =
                std::min({candidateEnd, blockEnd - m + 1, startLength - (current(inPos) - inPos)});
        if (last <= inPos || m > MaxSearchedDirectly) {
            readOne();
            continue;
        }
        char16_t *chars = in[bi].data() + off;
        const qsizetype span = last - inPos;
        const qsizetype found = find(chars, span + m - 1, search, m);
        if (found < 0) {
            commit(chars, span);
            advance(span);
            continue;
        }
        commit(chars, found);
        const qsizetype at = current(inPos + found);
        advance(found);
        if (inPlace) {
            onMatch(at);
        } else {
            seek(inPos + m);
            onMatch(at);
        }
    }

    if (!started)
        return false;

    if (!inPlace) {
        out.append(search, state);
        if (bi < blockCount) {
            if (off == 0)
                out.appendBlock(std::move(in[bi]));
            else
                out.append(in[bi].data() + off, qsizetype(in[bi].size()) - off);
            ++bi;
        }
        for (; bi < blockCount; ++bi)
            out.appendBlock(std::move(in[bi]));
        m_blocks = out.finish();
    }
    m_size = length;

    std::sort(nextPositions.begin(), nextPositions.end());
    std::vector<Interval> next;
    for (const qsizetype pos : nextPositions) {
        if (!next.empty() && pos <= next.back().end)
            next.back().end = std::max(next.back().end, pos + 1);
        else
            next.push_back({pos, pos + 1});
    }
    // What grew past this pass's bound waits for the next pass.
    if (length > startLength) {
        if (!next.empty() && startLength <= next.back().end)
            next.back().end = length;
        else
            next.push_back({startLength, length});
    }
    // Many scattered places cost more to visit one by one than a plain
    // search of the whole text.
    if (m_limits.scatter > 0 && qsizetype(next.size()) * m_limits.scatter > length)
        next.assign(1, {0, Unbounded});
    candidates = std::move(next);
    return true;
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
