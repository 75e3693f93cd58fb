// SPDX-License-Identifier: MIT
#include "errorreport.h"

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
    if (qEnvironmentVariableIsEmpty("VERTLIN_NO_DIALOGS"))
        QMessageBox::critical(parent, u"Vertlin"_s, message);
}

} // namespace ErrorReport
