#pragma once

#include <QImage>

#include "image/rgba_image.h"

namespace plumo {

// A deep copy as QImage::Format_RGBA8888 (straight alpha); a null QImage for an empty image.
QImage toQImage(const RgbaImage& image);

}  // namespace plumo
