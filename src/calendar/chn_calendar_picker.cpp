#include "calendar/chn_calendar_picker.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "calendar/date_cn.h"
#include "platform/clock.h"

namespace plumo {
namespace {

constexpr int kColumns = 8;
constexpr int kRows = 7;
constexpr int kWeekColumnWidth = 18;
constexpr int kDayColumnWidth = 40;
constexpr int kHeaderHeight = 18;
constexpr int kDayRowHeight = 28;
constexpr int kGridWidth = kWeekColumnWidth + 7 * kDayColumnWidth;  // 298
constexpr int kGridHeight = kHeaderHeight + 6 * kDayRowHeight;      // 186
const QColor kRed(255, 0, 0);

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

QFont songFont(int points) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(points);
    return font;
}

QFont arialBlack(int points) {
    QFont font(QStringLiteral("Arial Black"));
    font.setPointSize(points);
    font.setWeight(QFont::Black);  // the family substitute alone draws it regular
    return font;
}

// One line, cut with an ellipsis to the rectangle's width.
void drawLine(QPainter& painter, const QRect& rect, int alignment, const QString& text) {
    const QString shown =
        painter.fontMetrics().elidedText(text, Qt::ElideRight, std::max(rect.width(), 0));
    painter.drawText(rect, alignment | Qt::TextSingleLine, shown);
}

// Rounds halves to even, as the colour steps of the gradient are defined.
int roundEven(double value) { return static_cast<int>(std::lrint(value)); }

}  // namespace

// ---------------------------------------------------------------- up-down

TUpDown::TUpDown(int min, int max, QWidget* parent)
    : QWidget(parent), min_(min), max_(max), position_(min) {
    setFixedSize(16, 24);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const bool up : {true, false}) {
        auto* button = new QToolButton(this);
        button->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(16, 12);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(up ? QStringLiteral("up") : QStringLiteral("down"));
        connect(button, &QToolButton::clicked, this, [this, up] { stepBy(up ? 1 : -1); });
        layout->addWidget(button);
    }
}

void TUpDown::setPosition(int position) { position_ = std::clamp(position, min_, max_); }

void TUpDown::stepBy(int delta) {
    setPosition(position_ + delta);
    emit Click(position_);
}

// ---------------------------------------------------------------- grid

