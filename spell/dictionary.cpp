// SPDX-License-Identifier: MIT
#include "dictionary.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef VERTLIN_HAVE_HUNSPELL
#include <hunspell/hunspell.hxx>
#endif

using namespace Qt::StringLiterals;

namespace {
const QString Name = u"ru_RU"_s;
// Beyond this many words the answers are dropped and learnt again, so that
// a long session does not grow without end.
constexpr qsizetype MostKept = 200000;
} // namespace

#ifdef VERTLIN_HAVE_HUNSPELL
namespace {
// Hunspell opens a file through the ANSI code page on Windows, which cannot
// hold every folder name (Cyrillic ones where it is not windows-1251); a
// UTF-8 path after the \\?\ prefix it opens through the wide API (with
// MinGW only as scripts/windows.sh builds it).
QByteArray hunspellPath(const QString &path)
{
#ifdef Q_OS_WIN
    const QString native =
            QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString prefixed = native.startsWith(u"\\\\"_s) ? u"\\\\?\\UNC"_s + native.mid(1)
                                                      : u"\\\\?\\"_s + native;
    return prefixed.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

// Hunspell reads its files whole and without end: a named pipe would stop
// the program at start, a huge file fill the memory. Russian dictionaries
// are a few megabytes.
bool isDictionaryFile(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.isReadable() && file.size() <= 64 * 1024 * 1024;
}
} // namespace

struct Dictionary::Engine
{
    Engine(const QString &aff, const QString &dic)
        : hunspell(hunspellPath(aff).constData(), hunspellPath(dic).constData()),
          encoder(hunspell.get_dict_encoding().c_str()),
          decoder(hunspell.get_dict_encoding().c_str())
    {
    }
    std::string encoded(const QString &word)
    {
        const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(word))
                                                   : word.toUtf8();
        return bytes.toStdString();
    }
    QString decoded(const std::string &word)
    {
        const QByteArray bytes = QByteArray::fromStdString(word);
        return decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromUtf8(bytes);
    }
    Hunspell hunspell;
    QStringEncoder encoder;
    QStringDecoder decoder;
};
#else
struct Dictionary::Engine
{
};
#endif

Dictionary::Dictionary(std::unique_ptr<Engine> engine) : m_engine(std::move(engine)) {}

Dictionary::~Dictionary() = default;

QStringList Dictionary::folders(const QString &programDir)
{
    QStringList found;
    for (const QString &data : QStandardPaths::standardLocations(
                 QStandardPaths::GenericDataLocation))
        found << data + u"/hunspell"_s << data + u"/myspell"_s << data + u"/myspell/dicts"_s;
#ifndef Q_OS_WIN // there a path from the root names a folder of the current drive
    for (const QString &fixed : {u"/usr/share/hunspell"_s, u"/usr/share/myspell"_s})
        if (!found.contains(fixed))
            found << fixed;
#endif
    found << programDir;
    return found;
}

std::unique_ptr<Dictionary> Dictionary::find(const QString &programDir)
{
    return findIn(folders(programDir));
}

std::unique_ptr<Dictionary> Dictionary::findIn(const QStringList &folders)
{
#ifdef VERTLIN_HAVE_HUNSPELL
    for (const QString &folder : folders) {
        const QString aff = QDir(folder).filePath(Name + u".aff"_s);
        const QString dic = QDir(folder).filePath(Name + u".dic"_s);
        if (!isDictionaryFile(aff) || !isDictionaryFile(dic))
            continue;
        auto engine = std::make_unique<Engine>(aff, dic);
        // Hunspell cannot say whether it loaded anything: a damaged file
        // would know no word and underline the whole text.
        if (engine->hunspell.spell(engine->encoded(u"это"_s)))
            return std::unique_ptr<Dictionary>(new Dictionary(std::move(engine)));
    }
#else
    Q_UNUSED(folders);
#endif
    return nullptr;
}

bool Dictionary::knows(const QString &word) const
{
    if (const auto known = m_known.constFind(word); known != m_known.cend())
        return *known;
    if (m_known.size() >= MostKept)
        m_known.clear();
#ifdef VERTLIN_HAVE_HUNSPELL
    const bool known = m_engine->hunspell.spell(m_engine->encoded(word));
#else
    const bool known = true;
#endif
    m_known.insert(word, known);
    return known;
}

QStringList Dictionary::suggestions(const QString &word) const
{
    QStringList found;
#ifdef VERTLIN_HAVE_HUNSPELL
    for (const std::string &suggestion : m_engine->hunspell.suggest(m_engine->encoded(word)))
        found << m_engine->decoded(suggestion);
#else
    Q_UNUSED(word);
#endif
    return found;
}
