// SPDX-License-Identifier: MIT
#include "runtimeerror.h"

using namespace Qt::StringLiterals;

RuntimeError::RuntimeError(Number number, QString path)
    : m_number(number), m_path(std::move(path))
{
    m_what = message().toUtf8();
}

QString RuntimeError::description() const
{
    switch (m_number) {
    case Overflow:
        return u"Переполнение"_s;
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
    if (!m_path.isEmpty())
        text += u"\nФайл: "_s + m_path;
    return text;
}

const char *RuntimeError::what() const noexcept
{
    return m_what.constData();
}
