// SPDX-License-Identifier: MIT
#include "startup.h"

#include "errorreport.h"
#include "frmmain.h"
#include "frmsub.h"
#include "runtimeerror.h"

#include <QApplication>

namespace modGP {

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
