#pragma once

// TChnCalendar: a fixed 313 x 253 month calendar. The grid shows one Gregorian month,
// each day with its lunar day, festival or solar term; above it the year and month with
// up-downs, menus and the today link; below it the selected date in both calendars, its
// star sign and the name of its lunar year. Behind the grid: a frame, large pale
// numerals of the year and month, and a picture blended in at a chosen strength.
//
// Every date change computes the 42 cell records and the background buffer once;
// painting only copies buffers and draws the precomputed texts.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include "base/date_time.h"
#include "calendar/month_cells.h"
#include "calendar/up_down.h"

class QLabel;
class QMenu;

namespace plumo {

class TCalendarGrid;

class TChnCalendar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 313;
    static constexpr int kHeight = 253;
    static constexpr int kGridLeft = 8;
    static constexpr int kGridTop = 40;
    static constexpr int kMinYear = 1901;
    static constexpr int kMaxYear = 2050;

    using DayCell = plumo::DayCell;

    explicit TChnCalendar(QWidget* owner = nullptr);
    ~TChnCalendar() override;

    // The `DateTime` property: the selected date. SelectDate refuses a value outside
    // 1901 to 2050.
    DateTime DateTimeValue() const { return dateTime_; }
    void SelectDate(DateTime value);
    QString CnDate() const { return cnDate_; }
    QString CnMonth() const { return cnMonth_; }
    QString CnDay() const { return cnDay_; }

    // Cells 1 to 42 (row (i - 1) / 7 + 1, column (i - 1) % 7 + 1) and the week-number
    // texts of grid rows 1 to 6.
    const DayCell& Cell(int i) const { return cells_.at(i - 1); }
    QString WeekNumText(int row) const { return weekNums_.at(row - 1); }
    // The grid's current cell as (column, row).
    QPoint CurrentCell() const { return current_; }
    // Each cell's rectangle in the grid's coordinates.
    static QRect CellRect(int column, int row);

    // --- Grid look ---
    bool ShowWeekNum() const { return showWeekNum_; }
    void setShowWeekNum(bool value);
    bool ShowWeekNumLine() const { return showWeekNumLine_; }
    void setShowWeekNumLine(bool value) { setGridFlag(showWeekNumLine_, value); }
    QColor ColorTitleWeekLine() const { return colorTitleWeekLine_; }
    void setColorTitleWeekLine(QColor c) { setGridColour(colorTitleWeekLine_, c); }
    QColor ColorTitleWeekEnd() const { return colorTitleWeekEnd_; }
    void setColorTitleWeekEnd(QColor c) { setGridColour(colorTitleWeekEnd_, c); }
    QColor ColorTitleWeek() const { return colorTitleWeek_; }
    void setColorTitleWeek(QColor c) { setGridColour(colorTitleWeek_, c); }
    QColor ColorSelectedStart() const { return colorSelectedStart_; }
    void setColorSelectedStart(QColor c) { setGridColour(colorSelectedStart_, c); }
    QColor ColorSelectedEnd() const { return colorSelectedEnd_; }
    void setColorSelectedEnd(QColor c) { setGridColour(colorSelectedEnd_, c); }
    QColor ColorSelectedFrame() const { return colorSelectedFrame_; }
    void setColorSelectedFrame(QColor c) { setGridColour(colorSelectedFrame_, c); }
    QColor ColorWeekNum() const { return colorWeekNum_; }
    void setColorWeekNum(QColor c);

    // --- Cell colours: a change rebuilds the shown month ---
    QColor ColorCnDate() const { return colorCnDate_; }
    void setColorCnDate(QColor c) { setCellColour(colorCnDate_, c); }
    QColor ColorDate() const { return colorDate_; }
    void setColorDate(QColor c) { setCellColour(colorDate_, c); }
    QColor ColorHoliday() const { return colorHoliday_; }
    void setColorHoliday(QColor c) { setCellColour(colorHoliday_, c); }
    QColor ColorLunarHolDay() const { return colorLunarHolDay_; }
    void setColorLunarHolDay(QColor c) { setCellColour(colorLunarHolDay_, c); }
    QColor ColorCnHolDay() const { return colorCnHolDay_; }
    void setColorCnHolDay(QColor c) { setCellColour(colorCnHolDay_, c); }

    // --- Background: a change rebuilds the background buffer ---
    bool ShowFrame() const { return showFrame_; }
    void setShowFrame(bool value) { setBackFlag(showFrame_, value); }
    bool ShowBackYearMonth() const { return showBackYearMonth_; }
    void setShowBackYearMonth(bool value) { setBackFlag(showBackYearMonth_, value); }
    QColor ColorShowFrame() const { return colorShowFrame_; }
    void setColorShowFrame(QColor c);
    QColor ColorBackYear() const { return colorBackYear_; }
    void setColorBackYear(QColor c) { setBackColour(colorBackYear_, c); }
    QColor ColorBackMonth() const { return colorBackMonth_; }
    void setColorBackMonth(QColor c) { setBackColour(colorBackMonth_, c); }
    // The fill under everything when the frame is off.
    QColor Color() const { return colour_; }
    void setColor(QColor c) { setBackColour(colour_, c); }
    const QImage& BackGround() const { return backGround_; }
    void setBackGround(const QImage& picture);
    bool Center() const { return center_; }
    void setCenter(bool value) { setLayerFlag(center_, value); }
    bool Stretch() const { return stretch_; }
    void setStretch(bool value) { setLayerFlag(stretch_, value); }
    // Stored only; it does not change the drawing.
    bool Transparent() const { return transparent_; }
    void setTransparent(bool value);
    // Strength of the picture: the value modulo 100 is its percentage.
    int AlphaBlend() const { return alphaBlend_; }
    void setAlphaBlend(int value);

