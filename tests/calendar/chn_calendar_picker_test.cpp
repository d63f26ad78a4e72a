#include "calendar/chn_calendar_picker.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <stdexcept>

#include "support/fake_clock.h"

namespace plumo {
namespace {

const QColor kRed(255, 0, 0);

class CalendarTest : public ::testing::Test {
protected:
    test::FakeClock clock{encodeDateTime(2011, 5, 12, 10, 30, 0)};
    TChnCalendar cal;

    void select(int y, int m, int d) { cal.SelectDate(encodeDate(y, m, d)); }
    DateParts shown() const { return decodeDate(cal.DateTimeValue()); }
    QString label(const char* name) const {
        return cal.findChild<QLabel*>(QLatin1String(name))->text();
    }
    // The cell of day d of the shown month.
    const TChnCalendar::DayCell& day(int d) const {
        for (int i = 1; i <= 42; ++i)
            if (cal.Cell(i).hasDay && cal.Cell(i).day == d) return cal.Cell(i);
        throw std::runtime_error("no such day");
    }
    QWidget* grid() const { return cal.findChild<QWidget*>(QStringLiteral("grid")); }
    // A left click in the middle of a grid cell.
    void clickCell(int column, int row) {
        QTest::mouseClick(grid(), Qt::LeftButton, {}, TChnCalendar::CellRect(column, row).center());
    }
    TUpDown* upDown(const char* name) const { return cal.findChild<TUpDown*>(QLatin1String(name)); }
    QAction* menuItem(const QString& name) const { return cal.findChild<QAction*>(name); }
};

TEST_F(CalendarTest, StartsOnTheClocksDayAndMonth) {
    EXPECT_EQ(cal.DateTimeValue(), encodeDateTime(2011, 5, 12, 10, 30, 0));
    EXPECT_EQ(cal.size(), QSize(313, 253));
    EXPECT_EQ(upDown("udYear")->Position(), 2011);
    EXPECT_EQ(upDown("udMonth")->Position(), 5);
    EXPECT_EQ(label("lblYear"), "2011");
    EXPECT_EQ(label("lblMonth"), "5");
    EXPECT_EQ(cal.CnDate(), "四月初十");
    EXPECT_EQ(label("lblSelected"), "2011-05-12 农历四月初十");
    EXPECT_EQ(label("lblAnimalsYear"), "辛卯兔年");
    EXPECT_EQ(label("lblConstellation"), "金牛座");
    // The month number ends where "月" begins.
    const auto* month = cal.findChild<QLabel*>(QStringLiteral("lblMonth"));
    EXPECT_EQ(month->geometry().right() + 1, 45);
}

TEST_F(CalendarTest, CellLayoutOfAMonthStartingOnSunday) {
    // 1 May 2011 is a Sunday: day 1 in row 1 column 1, day 31 in row 5 column 3.
    EXPECT_EQ(cal.Cell(1).day, 1);
    EXPECT_TRUE(cal.Cell(31).hasDay);
    EXPECT_EQ(cal.Cell(31).day, 31);
    EXPECT_FALSE(cal.Cell(32).hasDay);
    EXPECT_EQ(cal.CurrentCell(), QPoint(5, 2));
    const QStringList weeks{"17", "18", "19", "20", "21", "22"};
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(cal.WeekNumText(row), weeks[row - 1]) << row;
}

TEST_F(CalendarTest, CellLayoutOfLongMonthStartingOnSaturday) {
    // 1 January 2011 is a Saturday: the 31st reaches cell 37. Week numbers follow their
    // first occurrence: 52 (of 2010) on the 1st, week 1 from Monday the 3rd.
    select(2011, 1, 20);
    EXPECT_FALSE(cal.Cell(6).hasDay);
    EXPECT_EQ(cal.Cell(7).day, 1);
    EXPECT_EQ(cal.Cell(37).day, 31);
    EXPECT_FALSE(cal.Cell(38).hasDay);
    const QStringList weeks{"52", "1", "2", "3", "4", "5"};
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(cal.WeekNumText(row), weeks[row - 1]) << row;
    // A shorter month afterwards leaves no day of the longer one behind.
    select(2011, 2, 20);  // 1 February 2011 is a Tuesday, 28 days
    EXPECT_EQ(cal.Cell(3).day, 1);
    EXPECT_EQ(cal.Cell(30).day, 28);
    for (int i = 31; i <= 42; ++i) EXPECT_FALSE(cal.Cell(i).hasDay) << i;
    EXPECT_EQ(cal.WeekNumText(6), "");
}

TEST_F(CalendarTest, WeekendDayNumbersAreRedWhateverColorDate) {
    const QColor blue(0, 0, 255);
    QSignalSpy changes(&cal, &TChnCalendar::OnChange);
    cal.setColorDate(blue);  // rebuilds the shown month at once
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(day(1).dayColour, kRed);   // Sunday
    EXPECT_EQ(day(7).dayColour, kRed);   // Saturday
    EXPECT_EQ(day(2).dayColour, blue);   // Monday
    EXPECT_EQ(day(13).dayColour, blue);  // Friday
}

TEST_F(CalendarTest, LowerTextPrecedence) {
    const QColor holiday(1, 1, 1), term(2, 2, 2), cnHoliday(3, 3, 3), cnDate(4, 4, 4);
    cal.setColorHoliday(holiday);
    cal.setColorLunarHolDay(term);
    cal.setColorCnHolDay(cnHoliday);
    cal.setColorCnDate(cnDate);
    EXPECT_EQ(day(12).lowerText, "初十");
    EXPECT_EQ(day(12).lowerColour, cnDate);
    EXPECT_EQ(day(3).lowerText, "四月");  // 四月初一
    EXPECT_EQ(day(3).lowerColour, kRed);
    EXPECT_EQ(day(6).lowerText, "立夏");
    EXPECT_EQ(day(6).lowerColour, term);
    select(2011, 6, 6);  // 芒种 and 端午节 on one day
    EXPECT_EQ(day(6).lowerText, "端午节");
    EXPECT_EQ(day(6).lowerColour, cnHoliday);
    select(2011, 10, 1);
    EXPECT_EQ(day(1).lowerText, "国庆节");
    EXPECT_EQ(day(1).lowerColour, holiday);
}

TEST_F(CalendarTest, TitleLines) {
    select(2011, 2, 2);
    EXPECT_EQ(label("lblAnimalsYear"), "庚寅虎年");
    select(2011, 2, 3);
    EXPECT_EQ(label("lblAnimalsYear"), "辛卯兔年");
    EXPECT_EQ(label("lblSelected"), "2011-02-03 农历正月初一");
    select(2020, 5, 23);
    EXPECT_EQ(label("lblSelected"), "2020-05-23 农历闰四初一");
    EXPECT_EQ(cal.CnMonth(), "闰四");
    EXPECT_EQ(cal.CnDay(), "初一");
}

TEST_F(CalendarTest, RefusedDatesChangeNothingAndReportNothing) {
    QSignalSpy changes(&cal, &TChnCalendar::OnChange);
    const DateTime before = cal.DateTimeValue();
    cal.SelectDate(before);
    cal.SelectDate(encodeDate(1900, 12, 31));
    cal.SelectDate(encodeDate(2051, 1, 1));
    cal.SelectDate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(cal.DateTimeValue(), before);
    EXPECT_EQ(changes.count(), 0);
    select(2050, 12, 31);
    select(1901, 1, 1);
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(CalendarTest, MonthUpDownCrossesYears) {
    select(2012, 12, 15);
    upDown("udMonth")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{2013, 1, 15}));
    EXPECT_EQ(upDown("udYear")->Position(), 2013);
    EXPECT_EQ(upDown("udMonth")->Position(), 1);
    upDown("udMonth")->stepBy(-1);
    EXPECT_EQ(shown(), (DateParts{2012, 12, 15}));
}

TEST_F(CalendarTest, UpDownsStopAtTheEndsOfTheRange) {
    select(1901, 1, 10);
    upDown("udMonth")->stepBy(-1);
    EXPECT_EQ(shown(), (DateParts{1901, 1, 10}));
    EXPECT_EQ(upDown("udYear")->Position(), 1901);
    EXPECT_EQ(upDown("udMonth")->Position(), 1);
    // The next step starts from the month shown, not from the refused one.
    upDown("udMonth")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{1901, 2, 10}));

    select(2050, 12, 10);
    upDown("udMonth")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{2050, 12, 10}));
    upDown("udMonth")->stepBy(-1);
    EXPECT_EQ(shown(), (DateParts{2050, 11, 10}));
    upDown("udYear")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{2050, 11, 10}));
    upDown("udYear")->stepBy(-1);
    EXPECT_EQ(shown(), (DateParts{2049, 11, 10}));
}

