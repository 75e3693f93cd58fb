// SPDX-License-Identifier: MIT
#include "twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Twips {

static qreal logicalDpi(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

int toPixels(int twips, const QWidget *widget)
{
    return int(std::lround(twips * logicalDpi(widget) / 1440.0));
}

QSize size(int widthTwips, int heightTwips, const QWidget *widget)
{
    return {toPixels(widthTwips, widget), toPixels(heightTwips, widget)};
}

QRect rect(int leftTwips, int topTwips, int widthTwips, int heightTwips, const QWidget *widget)
{
    return {QPoint(toPixels(leftTwips, widget), toPixels(topTwips, widget)),
            size(widthTwips, heightTwips, widget)};
}

} // namespace Twips
