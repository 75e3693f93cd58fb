// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Numerals {

// A count with its Russian noun in the form the number asks for:
// count(21, "знак", "знака", "знаков") is "21 знак", 4 gives "4 знака",
// 5 and 12 give "5 знаков", "12 знаков"; 32766 gives "32 766 знаков".
QString count(qint64 n, const QString &one, const QString &few, const QString &many);

} // namespace Numerals
