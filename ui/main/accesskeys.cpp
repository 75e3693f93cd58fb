// SPDX-License-Identifier: MIT
#include "accesskeys.h"

#include <QKeyEvent>

namespace AccessKeys {

namespace {

// The three letter rows of a keyboard, from the left: what a US layout and
// the Russian layout print on each key, and each row's first hardware code
// under X (XKB keycodes, Wayland too) and on Windows (scan codes).
struct Row
{
    const char *us;
    const char16_t *russian;
    quint32 xFirst;
    quint32 windowsFirst;
};
constexpr Row Rows[] = {
    {"QWERTYUIOP[]", u"ЙЦУКЕНГШЩЗХЪ", 24, 0x10},
    {"ASDFGHJKL;'", u"ФЫВАПРОЛДЖЭ", 38, 0x1e},
    {"ZXCVBNM,.", u"ЯЧСМИТЬБЮ", 52, 0x2c},
    {"`", u"Ё", 49, 0x29},
};

QChar fromHardwareCode(quint32 code)
{
    for (const Row &row : Rows) {
#ifdef Q_OS_WIN
        const quint32 first = row.windowsFirst;
#else
        const quint32 first = row.xFirst;
#endif
        const auto count = quint32(std::char_traits<char>::length(row.us));
        if (code >= first && code < first + count)
            return QChar(row.russian[code - first]);
    }
    return {};
}

QChar fromUsKey(int key)
{
    for (const Row &row : Rows) {
        for (int i = 0; row.us[i]; ++i) {
            if (row.us[i] == key)
                return QChar(row.russian[i]);
        }
    }
    return {};
}

} // namespace

QChar russianLetter(const QKeyEvent *event)
{
    // A Russian layout is active: the letter is the key's own.
    const int key = event->key();
    if ((key >= 0x410 && key <= 0x42f) || key == 0x401)
        return QChar(key);
#ifndef Q_OS_MACOS
    if (event->nativeScanCode() != 0)
        return fromHardwareCode(event->nativeScanCode());
#endif
    // No hardware code (macOS, synthetic events): the key's US letter.
    return fromUsKey(key);
}

} // namespace AccessKeys
