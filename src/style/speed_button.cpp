#include "style/speed_button.h"

#include <QPainter>

namespace plumo {

TSpeedButton::TSpeedButton(QWidget* parent) : TSpeedButton(QString(), parent) {}

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
}

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
}

void TPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    QPainter p(this);
    QRect r = rect();
    auto bevel = [&](Bevel kind) {
        if (kind == bvNone) return;
        const QColor topLeft = kind == bvLowered ? dark : light;
        const QColor bottomRight = kind == bvLowered ? light : dark;
        for (int i = 0; i < BevelWidth && r.width() > 1 && r.height() > 1; ++i) {
            p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
            r.adjust(1, 1, -1, -1);
        }
    };
    bevel(BevelOuter);
    r.adjust(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    bevel(BevelInner);
}

}  // namespace plumo
