// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QFile;

// The code table file: a header line, then one entry per line, each a Latin
// spelling, a space and a Cyrillic spelling. Entries are kept whole, as
// read; their words are taken out when they are applied.
namespace CodeTable {

// Most entries a table may hold: its count is a 16-bit number.
inline constexpr qsizetype MaxEntries = 32767;

// Longest line kept: a longer one is cut to this length. A line of 32,767
// characters or more is already too long to take words from, so every
// conversion fails on it either way; cutting only spares the memory.
inline constexpr qsizetype MaxLineLength = 32768;

// "vl" + number + ".ini" in the given directory.
QString fileName(const QString &directory, qint16 number);

enum class Encoding {
    Windows1251,
    Utf8,
    Utf8WithMark,
    Utf16LE, // always with its byte-order mark, as Notepad's "Unicode"
    Utf16BE,
};

// How --check names the encoding it read, in Russian.
QString encodingName(Encoding encoding);

// Bytes of a table file as text: UTF-8 or UTF-16 when the bytes start with
// that encoding's byte-order mark, UTF-8 when they are valid UTF-8 with at
// least one multi-byte sequence, windows-1251 otherwise.
QString decode(const QByteArray &bytes);

// Opens file for reading when its name is that of a regular file. Anything
// else (a folder, a named pipe, a device) would hang or fail the read, so it
// is refused at once. Throws RuntimeError: FileNotFound or PathFileAccess,
// with the path and a reason that says what is wrong.
void openForReading(QFile &file);

// Empties entries, then fills it from the table file at path, header
// skipped; encoding, when given, receives the encoding the file was read in.
// Lines end in CR, CR LF or a lone LF; a last line without an end counts, an
// end at the very end of the file makes no extra empty line. Throws
// RuntimeError: what openForReading throws; PathFileAccess when a read
// fails; InputPastEndOfFile for a file without even a header line; Overflow
// when there are more than MaxEntries entries, reading no further;
// OutOfMemory, with entries emptied. Entries appended before another failure
// stay.
void load(const QString &path, QStringList &entries, Encoding *encoding = nullptr);

} // namespace CodeTable
