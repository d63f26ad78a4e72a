#pragma once

#include <QImage>

namespace plumo {

// One frame of a picture: the image and how long it shows.
struct PictureFrame {
    QImage image;
    int delayMs = 100;
};

}  // namespace plumo
