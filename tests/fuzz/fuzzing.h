// SPDX-License-Identifier: MIT
#pragma once

// What the fuzz targets share: a check that stops the run on the first
// wrong outcome, and a strict UTF-8 test to judge decoders by.

#include <QByteArrayView>
#include <QDebug>

#include <cstdlib>
#include <type_traits>

namespace Fuzzing {

// Control characters and lone halves as \uXXXX, so that a report shows them.
inline QString escaped(const QString &text)
{
    QString result;
    for (const QChar c : text)
        result += c.unicode() < 0x20 || c.isSurrogate()
                ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')) : QString(c);
    return result;
}

template <typename T>
auto shownForm(const T &value)
{
    if constexpr (std::is_same_v<T, QString>)
        return escaped(value);
    else
        return value;
}

// Prints what went wrong, then aborts: libFuzzer and the plain driver both
// keep the input that led here.
template <typename... Shown>
void require(bool holds, const char *what, const Shown &...shown)
{
    if (holds)
        return;
    {
        QDebug out = qCritical().noquote() << "fuzz check failed:" << what;
        ((out << "\n " << shownForm(shown)), ...);
    }
    std::abort();
}

// Well-formed UTF-8 only: no overlong forms, no encoded surrogates, nothing
// past U+10FFFF, no cut-off sequence.
inline bool isUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int tail = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1
                       : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (tail < 0 || i + tail >= bytes.size())
            return false;
        char32_t code = lead & (0x7F >> tail);
        for (int k = 1; k <= tail; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        const char32_t lowest[] = {0, 0x80, 0x800, 0x10000};
        if (code < lowest[tail] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += tail + 1;
    }
    return true;
}

} // namespace Fuzzing
