#include "style/menu_style.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "style/xp_menu.h"
#include "style_fixture.h"

namespace plumo {
namespace {

using test::at;
using test::rgbOf;

class MenuStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        pmenu = new QMenu(owner.get());
        first = pmenu->addAction(QStringLiteral("显示"));
        pmenu->addSeparator();
        checked = pmenu->addAction(QStringLiteral("备忘录"));
        checked->setCheckable(true);
        checked->setChecked(true);
        last = pmenu->addAction(QStringLiteral("退出"));
        xp = new TXPMenu(owner.get());
        test::useClassicDesktop(*xp);
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(11);
        xp->systemMenuFont = [font] { return font; };
        xp->setFont(font);
    }

    QImage grabMenu() {
        pmenu->ensurePolished();
        pmenu->adjustSize();
        return pmenu->grab().toImage();
    }

    XPMenuStyle& style() { return *static_cast<XPMenuStyle*>(pmenu->style()); }

    std::unique_ptr<QWidget> owner;
    QMenu* pmenu;
    QAction* first;
    QAction* checked;
    QAction* last;
    TXPMenu* xp;
};

TEST_F(MenuStyleTest, OnlyMenusThatExistWhenActivatedAreStyled) {
    first->setProperty("Tag", kTagKeepOwnLook);
    xp->setActive(true);
    auto* later = new QMenu(owner.get());
    later->addAction(QStringLiteral("换装"));
    EXPECT_NE(dynamic_cast<XPMenuStyle*>(pmenu->style()), nullptr);
    EXPECT_EQ(dynamic_cast<XPMenuStyle*>(later->style()), nullptr);
    EXPECT_FALSE(xp->isHooked(first));
    EXPECT_TRUE(xp->isHooked(last));

    // An item added at run time is taken over once a sibling has been drawn.
    QAction* added = pmenu->addAction(QStringLiteral("关于"));
    EXPECT_FALSE(xp->isHooked(added));
    grabMenu();
    EXPECT_TRUE(xp->isHooked(added));
    EXPECT_FALSE(xp->isHooked(first));

    xp->setActive(false);
    EXPECT_EQ(dynamic_cast<XPMenuStyle*>(pmenu->style()), nullptr);
    EXPECT_FALSE(xp->isHooked(last));
}

TEST_F(MenuStyleTest, MeasuresSeparatorsShortcutsAndTheIconStrip) {
    xp->setActive(true);
    const QFontMetrics fm(xp->Font());
    MenuItemInfo separator;
    separator.separator = true;
    EXPECT_EQ(style().measureItem(separator, QSize(2, 2)).height(), 4);

    MenuItemInfo plain;
    plain.caption = QStringLiteral("打开");
    const QSize plainSize = style().measureItem(plain, QSize(1, 1));
    EXPECT_EQ(plainSize.width(), fm.horizontalAdvance(plain.caption) + 5 + 24);
    const int th = fm.height();
    EXPECT_NEAR(plainSize.height(), th * 1.75, 0.5);

    MenuItemInfo withShortcut = plain;
    withShortcut.shortcut = QStringLiteral("Ctrl+O");
    EXPECT_EQ(style().measureItem(withShortcut, QSize(1, 1)).width(),
              fm.horizontalAdvance(QStringLiteral("打开Ctrl+OWWW")) + 5 + 24);

    // A small image still takes the whole strip; a large one widens and heightens the item.
    MenuItemInfo small = plain;
    small.image = QImage(16, 16, QImage::Format_ARGB32);
    EXPECT_EQ(style().measureItem(small, QSize(1, 1)).width(), plainSize.width());
    MenuItemInfo large = plain;
    large.image = QImage(32, 40, QImage::Format_ARGB32);
    EXPECT_EQ(style().measureItem(large, QSize(1, 1)),
              QSize(fm.horizontalAdvance(plain.caption) + 5 + 32, 46));

    // The platform's proposal is only ever raised.
    EXPECT_EQ(style().measureItem(plain, QSize(500, 60)), QSize(500, 60));
    // A mnemonic marker takes no room.
    MenuItemInfo mnemonic = plain;
    mnemonic.caption = QStringLiteral("&Open");
    EXPECT_EQ(style().measureItem(mnemonic, QSize(1, 1)).width(),
              fm.horizontalAdvance(QStringLiteral("Open")) + 5 + 24);
}

