// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

// The date and time as the user's regional settings write them in one
// line: the short date, one space, the time with seconds.
namespace GeneralDate {

// The locale's time format with seconds, without the time-zone name that
// Qt's long format carries.
QString timeFormat(const QLocale &locale);

// A time of exactly midnight is left out, leaving the date alone.
QString toString(const QDateTime &when, const QLocale &locale);

// The local date and time now. Tests replace the clock; an empty clock
// restores the system's.
using Clock = std::function<QDateTime()>;
QDateTime now();
void setClock(Clock clock);

} // namespace GeneralDate
