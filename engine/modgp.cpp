#include "modgp.h"

#include "runtimeerror.h"

#include <QDir>

namespace modGP {

QString GetWord(const QString &line, int n)
{
    const qsizetype length = line.size();
    if (length > MaxInt16)
        throw RuntimeError::overflow();

    QString word;
    int counter = 1;
    for (qsizetype p = 0; p < length; ++p) {
        const QChar c = line.at(p);
        if (counter == n && c != u' ')
            word += c;
        if (c == u' ' && ++counter > n)
            return word;
    }
    // The position would step past the last one.
    if (length == MaxInt16)
        throw RuntimeError::overflow();
    return word;
}

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty() || replacement.isEmpty())
        return text;

    QString result = text;
    const qsizetype searchLength = search.size();
    for (;;) {
        const qsizetype passLength = result.size();
        if (passLength > MaxInt16)
            throw RuntimeError::overflow();
        for (qsizetype p = 0; p < passLength; ++p) {
            if (QStringView(result).mid(p, searchLength) == search)
                result = result.left(p) + replacement + result.mid(p + searchLength);
        }
        if (passLength == MaxInt16)
            throw RuntimeError::overflow();
        if (result.size() == passLength)
            return result;
    }
}

QString AddBackslash(const QString &path)
{
    const QChar separator = QDir::separator();
    if (path.isEmpty() || path.endsWith(separator))
        return path;
    return path + separator;
}

} // namespace modGP