// The month grid: 8 columns (week numbers, Sunday to Saturday) by 7 rows (weekday
// header, six weeks). It owns only the current cell and the mouse and key handling;
// every cell is drawn by the calendar from its records.
class TCalendarGrid : public QWidget {
public:
    explicit TCalendarGrid(TChnCalendar* calendar) : QWidget(calendar), calendar_(calendar) {
        setObjectName(QStringLiteral("grid"));
        setGeometry(TChnCalendar::kGridLeft, TChnCalendar::kGridTop, kGridWidth, kGridHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
    }

    // Moves the current cell when the calendar's rule allows it; the current cell itself
    // is no move and asks nothing.
    void moveTo(int column, int row) {
        if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return;
        if (calendar_->current_ == QPoint(column, row)) return;
        if (!calendar_->selectCell(column, row)) return;
        if (calendar_->current_ == QPoint(column, row)) return;
        calendar_->current_ = QPoint(column, row);
        update();
    }

    static QPoint cellAt(const QPoint& point) {
        const int x = point.x(), y = point.y();
        if (x < 0 || y < 0 || x >= kGridWidth || y >= kGridHeight) return {-1, -1};
        const int column = x < kWeekColumnWidth ? 0 : 1 + (x - kWeekColumnWidth) / kDayColumnWidth;
        const int row = y < kHeaderHeight ? 0 : 1 + (y - kHeaderHeight) / kDayRowHeight;
        return {column, row};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                if (event->rect().intersects(TChnCalendar::CellRect(column, row)))
                    calendar_->drawCell(painter, column, row);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        pressed_ = cellAt(event->position().toPoint());
        moveTo(pressed_.x(), pressed_.y());
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPoint cell = cellAt(event->position().toPoint());
        if (cell == pressed_ && cell.x() >= 0) calendar_->gridClicked(cell.x(), cell.y());
        pressed_ = {-1, -1};
    }

    void keyPressEvent(QKeyEvent* event) override {
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

private:
    TChnCalendar* calendar_;
    QPoint pressed_{-1, -1};
};

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

    cellBuffer_ = QImage(kDayColumnWidth, kDayRowHeight, QImage::Format_RGB32);
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

QRect TChnCalendar::CellRect(int column, int row) {
    const int x = column == 0 ? 0 : kWeekColumnWidth + (column - 1) * kDayColumnWidth;
    const int y = row == 0 ? 0 : kHeaderHeight + (row - 1) * kDayRowHeight;
    return {x, y, column == 0 ? kWeekColumnWidth : kDayColumnWidth,
            row == 0 ? kHeaderHeight : kDayRowHeight};
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
    const DateParts selected = decodeDate(dateTime_);
    for (auto& text : weekNums_) text.clear();
    for (int i = 1; i <= int(cells_.size()); ++i) {
        DayCell& cell = cells_[i - 1];
        cell = DayCell{};
        cell.dayColour = (i % 7 == 0 || i % 7 == 1) ? kRed : colorDate_;
    }

    const int first = dayOfWeek(encodeDate(selected.year, selected.month, 1));
    const int days = daysInMonth(selected.year, selected.month);
    int previousWeek = 0;
    std::size_t nextWeekSlot = 0;
    for (int d = 1; d <= days; ++d) {
        const int i = first + d - 1;
        const DateTime x = encodeDate(selected.year, selected.month, d);
        const int week = isoWeekNumber(x);
        if (week != previousWeek && nextWeekSlot < weekNums_.size())
            weekNums_[nextWeekSlot++] = QString::number(week);
        previousWeek = week;

        DayCell& cell = cells_[i - 1];
        cell.day = d;
        cell.dayText = QString::number(d);
        cell.cnMonthText = fromUtf8(DateCn::CnMonthOfDate(x));
        cell.cnDayText = fromUtf8(DateCn::CnDayOfDate(x));
        if (cell.cnDayText == QStringLiteral("初一")) {
            cell.lowerText = cell.cnMonthText;
            cell.lowerColour = kRed;
        } else {
            cell.lowerText = cell.cnDayText;
            cell.lowerColour = colorCnDate_;
        }
        const std::pair<std::string, QColor> overrides[] = {
            {DateCn::HolidayOfDay(d, dateTime_), colorHoliday_},
            {DateCn::SolarTermOfDate(x), colorLunarHolDay_},
            {DateCn::CnHolDayOfDate(x), colorCnHolDay_},
        };
        for (const auto& [text, colour] : overrides)
            if (!text.empty()) {
                cell.lowerText = fromUtf8(text);
                cell.lowerColour = colour;
            }

        if (d == selected.day) {
            lblConstellation_->setText(fromUtf8(DateCn::ConstellationOfDay(selected.day, x)));
            lblConstellation_->adjustSize();
            updating_ = true;
            static_cast<TCalendarGrid*>(grid_)->moveTo((i - 1) % 7 + 1, (i - 1) / 7 + 1);
            updating_ = false;
        }
        cell.hasDay = true;
    }
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
    // A day the target month lacks becomes its last day (31 May -> 30 June).
    const int day = std::min(decodeDate(dateTime_).day, daysInMonth(year, month));
    if (const auto value = tryEncodeDate(year, month, day)) SelectDate(*value);
    // A refused date (before 1901, after 2050) leaves the up-downs on the shown month,
    // so the next step starts from it and not from where the refused one pointed.
    syncUpDowns();
}

bool TChnCalendar::selectCell(int column, int row) {
    if (updating_) return true;
    if (column == 0 || row == 0) return false;
    const DayCell& cell = cells_[(row - 1) * 7 + column - 1];
    if (!cell.hasDay) return false;
    const DateParts parts = decodeDate(dateTime_);
    SelectDate(encodeDate(parts.year, parts.month, cell.day));
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

// ---------------------------------------------------------------- drawing

void TChnCalendar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), backBuffer_);
}

