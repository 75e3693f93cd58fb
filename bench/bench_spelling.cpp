// SPDX-License-Identifier: MIT
// How well the spelling check finds and mends what the table misreads.
// For each kind of text (one UTF-8 file each, its base name naming the
// kind) the commonest words are typed in style 1, style 2 and the chat
// habit (y for й, no ь or ъ, h for х, c for ц, sch for щ, e for э, ya yu
// yo), read through the table, and measured: the share of misread words
// that are underlined, of those the share whose first reading is right,
// the words read right before and after "Исправить все", and the share
// of rightly read words underlined and changed. ё counts as е; nothing
// else is folded. Last, the hand list of typed words before and after.
//
// Usage: bench_spelling [--table FILE] [KIND.txt...]
//        bench_spelling --readings WORD...   (what the menu offers)

#include "codetable.h"
#include "conversion.h"
#include "dictionary.h"
#include "tablecheck.h"
#include "tablereport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The chat habit: style 2's letters with y for й, ya yu yo, and ' for
// both signs, or no sign at all.
QString chatTyped(const QString &word, bool signs)
{
    static const QString letters = u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s;
    static const QStringList latin = {
            u"a"_s, u"b"_s, u"v"_s, u"g"_s, u"d"_s, u"e"_s, u"yo"_s, u"zh"_s, u"z"_s,
            u"i"_s, u"y"_s, u"k"_s, u"l"_s, u"m"_s, u"n"_s, u"o"_s,  u"p"_s,  u"r"_s,
            u"s"_s, u"t"_s, u"u"_s, u"f"_s, u"h"_s, u"c"_s, u"ch"_s, u"sh"_s, u"sch"_s,
            u"'"_s, u"y"_s, u"'"_s, u"e"_s, u"yu"_s, u"ya"_s};
    QString result;
    for (const QChar c : word) {
        const qsizetype at = letters.indexOf(c);
        result += at < 0 ? QString(c) : latin.at(at);
    }
    return signs ? result : result.remove(u'\'');
}

QString fold(QString word)
{
    return word.replace(u'ё', u'е').replace(u'Ё', u'Е');
}

// The commonest words, most frequent first, each in the case it mostly
// has (a name keeps its capital); a list without repeats is sampled evenly
// instead.
QStringList commonest(const QString &text, qsizetype count)
{
    QHash<QString, qsizetype> counts, asWritten;
    QHash<QString, QString> shape;
    QStringList order;
    for (const QString &word : TableCheck::cyrillicWords(text)) {
        const QString lower = word.toLower();
        qsizetype &n = counts[lower];
        if (n++ == 0)
            order << lower;
        if (++asWritten[word] > asWritten.value(shape.value(lower)))
            shape[lower] = word;
    }
    const bool flat = std::all_of(order.cbegin(), order.cend(),
                                  [&](const QString &w) { return counts.value(w) == 1; });
    std::stable_sort(order.begin(), order.end(), [&](const QString &a, const QString &b) {
        return counts.value(a) > counts.value(b);
    });
    QStringList chosen;
    for (qsizetype i = 0; i < std::min(count, order.size()); ++i)
        chosen << shape.value(order.at(flat ? i * order.size() / count : i));
    return chosen;
}

// Reads each typed word alone (a word may overflow on its own).
QStringList readAll(const ConversionTable &table, const QStringList &typed)
{
    QStringList read;
    for (const QString &word : typed) {
        try {
            read << table.convert(word, true);
        } catch (...) {
            read << word;
        }
    }
    return read;
}

struct Tally
{
    qsizetype words = 0, misread = 0, misreadUnderlined = 0, firstRight = 0;
    qsizetype rightBefore = 0, rightAfter = 0, rightUnderlined = 0, rightChanged = 0;
    QStringList left; // misread words the check does not mend
};

QString share(qsizetype part, qsizetype whole)
{
    return QString::number(whole ? 100.0 * double(part) / double(whole) : 100.0, 'f', 2)
            + u" %"_s;
}

