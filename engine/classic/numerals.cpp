// SPDX-License-Identifier: MIT
#include "numerals.h"

namespace Numerals {

QString count(qint64 n, const QString &one, const QString &few, const QString &many)
{
    const qint64 lastTwo = n % 100;
    const qint64 last = n % 10;
    const QString &noun = lastTwo >= 11 && lastTwo <= 14 ? many
            : last == 1                                  ? one
            : last >= 2 && last <= 4                     ? few
                                                         : many;
    // Five digits and more in groups of three, as Russian text writes them.
    QString digits = QString::number(n);
    if (digits.size() > 4) {
        for (qsizetype at = digits.size() - 3; at > 0 && digits.at(at - 1).isDigit(); at -= 3)
            digits.insert(at, u' ');
    }
    return digits + u' ' + noun;
}

} // namespace Numerals
