// SPDX-License-Identifier: MIT
#include "appversion.h"

#include <QCoreApplication>
#include <QVersionNumber>

using namespace Qt::StringLiterals;

AppVersion AppVersion::current()
{
    const QVersionNumber v = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return {v.majorVersion(), v.minorVersion(), v.microVersion()};
}

QString AppVersion::shortTitle() const
{
    return u"Vertlin v"_s + QString::number(major) + u'.' + QString::number(minor);
}

QString AppVersion::fullTitle() const
{
    return shortTitle() + u'.' + QString::number(revision);
}
