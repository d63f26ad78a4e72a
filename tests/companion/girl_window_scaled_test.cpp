// Her window on a screen with two device pixels per pixel: the left, primary one of two
// offscreen screens; the right one has one device pixel per pixel.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "companion/girl_window.h"
#include "companion/picture.h"
#include "companion/skin_fixture.h"
#include "fake_autostart_store.h"
#include "fake_notification_area.h"
#include "image/window_shape.h"
#include "memo/memo_schema.h"
#include "recording_player.h"
#include "settings/settings_window.h"
#include "support/fake_clock.h"
#include "support/fake_process_table.h"
#include "support/fake_program_launcher.h"
#include "support/fake_system_shutdown.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

// The factors are set before main() makes the application, which reads them once.
const bool kLeftScreenDoubled = qputenv("QT_SCREEN_SCALE_FACTORS", "left=2;right=1");

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name) return screen;
    return nullptr;
}

class ScaledCompanionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kLeftScreenDoubled);
        ASSERT_NE(screenNamed(QStringLiteral("right")), nullptr)
            << "run with the two-screen configuration";
        test::writeSkinFolder(folder.path());
        test::writeDoubleSizeSkins(folder.path());
        std::filesystem::create_directories(folder / "config");
        createMemoDatabase(folder / "config/d.ini");
        folder.write("config/config.ini", "[setting]\r\ntime=off\r\nsound=1\r\nauto=off\r\n");
    }

    std::unique_ptr<Tgirlfrm> start() {
        CompanionServices services;
        services.launcher = &launcher;
        services.processes = &processes;
        services.shutdown = &shutdown;
        services.player = &player;
        services.autostart = &autostart;
        services.anotherCopyRunning = [] { return false; };
        services.programFolder = QString::fromStdString(folder.path().string());
        auto window = std::make_unique<Tgirlfrm>(services);
        EXPECT_EQ(window->FormCreate(), StartupResult::Running);
        window->showCentred();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupComplete(); }, 5000));
        window->updateShape();
        return window;
    }

    test::TempDir folder;
    test::FakeClock clock{encodeDateTime(2026, 12, 7, 8, 0, 30)};
    test::RecordingMessageBoxes boxes;
    test::RecordingLauncher launcher;
    test::FakeProcessTable processes;
    test::FakeSystemShutdown shutdown;
    test::RecordingPlayer player;
    test::FakeAutostartStore autostart;
    test::InstalledFakeNotificationArea tray;
};

// The girl lies at 103,0; her see-through corner is 19 device pixels square in her doubled
// picture, where her own picture's, doubled, would be 20.
constexpr int kGirlLeft = 2 * 103;

