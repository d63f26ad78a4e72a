#include "style/control_subclass.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "style/xp_menu.h"

namespace plumo {

// A caption's width as shown: a single "&" marks the mnemonic and takes no room.
int TControlSubClass::captionWidth(const QFontMetrics& fm, QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return fm.horizontalAdvance(text);
}

TControlSubClass::TControlSubClass(TXPMenu* xpmenu, QWidget* control, ControlKind kind)
    : QObject(xpmenu), control_(control), kind_(kind), xpmenu_(xpmenu) {
    control->installEventFilter(this);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) savedFrame_ = edit->hasFrame();
    if (auto* button = qobject_cast<QAbstractButton*>(control);
        button && (kind == ControlKind::CheckBox || kind == ControlKind::RadioButton)) {
        // A changed check state takes the hot look away.
        connect(button, &QAbstractButton::toggled, this, [this] {
            hot_ = false;
            refresh();
        });
    }
    connect(control, &QObject::destroyed, this, [this] {
        xpmenu_->detached(this);
        deleteLater();
    });
}

TControlSubClass::~TControlSubClass() {
    if (control_) control_->removeEventFilter(this);
}

void TControlSubClass::detach() {
    if (control_) {
        control_->removeEventFilter(this);
        if (auto* edit = qobject_cast<QLineEdit*>(control_.data())) edit->setFrame(savedFrame_);
        control_->update();
    }
    control_ = nullptr;
    xpmenu_->detached(this);
    deleteLater();
}

void TControlSubClass::refresh() {
    if (control_) control_->update();
}

bool TControlSubClass::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_) return false;
    const bool windowless = kind_ == ControlKind::SpeedButton;
    if (!xpmenu_->Active()) {
        const bool swallow = windowless && event->type() == QEvent::Paint;
        detach();
        return swallow;
    }
    lastMessage_ = event->type();
    switch (event->type()) {
        case QEvent::Paint:
            recreating_ = false;
            // A speed button is drawn by the overlay alone; other controls paint first.
            if (!windowless) static_cast<QObject*>(control_.data())->event(event);
            paint();
            return true;
        case QEvent::Enter:
        case QEvent::Leave:
            if (control_->isEnabled()) {
                hot_ = event->type() == QEvent::Enter;
                refresh();
            }
            break;
        case QEvent::FocusIn:
            hot_ = true;
            refresh();
            break;
        case QEvent::FocusOut:
            hot_ = false;
            refresh();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Qt already treats a double-click as a second press.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                mouseDown_ = true;
                refresh();
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                mouseDown_ = false;
                refresh();
            }
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
                spaceDown_ = true;
                if (!spaceRepeat_) refresh();
                spaceRepeat_ = true;
            }
            break;
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
                !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
                spaceDown_ = false;
                spaceRepeat_ = false;
                refresh();
            }
            break;
        case QEvent::EnabledChange:
            if (!control_->isEnabled()) hot_ = false;
            refresh();
            break;
        case QEvent::PaletteChange:
        case QEvent::FontChange:
        case QEvent::ParentChange:
            refresh();
            break;
        default:
            break;
    }
    return false;
}

bool TControlSubClass::trueXPStyle() const {
    return xpmenu_->ControlUseTrueXPStyle() && tagOf(control_) != kTagNoTrueXPStyle;
}

TColor TControlSubClass::parentBackground() const {
    const QWidget* parent = control_->parentWidget();
    if (!parent) return controlColour();
    return fromQColor(parent->palette().color(parent->backgroundRole()));
}

TColor TControlSubClass::controlColour() const {
    return fromQColor(control_->palette().color(control_->backgroundRole()));
}

void TControlSubClass::paint() {
    if (!control_ || tagOf(control_) < 0) return;
    if (kind_ != ControlKind::SpeedButton) focused_ = control_->hasFocus();
    QPainter painter(control_);
    GdiCanvas c(painter);
    const DerivedColours d = xpmenu_->setUpColours();
    switch (kind_) {
        case ControlKind::Edit:
            paintEdit(c, d);
            break;
        case ControlKind::CheckBox:
            paintCheckBox(c, d);
            break;
        case ControlKind::RadioButton:
            paintRadioButton(c, d);
            break;
        case ControlKind::BitBtn:
        case ControlKind::Button:
            paintButton(c, d);
            break;
        case ControlKind::SpeedButton:
            if (control_->isVisible()) paintSpeedButton(c, d);
            break;
        case ControlKind::Panel:
            paintPanel(c);
            break;
        case ControlKind::GroupBox:
            paintGroupBox(c);
            break;
        case ControlKind::UpDown:
            break;
    }
}

}  // namespace plumo
