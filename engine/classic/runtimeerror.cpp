// SPDX-License-Identifier: MIT
#include "runtimeerror.h"

#include "codetable.h"
#include "modgp.h"
#include "numerals.h"

#include <QDir>

using namespace Qt::StringLiterals;

RuntimeError::RuntimeError(Number number, QString path, QString reason)
    : m_number(number), m_path(std::move(path)), m_reason(std::move(reason))
{
    m_what = message().toUtf8();
}

QString RuntimeError::description() const
{
    switch (m_number) {
    case Overflow:
        return u"Переполнение"_s;
    case OutOfMemory:
        return u"Недостаточно памяти"_s;
    case FileNotFound:
        return u"Файл не найден"_s;
    case InputPastEndOfFile:
        return u"Ввод за концом файла"_s;
    case PathFileAccess:
        return u"Ошибка доступа к пути/файлу"_s;
    case ClipboardUnavailable:
        return u"Не удаётся открыть буфер обмена"_s;
    }
    return u"Неизвестная ошибка"_s;
}

QString RuntimeError::message() const
{
    QString text = u"Ошибка %1: %2"_s.arg(int(m_number)).arg(description());
    if (!m_reason.isEmpty())
        text += u'\n' + m_reason;
    if (!m_path.isEmpty())
        text += u"\nФайл: "_s + QDir::toNativeSeparators(m_path);
    return text;
}

// A table line as the user would look for it in the file; a very long one
// by its beginning.
static QString quotedEntry(const QString &entry)
{
    constexpr qsizetype Shown = 60;
    return u"«"_s + (entry.size() > Shown ? entry.left(Shown) + u"…"_s : entry) + u"»"_s;
}

static QString characters(qint64 n)
{
    return Numerals::count(n, u"знак"_s, u"знака"_s, u"знаков"_s);
}

// Positions are 16-bit numbers: a pass cannot start on a text of 32767
// characters, nor a table line of that length be split into its words.
QString RuntimeError::longestConvertible()
{
    return characters(modGP::MaxInt16 - 1);
}

QString RuntimeError::overflowExplanation(const QString &tableName) const
{
    // All pieces at once: a table line may itself hold "%1".
    const QString line = QString::number(m_cause.line), entry = quotedEntry(m_cause.entry);
    const QString length = characters(m_cause.textLength), limit = longestConvertible();
    switch (m_cause.kind) {
    case OverflowCause::Unknown:
        break;
    case OverflowCause::TextTooLong:
        return u"Текст слишком длинный для конвертации: в нём %1, а конвертировать "
               u"можно текст не длиннее %2."_s.arg(length, limit);
    case OverflowCause::EntryGrowsWithoutEnd:
        return u"Строка %1 таблицы %2 %3 удлиняет текст без конца: её замена содержит то, "
               u"что она ищет, и длиннее его. Исправьте эту строку таблицы."_s
                .arg(line, tableName, entry);
    case OverflowCause::EntryGrowsText:
        return u"При замене по строке %1 таблицы %2 %3 текст (%4) становится длиннее "
               u"%5, а результат конвертации не может быть длиннее."_s
                .arg(line, tableName, entry, length, limit);
    case OverflowCause::EntryTooLong:
        return u"Строка %1 таблицы %2 (%3) слишком длинная: в ней %4, а строка таблицы "
               u"может быть не длиннее %5. Исправьте эту строку таблицы."_s
                .arg(line, tableName, entry,
                     // The loader cuts a longer line to this length.
                     m_cause.entry.size() == CodeTable::MaxLineLength
                             ? characters(m_cause.entry.size()) + u" или больше"_s
                             : characters(m_cause.entry.size()),
                     limit);
    }
    return u"Текст слишком длинный для конвертации: конвертировать можно текст не длиннее "
           u"%1, и результат конвертации тоже не может быть длиннее."_s.arg(limit);
}

const char *RuntimeError::what() const noexcept
{
    return m_what.constData();
}
