#pragma once

// The calendar window: a borderless 313 x 253 window holding one calendar control. The
// companion creates it hidden at start-up and then shows and hides it; each show loads
// the background picture "skin/bg.bmp" and places the window at the bottom-right corner
// of its owner's screen (the primary one without an owner), just above the taskbar.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QScreen;

namespace plumo {

class TChnCalendar;

// Where the window goes on `screen` (in desktop coordinates, as `workArea`): at the right
// edge less 2 pixels, its bottom lifted by the taskbar when the taskbar is at the bottom
// or the right (the screen's height meeting the work area's bottom means the taskbar is
// not at the bottom).
QPoint calendarWindowPosition(const QRect& screen, const QRect& workArea, const QSize& window);

class TmonFrm : public QWidget {
    Q_OBJECT
public:
    // `programFolder` ends with '/'.
    TmonFrm(const QString& programFolder, QWidget* owner);

    TChnCalendar* m = nullptr;  // the calendar, filling the window

    void setVisible(bool visible) override;

private:
    void FormShow();
    void mMouseDown();
    const QScreen* placementScreen() const;

    QString programFolder_;
};

}  // namespace plumo
