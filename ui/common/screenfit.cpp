// SPDX-License-Identifier: MIT
#include "screenfit.h"

#include <QScreen>
#include <QWidget>

namespace ScreenFit {

QRect place(QSize frame, const QRect &available)
{
    QRect placed(QPoint(), frame.boundedTo(available.size()));
    placed.moveCenter(available.center());
    return placed;
}

void centre(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QSize margins = window->frameGeometry().size() - window->size();
    const QRect frame = place(window->frameGeometry().size(), screen->availableGeometry());
    const QSize client = frame.size() - margins;
    if (client != window->size()) {
        if (window->minimumSize() == window->maximumSize())
            window->setFixedSize(client);
        else
            window->resize(client);
    }
    window->move(frame.topLeft());
}

} // namespace ScreenFit
