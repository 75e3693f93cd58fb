// SPDX-License-Identifier: MIT
#include "modgp.h"

#include "conversion.h"
#include "runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace modGP {

QString GetWord(const QString &line, int n)
{
    // The line's length, the word number and the word counter are all
    // 16-bit numbers.
    const qsizetype length = line.size();
    if (length > MaxInt16 || n < -MaxInt16 - 1 || n > MaxInt16)
        throw RuntimeError::overflow();

    // The scan ends at the space that lifts the counter past n: the first
    // space for n below 1, the n-th otherwise. The word is what lies
    // between the space before it (or the start) and that space (or the end).
    const qsizetype stopSpace = std::max(n, 1);
    qsizetype wordStart = 0;
    for (qsizetype count = 1; count <= stopSpace; ++count) {
        const qsizetype space = line.indexOf(u' ', wordStart);
        if (space < 0) {
            // The scan runs to the end; stepping past position 32767 overflows.
            if (length == MaxInt16)
                throw RuntimeError::overflow();
            return count == n ? line.mid(wordStart) : QString();
        }
        // The counter itself would leave the 16-bit range.
        if (count == MaxInt16)
            throw RuntimeError::overflow();
        if (count == stopSpace)
            return count == n ? line.mid(wordStart, space - wordStart) : QString();
        wordStart = space + 1;
    }
    return QString();
}

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
{
    return ConversionTable::replaceAll(text, search, replacement);
}

QString AddBackslash(const QString &path)
{
    const QChar separator = QDir::separator();
    if (path.isEmpty() || path.endsWith(separator))
        return path;
    return path + separator;
}

bool installQtTranslations(QTranslator &translator)
{
    // The interface is Russian whatever the user's locale.
    if (!translator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace modGP
