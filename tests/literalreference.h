// SPDX-License-Identifier: MIT
#pragma once

// The string routines and the whole-text conversion done the slow, plain
// way: every step as the routine describes it, positions from 1, the text
// rebuilt at every match, every count checked against the 16-bit range.
// The engine must give the same results and failures; the limit can be
// lowered to reach the boundaries with tiny texts.

#include "runtimeerror.h"

#include <QStringList>

namespace LiteralReference {

// A 16-bit counter: a step past the range is the overflow error.
inline qsizetype checked(qsizetype value, qsizetype limit = 32767)
{
    return value <= limit ? value : throw RuntimeError::overflow();
}

inline QString getWord(const QString &line, qsizetype n)
{
    const qsizetype length = checked(line.size());
    QString word;
    for (qsizetype p = 1, counter = 1; p <= length; p = checked(p + 1)) {
        const QChar c = line.at(p - 1);
        if (counter == n && c != u' ')
            word += c;
        if (c == u' ' && (counter = checked(counter + 1)) > n)
            break;
    }
    return word;
}

inline QString replaceAll(QString text, const QString &search, const QString &replacement,
                          qsizetype limit = 32767)
{
    if (search.isEmpty() || replacement.isEmpty())
        return text;
    // Pass after pass, until one leaves the length as it found it.
    for (qsizetype startLength = -1; text.size() != startLength;) {
        startLength = checked(text.size(), limit);
        for (qsizetype p = 1; p <= startLength; p = checked(p + 1, limit)) {
            if (text.mid(p - 1, search.size()) == search)
                text = text.left(p - 1) + replacement + text.mid(p - 1 + search.size());
        }
    }
    return text;
}

inline QString convertText(QString text, const QStringList &table, bool toCyrillic,
                           qsizetype limit = 32767)
{
    for (const QString &line : table) {
        const QString latin = getWord(line, 1), cyrillic = getWord(line, 2);
        text = toCyrillic ? replaceAll(text, latin, cyrillic, limit)
                          : replaceAll(text, cyrillic, latin, limit);
    }
    return text;
}

// What a run gives: its result, or Overflow for the overflow error, so that
// results and failures compare alike.
inline const QString Overflow = QStringLiteral("<overflow>");

template <typename F>
QString outcome(F &&run)
try {
    return run();
} catch (const RuntimeError &error) {
    return error.number() == RuntimeError::Overflow ? Overflow : error.message();
}

} // namespace LiteralReference
