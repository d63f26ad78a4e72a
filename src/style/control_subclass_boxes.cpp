// The overlays of the boxes: edits, check boxes, radio buttons, panels and group boxes.

#include "style/control_subclass.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "style/speed_button.h"
#include "style/xp_menu.h"

namespace plumo {

void TControlSubClass::paintEdit(GdiCanvas& c, const DerivedColours& d) {
    auto* edit = static_cast<QLineEdit*>(control_.data());
    TXPMenu& x = *xpmenu_;
    if (edit->hasFrame()) {
        recreating_ = true;
        edit->setFrame(false);  // our one-pixel border takes the sunken frame's place
    }
    const int depth = x.displayDepth();
    const TColor border =
        (hot_ || focused_) ? Lighten(d.selectBorder, 60, depth) : Darken(parentBackground(), 60);
    if (trueXPStyle()) {
        const QColor surface = toQColor(x.BtnSurfaceNormalColor);
        if (edit->palette().color(QPalette::Base) != surface) {
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, surface);
            edit->setPalette(palette);
        }
    }
    c.frame({0, 0, edit->width(), edit->height()}, border);
}

namespace {

// The square of a check box's or radio button's mark: as wide as a scroll bar or the
// style's indicator, whichever is larger, centred in the control's height less `inset`
// above and below, at its leading edge.
WinRect indicatorSquare(const QWidget* control, QStyle::PixelMetric indicatorHeight, int inset) {
    const int Z =
        std::max(control->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, control),
                 control->style()->pixelMetric(indicatorHeight, nullptr, control));
    WinRect b{0, inset, control->width(), control->height() - inset};
    b.top = b.top + (b.height() - Z) / 2;
    b.bottom = b.top + Z;
    if (control->layoutDirection() == Qt::RightToLeft)
        b.left = b.right - Z + 1;
    else
        b.right = b.left + Z - 1;
    return b;
}

}  // namespace

void TControlSubClass::paintCheckBox(GdiCanvas& c, const DerivedColours& d) {
    auto* box = static_cast<QCheckBox*>(control_.data());
    TXPMenu& x = *xpmenu_;
    const bool enabled = box->isEnabled();
    const bool grey = box->checkState() == Qt::PartiallyChecked;
    TColor brush = (hot_ || focused_) ? d.selectFill : x.resolve(clWindow);
    TColor pen = (hot_ || focused_) ? d.selectBorder : x.resolve(clBtnShadow);
    if (spaceDown_ || mouseDown_) brush = d.selectedCheckFill;
    if (grey) brush = clSilver;

    WinRect b = indicatorSquare(box, QStyle::PM_IndicatorHeight, 3);
    const bool trueXP = trueXPStyle();
    if (trueXP) b.right += 1;
    c.fill(b, controlColour());
    b = {b.left + 2, b.top + 2, b.right - 2, b.bottom - 2};
    if (trueXP) {
        const TColor surface = mouseDown_ ? x.BtnSurfaceDownColor : x.BtnSurfaceNormalColor;
        const TColor outline =
            (enabled || mouseDown_) ? x.BtnOutLineBorderColor : x.ControlDisabledBorderColor;
        c.rectangle(b, outline, surface);
        if (hot_)
            c.frame({b.left + 1, b.top + 1, b.right - 1, b.bottom - 1}, x.BtnInnerBorderMoveColor);
    } else {
        c.rectangle(b, pen, brush);
    }
    if (box->isChecked() || grey) {
        TColor mark;
        if (trueXP)
            mark = x.RdoChkControlChkColor;
        else if (!enabled)
            mark = d.disabledText;
        else if (spaceDown_ || mouseDown_)
            mark = x.resolve(clWindow);
        else
            mark = grey ? clGray : x.resolve(clHighlight);
        const int shift = trueXP ? 1 : 0;
        if (grey) {
            c.fill({b.left + 2, b.top + 3, b.right - 3, b.bottom - 3}, x.RdoChkControlChkColor);
        } else {
            for (int i = 0; i < 3; ++i) {
                c.line(b.left + 2 + shift, b.bottom - i - 5, b.left + 4 + shift, b.bottom - i - 3,
                       mark);
                c.line(b.left + 4 + shift, b.bottom - i - 3, b.left + 9 + shift, b.bottom - i - 8,
                       mark);
            }
        }
    }
}

