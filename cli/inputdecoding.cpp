// SPDX-License-Identifier: MIT
#include "inputdecoding.h"

#include <QStringDecoder>

namespace CliInput {

std::optional<QString> decode(QByteArrayView bytes, bool whole)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Only the first mark is dropped: Qt's decoder would silently eat a
    // second one, a character of the text. A stateful decoder keeps a cut-off
    // character for more bytes to come.
    const QStringDecoder::Flags flags = whole ? QStringDecoder::Flag::Stateless
                    | QStringDecoder::Flag::ConvertInitialBom
                                              : QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace CliInput
