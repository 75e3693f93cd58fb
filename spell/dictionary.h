// SPDX-License-Identifier: MIT
#pragma once

#include "spelling.h"

#include <QHash>

#include <memory>

// The Russian Hunspell dictionary (ru_RU.aff and ru_RU.dic). Answers are
// kept per word: the same words come back at every keystroke.
class Dictionary : public Spelling::Lexicon
{
public:
    ~Dictionary() override;

    // The folders looked in, in order: the system's dictionary folders,
    // then programDir, where a build for a system without them ships it.
    static QStringList folders(const QString &programDir);
    // The first dictionary found, or null: none found, or the program was
    // built without spelling.
    static std::unique_ptr<Dictionary> find(const QString &programDir);
    // The first usable dictionary in folders: a regular file of sane size
    // that Hunspell reads words from.
    static std::unique_ptr<Dictionary> findIn(const QStringList &folders);

    bool knows(const QString &word) const override;
    QStringList suggestions(const QString &word) const override;

private:
    struct Engine;
    explicit Dictionary(std::unique_ptr<Engine> engine);

    std::unique_ptr<Engine> m_engine;
    mutable QHash<QString, bool> m_known;
};