    // --- Label colours: the font colours of the labels ---
    QColor ColorTitleToday() const;
    void setColorTitleToday(QColor c);
    QColor ColorTitleMonth() const;
    void setColorTitleMonth(QColor c);
    QColor ColorTitleYear() const;
    void setColorTitleYear(QColor c);
    QColor ColorTitleSelected() const;
    void setColorTitleSelected(QColor c);
    QColor ColorTitleConstellation() const;
    void setColorTitleConstellation(QColor c);
    QColor ColorTitleAnimalsYear() const;
    void setColorTitleAnimalsYear(QColor c);

    // The buffer the control paints from.
    const QImage& BackgroundBuffer() const { return backBuffer_; }
    QMenu* MonthMenu() const { return monthMenu_; }
    QMenu* YearMenu() const { return yearMenu_; }

signals:
    void OnChange(TChnCalendar* sender);
    void OnDateSelect(TChnCalendar* sender);
    // A press on the control's own surface, not on the grid or a label.
    void OnMouseDown(TChnCalendar* sender, QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TCalendarGrid;

    void createLabels();
    void createMenus();
    void rebuildMonth();  // steps 3 to 10 of SelectDate, for the stored date
    void fillCells();
    // Drawing, in chn_calendar_drawing.cpp.
    void rebuildBackground();
    void drawPicture();
    void drawLayer(int W, int H, int pw, int ph);
    void blendLayer(int W, int H);
    void drawCell(QPainter& gridPainter, int column, int row);
    // Navigation.
    bool selectCell(int column, int row);  // the grid's may-select rule
    void gridClicked(int column, int row);
    void monthUpDownClick(int position);
    void yearUpDownClick(int position);
    void selectKeepingDay(int year, int month);
    void syncUpDowns();
    void placeMonthLabel();

    void setGridFlag(bool& field, bool value);
    void setGridColour(QColor& field, QColor c);
    void setCellColour(QColor& field, QColor c);
    void setBackFlag(bool& field, bool value);
    void setLayerFlag(bool& field, bool value);
    void setBackColour(QColor& field, QColor c);
    static QColor labelColour(const QLabel* label);
    static void setLabelColour(QLabel* label, QColor c);

    // Owned parts.
    TCalendarGrid* grid_ = nullptr;
    QLabel* lblToday_ = nullptr;
    QLabel* lblMonth_ = nullptr;
    QLabel* lblMonthUnit_ = nullptr;
    QLabel* lblYear_ = nullptr;
    QLabel* lblYearUnit_ = nullptr;
    QLabel* lblConstellation_ = nullptr;
    QLabel* lblAnimalsYear_ = nullptr;
    QLabel* lblSelected_ = nullptr;
    TUpDown* udMonth_ = nullptr;
    TUpDown* udYear_ = nullptr;
    QMenu* monthMenu_ = nullptr;
    QMenu* yearMenu_ = nullptr;
    QImage cellBuffer_;
    QImage backBuffer_;
    QImage pictureLayer_;
    bool updating_ = false;
    bool layerStale_ = true;
    QFont songFont9_;  // lower texts and week numbers
    QFont heiBold9_;   // day numbers

    MonthCells cells_;
    WeekNumbers weekNums_;
    QPoint current_{1, 1};

    DateTime dateTime_ = 0;
    QString cnDate_, cnMonth_, cnDay_;

    bool showWeekNum_ = false;
    bool showFrame_ = true;
    bool showBackYearMonth_ = true;
    bool showWeekNumLine_ = true;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    int alphaBlend_ = 200;
    QImage backGround_;
    QColor colour_{Qt::white};
    QColor colorTitleWeekLine_{197, 197, 197};
    QColor colorTitleWeekEnd_{255, 0, 0};
    QColor colorTitleWeek_{79, 79, 79};
    QColor colorCnDate_{0, 128, 0};
    QColor colorDate_{79, 79, 79};
    QColor colorHoliday_{255, 128, 0};
    QColor colorLunarHolDay_{83, 83, 255};
    QColor colorCnHolDay_{255, 128, 0};
    QColor colorSelectedStart_{0, 174, 83};
    QColor colorSelectedEnd_{0, 213, 101};
    QColor colorSelectedFrame_{0, 147, 70};
    QColor colorWeekNum_{128, 128, 128};
    QColor colorShowFrame_{128, 128, 128};
    QColor colorBackYear_{255, 232, 221};
    QColor colorBackMonth_{235, 235, 235};
};

}  // namespace plumo
