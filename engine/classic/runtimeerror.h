// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>

// A failure that stops the current operation and travels unchanged up to
// the handler that started it. Each carries the classic run-time error
// number users may search for, a Russian description, and, where a file
// is involved, the path that was used.
class RuntimeError : public std::exception
{
public:
    enum Number : int {
        Overflow = 6,
        OutOfMemory = 7,
        FileNotFound = 53,
        InputPastEndOfFile = 62,
        PathFileAccess = 75,
        ClipboardUnavailable = 521,
    };

    // Why an overflow happened, where the conversion can tell: users can
    // mend a table line once they know which one it is.
    struct OverflowCause
    {
        enum Kind {
            Unknown,
            TextTooLong,          // the text itself is over the limit
            EntryGrowsWithoutEnd, // the replacement contains its search string and is longer
            EntryGrowsText,       // this entry's replacements take the text over the limit
            EntryTooLong,         // the table line is too long to take its words from
        };
        Kind kind = Unknown;
        qsizetype textLength = 0; // of the text the conversion was given
        int line = 0;             // in the table file, whose header is line 1
        QString entry;            // that line as it stands in the table
    };

    // reason, when given, says in a sentence what was wrong with the file.
    explicit RuntimeError(Number number, QString path = {}, QString reason = {});

    static RuntimeError overflow() { return RuntimeError(Overflow); }

    Number number() const noexcept { return m_number; }
    QString description() const;
    QString path() const { return m_path; }

    // "Ошибка 53: Файл не найден", then the reason and the path, each on its
    // own line, when there are any.
    QString message() const;

    const OverflowCause &overflowCause() const { return m_cause; }
    void setOverflowCause(OverflowCause cause) { m_cause = std::move(cause); }
    // The cause in a Russian sentence or two; tableName is how the user
    // knows the table file. When the cause is unknown, the limit alone.
    QString overflowExplanation(const QString &tableName) const;
    // The longest text a conversion takes, in characters: "32 766 знаков".
    static QString longestConvertible();

    const char *what() const noexcept override;

private:
    Number m_number;
    QString m_path;
    QString m_reason;
    OverflowCause m_cause;
    QByteArray m_what;
};
