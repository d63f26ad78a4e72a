// The calendar control's drawing: the background buffer (frame, the pale year and month,
// the blended picture) and the cells of the grid drawn from their records.

#include "calendar/chn_calendar_picker.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "calendar/calendar_fonts.h"

namespace plumo {
namespace {

// One line, cut with an ellipsis to the rectangle's width.
void drawLine(QPainter& painter, const QRect& rect, int alignment, const QString& text) {
    const QString shown =
        painter.fontMetrics().elidedText(text, Qt::ElideRight, std::max(rect.width(), 0));
    painter.drawText(rect, alignment | Qt::TextSingleLine, shown);
}

// Rounds halves to even, as the colour steps of the gradient are defined.
int roundEven(double value) { return static_cast<int>(std::lrint(value)); }

}  // namespace

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

}  // namespace plumo
