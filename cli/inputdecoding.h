// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace CliInput {

// The converter's input as text: UTF-8, one leading byte-order mark dropped.
// Nothing when the bytes are not UTF-8: a replacement mark in place of a
// bad byte would damage the text, so such input is refused whole. When the
// bytes are only the start of the input (whole false), a character cut off
// at their end is left out and is no error.
std::optional<QString> decode(QByteArrayView bytes, bool whole = true);

} // namespace CliInput