TEST_F(CalendarTest, MissingDayMovesToTheLastDayOfTheMonth) {
    select(2011, 5, 31);
    upDown("udMonth")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{2011, 6, 30}));
    select(2012, 2, 29);
    upDown("udYear")->stepBy(1);
    EXPECT_EQ(shown(), (DateParts{2013, 2, 28}));
}

TEST_F(CalendarTest, MonthAndYearMenus) {
    ASSERT_EQ(cal.MonthMenu()->actions().size(), 12);
    EXPECT_EQ(menuItem("MenuMonth_0")->text(), "一月");
    EXPECT_EQ(menuItem("MenuMonth_11")->text(), "十二月");
    ASSERT_EQ(cal.YearMenu()->actions().size(), 15);
    EXPECT_EQ(cal.YearMenu()->actions().first()->text(), "1900");
    EXPECT_EQ(cal.YearMenu()->actions().last()->menu()->actions().last()->text(), "2050");
    EXPECT_EQ(menuItem("MenuYear_1901")->data().toInt(), 1901);

    menuItem("MenuMonth_7")->trigger();  // the eighth item
    EXPECT_EQ(shown(), (DateParts{2011, 8, 12}));
    EXPECT_EQ(upDown("udMonth")->Position(), 8);
    menuItem("MenuYear_2020")->trigger();
    EXPECT_EQ(shown(), (DateParts{2020, 8, 12}));
    EXPECT_EQ(upDown("udYear")->Position(), 2020);
}

