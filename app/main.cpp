#include "startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Vertlin"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(VERTLIN_VERSION));

    // The interface is Russian whatever the user's locale, so Qt's own
    // texts (the text area's context menu, dialog buttons) are too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    return modGP::Main();
}