void count(Tally &t, const QString &word, const QString &read, const Spelling::Lexicon &lexicon)
{
    const bool right = fold(read) == fold(word);
    const bool underlined = !Spelling::misspelt(read, lexicon).isEmpty();
    const QString after = Spelling::applied(read, Spelling::fixes(read, lexicon));
    ++t.words;
    t.rightBefore += right;
    t.rightAfter += fold(after) == fold(word);
    if (right) {
        t.rightUnderlined += underlined;
        t.rightChanged += after != read;
        return;
    }
    ++t.misread;
    if (underlined) {
        ++t.misreadUnderlined;
        // The first offer, as the menu has it; suggestions cost much more
        // than readings, so they are asked for only without a reading.
        QStringList offered = Spelling::readings(read, lexicon);
        if (offered.isEmpty())
            offered = lexicon.suggestions(read);
        t.firstRight += !offered.isEmpty() && fold(offered.constFirst()) == fold(word);
    }
    if (fold(after) != fold(word) && t.left.size() < 12)
        t.left << word + u"→"_s + after;
}

void print(QTextStream &out, const QString &name, const Tally &t)
{
    out << u"  %1: words %2, right %3 → %4 after fixing; misread %5, underlined %6, "
           "first reading right %7; right but underlined %8, changed %9\n"_s.arg(name)
                    .arg(t.words)
                    .arg(share(t.rightBefore, t.words), share(t.rightAfter, t.words))
                    .arg(t.misread)
                    .arg(share(t.misreadUnderlined, t.misread),
                         share(t.firstRight, t.misreadUnderlined),
                         share(t.rightUnderlined, t.rightBefore),
                         share(t.rightChanged, t.rightBefore));
    if (!t.left.isEmpty())
        out << u"    left: "_s << t.left.join(u", "_s) << u'\n';
}

void measureKind(QTextStream &out, const ConversionTable &table, const QString &path,
                 const Spelling::Lexicon &lexicon)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out << path << u": cannot be read\n"_s;
        return;
    }
    const QStringList words = commonest(QString::fromUtf8(file.readAll()), 3000);
    out << u"Kind "_s << QFileInfo(path).completeBaseName() << u'\n';
    const auto habit = [&](const QString &name, const auto &type) {
        QStringList typed;
        for (const QString &word : words)
            typed << type(word);
        const QStringList read = readAll(table, typed);
        Tally t;
        for (qsizetype i = 0; i < words.size(); ++i)
            count(t, words.at(i), read.at(i), lexicon);
        print(out, name, t);
    };
    habit(u"style 1"_s, [](const QString &w) { return TableReport::typed(w, TableReport::Habit::Style1); });
    habit(u"style 2"_s, [](const QString &w) { return TableReport::typed(w, TableReport::Habit::Style2); });
    habit(u"chat"_s, [](const QString &w) { return chatTyped(w, true); });
    habit(u"chat, no signs"_s, [](const QString &w) { return chatTyped(w, false); });
    out.flush();
}

// The hand list of typed words, word by word, before and after fixing.
void measureTypedList(QTextStream &out, const ConversionTable &table,
                      const Spelling::Lexicon &lexicon)
{
    QFile file(QStringLiteral(VERTLIN_SOURCE_DIR "/tests/data/typed-translit.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    Tally t;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList expected = line.section(u'\t', 1).split(u' ');
        const QStringList read = table.convert(line.section(u'\t', 0, 0), true).split(u' ');
        for (qsizetype i = 0; i < std::min(read.size(), expected.size()); ++i)
            count(t, expected.at(i), read.at(i), lexicon);
    }
    out << u"Typed list\n"_s;
    print(out, u"as typed"_s, t);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString tablePath = QStringLiteral(VERTLIN_SOURCE_DIR "/data/vl1.ini");
    if (args.size() >= 2 && args.constFirst() == u"--table"_s) {
        tablePath = args.at(1);
        args = args.mid(2);
    }
    QTextStream out(stdout);
    const auto dictionary = Dictionary::find(QCoreApplication::applicationDirPath());
    if (!dictionary) {
        out << u"No ru_RU dictionary found.\n"_s;
        return 1;
    }
    if (!args.isEmpty() && args.constFirst() == u"--readings"_s) {
        for (const QString &word : args.mid(1))
            out << word << u": "_s << Spelling::offers(word, *dictionary).join(u", "_s)
                << u"  | fixed as: "_s
                << Spelling::applied(word, Spelling::fixes(word, *dictionary)) << u'\n';
        return 0;
    }
    QStringList entries;
    CodeTable::load(tablePath, entries);
    const ConversionTable table(entries);
    measureTypedList(out, table, *dictionary);
    for (const QString &path : std::as_const(args))
        measureKind(out, table, path, *dictionary);
    return 0;
}
