// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// The code table file: a header line, then one entry per line, each a Latin
// spelling, a space and a Cyrillic spelling. Entries are kept whole, as
// read; their words are taken out when they are applied.
namespace CodeTable {

// Most entries a table may hold: its count is a 16-bit number.
inline constexpr qsizetype MaxEntries = 32767;

// "vl" + number + ".ini" in the given directory.
QString fileName(const QString &directory, qint16 number);

// Bytes of a table file as text: UTF-8 when the bytes start with a UTF-8
// byte-order mark or are valid UTF-8 with at least one multi-byte sequence,
// windows-1251 otherwise.
QString decode(const QByteArray &bytes);

// Lines ended by CR, CR LF or a lone LF; a last line without an end counts,
// an end at the very end of the text makes no extra empty line.
QStringList splitLines(const QString &text);

// Empties entries, then fills it from the table file at path, header
// skipped. Throws RuntimeError: FileNotFound, PathFileAccess, or
// InputPastEndOfFile for a file without even a header line; Overflow after
// the first MaxEntries entries when there are more. Entries appended before
// a failure stay.
void load(const QString &path, QStringList &entries);

} // namespace CodeTable
