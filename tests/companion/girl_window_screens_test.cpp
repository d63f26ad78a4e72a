// Her window dragged between two screens of different device pixel ratios: the left one
// at one device pixel per pixel, the right one at two.

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "companion/girl_window.h"
#include "companion/picture.h"
#include "companion/skin_fixture.h"
#include "fake_autostart_store.h"
#include "fake_notification_area.h"
#include "memo/memo_schema.h"
#include "recording_player.h"
#include "support/fake_process_table.h"
#include "support/fake_program_launcher.h"
#include "support/fake_system_shutdown.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

// Read once, when main() makes the application.
const bool kRightScreenDoubled = qputenv("QT_SCREEN_SCALE_FACTORS", "left=1;right=2");

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name) return screen;
    return nullptr;
}

TEST(CompanionOnScreensOfTwoRatios, TakesThePicturesOfTheScreenSheIsDraggedTo) {
    ASSERT_TRUE(kRightScreenDoubled);
    QScreen* right = screenNamed(QStringLiteral("right"));
    ASSERT_NE(right, nullptr) << "run with the two-screen configuration";
    ASSERT_EQ(right->devicePixelRatio(), 2.0);

    test::TempDir folder;
    test::writeSkinFolder(folder.path());
    test::writeDoubleSizeSkins(folder.path());
    std::filesystem::create_directories(folder / "config");
    createMemoDatabase(folder / "config/d.ini");
    folder.write("config/config.ini", "[setting]\r\ntime=off\r\nsound=1\r\nauto=off\r\n");
    test::RecordingLauncher launcher;
    test::FakeProcessTable processes;
    test::FakeSystemShutdown shutdown;
    test::RecordingPlayer player;
    test::FakeAutostartStore autostart;
    test::InstalledFakeNotificationArea tray;
    CompanionServices services;
    services.launcher = &launcher;
    services.processes = &processes;
    services.shutdown = &shutdown;
    services.player = &player;
    services.autostart = &autostart;
    services.anotherCopyRunning = [] { return false; };
    services.programFolder = QString::fromStdString(folder.path().string());
    Tgirlfrm girl(services);
    ASSERT_EQ(girl.FormCreate(), StartupResult::Running);
    girl.showCentred();
    ASSERT_TRUE(QTest::qWaitFor([&] { return girl.startupComplete(); }, 5000));
    ASSERT_EQ(girl.devicePixelRatioF(), 1.0);
    const QImage firstOutfit = girl.girlPicture()->currentImage();

    // The second outfit and the command panel are on show when she is dragged across.
    girl.N1Click();
    girl.N10Click();
    const QImage secondOutfit = girl.girlPicture()->currentImage();
    const QImage panel = girl.bubblePicture()->currentImage();
    const test::SkinColours colours;

    girl.move(right->geometry().topLeft() + QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return girl.girlPicture()->currentImage().devicePixelRatio() == 2.0; }, 5000));
    EXPECT_EQ(QColor(girl.girlPicture()->currentImage().pixel(60, 100)), colours.g2);
    EXPECT_EQ(girl.bubblePicture()->currentImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(QColor(girl.bubblePicture()->currentImage().pixel(100, 100)), colours.menu);
    EXPECT_EQ(girl.eyePicture()->currentImage().devicePixelRatio(), 2.0);
    // Her shape is cut from the look at the device pixels.
    EXPECT_EQ(girl.composedLook().size(), QSize(336, 186));

    // Back at one device pixel per pixel she shows the very pictures she started with.
    girl.move(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return girl.girlPicture()->currentImage().devicePixelRatio() == 1.0; }, 5000));
    EXPECT_EQ(girl.girlPicture()->currentImage(), secondOutfit);
    EXPECT_EQ(girl.bubblePicture()->currentImage(), panel);
    girl.N1Click();
    EXPECT_EQ(girl.girlPicture()->currentImage(), firstOutfit);
}

}  // namespace
}  // namespace plumo
