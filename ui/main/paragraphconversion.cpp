// SPDX-License-Identifier: MIT
#include "paragraphconversion.h"

#include "conversion.h"
#include "runtimeerror.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>

namespace {

// What a paragraph converts to, as far as known: for each direction, the
// greatest length it has on the way when it converts to itself, or -1.
struct Known : QTextBlockUserData
{
    std::array<qsizetype, 2> longest{-1, -1};
};

Known *knownOf(const QTextBlock &block)
{
    return static_cast<Known *>(block.userData());
}

} // namespace

ParagraphConversion::ParagraphConversion(QTextDocument *document, const ConversionTable &table)
    : QObject(document), m_document(document), m_table(table)
{
    // Typing, pasting, undo and the conversion's own edits all come here.
    connect(document, &QTextDocument::contentsChange, this, &ParagraphConversion::forget);
}

void ParagraphConversion::forget(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    const QTextBlock last = m_document->findBlock(position + charsAdded);
    for (QTextBlock block = m_document->findBlock(position); block.isValid(); block = block.next()) {
        if (Known *known = knownOf(block))
            known->longest = {-1, -1};
        if (block == last)
            break;
    }
}

std::optional<std::vector<ParagraphConversion::Edit>>
ParagraphConversion::edits(bool toCyrillic) const
{
    if (!m_table.convertsLineByLine(toCyrillic))
        return std::nullopt;
    const int direction = toCyrillic ? 1 : 0;
    const qsizetype limit = ConversionTable::Limits{}.maxLength;
    std::vector<Edit> edits;
    // The greatest lengths on the way, and the CR LF between paragraphs.
    qsizetype total = -2;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        total += 2;
        Known *known = knownOf(block);
        if (known && known->longest[direction] >= 0) {
            total += known->longest[direction];
            continue;
        }
        const QString text = block.text();
        // A line break inside a paragraph is a line end of the text.
        if (text.contains(QChar::LineSeparator))
            return std::nullopt;
        qsizetype longest = 0;
        QString converted;
        try {
            converted = m_table.convert(text, toCyrillic, {}, &longest);
        } catch (const RuntimeError &) {
            return std::nullopt;
        }
        if ((total += longest) >= limit)
            return std::nullopt;
        if (converted == text) {
            if (!known)
                block.setUserData(known = new Known);
            known->longest[direction] = longest;
            continue;
        }
        const ChangedSpan span = ChangedSpan::between(text, converted);
        edits.push_back({int(block.position() + span.prefix),
                         int(text.size() - span.prefix - span.suffix),
                         converted.mid(span.prefix, converted.size() - span.prefix - span.suffix)});
    }
    if (total >= limit)
        return std::nullopt;
    return edits;
}

ChangedSpan ChangedSpan::between(const QString &before, const QString &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix =
            std::mismatch(before.cbegin(), before.cbegin() + shorter, after.cbegin()).first
            - before.cbegin();
    qsizetype suffix = std::mismatch(before.crbegin(), before.crbegin() + (shorter - prefix),
                                     after.crbegin())
                               .first
            - before.crbegin();
    if (prefix > 0 && before.at(prefix - 1).isHighSurrogate())
        --prefix;
    if (suffix > 0 && before.at(before.size() - suffix).isLowSurrogate())
        --suffix;
    return {prefix, suffix};
}
