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
    // Lets the desktop match the window to its menu entry and its icon.
    QGuiApplication::setDesktopFileName(u"org.example.Vertlin"_s);

    QTranslator qtTranslator;
    modGP::installQtTranslations(qtTranslator);

    return modGP::Main();
}
