// SPDX-License-Identifier: MIT
#include "frmsub.h"

#include "codetable.h"

#include <QDir>

frmSub::frmSub(QString directory) : m_directory(QDir::toNativeSeparators(directory)) { }

void frmSub::loadCT(qint16 number)
{
    CodeTable::load(CodeTable::fileName(m_directory, number), m_lstCT);
}
