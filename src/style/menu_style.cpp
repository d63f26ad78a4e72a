#include "style/menu_style.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "style/xp_menu.h"

namespace plumo {

namespace {

// round(n / d) with halves going to the even neighbour, for n >= 0, d > 0.
int roundHalfEven(int n, int d) {
    int q = n / d;
    const int twice = 2 * (n % d);
    if (twice > d || (twice == d && q % 2 != 0)) ++q;
    return q;
}

QImage imageOf(const QIcon& icon) {
    if (icon.isNull()) return {};
    const QList<QSize> sizes = icon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isSeeThrough(QRgb pixel, QRgb key) { return qAlpha(pixel) == 0 || pixel == key; }

}  // namespace

void drawItemImage(GdiCanvas& canvas, const QImage& source, int x, int y, ItemDrawState state,
                   const DerivedColours& colours, int dimLevel, int grayLevel, int depthBits) {
    if (source.isNull() || source.width() <= 0) return;
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb sourceKey = image.pixel(0, image.height() - 1);
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    const std::size_t count = std::size_t(image.width()) * std::size_t(image.height());
    if (!state.selected && state.enabled && !state.checked && colours.highColour)
        DimPixels(pixels, count, dimLevel, depthBits);
    if (!state.enabled) {
        GrayPixels(pixels, count, grayLevel);
        DimPixels(pixels, count, 40, depthBits);
    }
    if (state.selected && state.enabled && !state.checked) {
        const TColor shadow = Darken(colours.selectFill, 50);
        for (int row = 0; row < source.height(); ++row)
            for (int col = 0; col < source.width(); ++col)
                if (!isSeeThrough(source.pixel(col, row), sourceKey))
                    canvas.pixel(x + 2 + col, y + 2 + row, shadow);
    }
    // The key colour, converted like every other pixel, becomes see-through.
    const QRgb key = image.pixel(0, image.height() - 1);
    for (std::size_t i = 0; i < count; ++i)
        if (isSeeThrough(pixels[i], key)) pixels[i] = 0;
    canvas.painter().drawImage(x, y, image);
}

void drawItemText(GdiCanvas& canvas, const QFont& font, WinRect r, const QString& text,
                  TColor colour, bool defaultLook, bool rightToLeft,
                  const std::function<TColor(int, int)>& backgroundAt) {
    QPainter& p = canvas.painter();
    p.save();
    p.setFont(font);
    const QFontMetrics fm(font);
    r.top += (r.height() - fm.height()) / 2;
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignTop |
                      (rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    p.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    auto draw = [&](const WinRect& at, TColor c) {
        p.setPen(toQColor(c));
        p.drawText(QRect(at.left, at.top, std::max(at.width(), 0), std::max(at.height(), 0)), flags,
                   text);
    };
    if (defaultLook) {
        struct Pass {
            int dx, dy, widen, darken;
        };
        for (const Pass& pass :
             {Pass{1, 0, 0, 30}, Pass{1, 2, 1, 30}, Pass{0, 1, 0, 40}, Pass{1, 1, 1, 60}}) {
            const WinRect at{r.left + pass.dx, r.top + pass.dy, r.right + pass.dx + pass.widen,
                             r.bottom + pass.dy};
            draw(at, Darken(backgroundAt(at.left, at.top), pass.darken));
        }
    }
    draw(r, colour);
    p.restore();
}

XPMenuStyle::XPMenuStyle(TXPMenu* menu) : menu_(menu) {}

QSize XPMenuStyle::measureItem(const MenuItemInfo& item, QSize proposal) const {
    QString text = item.separator ? QString() : item.caption;
    if (!item.shortcut.trimmed().isEmpty()) text += item.shortcut + QStringLiteral("WWW");
    const QFontMetrics fm(menu_->itemFont());
    int w = fm.horizontalAdvance(text) + 5;
    if (text.contains(QLatin1Char('&'))) w -= fm.horizontalAdvance(QLatin1Char('&'));
    int imageWidth = item.image.isNull() ? 0 : item.image.width();
    const int imageHeight = item.image.isNull() ? 0 : item.image.height();
    if (!item.topLevel) imageWidth = std::max(imageWidth, menu_->IconWidth);
    if (imageWidth > 0) w += imageWidth;
    if (item.topLevel) w += 8;
    QSize size(std::max(proposal.width(), w), proposal.height());
    if (item.separator) {
        size.setHeight(4);
    } else {
        const int th = fm.height();
        const int h = std::max(th + roundHalfEven(th * 3, 4), imageHeight + 6);
        size.setHeight(std::max(size.height(), h));
    }
    return size;
}

int XPMenuStyle::drawnWidth(const MenuItemInfo& item) const {
    if (item.separator || item.topLevel) return 0;
    // Where drawItem puts the text: after the icon column (or a wider image), 3 pixels in,
    // behind a space; a shortcut ends 10 pixels and a space before the right edge.
    const int imageWidth = item.image.isNull() ? 0 : item.image.width();
    int textLeft = menu_->IconWidth;
    if (textLeft < imageWidth) textLeft = imageWidth + 4;
    textLeft += 3;
    const QFontMetrics fm(menu_->itemFont());
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic;
    const int caption = fm.boundingRect(QRect(), flags, QStringLiteral(" ") + item.caption).width();
    int right = kTextEndMargin;
    if (!item.shortcut.isEmpty())
        right =
            fm.horizontalAdvance(QStringLiteral("WWW") + item.shortcut + QStringLiteral(" ")) + 10;
    return textLeft + caption + right;
}

void XPMenuStyle::drawTopLevelSelection(GdiCanvas& c, const WinRect& r,
                                        const DerivedColours& d) const {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    c.fill(r, d.selectFill);
    const TColor pen = d.selectBorder;
    if (!d.highColour) {
        const TColor C = menu_->resolve(menu_->colours.MenuBarColor);
        c.line(L, B - 1, L, T, pen);
        c.line(L, T, R - 3, T, pen);
        c.line(R - 3, T, R - 3, B, pen);
        c.fill({R - 2, T + 2, R, B}, Darken(C, 70));
        c.fill({R - 2, T, R, T + 2}, C);
        return;
    }
    const TColor C = d.menuBar;
    c.line(L, B - 1, L, T, pen);
    c.line(L, T, R - 8, T, pen);
    c.line(R - 8, T, R - 8, B, pen);
    c.fill({R - 7, T, R, B}, Darken(C, 10));
    c.fill({R - 7, T + 3, R - 2, B}, Darken(C, 30));
    c.fill({R - 7, T + 5, R - 3, B}, Darken(C, 60));
    c.fill({R - 7, T + 6, R - 5, B}, Darken(C, 100));
    c.line(R - 5, T + 1, R - 1, T + 1, C);
    c.line(R - 1, T + 1, R - 1, T + 6, C);
    c.line(R - 3, T + 2, R - 2, T + 2, C);
    c.line(R - 2, T + 2, R - 2, T + 3, C);
    c.line(R - 2, T + 3, R - 3, T + 3, C);
    const TColor d10 = Darken(C, 10);
    c.line(R - 6, T + 3, R - 3, T + 3, d10);
    c.line(R - 3, T + 3, R - 3, T + 6, d10);
    c.line(R - 3, T + 6, R - 4, T + 6, d10);
    c.line(R - 4, T + 6, R - 4, T + 3, d10);
    const TColor d30 = Darken(C, 30);
    c.line(R - 5, T + 5, R - 4, T + 5, d30);
    c.line(R - 4, T + 5, R - 4, T + 9, d30);
    c.line(R - 6, T + 5, R - 6, T + 7, Darken(C, 40));
}

void XPMenuStyle::drawGradient(GdiCanvas& c, const WinRect& r, const DerivedColours& d,
                               bool rightToLeft, int depthBits) const {
    int step = 0;
    for (int i = 0; i < r.width(); ++i) {
        const int x = rightToLeft ? r.right - 1 - i : r.left + i;
        c.fill({x, r.top, x + 1, r.bottom}, Lighten(d.iconStrip, step, depthBits));
        const bool inStrip =
            rightToLeft ? x >= r.right - menu_->IconWidth + 5 : x < r.left + menu_->IconWidth + 5;
        step = std::min(step + (inStrip ? 3 : 1), 96);
    }
}

void XPMenuStyle::drawCheck(GdiCanvas& c, const WinRect& box, const MenuItemInfo& item,
                            bool hasImage, const DerivedColours& d) const {
    if (!item.checked) return;
    const TColor fill = item.selected ? d.selectedCheckFill : d.checkFill;
    if (item.radio || hasImage) {
        const TColor pen = item.enabled ? d.selectBorder : d.disabledText;
        if (!item.radio)
            c.rectangle(box, pen, fill);
        else if (hasImage)
            c.roundRect(box, 6, pen, fill);
        else
            c.ellipse(box, pen, fill);
        return;
    }
    c.rectangle(box, item.enabled ? d.checkBorder : d.disabledText, fill);
    const TColor tick = item.enabled ? clBlack : d.disabledText;
    const int L = box.left, T = box.top, R = box.right, B = box.bottom;
    c.line(L + 1, T + 5, L + 4, B - 2, tick);
    c.line(L + 2, T + 5, L + 4, B - 3, tick);
    c.line(L + 2, T + 4, L + 5, B - 3, tick);
    c.line(L + 4, B - 3, R + 2, T - 1, tick);
    c.line(L + 4, B - 2, R - 2, T + 3, tick);
}

void XPMenuStyle::drawItem(QPainter* painter, const MenuItemInfo& item, const QRect& rect,
                           const QWidget* /*window*/) const {
    const DerivedColours d = menu_->setUpColours();
    const int depth = menu_->displayDepth();
    const int iconWidth = menu_->IconWidth;
    const bool rtl = item.rightToLeft;
    GdiCanvas c(*painter);
    painter->save();
    painter->setFont(menu_->Font());

    WinRect r{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height() + 1};
    WinRect tr = r;
    const QString text = QStringLiteral(" ") + item.caption;
    const bool hasImage = !item.image.isNull() && item.image.width() > 0;
    const int imageWidth = hasImage ? item.image.width() : 0;

    const WinRect column = rtl ? WinRect{r.right - iconWidth, r.top, r.right, r.bottom}
                               : WinRect{r.left, r.top, r.left + iconWidth, r.bottom};
    WinRect box =
        hasImage ? WinRect{column.left + 1, column.top + 2, column.right - 3, column.bottom - 2}
                 : WinRect{column.left + (column.width() - 10) / 2,
                           column.top + (column.height() - 10) / 2, 0, 0};
    if (!hasImage) {
        box.right = box.left + 10;
        box.bottom = box.top + 10;
    }
    if (imageWidth > iconWidth) {
        if (rtl)
            box.left = box.right - imageWidth;
        else
            box.right = box.left + imageWidth;
    }
    if (item.topLevel) box.top -= 1;

    if (rtl) {
        tr.right = r.right - iconWidth - (item.topLevel ? 4 : 0);
        if (r.right - imageWidth < tr.right) tr.right = r.right - imageWidth - 8;
    } else {
        tr.left = r.left + iconWidth + (item.topLevel ? 4 : 0);
        if (tr.left < r.left + imageWidth) tr.left = r.left + imageWidth + 4;
    }
    if (item.topLevel) {
        if (!hasImage) {
            tr = r;
        } else if (rtl) {
            tr.right += 5;
        } else {
            tr.left -= 5;
        }
    }

    // Background.
    if (item.topLevel) {
        c.fill(r, d.menuBar);
    } else if (d.highColour && menu_->Gradient) {
        drawGradient(c, {r.left, r.top, r.right + 2, r.bottom}, d, rtl, depth);
    } else {
        c.fill(r, d.itemBack);
        c.fill(column, d.iconStrip);
    }

    // Selection.
    bool selectionDrawn = false;
    if (item.selected && menu_->DrawSelect) {
        if (item.topLevel) {
            drawTopLevelSelection(c, r, d);
            selectionDrawn = true;
        } else if (item.enabled) {
            const WinRect s{r.left, r.top + 1, r.right - (menu_->FlatMenu ? 1 : 0), r.bottom - 1};
            c.fill(s, d.selectFill);
            c.frame(s, d.selectBorder);
            selectionDrawn = true;
        }
    }

    drawCheck(c, box, item, hasImage, d);

    if (hasImage) {
        int y = column.top + 3;
        int x;
        if (item.topLevel)
            x = rtl ? column.right - imageWidth - 5 : column.left + 1;
        else if (imageWidth < iconWidth)
            x = column.left + (iconWidth - imageWidth) / 2 - 1;
        else
            x = rtl ? column.right - imageWidth - 2 : column.left + 2;
        if (item.selected && item.enabled && !item.checked && !item.topLevel) {
            x -= 1;
            y -= 1;
        }
        drawItemImage(c, item.image, x, y, {item.selected, item.enabled, item.checked}, d,
                      menu_->DimLevel, menu_->GrayLevel, depth);
    }

    if (item.separator) {
        const int y = tr.top + roundHalfEven(tr.bottom - tr.top, 2);
        if (rtl)
            c.line(tr.left, y, tr.right - 7, y, d.separator);
        else
            c.line(tr.left + 7, y, tr.right, y, d.separator);
    } else {
        if (rtl)
            tr.right -= 3;
        else
            tr.left += 3;
        TColor colour = menu_->resolve(menu_->FontColor);
        if (item.selected) colour = d.selectText;
        if (!item.enabled) colour = d.disabledText;
        if (item.selected && item.topLevel && menu_->colours.UseSystemColors)
            colour = TextOn(d.iconStrip, menu_->resolve(menu_->FontColor), depth);
        const TColor background = item.topLevel ? d.menuBar : d.itemBack;
        const TColor under = selectionDrawn ? d.selectFill : background;
        plumo::drawItemText(c, menu_->Font(), tr, text, colour, item.defaultItem && item.enabled,
                            rtl, [under](int, int) { return under; });
        if (!item.shortcut.isEmpty()) {
            const TColor shortcutColour = d.highColour ? Darken(colour, -40) : colour;
            painter->setPen(toQColor(shortcutColour));
            const QFontMetrics fm(menu_->Font());
            const int top = tr.top + (tr.height() - fm.height()) / 2;
            const QRect at = rtl ? QRect(tr.left + 10, top, tr.width() - 10, tr.bottom - top)
                                 : QRect(tr.left, top, tr.width() - 10, tr.bottom - top);
            painter->drawText(
                at, Qt::TextSingleLine | Qt::AlignTop | (rtl ? Qt::AlignLeft : Qt::AlignRight),
                item.shortcut + QStringLiteral(" "));
        }
    }
    painter->restore();
}

QAction* XPMenuStyle::actionFor(const QStyleOption* option, const QWidget* widget,
                                bool byRect) const {
    if (const auto* bar = qobject_cast<const QMenuBar*>(widget))
        return byRect ? bar->actionAt(option->rect.center()) : nullptr;
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (!menu) return nullptr;
    if (byRect) return menu->actionAt(option->rect.center());
    // While the menu is being measured the item has no place yet: find it by its text.
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item) return nullptr;
    const bool separator = item->menuItemType == QStyleOptionMenuItem::Separator;
    const QString caption = item->text.section(QLatin1Char('\t'), 0, 0);
    for (QAction* action : menu->actions()) {
        if (!action->isVisible() || action->isSeparator() != separator) continue;
        if (separator || action->text().section(QLatin1Char('\t'), 0, 0) == caption) return action;
    }
    return nullptr;
}

MenuItemInfo XPMenuStyle::infoFrom(const QStyleOption* option, const QWidget* widget) const {
    MenuItemInfo info;
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const int tab = item->text.indexOf(QLatin1Char('\t'));
    info.caption = tab < 0 ? item->text : item->text.left(tab);
    info.shortcut = tab < 0 ? QString() : item->text.mid(tab + 1);
    info.separator = item->menuItemType == QStyleOptionMenuItem::Separator ||
                     info.caption == QStringLiteral("-");
    if (info.separator) info.caption.clear();
    info.checkable = item->checkType != QStyleOptionMenuItem::NotCheckable;
    info.radio = item->checkType == QStyleOptionMenuItem::Exclusive;
    info.checked = info.checkable && item->checked;
    info.enabled = item->state & State_Enabled;
    info.selected = item->state & State_Selected;
    info.defaultItem = item->menuItemType == QStyleOptionMenuItem::DefaultItem;
    info.topLevel = qobject_cast<const QMenuBar*>(widget) != nullptr;
    info.rightToLeft = item->direction == Qt::RightToLeft;
    info.image = imageOf(item->icon);
    return info;
}

QSize XPMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& size, const QWidget* widget) const {
    if ((type == CT_MenuItem || type == CT_MenuBarItem) && menu_->Active() &&
        qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
        const QAction* action = actionFor(option, widget, type == CT_MenuBarItem);
        if (type == CT_MenuBarItem || (action && menu_->isHooked(action))) {
            // Qt gives an item exactly the measured width and adds no room of its own: the
            // room a menu adds to an owner-drawn item is added here, and the width raised to
            // hold the text where drawItem puts it.
            const MenuItemInfo info = infoFrom(option, widget);
            QSize measured = measureItem(info, size);
            if (!info.topLevel) measured.rwidth() += kMenuCheckRoom;
            return measured.expandedTo(QSize(drawnWidth(info), 0));
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

bool XPMenuStyle::isStyledMenu(const QWidget* widget) const {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    return menu && menu_->Active() && menu->style() == this;
}

int XPMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    // The items fill the menu to its edges: keep a frame around them.
    if (metric == PM_MenuPanelWidth && isStyledMenu(widget)) return std::max(base, 1);
    return base;
}

void XPMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameMenu && isStyledMenu(widget)) {
        const DerivedColours d = menu_->setUpColours();
        GdiCanvas c(*painter);
        const QRect r = option->rect;
        c.frame({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}, d.flatBorder);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void XPMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    if ((element == CE_MenuItem || element == CE_MenuBarItem) && menu_->Active() &&
        qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
        QAction* action = actionFor(option, widget, true);
        if (action && menu_->isHooked(action)) {
            drawItem(painter, infoFrom(option, widget), option->rect, widget);
            if (auto* menu = qobject_cast<QMenu*>(const_cast<QWidget*>(widget)))
                menu_->rehookSiblings(menu);
            return;
        }
    }
    if (element == CE_MenuBarEmptyArea && menu_->Active()) {
        const DerivedColours d = menu_->setUpColours();
        painter->fillRect(option->rect, toQColor(d.menuBar));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

}  // namespace plumo
