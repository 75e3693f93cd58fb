// SPDX-License-Identifier: MIT
#include "spelling.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace Spelling {

namespace {

bool isCyrillic(QChar c)
{
    return c.unicode() >= 0x0400 && c.unicode() <= 0x04ff;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

// A word is checked when every character of it is a Cyrillic letter or a
// hyphen between letters, and it has two letters or more.
bool isCheckedWord(QStringView word)
{
    qsizetype letters = 0;
    for (const QChar c : word) {
        if (c == u'-')
            continue;
        if (!isCyrillic(c) || !c.isLetter())
            return false;
        ++letters;
    }
    return letters >= 2;
}

const QString Consonants = u"бвгджзклмнпрстфхцчшщ"_s;

// One way a Latin spelling is read that another reading shares: from is
// replaced by to. An empty from inserts a sign after a consonant.
struct Rule
{
    QString from;
    QString to;
};

const std::array Rules = {
        Rule{u"е"_s, u"э"_s},   Rule{u"э"_s, u"е"_s},   Rule{u"ц"_s, u"тс"_s},
        Rule{u"ц"_s, u"тц"_s},  Rule{u"тс"_s, u"ц"_s},  Rule{u"тс"_s, u"тц"_s},
        Rule{u"тц"_s, u"ц"_s},  Rule{u"тц"_s, u"тс"_s}, Rule{u"щ"_s, u"сч"_s},
        Rule{u"щ"_s, u"шч"_s},  Rule{u"сч"_s, u"щ"_s},  Rule{u"сч"_s, u"шч"_s},
        Rule{u"шч"_s, u"щ"_s},  Rule{u"шч"_s, u"сч"_s}, Rule{u"ь"_s, u"ъ"_s},
        Rule{u"ъ"_s, u"ь"_s},   Rule{u""_s, u"ь"_s},    Rule{u""_s, u"ъ"_s},    Rule{u"й"_s, u"ы"_s},
        Rule{u"ы"_s, u"й"_s},   Rule{u"я"_s, u"йа"_s},  Rule{u"я"_s, u"ья"_s},
        Rule{u"йа"_s, u"я"_s},  Rule{u"йа"_s, u"ья"_s}, Rule{u"ья"_s, u"я"_s},
        Rule{u"ья"_s, u"йа"_s}, Rule{u"ю"_s, u"йу"_s},  Rule{u"ю"_s, u"ью"_s},
        Rule{u"йу"_s, u"ю"_s},  Rule{u"йу"_s, u"ью"_s}, Rule{u"ью"_s, u"ю"_s},
        Rule{u"ью"_s, u"йу"_s}, Rule{u"ё"_s, u"йо"_s},  Rule{u"ё"_s, u"ьё"_s},
        Rule{u"йо"_s, u"ё"_s},  Rule{u"йо"_s, u"ьё"_s}, Rule{u"ьё"_s, u"ё"_s},
        Rule{u"ьё"_s, u"йо"_s}, Rule{u"ые"_s, u"е"_s},  Rule{u"е"_s, u"ые"_s},
        // je and ye typed for е; y read as ы before a vowel where й was meant
        Rule{u"йе"_s, u"е"_s},  Rule{u"йе"_s, u"ье"_s}, Rule{u"ыа"_s, u"я"_s},
        Rule{u"ыу"_s, u"ю"_s},  Rule{u"ыо"_s, u"ё"_s},
        // sh typed for сх where h stands for х, and for щ; eh for э, ia for ия
        Rule{u"ш"_s, u"сх"_s},  Rule{u"ш"_s, u"щ"_s},   Rule{u"ех"_s, u"э"_s},
        Rule{u"иа"_s, u"ия"_s},
};

// A rewrite at one place of the word.
struct Site
{
    qsizetype start;
    qsizetype length;
    QString text;
};

// Where an empty-from rule may insert its sign: after a consonant; ъ only
// before е ё ю я.
bool mayInsert(const QString &word, qsizetype at, const QString &sign)
{
    if (at == 0 || !Consonants.contains(word.at(at - 1)))
        return false;
    if (at < word.size() && word.at(at) == sign.front())
        return false;
    if (sign == u"ъ"_s)
        return at < word.size() && QStringView(u"еёюя").contains(word.at(at));
    return at == word.size() || (word.at(at) != u'ь' && word.at(at) != u'ъ');
}

QList<Site> sitesOf(const QString &word)
{
    QList<Site> sites;
    for (qsizetype at = 0; at <= word.size(); ++at) {
        for (const Rule &rule : Rules) {
            if (rule.from.isEmpty() ? mayInsert(word, at, rule.to)
                                    : QStringView(word).mid(at).startsWith(rule.from))
                sites.append({at, rule.from.size(), rule.to});
        }
        // A word read with -ий where -ый was meant, or the other way round.
        if (at + 2 == word.size() && word.endsWith(u"ий"_s))
            sites.append({at, 2, u"ый"_s});
        if (at + 2 == word.size() && word.endsWith(u"ый"_s))
            sites.append({at, 2, u"ий"_s});
    }
    return sites;
}

// Rewrites made together never touch: each starts after the one before.
constexpr int MostChanges = 2;
constexpr qsizetype MostLetters = 40;

void combine(const QString &word, const QList<Site> &sites, qsizetype from,
             QList<const Site *> &chosen, int changes, QStringList &out)
{
    if (int(chosen.size()) == changes) {
        QString result = word;
        for (auto site = chosen.crbegin(); site != chosen.crend(); ++site)
            result.replace((*site)->start, (*site)->length, (*site)->text);
        out.append(result);
        return;
    }
    for (qsizetype i = from; i < sites.size(); ++i) {
        const Site &site = sites.at(i);
        if (!chosen.isEmpty()) {
            const Site *last = chosen.constLast();
            if (site.start < last->start + std::max<qsizetype>(last->length, 1))
                continue;
        }
        chosen.append(&site);
        combine(word, sites, i + 1, chosen, changes, out);
        chosen.removeLast();
    }
}

enum class Case { Lower, Capital, Upper };

Case caseOf(const QString &word)
{
    if (word.size() >= 2 && word == word.toUpper() && word != word.toLower())
        return Case::Upper;
    if (word.front().isUpper())
        return Case::Capital;
    return Case::Lower;
}

QString inCase(const QString &lower, Case shape)
{
    if (shape == Case::Upper)
        return lower.toUpper();
    if (shape == Case::Capital && !lower.isEmpty())
        return lower.front().toUpper() + lower.mid(1);
    return lower;
}

} // namespace

QList<Span> checkedWords(QStringView text)
{
    QList<Span> words;
    for (qsizetype at = 0; at < text.size();) {
        if (!isWordChar(text.at(at))) {
            ++at;
            continue;
        }
        qsizetype end = at + 1;
        while (end < text.size()
               && (isWordChar(text.at(end))
                   || (text.at(end) == u'-' && end + 1 < text.size()
                       && isWordChar(text.at(end + 1)))))
            ++end;
        if (isCheckedWord(text.mid(at, end - at)))
            words.append({at, end - at});
        at = end;
    }
    return words;
}

bool isKnown(const QString &word, const Lexicon &lexicon)
{
    if (lexicon.knows(word))
        return true;
    if (word.contains(u'ё') || word.contains(u'Ё')) {
        QString plain = word;
        if (lexicon.knows(plain.replace(u'ё', u'е').replace(u'Ё', u'Е')))
            return true;
    }
    if (!word.contains(u'-'))
        return false;
    const QStringList parts = word.split(u'-');
    return std::all_of(parts.cbegin(), parts.cend(), [&](const QString &part) {
        return part.size() < 2 || isKnown(part, lexicon);
    });
}

QList<Span> misspelt(QStringView text, const Lexicon &lexicon)
{
    QList<Span> unknown;
    for (const Span &word : checkedWords(text))
        if (!isKnown(text.mid(word.start, word.length).toString(), lexicon))
            unknown.append(word);
    return unknown;
}

QStringList readings(const QString &word, const Lexicon &lexicon)
{
    // Longer than any Russian word: no reading, rather than a pause while
    // thousands of spellings are looked up.
    if (word.size() > MostLetters)
        return {};
    const Case shape = caseOf(word);
    const QString lower = word.toLower();
    const QList<Site> sites = sitesOf(lower);
    QStringList known;
    for (int changes = 1; changes <= MostChanges; ++changes) {
        QStringList candidates;
        QList<const Site *> chosen;
        combine(lower, sites, 0, chosen, changes, candidates);
        for (const QString &candidate : std::as_const(candidates)) {
            const QString reading = inCase(candidate, shape);
            if (reading != word && !known.contains(reading) && isKnown(reading, lexicon))
                known.append(reading);
        }
    }
    return known;
}

QStringList offers(const QString &word, const Lexicon &lexicon)
{
    QStringList all = readings(word, lexicon);
    for (const QString &suggestion : lexicon.suggestions(word))
        if (!all.contains(suggestion))
            all.append(suggestion);
    return all;
}

QList<Fix> fixes(QStringView text, const Lexicon &lexicon)
{
    QList<Fix> found;
    for (const Span &span : misspelt(text, lexicon)) {
        const QStringList known = readings(text.mid(span.start, span.length).toString(), lexicon);
        if (known.size() == 1)
            found.append({span.start, span.length, known.constFirst()});
    }
    return found;
}

QString applied(QStringView text, const QList<Fix> &fixes)
{
    QString result;
    result.reserve(text.size());
    qsizetype at = 0;
    for (const Fix &fix : fixes) {
        result += text.mid(at, fix.start - at);
        result += fix.text;
        at = fix.start + fix.length;
    }
    result += text.mid(at);
    return result;
}

} // namespace Spelling
