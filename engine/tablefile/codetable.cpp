// SPDX-License-Identifier: MIT
#include "codetable.h"

#include "cp1251.h"
#include "modgp.h"
#include "runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstring>
#include <filesystem>
#include <vector>

using namespace Qt::StringLiterals;

namespace CodeTable {

QString fileName(const QString &directory, qint16 number)
{
    return modGP::AddBackslash(directory) + u"vl"_s + QString::number(number) + u".ini"_s;
}

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Windows1251:
        return u"windows-1251"_s;
    case Encoding::Utf8:
        return u"UTF-8"_s;
    case Encoding::Utf8WithMark:
        return u"UTF-8 с меткой порядка байтов"_s;
    case Encoding::Utf16LE:
        return u"UTF-16 LE с меткой порядка байтов"_s;
    case Encoding::Utf16BE:
        return u"UTF-16 BE с меткой порядка байтов"_s;
    }
    return {};
}

namespace {

struct Mark
{
    Encoding encoding;
    qsizetype size; // 0: no mark
};

Mark markOf(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return {Encoding::Utf8WithMark, 3};
    if (head.startsWith("\xFF\xFE"))
        return {Encoding::Utf16LE, 2};
    if (head.startsWith("\xFE\xFF"))
        return {Encoding::Utf16BE, 2};
    return {Encoding::Windows1251, 0};
}

// Tables may be big files: their bytes are looked at eight at a time.
constexpr quint64 Ones = 0x0101010101010101, Highs = 0x8080808080808080;

quint64 eightAt(QByteArrayView bytes, qsizetype i)
{
    quint64 word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    return word;
}

bool hasZeroByte(quint64 word)
{
    return (word - Ones) & ~word & Highs;
}

bool hasNonAscii(QByteArrayView bytes)
{
    quint64 any = 0;
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8)
        any |= eightAt(bytes, i);
    for (; i < bytes.size(); ++i)
        any |= static_cast<unsigned char>(bytes[i]);
    return any & Highs;
}

// Bytes without their mark in the given encoding.
QString decodeAs(Encoding encoding, QByteArrayView bytes)
{
    // A second mark is a character of the text, not a part of the encoding.
    constexpr auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    switch (encoding) {
    case Encoding::Windows1251:
        break;
    case Encoding::Utf8:
    case Encoding::Utf8WithMark:
        return QStringDecoder(QStringDecoder::Utf8, flags).decode(bytes);
    case Encoding::Utf16LE:
        return QStringDecoder(QStringDecoder::Utf16LE, flags).decode(bytes);
    case Encoding::Utf16BE:
        return QStringDecoder(QStringDecoder::Utf16BE, flags).decode(bytes);
    }
    // Tables were written in the Cyrillic ANSI code page long before UTF-8
    // editors; that is still the file's native form.
    return Cp1251::decode(bytes);
}

QString kindOf(std::filesystem::file_type type)
{
    using Type = std::filesystem::file_type;
    switch (type) {
    case Type::directory:
        return u"Это папка, а не файл."_s;
    case Type::fifo:
        return u"Это именованный канал (FIFO), а не обычный файл."_s;
    case Type::character:
        return u"Это символьное устройство, а не обычный файл."_s;
    case Type::block:
        return u"Это блочное устройство, а не обычный файл."_s;
    case Type::socket:
        return u"Это сокет, а не обычный файл."_s;
    default:
        return u"Это не обычный файл."_s;
    }
}

// The failure of finding out what path names, in the words of the classic
// file errors.
RuntimeError statusFailure(const std::filesystem::path &name, std::error_code error,
                           const QString &path)
{
    using Error = std::errc;
    if (error == Error::no_such_file_or_directory || error == Error::not_a_directory) {
        std::error_code ignored;
        const bool dangling = std::filesystem::is_symlink(name, ignored);
        return RuntimeError(RuntimeError::FileNotFound, path,
                            dangling ? u"Это символическая ссылка на файл, которого нет."_s
                                     : QString());
    }
    if (error == Error::too_many_symbolic_link_levels)
        return RuntimeError(RuntimeError::PathFileAccess, path,
                            u"Символические ссылки на пути к файлу замкнуты в круг."_s);
    if (error == Error::permission_denied)
        return RuntimeError(RuntimeError::PathFileAccess, path,
                            u"Нет прав на доступ к папке, в которой лежит файл."_s);
    if (error == Error::filename_too_long)
        return RuntimeError(RuntimeError::PathFileAccess, path, u"Имя файла слишком длинное."_s);
    return RuntimeError(RuntimeError::PathFileAccess, path,
                        u"Файл недоступен (код ошибки системы %1)."_s.arg(error.value()));
}

} // namespace

