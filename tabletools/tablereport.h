// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// How well a code table serves one kind of Russian text: its words going to
// Latin and back, the same words in capitals, and the commonest words as
// people type them in the three usual informal habits and as passports and
// maps write them.
namespace TableReport {

// The ways people commonly write Russian on Latin keys.
enum class Habit {
    // ya yu yo zh kh ts ch sh shch j y ' # e'
    Style1,
    // ja ju jo zh h c ch sh sch j y ' (for ь and ъ) e (for е and э)
    Style2,
    // the chat habit: ya yu yo zh h c ch sh sch, y for й and ы, e for е and
    // э, no ь or ъ
    Style3,
    // passports (ICAO): ia iu zh kh ts ch sh shch ie (for ъ), i for й, e for
    // е, ё and э, no ь
    Icao,
    // maps and encyclopaedias (BGN/PCGN, as ICU's uconv writes it, in ASCII):
    // ye for е at the start and after a vowel or a sign, y for й and ы,
    // ' and " for ь and ъ
    Bgn,
};

// word (lower-case Cyrillic) as a person of that habit types it; BGN/PCGN is
// not made here (see Figures::bgn).
QString typed(const QString &word, Habit habit);

// Whether read is word as far as the habit can tell: ё is е; in style 2 also
// ъ is ь and э is е; style 3, passports and maps drop the signs (and their '
// and "), and style 3 and passports write э as е.
bool readsAs(const QString &read, const QString &word, Habit habit);

struct Miss
{
    QString word;      // what stood in the text
    qsizetype count;   // how often
    QString latin;     // what it was written as
    QString back;      // what the table made of that
};

struct Measure
{
    qsizetype total = 0; // repeats counted, or distinct words for the habits
    qsizetype right = 0;
    QList<Miss> misses;  // most frequent first
    double share() const { return total ? double(right) / double(total) : 1.0; }
};

struct Figures
{
    QString kind;
    Measure roundTrip;       // every Cyrillic word, to Latin and back
    Measure capitalTrip;     // every word of two letters or more, in capitals
    Measure capitalsInLatin; // of those, written in Latin capitals only
    Measure style1;          // the commonest words typed in style 1, read
    Measure style2;          // likewise in style 2
    Measure style3;          // likewise in style 3
    // The commonest words Capitalised, as names stand, in BGN/PCGN Latin
    // (ICU's, in ASCII) and ICAO Latin, read by the table and by ICU's
    // Latin-Russian/BGN side by side; none when uconv cannot run.
    Measure bgn, bgnIcu, icao, icaoIcu;
};

// How many of the commonest words the habits are measured on.
constexpr qsizetype CommonWords = 3000;

Figures measure(const QStringList &entries, const QString &kind, const QString &text);

// The shares a table is meant to reach on every kind of text.
struct Goals
{
    double roundTrip, capitalTrip, capitalsInLatin, style1, style2, style3;
    // BGN/PCGN and ICAO Latin: more words read right than ICU reads.
};
Goals goalsFor(const QString &kind);
// The measures of figures that fall under their goal, named.
QStringList shortfalls(const Figures &figures);

// One block of the report: the shares and the worst misses of each measure.
void print(const Figures &figures, QTextStream &out, int worst = 8);

// Measures the table on each UTF-8 file of samplePaths, the file's base name
// naming its kind. Returns false and says why in error when one cannot be
// read; the table must be readable and free of endless growth.
bool run(const QStringList &entries, const QStringList &samplePaths, QTextStream &out,
         QString &error);

} // namespace TableReport
