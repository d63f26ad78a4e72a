#include "style/speed_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include "style/xp_menu.h"
#include "style_fixture.h"

namespace plumo {
namespace {

using test::at;
using test::Rgb;
using test::rgbOf;

const Rgb kOutline{0, 60, 115};
const Rgb kSurface{255, 251, 247};
const Rgb kBottomLine{231, 231, 222};
const Rgb kPanel{200, 210, 220};

// The command panel: four caption-only speed buttons on a panel without bevels.
class CommandPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        owner->resize(168, 93);
        panel = new TPanel(owner.get());
        panel->BevelOuter = TPanel::bvNone;
        panel->setGeometry(5, 4, 72, 86);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor(kPanel.r, kPanel.g, kPanel.b));
        panel->setPalette(palette);
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(11);
        owner->setFont(font);
        const char* captions[] = {"Memo", "Month", "Hide", "Set"};
        for (int i = 0; i < 4; ++i) {
            buttons[i] = new TSpeedButton(QString::fromLatin1(captions[i]), panel);
            buttons[i]->setGeometry(1, 2 + 20 * i, 69, 19);
        }
        xp = new TXPMenu(owner.get());
        test::useClassicDesktop(*xp);
        owner->show();
    }

    QImage grabButton(QWidget* button) {
        return panel->grab(button->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    void send(QWidget* to, QEvent::Type type) {
        if (type == QEvent::Enter) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(to, &enter);
        } else {
            QMouseEvent mouse(type, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(to, &mouse);
        }
    }

    // Left and right edge of the caption's ink (dark pixels) inside the surface.
    static std::pair<int, int> inkSpan(const QImage& image) {
        int left = image.width(), right = -1;
        for (int y = 2; y < image.height() - 3; ++y)
            for (int x = 2; x < image.width() - 2; ++x) {
                const Rgb c = at(image, x, y);
                if (c.r < 100 && c.g < 100 && c.b < 100) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        return {left, right};
    }

    std::unique_ptr<QWidget> owner;
    TPanel* panel;
    TSpeedButton* buttons[4];
    TXPMenu* xp;
};

TEST_F(CommandPanelTest, ButtonAtRestHotAndPressed) {
    xp->setActive(true);
    EXPECT_EQ(xp->attachedCount(), 5);  // the panel and its four buttons
    TSpeedButton* button = buttons[0];
    const int W = button->width(), H = button->height();

    const QImage rest = grabButton(button);
    EXPECT_EQ(at(rest, 0, H / 2), kOutline);
    EXPECT_EQ(at(rest, W - 1, H / 2), kOutline);
    EXPECT_EQ(at(rest, 6, 4), kSurface);
    EXPECT_EQ(at(rest, 6, H - 2), kBottomLine);
    EXPECT_EQ(at(rest, 0, 0), kPanel);  // the corner is rounded off
    // The panel around the buttons keeps its plain fill.
    EXPECT_EQ(at(panel->grab().toImage(), 71, 85), kPanel);

    send(button, QEvent::Enter);
    const QImage hot = grabButton(button);
    EXPECT_EQ(at(hot, 0, H / 2), kOutline);
    EXPECT_EQ(at(hot, 1, H / 2), (Rgb{255, 180, 51}));  // the inner ring, drawn second
    EXPECT_EQ(at(hot, 6, H - 2), (Rgb{255, 178, 49}));  // the outer ring's bottom
    EXPECT_EQ(at(hot, 6, H - 3), (Rgb{255, 180, 51}));
    EXPECT_EQ(at(hot, 6, 4), kSurface);
    EXPECT_EQ(at(grabButton(buttons[1]), 1, H / 2), kSurface);  // only one is hot

    send(button, QEvent::MouseButtonPress);
    const QImage pressed = grabButton(button);
    EXPECT_EQ(at(pressed, 0, H / 2), kOutline);
    EXPECT_EQ(at(pressed, 6, 4), (Rgb{231, 231, 222}));
    EXPECT_EQ(at(pressed, 1, H / 2), (Rgb{231, 231, 222}));
    EXPECT_EQ(at(pressed, 6, H - 2), (Rgb{239, 235, 231}));

    send(button, QEvent::MouseButtonRelease);
    EXPECT_EQ(at(grabButton(button), 1, H / 2), (Rgb{255, 180, 51}));  // still under the mouse
}

TEST_F(CommandPanelTest, CaptionSitsTwoPixelsRightOfCentre) {
    xp->setActive(true);
    TSpeedButton* button = buttons[1];
    const auto [left, right] = inkSpan(grabButton(button));
    ASSERT_GE(right, left);
    button->Spacing = 0;  // no spacing: the caption is centred
    const auto [centredLeft, centredRight] = inkSpan(grabButton(button));
    EXPECT_EQ(left - centredLeft, 2);
    EXPECT_EQ(right - centredRight, 2);
    EXPECT_NEAR((centredLeft + centredRight + 1) / 2.0, button->width() / 2.0, 1.5);
}

TEST_F(CommandPanelTest, DisabledButtonIsOutlinedInLightShadowWithAPaleCaption) {
    xp->setActive(true);
    TSpeedButton* button = buttons[2];
    button->setEnabled(false);
    send(button, QEvent::Enter);  // ignored while disabled
    const QImage image = grabButton(button);
    const int H = button->height();
    EXPECT_EQ(at(image, 0, H / 2), (Rgb{197, 194, 184}));
    EXPECT_EQ(at(image, 1, H / 2), kSurface);
    EXPECT_EQ(at(image, 6, H - 2), kBottomLine);
    const auto [left, right] = inkSpan(image);
    EXPECT_LT(right, left) << "no dark caption pixels";
    bool caption = false;
    for (int x = 10; x < button->width() - 10; ++x)
        for (int y = 3; y < H - 3; ++y) caption = caption || at(image, x, y) != kSurface;
    EXPECT_TRUE(caption);
}

TEST_F(CommandPanelTest, TaggedControlsKeepTheirOwnLook) {
    buttons[0]->setProperty("Tag", kTagKeepOwnLook);
    auto* other = new TPanel(owner.get());
    other->setProperty("Tag", kTagKeepOwnLook);
    auto* inside = new TSpeedButton(QStringLiteral("x"), other);
    inside->setGeometry(0, 0, 40, 19);
    xp->setActive(true);
    EXPECT_EQ(xp->attachedCount(), 4);  // the panel and three of its buttons
    EXPECT_NE(at(grabButton(buttons[0]), 6, 4), kSurface);
    EXPECT_EQ(at(grabButton(buttons[1]), 6, 4), kSurface);
    EXPECT_NE(at(other->grab(inside->geometry()).toImage(), 6, 4), kSurface);
}

TEST_F(CommandPanelTest, ControlsReturnToTheirOwnLookAfterDeactivation) {
    xp->setActive(true);
    TSpeedButton* button = buttons[3];
    EXPECT_EQ(at(grabButton(button), 0, button->height() / 2), kOutline);
    xp->setActive(false);
    // The next event each control sees detaches it.
    for (TSpeedButton* b : buttons) send(b, QEvent::Enter);
    send(panel, QEvent::Enter);
    EXPECT_EQ(xp->attachedCount(), 0);
    const QImage own = grabButton(button);
    EXPECT_NE(at(own, 0, button->height() / 2), kOutline);
    EXPECT_NE(at(own, 6, 4), kSurface);
}

}  // namespace
}  // namespace plumo