TEST_F(MenuStyleTest, ItemsSeparatorAndCheckBoxDrawInTheFlatColours) {
    xp->setActive(true);
    pmenu->setActiveAction(last);
    const QImage image = grabMenu();
    const DerivedColours d = xp->setUpColours();

    const QRect selected = pmenu->actionGeometry(last);
    // Selected: a fill inside a one-pixel border, one pixel in from the top.
    EXPECT_EQ(at(image, selected.left() + 40, selected.top() + 1), rgbOf(d.selectBorder));
    EXPECT_EQ(at(image, selected.left() + 40, selected.top() + 3), rgbOf(d.selectFill));
    EXPECT_EQ(at(image, selected.left(), selected.center().y()), rgbOf(d.selectBorder));
    EXPECT_EQ(at(image, selected.right(), selected.center().y()), rgbOf(d.selectBorder));

    // At rest: the icon strip, then the item background.
    const QRect rest = pmenu->actionGeometry(first);
    EXPECT_EQ(at(image, rest.left() + 2, rest.top() + 1), rgbOf(d.iconStrip));
    EXPECT_EQ(at(image, rest.left() + 23, rest.top() + 1), rgbOf(d.iconStrip));
    EXPECT_EQ(at(image, rest.left() + 24, rest.top() + 1), rgbOf(d.itemBack));
    EXPECT_EQ(at(image, rest.right() - 2, rest.top() + 1), rgbOf(d.itemBack));

    // The separator: 4 pixels high, its line from 7 pixels into the text area.
    const QRect sep = pmenu->actionGeometry(pmenu->actions().at(1));
    ASSERT_EQ(sep.height(), 4);
    const int lineY = sep.top() + 2;
    EXPECT_EQ(at(image, sep.left() + 24 + 7, lineY), rgbOf(d.separator));
    EXPECT_EQ(at(image, sep.left() + 24 + 6, lineY), rgbOf(d.itemBack));
    EXPECT_EQ(at(image, sep.left() + 24 + 7, lineY - 1), rgbOf(d.itemBack));

    // A checked item without an image: a 10 x 10 box centred in the strip.
    const QRect item = pmenu->actionGeometry(checked);
    const int boxTop = item.top() + (item.height() + 1 - 10) / 2;
    const int boxLeft = item.left() + 7;
    EXPECT_EQ(at(image, boxLeft - 1, boxTop + 1), rgbOf(d.iconStrip));
    EXPECT_EQ(at(image, boxLeft, boxTop + 1), rgbOf(d.checkBorder));
    EXPECT_EQ(at(image, boxLeft + 9, boxTop + 8), rgbOf(d.checkBorder));
    EXPECT_EQ(at(image, boxLeft + 10, boxTop + 8), rgbOf(d.iconStrip));
    EXPECT_EQ(at(image, boxLeft + 3, boxTop), rgbOf(d.checkBorder));
    EXPECT_EQ(at(image, boxLeft + 3, boxTop + 9), rgbOf(d.checkBorder));
    EXPECT_EQ(at(image, boxLeft + 3, boxTop - 1), rgbOf(d.iconStrip));
    EXPECT_EQ(at(image, boxLeft + 8, boxTop + 1), rgbOf(d.checkFill));
    // The tick is black and reaches out of the box at the top right.
    EXPECT_EQ(at(image, boxLeft + 4, boxTop + 7), (test::Rgb{0, 0, 0}));
    EXPECT_EQ(at(image, boxLeft + 10, boxTop + 1), (test::Rgb{0, 0, 0}));
}

TEST_F(MenuStyleTest, PoppedUpMenuHoldsItsCaptionsAndKeepsItsSize) {
    // As in the companion window: a stored font smaller than the system menu font.
    QFont stored(QStringLiteral("Sans"));
    stored.setPixelSize(11);
    QFont system(QStringLiteral("Sans"));
    system.setPixelSize(15);
    xp->setFont(stored);
    xp->systemMenuFont = [system] { return system; };
    first->setText(QStringLiteral("显示小秘书"));
    xp->setActive(true);

    pmenu->popup(QPoint(10, 10));
    pmenu->grab();  // a first drawing
    const QSize firstSize = pmenu->size();
    const QFontMetrics fm(xp->Font());
    const QRect item = pmenu->actionGeometry(first);
    EXPECT_GE(item.width(), xp->IconWidth + 3 + fm.horizontalAdvance(" " + first->text()));
    EXPECT_GE(pmenu->actionGeometry(checked).width(),
              xp->IconWidth + 3 + fm.horizontalAdvance(" " + checked->text()));
    pmenu->hide();

    // The caption toggles to one of the same length; the menu is measured again.
    first->setText(QStringLiteral("隐藏小秘书"));
    pmenu->popup(QPoint(10, 10));
    EXPECT_EQ(pmenu->width(), firstSize.width());
    EXPECT_EQ(pmenu->height(), firstSize.height());
    pmenu->hide();
}

TEST_F(MenuStyleTest, LongestCaptionEndsWellBeforeTheBorder) {
    xp->setActive(true);
    const QImage image = grabMenu().convertToFormat(QImage::Format_RGB32);
    const DerivedColours d = xp->setUpColours();
    // The ink of "备忘录", the longest caption, on its item's background.
    const QRect item = pmenu->actionGeometry(checked);
    int inkRight = -1;
    for (int y = item.top() + 2; y < item.bottom() - 1; ++y)
        for (int x = item.left() + xp->IconWidth; x <= item.right(); ++x)
            if (at(image, x, y) != rgbOf(d.itemBack)) inkRight = std::max(inkRight, x);
    ASSERT_GT(inkRight, item.left() + xp->IconWidth);
    EXPECT_GE(image.width() - 1 - inkRight, 8);
}

TEST_F(MenuStyleTest, DisabledItemsShowNoSelectionAndAGreyLightenedIcon) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) icon.setPixel(x, y, qRgb(0, 0, 0));
    last->setIcon(QIcon(QPixmap::fromImage(icon)));
    last->setEnabled(false);
    xp->setActive(true);
    const DerivedColours d = xp->setUpColours();
    MenuItemInfo info;
    info.caption = QStringLiteral("退出");
    info.enabled = false;
    info.selected = true;
    info.image = icon;
    QImage canvas(120, 24, QImage::Format_RGB32);
    {
        QPainter p(&canvas);
        style().drawItem(&p, info, QRect(0, 0, 120, 23), nullptr);
    }
    EXPECT_EQ(at(canvas, 60, 1), rgbOf(d.itemBack));  // no selection border
    // Icon at x = (24 - 16) / 2 - 1 = 3, y = 3, not risen: black greyed to 10, then
    // lightened by 40.
    EXPECT_EQ(at(canvas, 3 + 4, 3 + 4), (test::Rgb{108, 108, 108}));
    EXPECT_EQ(at(canvas, 3 + 3, 3 + 3), rgbOf(d.iconStrip));
}

}  // namespace
}  // namespace plumo
