#include "calendar/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace plumo {

TUpDown::TUpDown(int min, int max, QWidget* parent)
    : QWidget(parent), min_(min), max_(max), position_(min) {
    setFixedSize(16, 24);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const bool up : {true, false}) {
        auto* button = new QToolButton(this);
        button->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(16, 12);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(up ? QStringLiteral("up") : QStringLiteral("down"));
        connect(button, &QToolButton::clicked, this, [this, up] { stepBy(up ? 1 : -1); });
        layout->addWidget(button);
    }
}

void TUpDown::setPosition(int position) { position_ = std::clamp(position, min_, max_); }

void TUpDown::stepBy(int delta) {
    setPosition(position_ + delta);
    emit Click(position_);
}

}  // namespace plumo
