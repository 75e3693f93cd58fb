// SPDX-License-Identifier: MIT
#include "codetable.h"

#include "cp1251.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace CodeTable {

QString fileName(const QString &directory, qint16 number)
{
    return modGP::AddBackslash(directory) + u"vl"_s + QString::number(number) + u".ini"_s;
}

static bool hasNonAscii(const QByteArray &bytes)
{
    return std::any_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

QString decode(const QByteArray &bytes)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Bom)) {
        // A second mark is a character of the header, not a part of the encoding.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                          | QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes.mid(utf8Bom.size()));
    }

    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }

    // Tables were written in the Cyrillic ANSI code page long before UTF-8
    // editors; that is still the file's native form.
    return Cp1251::decode(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < length && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < length)
        lines.append(text.mid(start));
    return lines;
}

void load(const QString &path, QStringList &entries)
{
    entries.clear();

    QFile file(path);
    if (!QFileInfo::exists(path))
        throw RuntimeError(RuntimeError::FileNotFound, path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(RuntimeError::PathFileAccess, path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(RuntimeError::PathFileAccess, path);
    file.close();

    const QStringList lines = splitLines(decode(bytes));
    if (lines.isEmpty())
        throw RuntimeError(RuntimeError::InputPastEndOfFile, path);

    const qsizetype entryCount = lines.size() - 1;
    entries.reserve(std::min(entryCount, MaxEntries));
    for (qsizetype i = 1; i <= std::min(entryCount, MaxEntries); ++i)
        entries.append(lines.at(i));
    if (entryCount > MaxEntries)
        throw RuntimeError(RuntimeError::Overflow, path);
}

} // namespace CodeTable