void TControlSubClass::paintRadioButton(GdiCanvas& c, const DerivedColours& d) {
    auto* radio = static_cast<QRadioButton*>(control_.data());
    TXPMenu& x = *xpmenu_;
    const bool enabled = radio->isEnabled();
    TColor brush = hot_ ? d.selectFill : x.resolve(clWindow);
    const TColor pen = hot_ ? d.selectBorder : x.resolve(clBtnShadow);
    if (focused_) brush = d.selectFill;
    WinRect b = indicatorSquare(radio, QStyle::PM_ExclusiveIndicatorHeight, 4);
    const bool trueXP = trueXPStyle();
    if (trueXP) {
        b.right += 2;
        b.bottom += 2;
    }
    c.fill(b, controlColour());
    b = {b.left + 2, b.top + 2, b.right - 2, b.bottom - 2};
    if (trueXP) {
        c.ellipse(b, enabled ? x.BtnOutLineBorderColor : x.ControlDisabledBorderColor,
                  mouseDown_ ? x.BtnSurfaceDownColor : x.BtnSurfaceNormalColor);
        if (hot_)
            c.ellipse({b.left + 1, b.top + 1, b.right - 1, b.bottom - 1}, x.BtnInnerBorderMoveColor,
                      std::nullopt);
    } else {
        c.ellipse(b, pen, brush);
    }
    if (radio->isChecked()) {
        const int inset = trueXP ? 4 : 2;
        const TColor dot =
            trueXP ? x.RdoChkControlChkColor : (enabled ? x.resolve(clHighlight) : d.disabledText);
        c.ellipse({b.left + inset, b.top + inset, b.right - inset, b.bottom - inset}, dot, dot);
    }
}

void TControlSubClass::paintPanel(GdiCanvas& c) {
    if (lastMessage_ != QEvent::Paint) return;
    auto* panel = static_cast<TPanel*>(control_.data());
    const TColor colour = controlColour();
    const TColor dark = Darken(colour, 60), light = Lighten(colour, 60, xpmenu_->displayDepth());
    WinRect r{0, 0, panel->width(), panel->height()};
    auto bevel = [&](TPanel::Bevel kind) {
        if (kind == TPanel::bvNone) return;
        const TColor topLeft = kind == TPanel::bvLowered ? dark : light;
        const TColor bottomRight = kind == TPanel::bvLowered ? light : dark;
        for (int i = 0; i < panel->BevelWidth && r.width() > 1 && r.height() > 1; ++i) {
            c.fill({r.left, r.top, r.right, r.top + 1}, topLeft);
            c.fill({r.left, r.top, r.left + 1, r.bottom}, topLeft);
            c.fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
            c.fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
            r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
    };
    bevel(panel->BevelOuter);
    if (panel->BevelInner != TPanel::bvNone) {
        const int b = panel->BorderWidth;
        r = {r.left + b, r.top + b, r.right - b, r.bottom - b};
        bevel(panel->BevelInner);
    }
}

void TControlSubClass::paintGroupBox(GdiCanvas& c) {
    if (lastMessage_ != QEvent::Paint) return;
    auto* box = static_cast<QGroupBox*>(control_.data());
    const QFontMetrics fm(box->font());
    const QString caption = box->title();
    const int TH = fm.height();
    const int TW = caption.isEmpty() ? 0 : captionWidth(fm, caption);
    const TColor colour = controlColour();
    const TColor dark = Darken(colour, 60), light = Lighten(colour, 60, xpmenu_->displayDepth());
    const bool threeD = box->isFlat() == false;
    const int L = 0, T = 0, R = box->width(), B = box->height();
    c.frame({L + 1, T + TH, R - 1, B - 1}, colour);
    const int top = T + TH / 2 - 1;
    c.line(L + 1, top, L + 1, B, colour);
    c.fill({L, top, R, top + 1}, threeD ? light : dark);
    c.fill({L, top, L + 1, B}, threeD ? light : dark);
    c.fill({L, B - 1, R, B}, dark);
    c.fill({R - 1, top, R, B}, dark);
    c.fill({L, T, R, T + TH / 2 + 2}, parentBackground());
    const bool rtl = box->layoutDirection() == Qt::RightToLeft;
    const int captionLeft = rtl ? R - 9 - TW : L + 9;
    const int captionRight = captionLeft + TW;
    c.fill({captionLeft, T + TH / 2 + 2, captionRight, T + TH / 2 + 2 + TH / 2 + 1}, colour);
    c.line(R - 2, T + TH / 2 + 2, R - 2, T + TH, colour);
    QPainter& p = c.painter();
    p.setFont(box->font());
    p.setPen(box->palette().color(box->foregroundRole()));
    p.drawText(QRect(captionLeft, T, TW + 1, TH),
               Qt::TextShowMnemonic | Qt::TextSingleLine | (rtl ? Qt::AlignRight : Qt::AlignLeft),
               caption);
    const int y = T + TH / 2 + 1;
    const TColor lineColour = threeD ? light : dark;
    c.line(L, y, captionLeft, y, lineColour);
    c.line(captionRight, y, R - 1, y, lineColour);
}

}  // namespace plumo