void openForReading(QFile &file)
{
    const QString path = file.fileName();
    if (path.isEmpty())
        throw RuntimeError(RuntimeError::FileNotFound, path,
                           u"Имя файла пустое: файл не указан."_s);
    const std::filesystem::path name = QFileInfo(path).filesystemFilePath();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (error)
        throw statusFailure(name, error, path);
    if (status.type() != std::filesystem::file_type::regular)
        throw RuntimeError(RuntimeError::PathFileAccess, path,
                           kindOf(status.type()) + u" Читаются только обычные файлы."_s);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(RuntimeError::PathFileAccess, path,
                           QFileInfo(path).isReadable() ? u"Файл не удалось открыть."_s
                                                        : u"Нет прав на чтение файла."_s);
}

namespace {

// Enough bytes for MaxLineLength characters in every encoding a table may
// have: UTF-8 needs at most three for a character.
constexpr qsizetype KeptBytes = 3 * MaxLineLength;

// Splits a table file's bytes, as they come, into lines: at CR, LF and CR LF,
// characters of one byte or, in UTF-16, of two. The header is counted but
// not kept; an entry line is kept up to KeptBytes.
class LineSplitter
{
public:
    explicit LineSplitter(Encoding encoding)
        : m_unit(encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE ? 2 : 1),
          m_bigEndian(encoding == Encoding::Utf16BE)
    {
    }

    // False as soon as a line beyond the header and MaxEntries entries
    // begins; the rest is then never needed.
    bool feed(QByteArrayView bytes)
    {
        if (!m_carry.isEmpty() && !bytes.isEmpty()) {
            m_carry.append(bytes.front());
            bytes = bytes.sliced(1);
            if (!take(std::exchange(m_carry, {})))
                return false;
        }
        const qsizetype whole = bytes.size() - bytes.size() % m_unit;
        for (qsizetype i = 0; i < whole; i += m_unit) {
            if (m_unit == 1 && m_started && !m_afterCr)
                i += restOfLine(bytes.first(whole).sliced(i));
            if (i < whole && !take(bytes.sliced(i, m_unit)))
                return false;
        }
        m_carry.append(bytes.sliced(whole));
        return true;
    }

    // The last line, ended by the end of the file; false when it is one too many.
    bool finish()
    {
        if (!m_carry.isEmpty()) {
            if (!startLine())
                return false;
            m_line.append(m_carry);
        }
        if (m_started)
            endLine();
        return true;
    }

    qsizetype lineCount() const { return m_lines; }
    QList<QByteArray> &entries() { return m_entries; }

private:
    bool startLine()
    {
        if (m_started)
            return true;
        if (m_lines == 1 + MaxEntries)
            return false;
        m_started = true;
        return true;
    }

    void endLine()
    {
        if (m_lines > 0)
            m_entries.append(std::exchange(m_line, {}));
        m_started = false;
        ++m_lines;
    }

    // A long line's bytes up to its end, in one go; how many there are.
    qsizetype restOfLine(QByteArrayView bytes)
    {
        qsizetype length = 0;
        while (length + 8 <= bytes.size()
               && !hasZeroByte(eightAt(bytes, length) ^ (Ones * '\r'))
               && !hasZeroByte(eightAt(bytes, length) ^ (Ones * '\n')))
            length += 8;
        while (length < bytes.size() && bytes[length] != '\r' && bytes[length] != '\n')
            ++length;
        if (m_lines > 0)
            m_line.append(bytes.first(std::clamp(KeptBytes - m_line.size(), qsizetype(0), length)));
        return length;
    }

