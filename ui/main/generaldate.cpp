// SPDX-License-Identifier: MIT
#include "generaldate.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace GeneralDate {

QString timeFormat(const QLocale &locale)
{
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    format.reserve(longFormat.size());
    bool quoted = false;
    for (QChar c : longFormat) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && c == u't')
            continue;
        format += c;
    }
    // Some locales put the zone in brackets ("H:mm:ss (t)"); the zone sits
    // at one end, so the space that set it apart goes with it.
    format.replace(u"()"_s, QString());
    static const QRegularExpression spaceRun(u"(\\s)\\s+"_s);
    format.replace(spaceRun, u"\\1"_s);
    return format.trimmed();
}

QString toString(const QDateTime &when, const QLocale &locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + locale.toString(time, timeFormat(locale));
}

static Clock &clock()
{
    static Clock c;
    return c;
}

QDateTime now()
{
    return clock() ? clock()() : QDateTime::currentDateTime();
}

void setClock(Clock c)
{
    clock() = std::move(c);
}

} // namespace GeneralDate
