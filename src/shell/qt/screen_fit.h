#pragma once
// Window sizes bounded by the screen: a window opens at the size it was laid out for, but never
// wider or taller than the room on the screen it opens on.
#include <QSize>

class QWidget;

namespace tolvaran {

// The room a window has on its screen (its parent's screen, else the primary screen): the
// screen's available area less an allowance for the window frame the desktop draws.
QSize ScreenRoom(const QWidget& window);

// Resizes the window to wanted, bounded by ScreenRoom; returns the size given.
QSize FitToScreen(QWidget& window, QSize wanted);

}  // namespace tolvaran
