#include "calendar/chn_calendar_picker.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "calendar/calendar_fonts.h"
#include "calendar/calendar_grid.h"
#include "calendar/date_cn.h"
#include "platform/clock.h"

namespace plumo {
namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// ---------------------------------------------------------------- construction

TChnCalendar::TChnCalendar(QWidget* owner)
    : QWidget(owner), songFont9_(songFont(9)), heiBold9_(QStringLiteral("黑体")) {
    heiBold9_.setPointSize(9);
    heiBold9_.setBold(true);
    setFixedSize(kWidth, kHeight);  // every resize request is undone
    createMenus();
    grid_ = new TCalendarGrid(this);
    createLabels();
    udMonth_ = new TUpDown(0, 13, this);
    udMonth_->setObjectName(QStringLiteral("udMonth"));
    udMonth_->move(60, 10);
    connect(udMonth_, &TUpDown::Click, this, &TChnCalendar::monthUpDownClick);
    udYear_ = new TUpDown(kMinYear, kMaxYear, this);
    udYear_->setObjectName(QStringLiteral("udYear"));
    udYear_->move(220, 10);
    connect(udYear_, &TUpDown::Click, this, &TChnCalendar::yearUpDownClick);

    cellBuffer_ =
        QImage(TCalendarGrid::kDayColumnWidth, TCalendarGrid::kDayRowHeight, QImage::Format_RGB32);
    backBuffer_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
    backBuffer_.fill(colour_);

    // A clock set outside the covered years still opens on a month the calendar has.
    SelectDate(std::clamp(currentClock().now(), DateCn::kFirstDate, DateCn::kLastDate));
}

TChnCalendar::~TChnCalendar() = default;

void TChnCalendar::createLabels() {
    auto make = [this](const char* name, const QString& text, QPoint at, const QFont& font,
                       QColor colour, bool hand) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setFont(font);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setAutoFillBackground(false);
        setLabelColour(label, colour);
        if (hand) label->setCursor(Qt::PointingHandCursor);
        label->move(at);
        label->adjustSize();
        label->installEventFilter(this);
        return label;
    };
    QFont link = songFont(9);
    link.setUnderline(true);
    QFont month(QStringLiteral("Arial"));
    month.setPointSize(24);
    month.setBold(true);
    lblToday_ = make("lblToday", QStringLiteral("今天"), {272, 18}, link, {0, 0, 255}, true);
    lblMonth_ = make("lblMonth", QString(), {34, 3}, month, {128, 128, 192}, true);
    lblMonthUnit_ =
        make("lblMonthUnit", QStringLiteral("月"), {45, 20}, songFont(9), Qt::black, true);
    lblYear_ = make("lblYear", QString(), {120, 0}, arialBlack(22), {0, 0, 255}, true);
    lblYearUnit_ =
        make("lblYearUnit", QStringLiteral("年"), {205, 18}, songFont(9), Qt::black, true);
    lblConstellation_ =
        make("lblConstellation", QString(), {200, 236}, songFont(9), {255, 128, 255}, false);
    lblAnimalsYear_ =
        make("lblAnimalsYear", QString(), {260, 236}, songFont(9), {128, 0, 255}, false);
    lblSelected_ = make("lblSelected", QString(), {20, 236}, songFont(9), {128, 128, 128}, false);
}

void TChnCalendar::createMenus() {
    monthMenu_ = new QMenu(this);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    for (int k = 1; k <= 12; ++k) {
        QAction* item = monthMenu_->addAction(chinese.monthName(k, QLocale::LongFormat));
        item->setObjectName(QStringLiteral("MenuMonth_%1").arg(k - 1));
        connect(item, &QAction::triggered, this, [this, k] {
            udMonth_->setPosition(k);
            monthUpDownClick(k);
        });
    }
    yearMenu_ = new QMenu(this);
    for (int decade = 1900; decade <= 2040; decade += 10) {
        QMenu* sub = yearMenu_->addMenu(QString::number(decade));
        sub->setObjectName(QStringLiteral("MenuYear_%1").arg(decade));
        for (int year = decade + 1; year <= decade + 10; ++year) {
            QAction* item = sub->addAction(QString::number(year));
            item->setObjectName(QStringLiteral("MenuYear_%1").arg(year));
            item->setData(year);
            connect(item, &QAction::triggered, this, [this, year] {
                udYear_->setPosition(year);
                yearUpDownClick(year);
            });
        }
    }
}

