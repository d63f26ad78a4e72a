#include "image/rgba_image.h"

namespace plumo {

ImageError::ImageError(const std::string& fileName, const std::string& problem)
    : std::runtime_error(fileName + ": " + problem), fileName_(fileName), problem_(problem) {}

void checkImageSize(const std::string& fileName, std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) {
        throw ImageError(fileName, "image has no pixels (" + std::to_string(width) + "x" +
                                       std::to_string(height) + ")");
    }
    if (width > kMaxImageSide || height > kMaxImageSide || width * height * 4 > kMaxImageBytes) {
        throw ImageError(fileName, "image is too large (" + std::to_string(width) + "x" +
                                       std::to_string(height) + "); at most " +
                                       std::to_string(kMaxImageSide) + " pixels a side and " +
                                       std::to_string(kMaxImageBytes / (1024 * 1024)) +
                                       " MB of pixels are supported");
    }
}

namespace {

std::uint8_t blendChannel(unsigned source, unsigned background, unsigned alpha) {
    // Adding 127 before the division rounds to nearest; a tie cannot occur since 255 is odd.
    return static_cast<std::uint8_t>((source * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace

RgbaImage blendOnto(const RgbaImage& image, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    RgbaImage result;
    result.width = image.width;
    result.height = image.height;
    result.pixels.resize(image.pixels.size());
    for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        const unsigned alpha = image.pixels[i + 3];
        result.pixels[i] = blendChannel(image.pixels[i], r, alpha);
        result.pixels[i + 1] = blendChannel(image.pixels[i + 1], g, alpha);
        result.pixels[i + 2] = blendChannel(image.pixels[i + 2], b, alpha);
        result.pixels[i + 3] = 255;
    }
    return result;
}

}  // namespace plumo