TEST_F(CalendarTest, GridClicks) {
    QSignalSpy selects(&cal, &TChnCalendar::OnDateSelect);
    QSignalSpy changes(&cal, &TChnCalendar::OnChange);
    const DateTime before = cal.DateTimeValue();
    clickCell(3, 6);  // after the 31st
    clickCell(4, 0);  // header
    clickCell(0, 3);  // week-number column
    EXPECT_EQ(cal.DateTimeValue(), before);
    EXPECT_EQ(cal.CurrentCell(), QPoint(5, 2));
    EXPECT_EQ(selects.count(), 0);
    EXPECT_EQ(changes.count(), 0);

    clickCell(5, 2);  // the selected 12th
    EXPECT_EQ(selects.count(), 1);
    EXPECT_EQ(cal.DateTimeValue(), before);

    clickCell(3, 5);  // the 31st: selected at midnight
    EXPECT_EQ(cal.DateTimeValue(), encodeDate(2011, 5, 31));
    EXPECT_EQ(cal.CurrentCell(), QPoint(3, 5));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(CalendarTest, TodayLinkAndPressesOnTheSurface) {
    QSignalSpy presses(&cal, &TChnCalendar::OnMouseDown);
    select(2030, 1, 1);
    clock.set(2024, 3, 9, 8, 0, 0);
    auto* today = cal.findChild<QLabel*>(QStringLiteral("lblToday"));
    QTest::mouseClick(today, Qt::LeftButton, {}, today->rect().center());
    EXPECT_EQ(cal.DateTimeValue(), encodeDateTime(2024, 3, 9, 8, 0, 0));
    EXPECT_EQ(presses.count(), 0);  // a label's press is the label's
    QTest::mousePress(&cal, Qt::LeftButton, {}, QPoint(4, 240));
    EXPECT_EQ(presses.count(), 1);
    QTest::mousePress(grid(), Qt::LeftButton, {}, TChnCalendar::CellRect(2, 0).center());
    EXPECT_EQ(presses.count(), 1);
}

TEST_F(CalendarTest, SizeIsFixed) {
    cal.resize(400, 300);
    EXPECT_EQ(cal.size(), QSize(313, 253));
}

// ---------------------------------------------------------------- pixels

QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

TEST_F(CalendarTest, SelectedCellGradientAndFrame) {
    cal.setShowBackYearMonth(false);
    const QImage image = cal.grab().toImage();
    // The 12th: grid column 5, row 2, at (8 + 18 + 4 * 40, 40 + 18 + 28).
    const int x = 186, y = 86;
    const QColor frame(0, 147, 70);
    EXPECT_EQ(pixel(image, x, y), frame);
    EXPECT_EQ(pixel(image, x + 39, y + 27), frame);
    EXPECT_EQ(pixel(image, x + 39, y + 10), frame);
    EXPECT_EQ(pixel(image, x + 1, y + 1), QColor(0, 176, 84));    // band 14
    EXPECT_EQ(pixel(image, x + 1, y + 13), QColor(0, 193, 92));   // band 124
    EXPECT_EQ(pixel(image, x + 1, y + 26), QColor(0, 211, 100));  // band 243
    // Outside: the white of the frame's fill.
    EXPECT_EQ(pixel(image, x - 1, y + 10), QColor(Qt::white));
    EXPECT_EQ(pixel(image, x + 40, y + 10), QColor(Qt::white));
}

// A picture of (200, 100, 0) whose top-left corner and a small square are black.
QImage orangePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 0));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) picture.setPixelColor(x, y, Qt::black);
    picture.setPixelColor(0, 0, Qt::black);
    return picture;
}

