// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

// The program's icon, in every size it ships (16, 32, 48 and 256 pixels).
QIcon appIcon();
