// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QTranslator;

// The string routines every conversion is made of. Lengths, positions and
// word numbers count 16-bit characters and are bounded by the 16-bit
// signed range: where a step would leave it, the routine throws
// RuntimeError(Overflow) and returns nothing.
namespace modGP {

// Largest value a character count or position may take.
inline constexpr qsizetype MaxInt16 = 32767;

// The n-th word of a line, words being separated by single spaces (U+0020
// only). Two spaces in a row enclose an empty word; a word number outside
// the line gives the empty string.
QString GetWord(const QString &line, int n);

// Replaces occurrences of search in text by replacement, pass after pass,
// until a pass leaves the length unchanged. A pass examines the positions
// up to the length it started with, in order, each in the text as it then
// stands; after a replacement it goes on at the replacement's second
// character. An empty search string or replacement returns the text as it
// is, whatever its length; otherwise a pass over 32767 or more characters
// fails, and so does a replacement that is longer than its search string
// and contains it, as soon as the text holds the search string.
QString ReplaceAll(const QString &text, const QString &search, const QString &replacement);

// The path with the platform's directory separator appended, unless it is
// empty or already ends in one.
QString AddBackslash(const QString &path);

// Loads Qt's own Russian texts (the text area's context menu, dialog
// buttons, the converter's option errors) into translator and installs it.
// Returns false when Qt's Russian translations are not installed; the
// program then runs with Qt's English texts.
bool installQtTranslations(QTranslator &translator);

} // namespace modGP
