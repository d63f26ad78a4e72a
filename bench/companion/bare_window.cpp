// bare_window: the baseline for the start-up benchmark. A plain Qt Widgets window with
// the companion's window kind and size, one solid colour, centred on the work area.

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setFixedSize(168, 93);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0xe8, 0x8a, 0x3c));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
    window.show();
    return QApplication::exec();
}