TEST_F(ScaledCompanionTest, TheShapeFollowsTheDoubledPictureAtDevicePixels) {
    auto girl = start();
    ASSERT_EQ(girl->devicePixelRatioF(), 2.0);
    EXPECT_EQ(girl->girlPicture()->currentImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(girl->eyePicture()->currentImage().devicePixelRatio(), 2.0);

    const QImage look = girl->composedLook();
    EXPECT_EQ(look.size(), QSize(336, 186));
    const QRegion shape = shapeRegionOf(look);
    EXPECT_FALSE(shape.contains(QPoint(kGirlLeft + 18, 18)));
    EXPECT_TRUE(shape.contains(QPoint(kGirlLeft + 19, 5)));  // blocky in window pixels
    EXPECT_TRUE(shape.contains(QPoint(kGirlLeft + 5, 19)));
    EXPECT_FALSE(shape.contains(QPoint(1, 185)));  // below the bubble
    // Qt's mask holds every window pixel with any of her in it.
    EXPECT_TRUE(girl->mask().contains(QPoint(103 + 9, 5)));
    EXPECT_FALSE(girl->mask().contains(QPoint(103 + 8, 5)));

    // She is drawn at the device pixels too.
    const QImage drawn = girl->grab().toImage();
    EXPECT_EQ(drawn.size(), QSize(336, 186));
    EXPECT_EQ(QColor(drawn.pixel(kGirlLeft + 19, 5)), test::SkinColours{}.g1);
}

TEST_F(ScaledCompanionTest, TheOutfitChangeShowsTheOtherOutfitsDouble) {
    auto girl = start();
    girl->N1Click();
    const QImage& shown = girl->girlPicture()->currentImage();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(QColor(shown.pixel(60, 100)), test::SkinColours{}.g2);
    EXPECT_FALSE(std::filesystem::exists(folder / "skin/g@2x"));
}

TEST_F(ScaledCompanionTest, AnOutfitWithoutADoubleIsDrawnEnlargedAsBefore) {
    std::filesystem::remove(folder / "skin/g1@2x");
    auto girl = start();
    EXPECT_EQ(girl->girlPicture()->currentImage().devicePixelRatio(), 1.0);
    const QRegion shape = shapeRegionOf(girl->composedLook());
    EXPECT_FALSE(shape.contains(QPoint(kGirlLeft + 19, 5)));
    EXPECT_TRUE(shape.contains(QPoint(kGirlLeft + 20, 5)));
    EXPECT_EQ(girl->bubblePicture()->currentImage().devicePixelRatio(), 2.0);
}

TEST_F(ScaledCompanionTest, TheSettingsWindowShowsItsBackgroundDoubled) {
    const QString skin = QString::fromStdString((folder / "skin/").string());
    ASSERT_TRUE(test::solidPicture(208, 257, QColor(250, 240, 220), true)
                    .save(skin + QStringLiteral("set"), "PNG"));
    ASSERT_TRUE(test::solidPicture(416, 514, QColor(250, 240, 220), true, 19)
                    .save(skin + QStringLiteral("set@2x"), "PNG"));
    Tsetfrm window(QString::fromStdString(folder.path().string()) + QLatin1Char('/'), nullptr);
    EXPECT_TRUE(window.backgroundError().isEmpty());
    const QLabel* background = window.findChild<QLabel*>(QStringLiteral("imgbg"));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->pixmap().devicePixelRatio(), 2.0);
    // Qt's mask holds every window pixel with any of the picture in it.
    EXPECT_TRUE(window.mask().contains(QPoint(9, 5)));
    EXPECT_FALSE(window.mask().contains(QPoint(8, 5)));
}

TEST_F(ScaledCompanionTest, DraggedToAScreenOfTheOtherRatioSheTakesItsPictures) {
    auto girl = start();
    const QImage firstOutfit = girl->girlPicture()->currentImage();
    // The second outfit and the command panel are on show when she is dragged across.
    girl->N1Click();
    girl->N10Click();
    const QImage secondOutfit = girl->girlPicture()->currentImage();
    const QImage panel = girl->bubblePicture()->currentImage();
    const test::SkinColours colours;

    girl->move(screenNamed(QStringLiteral("right"))->geometry().topLeft() + QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return girl->girlPicture()->currentImage().devicePixelRatio() == 1.0; }, 5000));
    EXPECT_EQ(QColor(girl->girlPicture()->currentImage().pixel(30, 50)), colours.g2);
    EXPECT_EQ(girl->bubblePicture()->currentImage().devicePixelRatio(), 1.0);
    EXPECT_EQ(QColor(girl->bubblePicture()->currentImage().pixel(50, 50)), colours.menu);
    EXPECT_EQ(girl->eyePicture()->currentImage().devicePixelRatio(), 1.0);
    EXPECT_EQ(girl->composedLook().size(), QSize(168, 93));  // her shape is cut at 1x

    // Back on the doubled screen she shows the very pictures she had there.
    girl->move(QPoint(50, 50));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return girl->girlPicture()->currentImage().devicePixelRatio() == 2.0; }, 5000));
    EXPECT_EQ(girl->girlPicture()->currentImage(), secondOutfit);
    EXPECT_EQ(girl->bubblePicture()->currentImage(), panel);
    girl->N1Click();
    EXPECT_EQ(girl->girlPicture()->currentImage(), firstOutfit);
}

}  // namespace
}  // namespace plumo
