// SPDX-License-Identifier: MIT
// The converter's input decoding: well-formed UTF-8 (after one byte-order
// mark) comes back byte for byte, anything else is refused.
//
// A first byte 0xFE stands for a huge input: the rest repeated into a line
// of over 256 KiB.

#include "fuzzing.h"
#include "inputdecoding.h"

using Fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (size > 1 && data[0] == 0xFE)
        bytes = bytes.sliced(1).repeated(1 + (1 << 18) / qsizetype(size - 1));

    const std::optional<QString> text = CliInput::decode(bytes);
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    const bool wellFormed = Fuzzing::isUtf8(body);
    require(text.has_value() == wellFormed, wellFormed ? "UTF-8 refused" : "not UTF-8, yet accepted",
            body.left(64).toHex(' '));
    if (text)
        require(text->toUtf8() == body, "the text changed on the way", body.left(64).toHex(' '));
    // The start of an input read no further: a character cut off at its end is no error.
    const std::optional<QString> start = CliInput::decode(bytes.first(bytes.size() / 2), false);
    require(!text || (start && text->startsWith(*start)), "the start of UTF-8 refused",
            body.left(64).toHex(' '));
    return 0;
}
