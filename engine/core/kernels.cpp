// SPDX-License-Identifier: MIT
#include "kernels.h"

#include <QStringView>
#include <QtAlgorithms>

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Substitution::Kernels {

namespace {

bool restMatches(const char16_t *at, const char16_t *needle, qsizetype m)
{
    return std::memcmp(at + 1, needle + 1, size_t(m - 1) * sizeof(char16_t)) == 0;
}

} // namespace

qsizetype findPlain(const char16_t *haystack, qsizetype length, const char16_t *needle,
                    qsizetype m)
{
    // The first character is looked for with Qt's vectorised character
    // search, the rest compared where it is found.
    const QChar first(needle[0]);
    for (qsizetype from = 0; from <= length - m;) {
        const qsizetype at = QStringView(haystack + from, length - m - from + 1).indexOf(first);
        if (at < 0)
            return -1;
        if (restMatches(haystack + from + at, needle, m))
            return from + at;
        from += at + 1;
    }
    return -1;
}

qsizetype find(const char16_t *haystack, qsizetype length, const char16_t *needle, qsizetype m)
{
#ifdef __SSE2__
    // Eight places at a time, kept only where both the first and the last
    // character agree: frequent first letters cost no more than rare ones.
    if (m == 1)
        return QStringView(haystack, length).indexOf(QChar(needle[0]));
    const __m128i firstLanes = _mm_set1_epi16(qint16(needle[0]));
    const __m128i lastLanes = _mm_set1_epi16(qint16(needle[m - 1]));
    qsizetype from = 0;
    for (; from + 8 <= length - m + 1; from += 8) {
        const auto *atFirst = reinterpret_cast<const __m128i *>(haystack + from);
        const auto *atLast = reinterpret_cast<const __m128i *>(haystack + from + m - 1);
        int mask = _mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi16(_mm_loadu_si128(atFirst), firstLanes),
                              _mm_cmpeq_epi16(_mm_loadu_si128(atLast), lastLanes)));
        while (mask != 0) {
            const qsizetype start = from + qCountTrailingZeroBits(quint32(mask)) / 2;
            if (restMatches(haystack + start, needle, m))
                return start;
            mask &= ~(3 << ((start - from) * 2));
        }
    }
    const qsizetype rest = findPlain(haystack + from, length - from, needle, m);
    return rest < 0 ? -1 : from + rest;
#else
    return findPlain(haystack, length, needle, m);
#endif
}

qint32 replaceCharacterPlain(char16_t *chars, qsizetype length, char16_t from, char16_t to)
{
    qint32 replaced = 0;
    for (char16_t *c = chars, *end = chars + length; c != end; ++c) {
        if (*c == from) {
            *c = to;
            ++replaced;
        }
    }
    return replaced;
}

qint32 replaceCharacter(char16_t *chars, qsizetype length, char16_t from, char16_t to)
{
#ifdef __SSE2__
    // Eight characters at a time: this runs for most entries of a table.
    const __m128i fromLanes = _mm_set1_epi16(qint16(from));
    const __m128i toLanes = _mm_set1_epi16(qint16(to));
    // Per lane, minus the number of hits (a hit is -1); callers pass far
    // fewer than 65536 characters per lane (a text
    // stays under 32768).
    __m128i hitCounts = _mm_setzero_si128();
    qsizetype done = 0;
    for (; length - done >= 8; done += 8) {
        auto *at = reinterpret_cast<__m128i *>(chars + done);
        const __m128i loaded = _mm_loadu_si128(at);
        const __m128i hits = _mm_cmpeq_epi16(loaded, fromLanes);
        if (_mm_movemask_epi8(hits) == 0)
            continue;
        hitCounts = _mm_add_epi16(hitCounts, hits);
        _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(hits, toLanes),
                                          _mm_andnot_si128(hits, loaded)));
    }
    alignas(16) qint16 lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), hitCounts);
    qint32 replaced = 0;
    for (const qint16 lane : lanes)
        replaced += quint16(-lane);
    return replaced + replaceCharacterPlain(chars + done, length - done, from, to);
#else
    return replaceCharacterPlain(chars, length, from, to);
#endif
}

} // namespace Substitution::Kernels