// ---------------------------------------------------------------- selecting a date

void TChnCalendar::SelectDate(DateTime value) {
    if (value == dateTime_) return;
    // Also refuses what is no date at all (NaN, infinities).
    if (!(value >= DateCn::kFirstDate && value < DateCn::kLastDate + 1)) return;
    const DateParts parts = decodeDate(value);
    if (parts.year < kMinYear || parts.year > kMaxYear) return;

    dateTime_ = value;
    syncUpDowns();
    cnMonth_ = fromUtf8(DateCn::CnMonthOfDate(value));
    cnDay_ = fromUtf8(DateCn::CnDayOfDate(value));
    cnDate_ = cnMonth_ + cnDay_;
    lblYear_->setText(QString::number(parts.year));
    lblYear_->adjustSize();
    lblMonth_->setText(QString::number(parts.month));
    placeMonthLabel();
    lblAnimalsYear_->setText(fromUtf8(DateCn::YearStemOfDate(value)).left(1) +
                             fromUtf8(DateCn::AnimalsYearOfDate(value)) + QStringLiteral("年"));
    lblAnimalsYear_->adjustSize();
    lblSelected_->setText(fromUtf8(formatIsoDate(value)) + QStringLiteral(" 农历") + cnDate_);
    lblSelected_->adjustSize();
    rebuildMonth();
}

void TChnCalendar::rebuildMonth() {
    syncUpDowns();
    try {
        fillCells();
        rebuildBackground();
        grid_->update();
        update();
        emit OnChange(this);
    } catch (...) {
        // A month that cannot be filled shows what was filled; the calendar goes on.
    }
}

void TChnCalendar::fillCells() {
    const DayCellColours colours{colorDate_, colorCnDate_, colorHoliday_, colorLunarHolDay_,
                                 colorCnHolDay_};
    fillMonthCells(dateTime_, colours, cells_, weekNums_,
                   [this](QPoint cell, const QString& constellation) {
                       lblConstellation_->setText(constellation);
                       lblConstellation_->adjustSize();
                       updating_ = true;
                       grid_->moveTo(cell.x(), cell.y());
                       updating_ = false;
                   });
}

void TChnCalendar::syncUpDowns() {
    const DateParts parts = decodeDate(dateTime_);
    udYear_->setPosition(parts.year);
    udMonth_->setPosition(parts.month);
}

void TChnCalendar::placeMonthLabel() {
    // Right-aligned: the number ends where the "月" label begins.
    lblMonth_->adjustSize();
    lblMonth_->move(lblMonthUnit_->x() - lblMonth_->width(), lblMonth_->y());
}

// ---------------------------------------------------------------- navigation

void TChnCalendar::monthUpDownClick(int position) {
    int year = decodeDate(dateTime_).year;
    if (position == 13) {
        ++year;
        udYear_->setPosition(year);
        udMonth_->setPosition(1);
    } else if (position == 0) {
        --year;
        udYear_->setPosition(year);
        udMonth_->setPosition(12);
    }
    selectKeepingDay(year, udMonth_->Position());
}

void TChnCalendar::yearUpDownClick(int position) {
    selectKeepingDay(position, decodeDate(dateTime_).month);
}

void TChnCalendar::selectKeepingDay(int year, int month) {
    if (const auto value = dateKeepingDay(dateTime_, year, month)) SelectDate(*value);
    // A refused date (before 1901, after 2050) leaves the up-downs on the shown month,
    // so the next step starts from it and not from where the refused one pointed.
    syncUpDowns();
}

bool TChnCalendar::selectCell(int column, int row) {
    if (updating_) return true;
    const auto date = cellDate(cells_, dateTime_, column, row);
    if (!date) return false;
    SelectDate(*date);
    return true;
}

