// SPDX-License-Identifier: MIT
// Short tables and texts, converted by the engine and by the step-by-step
// routine: results equal, failures equal.
//
// Input: one byte of settings (direction, length limit), one of place
// settings, then symbols, one per byte: entries of the table separated by
// '|' until the first '#', the text after it. The symbols include the
// characters a conversion must treat like any other: CR, LF, NUL, tab, a
// character beyond U+FFFF (two 16-bit halves), a lone half of one and the
// byte-order mark.

#include "conversion.h"
#include "fuzzing.h"
#include "literalreference.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <optional>

using namespace Qt::StringLiterals;
using Fuzzing::require;

namespace {

const QString Symbols[] = {u"a"_s, u"b"_s, u"c"_s, u"A"_s, u"B"_s, u"ж"_s, u"Ж"_s, u" "_s,
                           u"\r"_s, u"\n"_s, QString(QChar(u'\0')), u"\t"_s, u"\U0001F600"_s,
                           QString(QChar(0xDE00)), u"|"_s, u"#"_s, QString(QChar(0xFEFF))};

// Tiny limits bring every boundary within reach of a short text.
ConversionTable::Limits limitsFrom(unsigned char settings, unsigned char places)
{
    ConversionTable::Limits limits;
    limits.maxLength = 2 + (settings >> 1) % 48;
    limits.scatter = (places >> 4) % 3 == 0 ? 0 : (places >> 4);
    return limits;
}

// Each line converted alone, or nothing when a line fails or the lines'
// greatest lengths on the way add up to the limit.
std::optional<QString> byLines(const ConversionTable &table, const QString &text, bool toCyrillic,
                               ConversionTable::Limits limits)
{
    QString joined;
    qsizetype total = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        qsizetype longest = 0;
        try {
            joined += table.convert(text.mid(start, end - start), toCyrillic, limits, &longest);
        } catch (const RuntimeError &) {
            return std::nullopt;
        }
        const qsizetype breaks = end < text.size() ? 1 : 0;
        joined += text.mid(end, breaks);
        total += longest + breaks;
        start = end + breaks;
    }
    return total < limits.maxLength ? std::optional(joined) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool toCyrillic = data[0] & 1;
    const ConversionTable::Limits limits = limitsFrom(data[0], data[1]);
    QStringList table{QString()};
    QString text;
    bool inText = false;
    for (size_t i = 2; i < size; ++i) {
        const QString &symbol = Symbols[data[i] % std::size(Symbols)];
        if (!inText && symbol == u"#"_s)
            inText = true;
        else if (!inText && symbol == u"|"_s)
            table.append(QString());
        else
            (inText ? text : table.last()) += symbol;
    }

    const QString actual = LiteralReference::outcome(
            [&] { return ConversionTable(table).convert(text, toCyrillic, limits); });
    const QString expected = LiteralReference::outcome([&] {
        return LiteralReference::convertText(text, table, toCyrillic, limits.maxLength);
    });
    require(actual == expected, "the engine differs from the step-by-step routine", table.join(u'|'),
            text, toCyrillic, limits.maxLength, limits.scatter, actual, expected);

    // Line by line, where the table allows it, within the limit.
    const ConversionTable prepared(table);
    if (prepared.convertsLineByLine(toCyrillic)) {
        const std::optional<QString> joined = byLines(prepared, text, toCyrillic, limits);
        if (joined)
            require(*joined == expected, "line by line differs", table.join(u'|'), text,
                    toCyrillic, limits.maxLength, *joined, expected);
    }

    // ReplaceAll itself, at its real limit: only cases that stay short.
    if (table.size() == 1 && expected != LiteralReference::Overflow) {
        // The conversion's own direction: the other one may grow without end.
        QString search = modGP::GetWord(table[0], 1), replacement = modGP::GetWord(table[0], 2);
        if (!toCyrillic)
            search.swap(replacement);
        const QString once = LiteralReference::outcome(
                [&] { return modGP::ReplaceAll(text, search, replacement); });
        const QString reference = LiteralReference::outcome(
                [&] { return LiteralReference::replaceAll(text, search, replacement); });
        require(once == reference, "ReplaceAll differs", search, replacement, text, once, reference);
    }
    return 0;
}
