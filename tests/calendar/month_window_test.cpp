#include "calendar/month_window.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "calendar/chn_calendar_picker.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

TEST(CalendarWindowPosition, BottomRightAboveTheTaskbar) {
    const QRect screen(0, 0, 1024, 768);
    const QSize window(313, 253);
    // Taskbar of 30 pixels at the bottom, and at the right (over the taskbar's column).
    EXPECT_EQ(calendarWindowPosition(screen, QRect(0, 0, 1024, 738), window), QPoint(709, 485));
    EXPECT_EQ(calendarWindowPosition(screen, QRect(0, 0, 994, 768), window), QPoint(709, 485));
    // At the top or the left the window's bottom meets the screen's.
    EXPECT_EQ(calendarWindowPosition(screen, QRect(0, 30, 1024, 738), window), QPoint(709, 515));
    EXPECT_EQ(calendarWindowPosition(screen, QRect(30, 0, 994, 768), window), QPoint(709, 515));
    EXPECT_EQ(calendarWindowPosition(screen, screen, window), QPoint(709, 515));
}

TEST(CalendarWindowPosition, OnASecondScreenItsOwnCorner) {
    // A second 1000 x 700 screen right of the first, its taskbar at the bottom, then at
    // the right, then none.
    const QRect screen(1000, 0, 1000, 700);
    const QSize window(313, 253);
    EXPECT_EQ(calendarWindowPosition(screen, QRect(1000, 0, 1000, 670), window), QPoint(1685, 417));
    EXPECT_EQ(calendarWindowPosition(screen, QRect(1000, 0, 970, 700), window), QPoint(1685, 417));
    EXPECT_EQ(calendarWindowPosition(screen, screen, window), QPoint(1685, 447));
    // Below the first screen, its taskbar at the top.
    EXPECT_EQ(calendarWindowPosition(QRect(0, 768, 1024, 768), QRect(0, 798, 1024, 738), window),
              QPoint(709, 768 + 515));
}

class MonthWindowTest : public ::testing::Test {
protected:
    test::FakeClock clock{encodeDateTime(2011, 5, 12, 10, 30, 0)};
    test::TempDir folder;
    QWidget owner;

    QString programFolder() const {
        return QString::fromStdString(folder.path().string()) + QLatin1Char('/');
    }
    void writePicture() const {
        std::filesystem::create_directories(folder / "skin");
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(QColor(200, 100, 0));
        picture.setPixelColor(0, 0, Qt::black);
        ASSERT_TRUE(picture.save(QString::fromStdString((folder / "skin/bg.bmp").string()), "BMP"));
    }
    QPoint expectedPosition(const TmonFrm& window) const {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return calendarWindowPosition(screen->geometry(), screen->availableGeometry(),
                                      window.size());
    }
};

TEST_F(MonthWindowTest, CreatedHiddenWithTheFormsLook) {
    TmonFrm window(programFolder(), &owner);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(313, 253));
    ASSERT_NE(window.m, nullptr);
    EXPECT_EQ(window.m->geometry(), QRect(0, 0, 313, 253));
    EXPECT_FALSE(window.m->ShowBackYearMonth());
    EXPECT_EQ(window.m->ColorLunarHolDay(), QColor(166, 202, 240));
    EXPECT_EQ(window.m->ColorTitleYear(), QColor(166, 202, 240));
    EXPECT_EQ(window.m->AlphaBlend(), 200);
    EXPECT_EQ(window.m->font().pixelSize(), 11);  // the weekday header
    EXPECT_EQ(window.m->DateTimeValue(), clock.now());
}

TEST_F(MonthWindowTest, ShowLoadsThePictureAndPlacesTheWindow) {
    writePicture();
    TmonFrm window(programFolder(), &owner);
    window.move(10, 10);
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), expectedPosition(window));
    EXPECT_EQ(window.m->BackGround().size(), QSize(40, 30));
    EXPECT_EQ(window.m->AlphaBlend(), 30);
    EXPECT_EQ(window.m->BackgroundBuffer().pixelColor(20, 20), QColor(238, 208, 178));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    // Dragged away, strength changed, hidden and shown: back in the corner, at 30.
    window.move(50, 60);
    window.m->setAlphaBlend(90);
    window.hide();
    window.show();
    EXPECT_EQ(window.pos(), expectedPosition(window));
    EXPECT_EQ(window.m->AlphaBlend(), 30);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(MonthWindowTest, ShowsWithoutAPictureItCannotRead) {
    TmonFrm window(programFolder(), &owner);
    window.show();  // no skin folder at all
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.m->BackGround().isNull());
    EXPECT_EQ(window.pos(), expectedPosition(window));
    window.hide();

    writePicture();
    window.show();
    EXPECT_FALSE(window.m->BackGround().isNull());
    window.hide();

    folder.write("skin/bg.bmp", "BM not a bitmap");
    window.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.m->BackGround().isNull());  // the old picture is not kept
    EXPECT_EQ(window.m->BackgroundBuffer().pixelColor(20, 20), QColor(Qt::white));
}

TEST_F(MonthWindowTest, MonthSurvivesHideAndShow) {
    TmonFrm window(programFolder(), &owner);
    window.show();
    EXPECT_EQ(decodeDate(window.m->DateTimeValue()), (DateParts{2011, 5, 12}));
    window.m->findChild<TUpDown*>(QStringLiteral("udMonth"))->stepBy(1);
    window.hide();
    clock.set(2011, 5, 13, 9, 0, 0);
    window.show();
    EXPECT_EQ(decodeDate(window.m->DateTimeValue()), (DateParts{2011, 6, 12}));
}

}  // namespace
}  // namespace plumo
