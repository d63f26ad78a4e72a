#pragma once

// The month grid of the calendar control: 8 columns (week numbers, Sunday to Saturday) by
// 7 rows (weekday header, six weeks). It owns only the current cell and the mouse and key
// handling; every cell is drawn by the calendar from its records.

#include <QPoint>
#include <QWidget>

namespace plumo {

class TChnCalendar;

class TCalendarGrid : public QWidget {
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 7;
    static constexpr int kWeekColumnWidth = 18;
    static constexpr int kDayColumnWidth = 40;
    static constexpr int kHeaderHeight = 18;
    static constexpr int kDayRowHeight = 28;
    static constexpr int kWidth = kWeekColumnWidth + 7 * kDayColumnWidth;  // 298
    static constexpr int kHeight = kHeaderHeight + 6 * kDayRowHeight;      // 186

    explicit TCalendarGrid(TChnCalendar* calendar);

    // Moves the current cell when the calendar's rule allows it; the current cell itself
    // is no move and asks nothing.
    void moveTo(int column, int row);

    // The cell (column, row) under a point of the grid; (-1, -1) outside it.
    static QPoint cellAt(const QPoint& point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TChnCalendar* calendar_;
    QPoint pressed_{-1, -1};
};

}  // namespace plumo
