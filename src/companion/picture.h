#pragma once

// An image control: draws its picture at natural size from its top-left corner,
// neither stretched nor centred; whatever exceeds its rectangle is cut off. A picture
// with several frames plays them in a loop with their own delays. A picture made for more
// device pixels (its device pixel ratio above 1) keeps its size in window pixels and is
// brought to the screen's device pixels smoothly.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "companion/picture_frame.h"

namespace plumo {

class Picture : public QWidget {
    Q_OBJECT
public:
    explicit Picture(QWidget* parent = nullptr);

    // Shows a copy of `image`; stops any animation.
    void setImage(const QImage& image);
    // Plays the frames in a loop (a single frame is a still picture).
    void setFrames(std::vector<PictureFrame> frames);

    const QImage& currentImage() const;
    int frameCount() const { return static_cast<int>(frames_.size()); }
    int currentFrame() const { return current_; }
    QSize pictureSize() const;  // in window pixels

signals:
    void mousePressed(Qt::MouseButton button);
    void frameChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showFrame(int index);

    std::vector<PictureFrame> frames_;
    int current_ = 0;
    QTimer frameTimer_;
};

}  // namespace plumo
