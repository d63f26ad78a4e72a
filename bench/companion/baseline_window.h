#pragma once

// The start-up benchmark's baseline windows: a plain window of the companion's kind and
// size in one solid colour, shown centred on the work area as she is.

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace plumo::bench {

inline void makeBaselineWindow(QWidget& window) {
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setFixedSize(168, 93);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0xe8, 0x8a, 0x3c));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

inline void showCentred(QWidget& window) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
    window.show();
}

}  // namespace plumo::bench
