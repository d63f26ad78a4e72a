#include "calendar/month_window.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QWindow>

#include "calendar/chn_calendar_picker.h"
#include "platform/application_title.h"
#include "platform/window_state.h"

namespace plumo {

QPoint calendarWindowPosition(const QRect& screen, const QRect& workArea, const QSize& window) {
    // Measured from the screen's own top-left corner, which is the desktop's only on the
    // first screen.
    const int workRight = workArea.x() - screen.x() + workArea.width();
    const int workBottom = workArea.y() - screen.y() + workArea.height();
    const int taskbar =
        screen.height() == workBottom ? screen.width() - workRight : screen.height() - workBottom;
    return {screen.x() + screen.width() - window.width() - 2,
            screen.y() + screen.height() - window.height() - taskbar};
}

TmonFrm::TmonFrm(const QString& programFolder, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      programFolder_(programFolder) {
    setObjectName(QStringLiteral("monFrm"));
    setWindowTitle(kApplicationTitle);  // what window lists show; the window has no title bar
    setFixedSize(TChnCalendar::kWidth, TChnCalendar::kHeight);
    move(584, 122);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);  // the calendar's weekday header

    m = new TChnCalendar(this);
    m->setObjectName(QStringLiteral("m"));
    m->move(0, 0);
    connect(m, &TChnCalendar::OnMouseDown, this, &TmonFrm::mMouseDown);

    // The look of the calendar, in this order.
    const QColor red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255), gray(128, 128, 128),
        skyBlue(166, 202, 240);
    m->setShowWeekNum(false);
    m->setShowFrame(true);
    m->setShowBackYearMonth(false);
    m->setShowWeekNumLine(true);
    m->setColorTitleWeekLine({197, 197, 197});
    m->setColorTitleWeekEnd(red);
    m->setColorTitleWeek({79, 79, 79});
    m->setColorCnDate(green);
    m->setColorDate({79, 79, 79});
    m->setColorHoliday({255, 128, 0});
    m->setColorLunarHolDay(skyBlue);
    m->setColorCnHolDay({255, 128, 0});
    m->setColorSelectedStart({0, 174, 83});
    m->setColorSelectedEnd({0, 213, 101});
    m->setColorSelectedFrame({0, 147, 70});
    m->setColorWeekNum(gray);
    m->setColorShowFrame(gray);
    m->setColorBackYear({255, 232, 221});
    m->setColorBackMonth({235, 235, 235});
    m->setColorTitleToday(blue);
    m->setColorTitleMonth({128, 128, 192});
    m->setColorTitleYear(skyBlue);
    m->setColorTitleSelected(gray);
    m->setColorTitleConstellation({255, 128, 255});
    m->setColorTitleAnimalsYear({128, 0, 255});
    m->setCenter(false);
    m->setAlphaBlend(200);
}

void TmonFrm::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // The window asks to stay on top until it is shown; once placed it is an ordinary
        // window. Changing the flags here, before the window is mapped, costs no flicker.
        if (windowFlags() & Qt::WindowStaysOnTopHint)
            setWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
        FormShow();
        showOffTaskbar(this, [this] { QWidget::setVisible(true); });
        return;
    }
    QWidget::setVisible(visible);
}

void TmonFrm::FormShow() {
    // A missing or unreadable picture leaves the calendar without one.
    QImageReader reader(programFolder_ + QStringLiteral("skin/bg.bmp"), "bmp");
    m->setBackGround(reader.read());
    m->setAlphaBlend(30);
    if (const QScreen* screen = placementScreen())
        move(calendarWindowPosition(screen->geometry(), screen->availableGeometry(), size()));
}

const QScreen* TmonFrm::placementScreen() const {
    if (const QWidget* owner = parentWidget())
        if (const QScreen* screen = owner->screen()) return screen;
    return QGuiApplication::primaryScreen();
}

void TmonFrm::mMouseDown() {
    if (QWindow* window = windowHandle()) window->startSystemMove();
}

}  // namespace plumo
