// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

// Windows open centred on the screen at the size their layout gives, unless
// that is larger than the screen's free area (a small screen, a large scale
// factor): then they take that area, so that the title bar and the edges
// stay on the screen.
namespace ScreenFit {

// Where a window whose outer frame is this size goes in that area.
QRect place(QSize frame, const QRect &available);

// Moves a top-level window there on its screen, shrinking it if need be.
// Its frame counts as far as the window system has told it yet.
void centre(QWidget *window);

} // namespace ScreenFit
