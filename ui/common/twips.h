// SPDX-License-Identifier: MIT
#pragma once

class QWidget;
class QPoint;
class QRect;
class QSize;

// Window layouts are drawn in twips (1/1440 inch; 15 per pixel at 96 dpi).
// These convert them to the widget's logical pixels, so the windows keep
// their proportions on screens of any logical DPI.
namespace Twips {

int toPixels(int twips, const QWidget *widget = nullptr);
QSize size(int widthTwips, int heightTwips, const QWidget *widget = nullptr);
QRect rect(int leftTwips, int topTwips, int widthTwips, int heightTwips,
           const QWidget *widget = nullptr);

} // namespace Twips
