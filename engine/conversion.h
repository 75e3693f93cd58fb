#pragma once

#include <QString>
#include <QStringList>

// Converts a whole text through a code table: every entry in table order,
// each replacing its Latin word by its Cyrillic word (toCyrillic) or the
// other way round, working on what the entries before it produced.
// Throws RuntimeError(Overflow) when the text is, or grows, too long; the
// caller's text is then untouched.
QString convertText(const QString &text, const QStringList &table, bool toCyrillic);