void TChnCalendar::drawCell(QPainter& gridPainter, int column, int row) {
    const QRect cellRect = CellRect(column, row);
    const int w = cellRect.width(), h = cellRect.height();
    const QRect local(0, 0, w, h);
    QPainter p(&cellBuffer_);
    p.drawImage(QPoint(0, 0), backBuffer_, cellRect.translated(kGridLeft, kGridTop));
    p.setFont(font());
    p.setBackgroundMode(Qt::TransparentMode);

    if (row == 0) {
        static const QString names[] = {QString(),
                                        QStringLiteral("星期日"),
                                        QStringLiteral("星期一"),
                                        QStringLiteral("星期二"),
                                        QStringLiteral("星期三"),
                                        QStringLiteral("星期四"),
                                        QStringLiteral("星期五"),
                                        QStringLiteral("星期六")};
        const QString text =
            column == 0 ? (showWeekNum_ ? QStringLiteral("W") : QString()) : names[column];
        p.setPen(column == 0                    ? colorWeekNum_
                 : (column == 1 || column == 7) ? colorTitleWeekEnd_
                                                : colorTitleWeek_);
        drawLine(p, local.adjusted(0, 0, -2, 0), Qt::AlignHCenter | Qt::AlignTop, text);
        p.setPen(colorTitleWeekLine_);
        p.drawLine(0, h - 4, w - 1, h - 4);
        if (column == 0 && showWeekNum_ && showWeekNumLine_) p.drawLine(w - 1, 0, w - 1, h - 1);
    } else if (column >= 1) {
        const DayCell& cell = cells_[(row - 1) * 7 + column - 1];
        const bool selected = current_ == QPoint(column, row);
        if (selected) {
            // 256 bands, each with the colour of its step; later bands cover earlier ones.
            const int r0 = colorSelectedStart_.red(), g0 = colorSelectedStart_.green(),
                      b0 = colorSelectedStart_.blue();
            const int dr = colorSelectedEnd_.red() - r0, dg = colorSelectedEnd_.green() - g0,
                      db = colorSelectedEnd_.blue() - b0;
            for (int k = 1; k <= 256; ++k) {
                const int top = roundEven((k - 1) * h / 256.0);
                const int bottom = roundEven(k * h / 256.0);
                if (bottom <= top) continue;
                const QColor band(std::clamp(r0 + roundEven(k * dr / 256.0), 0, 255),
                                  std::clamp(g0 + roundEven(k * dg / 256.0), 0, 255),
                                  std::clamp(b0 + roundEven(k * db / 256.0), 0, 255));
                p.fillRect(0, top, w, bottom - top, band);
            }
        }
        if (cell.hasDay) {
            p.setFont(songFont9_);
            p.setPen(cell.lowerColour);
            drawLine(p, QRect(2, h / 2, w - 4, h - h / 2), Qt::AlignHCenter | Qt::AlignTop,
                     cell.lowerText);
            p.setFont(heiBold9_);
            p.setPen(cell.dayColour);
            drawLine(p, QRect(2, 0, w - 4, h / 2), Qt::AlignHCenter | Qt::AlignBottom,
                     cell.dayText);
            if (selected) {
                p.setPen(colorSelectedFrame_);
                p.setBrush(Qt::NoBrush);
                p.drawRect(0, 0, w - 1, h - 1);
            }
        }
    } else if (showWeekNum_) {
        const QString& text = weekNums_[row - 1];
        if (!text.isEmpty()) {
            p.setFont(songFont9_);
            p.setPen(colorWeekNum_);
            drawLine(p, local, Qt::AlignCenter, text);
        }
        if (showWeekNumLine_) {
            p.setPen(colorTitleWeekLine_);
            p.drawLine(w - 1, 0, w - 1, h - 1);
        }
    }
    p.end();
    gridPainter.drawImage(cellRect.topLeft(), cellBuffer_, local);
}

