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
        FileNotFound = 53,
        InputPastEndOfFile = 62,
        PathFileAccess = 75,
        ClipboardUnavailable = 521,
    };

    explicit RuntimeError(Number number, QString path = {});

    static RuntimeError overflow() { return RuntimeError(Overflow); }

    Number number() const noexcept { return m_number; }
    QString description() const;
    QString path() const { return m_path; }

    // "Ошибка 53: Файл не найден" plus the path on its own line when there is one.
    QString message() const;

    const char *what() const noexcept override;

private:
    Number m_number;
    QString m_path;
    QByteArray m_what;
};
