#pragma once

// The calendar window: a borderless 313 x 253 window that the companion creates hidden
// at start-up and then shows and hides. Each show places it at the bottom-right corner
// of the work area.

#include <QImage>
#include <QString>
#include <QWidget>

namespace plumo {

class TmonFrm : public QWidget {
    Q_OBJECT
public:
    // `programFolder` ends with '/'; the background is its "skin/bg.bmp".
    TmonFrm(const QString& programFolder, QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();

    QString programFolder_;
    QImage background_;
};

}  // namespace plumo
