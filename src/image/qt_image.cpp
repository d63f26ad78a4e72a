#include "image/qt_image.h"

#include <cstring>

namespace plumo {

QImage toQImage(const RgbaImage& image) {
    const std::size_t rowBytes = std::size_t(image.width) * 4;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != rowBytes * std::size_t(image.height)) {
        return QImage();
    }
    QImage result(image.width, image.height, QImage::Format_RGBA8888);
    if (result.isNull()) return result;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(result.scanLine(y), image.pixels.data() + rowBytes * std::size_t(y), rowBytes);
    }
    return result;
}

}  // namespace plumo