    bool take(QByteArrayView unit)
    {
        const auto byte = [&](qsizetype i) { return char16_t(static_cast<unsigned char>(unit[i])); };
        const char16_t c = m_unit == 1 ? byte(0)
                : m_bigEndian          ? char16_t(byte(0) << 8 | byte(1))
                                       : char16_t(byte(1) << 8 | byte(0));
        const bool lfOfCrLf = m_afterCr && c == u'\n';
        m_afterCr = c == u'\r';
        if (lfOfCrLf)
            return true;
        if (!startLine())
            return false;
        if (c == u'\r' || c == u'\n')
            endLine();
        else if (m_lines > 0 && m_line.size() < KeptBytes)
            m_line.append(unit);
        return true;
    }

    const qsizetype m_unit;
    const bool m_bigEndian;
    QByteArray m_carry; // the first byte of a character of two
    QByteArray m_line;
    QList<QByteArray> m_entries;
    qsizetype m_lines = 0; // ended, the header included
    bool m_started = false;
    bool m_afterCr = false;
};

// Whether a file without a mark is UTF-8: valid, with at least one
// character of more than one byte.
class Utf8Test
{
public:
    void feed(QByteArrayView bytes)
    {
        if (m_decoder.hasError())
            return;
        m_nonAscii = m_nonAscii || hasNonAscii(bytes);
        m_buffer.resize(size_t(m_decoder.requiredSpace(bytes.size())));
        m_decoder.appendToBuffer(m_buffer.data(), bytes);
    }

    bool passed()
    {
        // A character cut off by the end of the file is no UTF-8 either.
        feed("\n");
        return m_nonAscii && !m_decoder.hasError();
    }

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    std::vector<QChar> m_buffer;
    bool m_nonAscii = false;
};

QByteArrayView readChunk(QFile &file, QByteArray &buffer)
{
    constexpr qint64 ChunkSize = 1 << 16;
    buffer.resize(ChunkSize);
    const qint64 read = file.read(buffer.data(), ChunkSize);
    if (read < 0)
        throw RuntimeError(RuntimeError::PathFileAccess, file.fileName(),
                           u"Чтение файла прервалось с ошибкой."_s);
    return QByteArrayView(buffer).first(read);
}

} // namespace

QString decode(const QByteArray &bytes)
{
    const Mark mark = markOf(bytes);
    const QByteArrayView text = QByteArrayView(bytes).sliced(mark.size);
    Utf8Test utf8;
    utf8.feed(text);
    if (mark.size == 0 && utf8.passed())
        return decodeAs(Encoding::Utf8, text);
    return decodeAs(mark.encoding, text);
}

namespace {

void read(const QString &path, QStringList &entries, Encoding *encoding)
{
    QFile file(path);
    openForReading(file);

    QByteArray buffer;
    QByteArrayView chunk = readChunk(file, buffer);
    const Mark mark = markOf(chunk);
    LineSplitter splitter(mark.encoding);
    Utf8Test utf8;
    bool tooManyLines = false;
    for (QByteArrayView part = chunk.sliced(mark.size); !chunk.isEmpty();
         chunk = readChunk(file, buffer), part = chunk) {
        // Without a mark, the whole file decides between UTF-8 and windows-1251.
        if (mark.size == 0)
            utf8.feed(part);
        if (!splitter.feed(part)) {
            tooManyLines = true;
            break;
        }
    }
    tooManyLines = tooManyLines || !splitter.finish();
    file.close();
    if (splitter.lineCount() == 0)
        throw RuntimeError(RuntimeError::InputPastEndOfFile, path);

    const Encoding read = mark.size > 0 ? mark.encoding
            : utf8.passed()             ? Encoding::Utf8
                                        : Encoding::Windows1251;
    if (encoding)
        *encoding = read;
    entries.reserve(splitter.entries().size());
    for (QByteArray &line : splitter.entries())
        entries.append(decodeAs(read, std::exchange(line, {})).left(MaxLineLength));
    if (tooManyLines)
        throw RuntimeError(RuntimeError::Overflow, path,
                           u"В таблице слишком много строк: после строки заголовка их может "
                           u"быть не больше 32 767."_s);
}

} // namespace

void load(const QString &path, QStringList &entries, Encoding *encoding)
{
    entries.clear();
    try {
        read(path, entries, encoding);
    } catch (const std::bad_alloc &) {
        entries.clear();
        throw RuntimeError(RuntimeError::OutOfMemory, path,
                           u"Таблица так велика, что для неё не хватило памяти."_s);
    }
}

} // namespace CodeTable
