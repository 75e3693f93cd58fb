// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// Finds the mistakes people make when they edit a code table: entries that
// change nothing, entries that an earlier entry starves, entries that make
// every conversion overflow, duplicates; and, given Russian text, measures
// how much of it comes back after a trip to Latin and back.
namespace TableCheck {

enum class Severity {
    Information, // worth knowing, nothing wrong
    Problem,     // almost certainly not what the table's author meant
};

enum class Kind {
    EmptyLine,     // an empty line: changes nothing, harmless
    EmptyWord,     // a Latin or Cyrillic word is empty, so the entry changes nothing
    Duplicate,     // the same two words as an earlier entry
    NeverMatches,  // never finds its Latin word: earlier entries consume it
    LatinOnly,     // never finds its Cyrillic word: an alias read only from Latin
    EndlessGrowth, // its replacement contains its search word and is longer
    IgnoredText,   // text after a second space, such as a would-be comment
};

struct Finding
{
    Kind kind;
    Severity severity;
    int line;      // line of the table file; the header is line 1
    int otherLine; // the earlier line the finding is about, 0 when none
    QString message; // Russian, without the line number
};

// Line of the table file that holds entries[index].
inline int lineOfEntry(qsizetype index) { return int(index) + 2; }

// Findings in line order.
QList<Finding> checkEntries(const QStringList &entries);

bool hasProblems(const QList<Finding> &findings);

// The maximal runs of letters in text that are made of Cyrillic letters only.
QStringList cyrillicWords(const QString &text);

struct LostWord
{
    QString word;      // as it stood in the sample
    qsizetype count;   // how often it stood there
    QString latin;     // what the table wrote for it, or the error it caused
    QString back;      // what came back from that
};

struct RoundTrip
{
    qsizetype words = 0;    // Cyrillic words in the sample, repeats counted
    qsizetype restored = 0; // of those, the ones that came back unchanged
    QList<LostWord> lost;   // most frequent first
    double share() const { return words ? double(restored) / double(words) : 1.0; }
};

// Converts every Cyrillic word of sample to Latin and back, each word on its
// own. A word that makes the table overflow counts as lost, with the error
// in place of its Latin. An entry that grows without end can make this take
// very long: check the table first and leave such tables out.
RoundTrip roundTrip(const QStringList &entries, const QString &sample);

// Exit statuses of "vertlin-convert --check"; they agree with the
// converter's own.
enum Status {
    Clean = 0,            // nothing beyond information
    ProblemsFound = 1,
    TableUnreadable = 3,
    SampleUnreadable = 5, // missing, unreadable or not UTF-8
};

// Checks the table file at tablePath, read as the program reads it, and,
// when samplePath is not empty, the round trip of that UTF-8 text. The
// report goes to out; when the table or the sample cannot be read, nothing
// goes to out and error says why.
Status run(const QString &tablePath, const QString &samplePath, QTextStream &out,
           QString &error);

// A sample text, which must be a regular file in UTF-8; false with error
// saying why when it is not.
bool readUtf8Text(const QString &path, QString &text, QString &error);

} // namespace TableCheck
