// The overlays of the buttons: speed buttons, drawn by the overlay alone, and push buttons.

#include "style/control_subclass.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "style/menu_style.h"
#include "style/speed_button.h"
#include "style/xp_menu.h"

namespace plumo {

namespace {

TColor addToColour(TColor colour, TColor amount) { return (colour + amount) & 0xFFFFFF; }

}  // namespace

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

}  // namespace plumo
