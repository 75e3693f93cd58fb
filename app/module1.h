// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Module1 {

// Asks the desktop to open target (a web or mailto address) with whatever
// program the user has chosen for it, and returns at once. The result is
// non-zero when the desktop accepted the request, zero when it refused (no
// browser or mail program, a malformed address); callers are free to ignore
// it, since a refused request has nothing the user could act on.
int OpenDocument(const QString &target);

} // namespace Module1
