// SPDX-License-Identifier: MIT
// Arbitrary bytes as a table file: the loader either reads them or reports
// one of its errors, and the table it gives converts as the step-by-step
// routine does.
//
// A first byte from 0xF0 on stands for a file far too big to fuzz byte by
// byte: the rest of the input, then entry lines up to around the entry limit
// (0xF0 to 0xF7) or one line around the length limit of a word (0xF8 on).

#include "codetable.h"
#include "conversion.h"
#include "cp1251.h"
#include "fuzzing.h"
#include "literalreference.h"
#include "runtimeerror.h"

#include <QStringDecoder>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using Fuzzing::require;

namespace {

QByteArray fileFrom(QByteArrayView data)
{
    if (data.isEmpty() || static_cast<unsigned char>(data[0]) < 0xF0)
        return data.toByteArray();
    const int k = static_cast<unsigned char>(data[0]) - 0xF0;
    QByteArray file = data.sliced(1).toByteArray() + '\n';
    if (k < 8)
        return file + QByteArray("a b\r\n").repeated(CodeTable::MaxEntries - 4 + k);
    return file + QByteArray(CodeTable::MaxEntries - 12 + k, 'z') + " x";
}

// The lines of the file's bytes, split before decoding: CR and LF are single
// bytes in both encodings and never part of a longer character.
QList<QByteArray> byteLines(const QByteArray &file)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n')
            continue;
        lines.append(file.sliced(start, i - start));
        i += file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n';
        start = i + 1;
    }
    if (start < file.size())
        lines.append(file.sliced(start));
    return lines;
}

QStringList expectedEntries(QByteArray file)
{
    constexpr auto flags = QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless;
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        QString text = QStringDecoder(file[0] == '\xFF' ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                      flags).decode(file.sliced(2));
        text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
        if (text.endsWith(u'\n'))
            text.chop(1);
        return file.size() > 2 ? text.split(u'\n') : QStringList();
    }
    const bool bom = file.startsWith("\xEF\xBB\xBF");
    if (bom)
        file.remove(0, 3);
    const bool utf8 = bom
            || (Fuzzing::isUtf8(file)
                && std::any_of(file.cbegin(), file.cend(), [](char c) { return c & 0x80; }));
    QStringList lines;
    for (const QByteArray &line : byteLines(file))
        lines.append(utf8 ? QStringDecoder(QStringDecoder::Utf8, flags).decode(line)
                          : Cp1251::decode(line));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(u"vl1.ini"_s);
    const QByteArray file = fileFrom(QByteArrayView(data, qsizetype(size)));
    {
        QFile out(path);
        require(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size(),
                "cannot write the table file", path);
    }

    const QStringList lines = expectedEntries(file);
    QStringList expected = lines.mid(1, CodeTable::MaxEntries);
    for (QString &line : expected)
        line.truncate(CodeTable::MaxLineLength);
    QStringList entries;
    int error = 0;
    try {
        CodeTable::load(path, entries);
    } catch (const RuntimeError &e) {
        error = e.number();
    }
    const int expectedError = lines.isEmpty() ? RuntimeError::InputPastEndOfFile
            : lines.size() - 1 > CodeTable::MaxEntries ? RuntimeError::Overflow : 0;
    require(error == expectedError, "wrong error", error, expectedError);
    require(entries == expected, "wrong entries", entries.join(u"|"_s), expected.join(u"|"_s));

    // Whatever the entries hold, a short text converts as the reference does.
    if (entries.size() > 128)
        entries = entries.mid(0, 64) + entries.mid(entries.size() - 64);
    // A lower length limit keeps a growing entry from costing the step-by-step
    // routine minutes; the loader's own limits are untouched by it.
    static const QString text = u"zhuk Shah жук\r\nZH\u0000ж a b z"_s;
    ConversionTable::Limits limits;
    limits.maxLength = 1024;
    for (const bool toCyrillic : {true, false}) {
        const QString actual = LiteralReference::outcome(
                [&] { return ConversionTable(entries).convert(text, toCyrillic, limits); });
        const QString reference = LiteralReference::outcome([&] {
            return LiteralReference::convertText(text, entries, toCyrillic, limits.maxLength);
        });
        require(actual == reference, "conversion differs", actual, reference);
    }
    return 0;
}
