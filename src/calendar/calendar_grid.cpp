#include "calendar/calendar_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "calendar/chn_calendar_picker.h"

namespace plumo {

TCalendarGrid::TCalendarGrid(TChnCalendar* calendar) : QWidget(calendar), calendar_(calendar) {
    setObjectName(QStringLiteral("grid"));
    setGeometry(TChnCalendar::kGridLeft, TChnCalendar::kGridTop, kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void TCalendarGrid::moveTo(int column, int row) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return;
    if (calendar_->current_ == QPoint(column, row)) return;
    if (!calendar_->selectCell(column, row)) return;
    if (calendar_->current_ == QPoint(column, row)) return;
    calendar_->current_ = QPoint(column, row);
    update();
}

QPoint TCalendarGrid::cellAt(const QPoint& point) {
    const int x = point.x(), y = point.y();
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return {-1, -1};
    const int column = x < kWeekColumnWidth ? 0 : 1 + (x - kWeekColumnWidth) / kDayColumnWidth;
    const int row = y < kHeaderHeight ? 0 : 1 + (y - kHeaderHeight) / kDayRowHeight;
    return {column, row};
}

QRect TChnCalendar::CellRect(int column, int row) {
    using Grid = TCalendarGrid;
    const int x = column == 0 ? 0 : Grid::kWeekColumnWidth + (column - 1) * Grid::kDayColumnWidth;
    const int y = row == 0 ? 0 : Grid::kHeaderHeight + (row - 1) * Grid::kDayRowHeight;
    return {x, y, column == 0 ? Grid::kWeekColumnWidth : Grid::kDayColumnWidth,
            row == 0 ? Grid::kHeaderHeight : Grid::kDayRowHeight};
}

void TCalendarGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            if (event->rect().intersects(TChnCalendar::CellRect(column, row)))
                calendar_->drawCell(painter, column, row);
}

void TCalendarGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = cellAt(event->position().toPoint());
    moveTo(pressed_.x(), pressed_.y());
}

void TCalendarGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell == pressed_ && cell.x() >= 0) calendar_->gridClicked(cell.x(), cell.y());
    pressed_ = {-1, -1};
}

void TCalendarGrid::keyPressEvent(QKeyEvent* event) {
    const QPoint at = calendar_->current_;
    switch (event->key()) {
        case Qt::Key_Left:
            moveTo(at.x() - 1, at.y());
            break;
        case Qt::Key_Right:
            moveTo(at.x() + 1, at.y());
            break;
        case Qt::Key_Up:
            moveTo(at.x(), at.y() - 1);
            break;
        case Qt::Key_Down:
            moveTo(at.x(), at.y() + 1);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace plumo