TEST_F(CalendarTest, PictureBlendsAtItsStrengthExceptTheKeyColour) {
    cal.setShowBackYearMonth(false);
    cal.setBackGround(orangePicture(313, 253));
    // The initial strength, 200, is 0 per cent.
    EXPECT_EQ(pixel(cal.BackgroundBuffer(), 100, 230), QColor(Qt::white));
    cal.setAlphaBlend(30);
    const QImage image = cal.grab().toImage();
    const QColor blended(238, 208, 178);
    EXPECT_EQ(pixel(image, 100, 230), blended);
    EXPECT_EQ(pixel(image, 3, 3), QColor(Qt::white));       // key colour: unchanged
    EXPECT_EQ(pixel(image, 0, 0), QColor(128, 128, 128));   // the frame, under the key
    EXPECT_EQ(pixel(image, 0, 100), QColor(149, 119, 89));  // over the frame's grey
    EXPECT_EQ(pixel(image, 8 + 280, 40 + 170), blended);    // an empty cell shows it too
    cal.setAlphaBlend(130);
    EXPECT_EQ(pixel(cal.BackgroundBuffer(), 100, 230), blended);
}

TEST_F(CalendarTest, StretchedPictureFitsAndCentres) {
    cal.setShowBackYearMonth(false);
    cal.setAlphaBlend(50);
    cal.setStretch(true);
    cal.setCenter(true);
    QImage wide(100, 50, QImage::Format_RGB32);
    wide.fill(QColor(0, 0, 0));
    cal.setBackGround(wide);  // 313 x 156, 48 pixels from the top
    const QImage& buffer = cal.BackgroundBuffer();
    EXPECT_EQ(pixel(buffer, 150, 47), QColor(Qt::white));
    EXPECT_EQ(pixel(buffer, 150, 48), QColor(127, 127, 127));
    EXPECT_EQ(pixel(buffer, 150, 203), QColor(127, 127, 127));
    EXPECT_EQ(pixel(buffer, 150, 204), QColor(Qt::white));

    QImage tall(50, 100, QImage::Format_RGB32);
    tall.fill(QColor(0, 0, 0));
    cal.setBackGround(tall);  // 126 x 253, 93 pixels from the left
    EXPECT_EQ(pixel(buffer, 92, 100), QColor(Qt::white));
    EXPECT_EQ(pixel(buffer, 93, 100), QColor(127, 127, 127));
    EXPECT_EQ(pixel(buffer, 218, 100), QColor(127, 127, 127));
    EXPECT_EQ(pixel(buffer, 219, 100), QColor(Qt::white));

    // Without centring the picture starts at the corner, so its colour is the key.
    cal.setCenter(false);
    EXPECT_EQ(pixel(buffer, 50, 100), QColor(Qt::white));
}

TEST_F(CalendarTest, WithoutFrameTheBackgroundStartsFromTheControlsColour) {
    cal.setShowBackYearMonth(false);
    cal.setColor(QColor(10, 20, 30));
    EXPECT_EQ(pixel(cal.BackgroundBuffer(), 0, 0), QColor(128, 128, 128));
    cal.setShowFrame(false);
    EXPECT_EQ(pixel(cal.BackgroundBuffer(), 0, 0), QColor(10, 20, 30));
    EXPECT_EQ(pixel(cal.BackgroundBuffer(), 150, 120), QColor(10, 20, 30));
}

}  // namespace
}  // namespace plumo
