#include "companion/picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace plumo {

Picture::Picture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground, false);
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this,
            [this] { showFrame((current_ + 1) % frameCount()); });
}

void Picture::setImage(const QImage& image) { setFrames({PictureFrame{image.copy(), 0}}); }

void Picture::setFrames(std::vector<PictureFrame> frames) {
    frameTimer_.stop();
    frames_ = std::move(frames);
    showFrame(0);
}

const QImage& Picture::currentImage() const {
    static const QImage empty;
    return frames_.empty() ? empty : frames_[current_].image;
}

QSize Picture::pictureSize() const { return currentImage().deviceIndependentSize().toSize(); }

void Picture::showFrame(int index) {
    current_ = frames_.empty() ? 0 : index;
    update();
    emit frameChanged();
    if (frames_.size() > 1) frameTimer_.start(std::max(frames_[current_].delayMs, 10));
}

void Picture::paintEvent(QPaintEvent*) {
    const QImage& image = currentImage();
    if (image.isNull()) return;
    QPainter painter(this);
    if (image.devicePixelRatio() != 1.0) painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPoint(0, 0), image);
}

void Picture::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button());
    QWidget::mousePressEvent(event);
}

}  // namespace plumo
