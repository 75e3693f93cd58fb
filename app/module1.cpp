// SPDX-License-Identifier: MIT
#include "module1.h"

#include <QDesktopServices>
#include <QUrl>

namespace Module1 {

int OpenDocument(const QString &target)
{
    // Tolerant parsing keeps a literal space (the mail subject has one) as
    // part of the address; it is percent-encoded only where the address
    // leaves the program, which is the form mail programs expect.
    return QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode)) ? 1 : 0;
}

} // namespace Module1
