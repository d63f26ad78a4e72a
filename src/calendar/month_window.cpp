#include "calendar/month_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace plumo {

TmonFrm::TmonFrm(const QString& programFolder, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), programFolder_(programFolder) {
    setObjectName(QStringLiteral("monFrm"));
    setFixedSize(313, 253);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
}

void TmonFrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TmonFrm::FormShow() {
    background_.load(programFolder_ + QStringLiteral("skin/bg.bmp"), "BMP");
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() + 1 - width(), area.bottom() + 1 - height());
    }
    update();
}

void TmonFrm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(QPoint(0, 0), background_);
}

}  // namespace plumo