void TChnCalendar::rebuildBackground() {
    QPainter p(&backBuffer_);
    const QRect client(0, 0, kWidth, kHeight);
    if (showFrame_) {
        p.fillRect(client, Qt::white);
        p.setPen(colorShowFrame_);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, kWidth - 1, kHeight - 1);
    } else {
        p.fillRect(client, colour_);
    }
    if (showBackYearMonth_) {
        const DateParts parts = decodeDate(dateTime_);
        // The year over the upper half of the grid (moved down 6 pixels), the month over
        // the lower half.
        p.setFont(arialBlack(48));
        p.setPen(colorBackYear_);
        drawLine(p, QRect(QPoint(8, 46), QPoint(305, 118)), Qt::AlignCenter,
                 QString::number(parts.year));
        p.setFont(arialBlack(90));
        p.setPen(colorBackMonth_);
        drawLine(p, QRect(QPoint(8, 113), QPoint(305, 225)), Qt::AlignCenter,
                 QString::number(parts.month));
    }
    p.end();
    drawPicture();
}

void TChnCalendar::drawPicture() {
    if (backGround_.isNull()) {
        pictureLayer_ = QImage();
        layerStale_ = true;
        return;
    }
    const int W = kWidth, H = kHeight, pw = backGround_.width(), ph = backGround_.height();
    if (layerStale_) drawLayer(W, H, pw, ph);

    blendLayer(W, H);
}

// The picture on a white layer of the control's size. The layer depends only on the
// picture, Center and Stretch, so a date change reuses it.
void TChnCalendar::drawLayer(int W, int H, int pw, int ph) {
    layerStale_ = false;
    if (pictureLayer_.size() != QSize(W, H)) pictureLayer_ = QImage(W, H, QImage::Format_RGB32);
    pictureLayer_.fill(Qt::white);
    QPainter p(&pictureLayer_);
    if (stretch_) {
        // The largest rectangle of the picture's proportions that fits the layer.
        const double a = double(pw) / ph;
        int w, h;
        if (pw > ph) {
            w = W;
            h = int(W / a);
            if (h > H) w = int(a * H), h = H;
        } else {
            w = int(a * H);
            h = H;
            if (w > W) h = int(W / a), w = W;
        }
        const QPoint at = center_ ? QPoint((W - w) / 2, (H - h) / 2) : QPoint(0, 0);
        p.drawImage(QRect(at, QSize(w, h)), backGround_);
    } else {
        const QPoint at = center_ ? QPoint((W - pw) / 2, (H - ph) / 2) : QPoint(0, 0);
        p.drawImage(at, backGround_);
    }
}

void TChnCalendar::blendLayer(int W, int H) {
    // Every layer pixel but those of its top-left colour is mixed into the buffer:
    // ((100 - p) * buffer + p * layer) / 100 per channel, never above 255.
    const int percent = alphaBlend_ % 100;
    if (percent == 0) return;  // the buffer as it is
    std::array<int, 256> under, over;
    for (int v = 0; v < 256; ++v) under[v] = (100 - percent) * v, over[v] = percent * v;
    const QRgb key = pictureLayer_.pixel(0, 0) & 0xFFFFFF;
    for (int y = 0; y < H; ++y) {
        const auto* layer = reinterpret_cast<const QRgb*>(pictureLayer_.constScanLine(y));
        auto* buffer = reinterpret_cast<QRgb*>(backBuffer_.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const QRgb l = layer[x], b = buffer[x];
            if ((l & 0xFFFFFF) == key) continue;
            buffer[x] = qRgb((under[qRed(b)] + over[qRed(l)]) / 100,
                             (under[qGreen(b)] + over[qGreen(l)]) / 100,
                             (under[qBlue(b)] + over[qBlue(l)]) / 100);
        }
    }
}

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
