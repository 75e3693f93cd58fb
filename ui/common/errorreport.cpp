// SPDX-License-Identifier: MIT
#include "errorreport.h"

#include "appicon.h"

#include <QMessageBox>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace ErrorReport {

static Sink &sink()
{
    static Sink s;
    return s;
}

void setSink(Sink s)
{
    sink() = std::move(s);
}

static QString text(const RuntimeError &error, const QString &explanation)
{
    return explanation.isEmpty() ? error.message() : error.message() + u"\n\n"_s + explanation;
}

void show(const RuntimeError &error, QWidget *parent, const QString &explanation)
{
    const QString message = text(error, explanation);
    QTextStream(stderr) << u"Vertlin: "_s << message << Qt::endl;

    if (sink()) {
        sink()(error, message);
        return;
    }
    if (!qEnvironmentVariableIsEmpty("VERTLIN_NO_DIALOGS"))
        return;
    QMessageBox box(QMessageBox::Critical, u"Vertlin"_s, message, QMessageBox::Ok, parent);
    // The program's own icon, also at start-up when there is no window to
    // take it from.
    box.setWindowIcon(appIcon());
    box.exec();
}

} // namespace ErrorReport
