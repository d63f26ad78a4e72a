#pragma once

// The owner-draw stand-in: a proxy style that measures and draws the items of the menus a
// TXPMenu hooked, and hands everything else to the application's style.

#include <QImage>
#include <QProxyStyle>
#include <QString>
#include <functional>

#include "style/gdi_canvas.h"
#include "style/xp_colours.h"

class QAction;

namespace plumo {

class TXPMenu;

// What the measuring and drawing of one item needs to know about it.
struct MenuItemInfo {
    QString caption;   // without the shortcut
    QString shortcut;  // as text; empty when none
    bool separator = false;
    bool checkable = false;
    bool radio = false;
    bool checked = false;
    bool enabled = true;
    bool selected = false;
    bool defaultItem = false;
    bool topLevel = false;  // an item of a menu bar
    bool rightToLeft = false;
    QImage image;  // null when the item has none
};

// The state an image or caption is drawn in.
struct ItemDrawState {
    bool selected = false;
    bool enabled = true;
    bool checked = false;
};

// Draws an item image at (x, y): dimmed when resting, grey when disabled, with a shadow
// when selected; its bottom-left pixel's colour is see-through.
void drawItemImage(GdiCanvas& canvas, const QImage& image, int x, int y, ItemDrawState state,
                   const DerivedColours& colours, int dimLevel, int grayLevel, int depthBits);

// Draws a caption in r, centred vertically on the height of "W", with "&" marking the
// mnemonic. A default item is drawn with the embossed five-pass look; backgroundAt tells
// the colour under a point for it.
void drawItemText(GdiCanvas& canvas, const QFont& font, WinRect r, const QString& text,
                  TColor colour, bool defaultLook, bool rightToLeft,
                  const std::function<TColor(int, int)>& backgroundAt);

class XPMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit XPMenuStyle(TXPMenu* menu);

    // The item's size: the platform's proposal raised to fit caption, shortcut and image.
    QSize measureItem(const MenuItemInfo& item, QSize proposal) const;
    // Draws the item into rect (Qt's rectangle of the item).
    void drawItem(QPainter* painter, const MenuItemInfo& item, const QRect& rect,
                  const QWidget* window) const;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

    // The width an item needs to show its caption and shortcut as drawItem places them;
    // 0 for separators and menu-bar items.
    int drawnWidth(const MenuItemInfo& item) const;

private:
    // Room left after the caption's last letter, at the least.
    static constexpr int kTextEndMargin = 3;
    // The room a pop-up menu adds to every owner-drawn item's measured width: that of a
    // check mark less one pixel. It leaves room after the longest caption.
    static constexpr int kMenuCheckRoom = 12;

    bool isStyledMenu(const QWidget* widget) const;
    QAction* actionFor(const QStyleOption* option, const QWidget* widget, bool byRect) const;
    MenuItemInfo infoFrom(const QStyleOption* option, const QWidget* widget) const;
    void drawTopLevelSelection(GdiCanvas& canvas, const WinRect& r,
                               const DerivedColours& colours) const;
    void drawGradient(GdiCanvas& canvas, const WinRect& r, const DerivedColours& colours,
                      bool rightToLeft, int depthBits) const;
    void drawCheck(GdiCanvas& canvas, const WinRect& box, const MenuItemInfo& item, bool hasImage,
                   const DerivedColours& colours) const;

    TXPMenu* menu_;
};

}  // namespace plumo
