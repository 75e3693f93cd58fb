// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace CliInput {

// The converter's input as text: UTF-8, one leading byte-order mark dropped.
// Nothing when the bytes are not UTF-8: a replacement mark in place of a
// bad byte would damage the text, so such input is refused whole.
std::optional<QString> decode(QByteArrayView bytes);

} // namespace CliInput
