#pragma once

#include <QWidget>

namespace plumo {

// A bare up-down: two arrow buttons stepping a position within a range. Each step
// reports the new position through Click, also when the position stays at its limit.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(int min, int max, QWidget* parent);
    int Position() const { return position_; }
    void setPosition(int position);  // kept within the range, raises nothing
    void stepBy(int delta);          // what a click on an arrow does

signals:
    void Click(int position);

private:
    int min_;
    int max_;
    int position_;
};

}  // namespace plumo
