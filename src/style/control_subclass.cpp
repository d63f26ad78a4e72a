#include "style/control_subclass.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "style/menu_style.h"
#include "style/speed_button.h"
#include "style/xp_menu.h"

namespace plumo {

namespace {

// A caption's width as shown: a single "&" marks the mnemonic and takes no room.
int captionWidth(const QFontMetrics& fm, QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return fm.horizontalAdvance(text);
}

TColor addToColour(TColor colour, TColor amount) { return (colour + amount) & 0xFFFFFF; }

}  // namespace

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

void TControlSubClass::paintSpeedButton(GdiCanvas& c, const DerivedColours& d) {
    auto* button = static_cast<TSpeedButton*>(control_.data());
    TXPMenu& x = *xpmenu_;
    const int W = button->width(), H = button->height();
    const WinRect r{0, 0, W, H};
    const bool enabled = button->isEnabled();
    const bool down = button->Down();
    const bool transparent = button->Transparent;
    const bool flat = button->Flat();
    const int depth = x.displayDepth();
    const TColor btnShadow = x.resolve(clBtnShadow);

    TColor fill = hot_ ? d.selectFill : d.iconStrip;
    TColor pen = hot_ ? d.selectBorder : btnShadow;
    if (down) {
        fill = hot_ ? d.selectedCheckFill : d.checkFill;
        pen = d.selectBorder;
    }
    if (!enabled) pen = btnShadow;

    if ((down || hot_) && transparent) {
        QPainter& p = c.painter();
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.fillRect(QRect(0, 0, W, H), toQColor(Lighten(d.selectFill, depth > 16 ? 20 : 40, depth)));
        p.restore();
    }
    TColor outline = Lighten(pen, 30, depth);
    if (flat && !transparent && !down && !hot_) outline = fill;
    if (!(transparent && flat && !hot_ && !down))
        c.rectangle(r, outline, transparent ? std::nullopt : std::optional<TColor>(fill));

    const bool trueXP = trueXPStyle();
    const int arc = x.BtnRoundArc;
    if (trueXP) {
        c.fill(r, parentBackground());
        c.roundRect(r, arc, outline, x.BtnSurfaceNormalColor);
        if (enabled) c.roundRect(r, arc, x.BtnOutLineBorderColor, std::nullopt);
        c.line(arc, H - 2, W - arc, H - 2, x.BtnSurfaceBottomLineColor);
    }
    if (enabled && trueXP) {
        if (hot_ && !mouseDown_ && !spaceDown_) {
            c.roundRect({1, 1, W - 1, H - 1}, arc / 2, x.BtnInnerBorderMoveColor, std::nullopt);
            c.roundRect({1, 1, W - 1, H - 2}, arc / 2,
                        addToColour(x.BtnInnerBorderMoveColor, 131584), std::nullopt);
        } else if (mouseDown_ || spaceDown_) {
            c.roundRect(r, arc, x.BtnOutLineBorderColor, x.BtnSurfaceDownColor);
            c.line(arc, H - 2, W - arc, H - 2, x.BtnSurfaceDownBottomLineColor);
        }
    }
    if (enabled && !trueXP && !flat) {
        const TColor bevel = Darken(pen, 50);
        if (mouseDown_ || down) {
            c.line(0, H - 1, 0, 0, bevel);
            c.line(0, 0, W, 0, bevel);
        } else {
            c.line(W - 1, 0, W - 1, H - 1, bevel);
            c.line(W - 1, H - 1, 0, H - 1, bevel);
        }
    }

    // Caption and glyph.
    const QString caption = button->text();
    const QFont font = button->font();
    const QFontMetrics fm(font);
    const int TW = captionWidth(fm, caption), TH = fm.height();
    const bool rtl = button->layoutDirection() == Qt::RightToLeft;
    const int glyphs = std::max(button->NumGlyphs, 1);
    const QPixmap& strip = button->Glyph;
    const int GW = strip.isNull() ? 0 : strip.width() / glyphs;
    const int GH = strip.isNull() ? 0 : strip.height();
    const int S = caption.isEmpty() ? 0 : button->Spacing;
    TSpeedButton::ButtonLayout layout = button->Layout;
    if (rtl && layout == TSpeedButton::blGlyphLeft)
        layout = TSpeedButton::blGlyphRight;
    else if (rtl && layout == TSpeedButton::blGlyphRight)
        layout = TSpeedButton::blGlyphLeft;
    int ix = 0, iy = 0;
    WinRect text{0, 0, W, H};
    switch (layout) {
        case TSpeedButton::blGlyphLeft:
            ix = (W - (S + GW + TW)) / 2;
            iy = (H - GH) / 2 - 1;
            text.left = ix + GW + S;
            break;
        case TSpeedButton::blGlyphRight:
            ix = (S + GW + TW + W) / 2 - GW;
            iy = (H - GH) / 2;
            text.left = ix - S - TW;
            break;
        case TSpeedButton::blGlyphTop:
            ix = (W - GW) / 2;
            iy = (H - (GH + S + TH)) / 2;
            text = {(W - TW) / 2, iy + GH + S, W, iy + GH + S + TH};
            break;
        case TSpeedButton::blGlyphBottom:
            ix = (W - GW) / 2;
            iy = (GH + S + TH + H) / 2 - GH;
            text = {(W - TW) / 2, iy - S - TH, W, iy - S};
            break;
    }
    text.right = std::max(text.right, text.left + TW);
    if (GW > 0) {
        int index = 0;
        if (!enabled && glyphs >= 2) index = 1;
        if (mouseDown_ && glyphs >= 3) index = 2;
        if (down && glyphs >= 4) index = 3;
        const QImage image = strip.copy(index * GW, 0, GW, GH).toImage();
        drawItemImage(c, image, ix, iy + 1, {hot_, enabled, down || mouseDown_}, d, x.DimLevel,
                      x.GrayLevel, depth);
    }
    const TColor textColour =
        enabled ? fromQColor(button->palette().color(button->foregroundRole())) : d.disabledText;
    drawItemText(c, font, text, caption, textColour, false, rtl, [](int, int) { return 0u; });
}

void TControlSubClass::paintButton(GdiCanvas& c, const DerivedColours& d) {
    auto* button = static_cast<QPushButton*>(control_.data());
    TXPMenu& x = *xpmenu_;
    const int W = button->width(), H = button->height();
    const WinRect r{0, 0, W, H};
    const bool enabled = button->isEnabled();
    const int depth = x.displayDepth();
    TColor fill, pen;
    if (hot_ || spaceDown_) {
        fill = Lighten(x.resolve(clBtnFace), 60, depth);
        pen = Lighten(d.selectBorder, 60, depth);
    } else {
        fill = d.iconStrip;
        pen = x.resolve(clBtnShadow);
    }
    if (focused_ && !hot_) pen = Lighten(d.selectBorder, 60, depth);
    c.fill(r, parentBackground());
    const TColor outline = Lighten(pen, 30, depth);
    const bool trueXP = trueXPStyle();
    const int arc = x.BtnRoundArc;
    if (trueXP) {
        c.roundRect(r, arc, outline, x.BtnSurfaceNormalColor);
        if (enabled) c.roundRect(r, arc, x.BtnOutLineBorderColor, std::nullopt);
        c.line(arc, H - 2, W - arc, H - 2, x.BtnSurfaceBottomLineColor);
    } else {
        c.roundRect(r, arc, outline, fill);
    }
    const bool pressed = (mouseDown_ && hot_) || spaceDown_;
    if (enabled && trueXP) {
        if (mouseDown_ || spaceDown_) {
            c.roundRect(r, arc, x.BtnOutLineBorderColor, x.BtnSurfaceDownColor);
            c.line(arc, H - 2, W - arc, H - 2, x.BtnSurfaceDownBottomLineColor);
        } else if (hot_ || focused_) {
            const TColor ring = hot_ ? x.BtnInnerBorderMoveColor : x.BtnInnerBorderFocusColor;
            c.roundRect({1, 1, W - 1, H - 1}, arc / 2, ring, std::nullopt);
            c.roundRect({1, 1, W - 1, H - 2}, arc / 2, addToColour(ring, hot_ ? 131584 : 131586),
                        std::nullopt);
        }
    }
    if (enabled && !trueXP) {
        const TColor bevel = Darken(pen, 50);
        if (pressed) {
            c.line(0, H - 2, 0, 1, bevel);
            c.line(0, 1, 1, 0, bevel);
            c.line(1, 0, W - 1, 0, bevel);
        } else {
            c.line(W - 1, 1, W - 1, H - 2, bevel);
            c.line(W - 1, H - 2, W - 2, H - 1, bevel);
            c.line(W - 2, H - 1, 0, H - 1, bevel);
        }
    }
    const QFontMetrics fm(button->font());
    const int TW = captionWidth(fm, button->text());
    const TColor textColour =
        enabled ? fromQColor(button->palette().color(button->foregroundRole())) : d.disabledText;
    drawItemText(c, button->font(), {(W - TW) / 2, 0, std::max(W, (W - TW) / 2 + TW), H},
                 button->text(), textColour, button->isDefault() && enabled,
                 button->layoutDirection() == Qt::RightToLeft,
                 [this](int, int) { return xpmenu_->BtnSurfaceNormalColor; });
}

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

void TControlSubClass::paintCheckBox(GdiCanvas& c, const DerivedColours& d) {
    auto* box = static_cast<QCheckBox*>(control_.data());
    TXPMenu& x = *xpmenu_;
    const bool enabled = box->isEnabled();
    const bool grey = box->checkState() == Qt::PartiallyChecked;
    TColor brush = (hot_ || focused_) ? d.selectFill : x.resolve(clWindow);
    TColor pen = (hot_ || focused_) ? d.selectBorder : x.resolve(clBtnShadow);
    if (spaceDown_ || mouseDown_) brush = d.selectedCheckFill;
    if (grey) brush = clSilver;

    const int Z = std::max(box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box),
                           box->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, box));
    const int H = box->height();
    WinRect b{0, 3, box->width(), H - 3};
    b.top = b.top + (b.height() - Z) / 2;
    b.bottom = b.top + Z;
    if (box->layoutDirection() == Qt::RightToLeft)
        b.left = b.right - Z + 1;
    else
        b.right = b.left + Z - 1;
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
    const int Z =
        std::max(radio->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, radio),
                 radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, radio));
    WinRect b{0, 4, radio->width(), radio->height() - 4};
    b.top = b.top + (b.height() - Z) / 2;
    b.bottom = b.top + Z;
    if (radio->layoutDirection() == Qt::RightToLeft)
        b.left = b.right - Z + 1;
    else
        b.right = b.left + Z - 1;
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
