// SPDX-License-Identifier: MIT
#include "appicon.h"

using namespace Qt::StringLiterals;

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(u":/icons/vertlin-%1.png"_s.arg(size), QSize(size, size));
    return icon;
}
