#include "shell/qt/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tolvaran {
namespace {

// Pixels a desktop's window frame takes: borders and the title bar.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

}  // namespace

QSize ScreenRoom(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    const QSize available = screen->availableGeometry().size();
    return {std::max(1, available.width() - kFrameWidth), std::max(1, available.height() - kFrameHeight)};
}

QSize FitToScreen(QWidget& window, QSize wanted) {
    const QSize size = wanted.boundedTo(ScreenRoom(window));
    window.resize(size);
    return size;
}

}  // namespace tolvaran
