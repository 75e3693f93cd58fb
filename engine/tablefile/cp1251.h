// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Cyrillic ANSI code page, windows-1251, done here rather than through
// Qt's codecs: Qt has it only when it is built with ICU, which Qt on Windows
// is not. The lower half is ASCII; the byte 0x98, which the code page leaves
// free, is U+0098, as Windows reads it.
namespace Cp1251 {

QString decode(QByteArrayView bytes);

// Characters the code page lacks become '?'.
QByteArray encode(QStringView text);

} // namespace Cp1251
