#include "conversion.h"

#include "modgp.h"
#include "runtimeerror.h"

QString convertText(const QString &text, const QStringList &table, bool toCyrillic)
{
    return ConversionTable(table).convert(text, toCyrillic);
}

ConversionTable::ConversionTable(const QStringList &table)
{
    for (const QString &entry : table) {
        QString latin, cyrillic;
        try {
            latin = modGP::GetWord(entry, 1);
            cyrillic = modGP::GetWord(entry, 2);
        } catch (const RuntimeError &) {
            m_hasOverlongLine = true;
            return;
        }
        if (latin.isEmpty() || cyrillic.isEmpty())
            continue;
        m_toCyrillic.emplace_back(latin, cyrillic);
        m_toLatin.emplace_back(cyrillic, latin);
    }
}

QString ConversionTable::convert(const QString &text, bool toCyrillic,
                                 Substitution::Limits limits) const
{
    // Every entry's words are taken at every conversion, so such a line
    // fails them all, whatever the text.
    if (m_hasOverlongLine)
        throw RuntimeError::overflow();

    const std::vector<Substitution::Rule> &rules = toCyrillic ? m_toCyrillic : m_toLatin;
    // With nothing to replace, no pass ever runs and length sets no limit.
    if (rules.empty())
        return text;
    if (text.size() >= limits.maxLength)
        throw RuntimeError::overflow();

    Substitution::Text working(text, limits);
    for (const Substitution::Rule &rule : rules)
        working.replaceAll(rule);
    return working.toString();
}
