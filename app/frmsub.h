// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Keeps the code table in memory for the whole run. It never appears on
// screen; the table is read from disk once, at start-up.
class frmSub
{
public:
    // directory is where the table files are looked for: the program's own.
    explicit frmSub(QString directory);

    // Replaces lstCT with the entries of the table file "vl<number>.ini".
    // Throws RuntimeError; the list is emptied first either way.
    void loadCT(qint16 number);

    const QStringList &lstCT() const { return m_lstCT; }

private:
    QString m_directory;
    QStringList m_lstCT;
};
