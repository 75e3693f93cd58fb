#include "conversion.h"

#include "modgp.h"

QString convertText(const QString &text, const QStringList &table, bool toCyrillic)
{
    QString working = text;
    for (const QString &entry : table) {
        const QString latin = modGP::GetWord(entry, 1);
        const QString cyrillic = modGP::GetWord(entry, 2);
        working = toCyrillic ? modGP::ReplaceAll(working, latin, cyrillic)
                             : modGP::ReplaceAll(working, cyrillic, latin);
    }
    return working;
}