void TChnCalendar::gridClicked(int column, int row) {
    if (QPoint(column, row) == current_) emit OnDateSelect(this);
}

bool TChnCalendar::eventFilter(QObject* watched, QEvent* event) {
    const bool monthLabel = watched == lblMonth_ || watched == lblMonthUnit_;
    const bool yearLabel = watched == lblYear_ || watched == lblYearUnit_;
    QMenu* menu = monthLabel ? monthMenu_ : yearLabel ? yearMenu_ : nullptr;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;  // a press on a label is the label's, never the start of a drag
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return true;
            if (!static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                return true;
            if (watched == lblToday_)
                SelectDate(currentClock().now());
            else if (menu)
                menu->popup(mouse->globalPosition().toPoint());
            return true;
        }
        case QEvent::ContextMenu:
            if (menu) menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void TChnCalendar::mousePressEvent(QMouseEvent* event) { emit OnMouseDown(this, event); }

// ---------------------------------------------------------------- properties

void TChnCalendar::setShowWeekNum(bool value) {
    if (value == showWeekNum_) return;
    showWeekNum_ = value;
    grid_->update();
}

void TChnCalendar::setColorWeekNum(QColor c) {
    colorWeekNum_ = c;
    if (showWeekNum_) grid_->update();
}

void TChnCalendar::setColorShowFrame(QColor c) {
    colorShowFrame_ = c;
    if (!showFrame_) return;
    rebuildBackground();
    update();
}

void TChnCalendar::setBackGround(const QImage& picture) {
    backGround_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    layerStale_ = true;
    rebuildBackground();
    update();
}

void TChnCalendar::setTransparent(bool value) {
    transparent_ = value;
    rebuildBackground();
}

void TChnCalendar::setAlphaBlend(int value) {
    alphaBlend_ = std::clamp(value, 0, 255);  // a byte
    rebuildBackground();
    update();
}

void TChnCalendar::setGridFlag(bool& field, bool value) {
    field = value;
    grid_->update();
}

void TChnCalendar::setGridColour(QColor& field, QColor c) {
    field = c;
    grid_->update();
}

void TChnCalendar::setCellColour(QColor& field, QColor c) {
    field = c;
    rebuildMonth();
}

void TChnCalendar::setBackFlag(bool& field, bool value) {
    field = value;
    rebuildBackground();
    update();
}

void TChnCalendar::setLayerFlag(bool& field, bool value) {
    layerStale_ = true;
    setBackFlag(field, value);
}

void TChnCalendar::setBackColour(QColor& field, QColor c) {
    field = c;
    rebuildBackground();
    update();
}

QColor TChnCalendar::labelColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void TChnCalendar::setLabelColour(QLabel* label, QColor c) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, c);
    label->setPalette(palette);
}

QColor TChnCalendar::ColorTitleToday() const { return labelColour(lblToday_); }
void TChnCalendar::setColorTitleToday(QColor c) { setLabelColour(lblToday_, c); }
QColor TChnCalendar::ColorTitleMonth() const { return labelColour(lblMonth_); }
void TChnCalendar::setColorTitleMonth(QColor c) { setLabelColour(lblMonth_, c); }
QColor TChnCalendar::ColorTitleYear() const { return labelColour(lblYear_); }
void TChnCalendar::setColorTitleYear(QColor c) { setLabelColour(lblYear_, c); }
QColor TChnCalendar::ColorTitleSelected() const { return labelColour(lblSelected_); }
void TChnCalendar::setColorTitleSelected(QColor c) { setLabelColour(lblSelected_, c); }
QColor TChnCalendar::ColorTitleConstellation() const { return labelColour(lblConstellation_); }
void TChnCalendar::setColorTitleConstellation(QColor c) { setLabelColour(lblConstellation_, c); }
QColor TChnCalendar::ColorTitleAnimalsYear() const { return labelColour(lblAnimalsYear_); }
void TChnCalendar::setColorTitleAnimalsYear(QColor c) { setLabelColour(lblAnimalsYear_, c); }

}  // namespace plumo