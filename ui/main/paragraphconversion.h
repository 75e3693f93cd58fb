// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class ConversionTable;
class QTextDocument;

// Auto-conversion converts the whole text at every typed space. When the
// table converts line by line, that is each paragraph converted on its own,
// and a paragraph that converted to itself and has not been edited since
// does so again: only the paragraphs edited since are converted. The
// document's paragraphs remember what they are known to convert to.
class ParagraphConversion : public QObject
{
public:
    ParagraphConversion(QTextDocument *document, const ConversionTable &table);

    // One paragraph's changed span, in document positions.
    struct Edit
    {
        int position;
        int length;
        QString text;
    };
    // The edits, in document order, that make the text what converting it
    // whole gives; nothing when only that conversion can tell (the table
    // does not convert line by line, the text may reach the length limit,
    // a paragraph fails): then it is for the caller to run it.
    std::optional<std::vector<Edit>> edits(bool toCyrillic) const;

private:
    void forget(int position, int charsRemoved, int charsAdded);

    QTextDocument *m_document;
    const ConversionTable &m_table;
};

// The span where two texts differ, never between the halves of a surrogate
// pair: how many characters they share at the start and at the end.
struct ChangedSpan
{
    qsizetype prefix;
    qsizetype suffix;
    static ChangedSpan between(const QString &before, const QString &after);
};
