// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The words a spelling table cannot tell apart, and the dictionary that
// tells them: which words of a text are checked, the readings a misread
// word may have been meant as, and the corrections that are safe to make
// without asking.
namespace Spelling {

// What the checks ask of a dictionary.
class Lexicon
{
public:
    virtual ~Lexicon() = default;
    virtual bool knows(const QString &word) const = 0;
    // The dictionary's own guesses, best first.
    virtual QStringList suggestions(const QString &word) const = 0;
};

struct Span
{
    qsizetype start;
    qsizetype length;
};

// The words of text that are checked: runs of Cyrillic letters (with
// hyphens inside), two letters or more, that touch no Latin letter and no
// digit.
QList<Span> checkedWords(QStringView text);

// Whether the lexicon knows word, or the same word with ё written е, or
// every part of a hyphenated word.
bool isKnown(const QString &word, const Lexicon &lexicon);

// The words the lexicon does not know, in text order.
QList<Span> misspelt(QStringView text, const Lexicon &lexicon);

// Spellings of word that differ only where typed Latin is read the same
// for several Cyrillic spellings (е/э, ц/тс/тц, щ/сч/шч, ь/ъ or none,
// й/ы, я ю ё / йа йу йо / ья ью ьё, йе for е, ые/е, ш/сх/щ, ех for э, иа
// for ия, final ий/ый), fewest changes first, in the case of word; only
// those the lexicon knows.
QStringList readings(const QString &word, const Lexicon &lexicon);

// What a menu offers for an unknown word: its readings, then the
// lexicon's suggestions that are not among them.
QStringList offers(const QString &word, const Lexicon &lexicon);

struct Fix
{
    qsizetype start;
    qsizetype length;
    QString text;
};

// Every unknown word of text that has exactly one reading, with it; in
// text order.
QList<Fix> fixes(QStringView text, const Lexicon &lexicon);

// text with the fixes made.
QString applied(QStringView text, const QList<Fix> &fixes);

} // namespace Spelling
