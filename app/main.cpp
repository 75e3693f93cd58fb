// SPDX-License-Identifier: MIT
#include "modgp.h"
#include "startup.h"

#include <QApplication>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Vertlin"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));

    QTranslator qtTranslator;
    modGP::installQtTranslations(qtTranslator);

    return modGP::Main();
}
