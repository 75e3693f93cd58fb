// SPDX-License-Identifier: MIT
#include "startup.h"

#include "errorreport.h"
#include "frmmain.h"
#include "frmsub.h"
#include "runtimeerror.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace modGP {

bool installQtTranslations(QTranslator &translator)
{
    // The interface is Russian whatever the user's locale.
    if (!translator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

int Main()
{
    frmSub sub(QCoreApplication::applicationDirPath());
    try {
        sub.loadCT(1);
    } catch (const RuntimeError &error) {
        ErrorReport::show(error);
        return 1;
    }

    frmMain window(sub.lstCT());
    window.show();
    return QApplication::exec();
}

} // namespace modGP
