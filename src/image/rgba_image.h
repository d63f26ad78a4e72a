#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace plumo {

// 8-bit straight (not premultiplied) RGBA, rows from top to bottom.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes: R, G, B, A
};

// A file that cannot be read or decoded. what() reads "<file>: <problem>".
class ImageError : public std::runtime_error {
public:
    ImageError(const std::string& fileName, const std::string& problem);

    const std::string& fileName() const { return fileName_; }
    const std::string& problem() const { return problem_; }

private:
    std::string fileName_;
    std::string problem_;
};

// Images beyond these bounds are refused rather than allocated.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::size_t kMaxImageBytes = std::size_t{256} * 1024 * 1024;

// Throws ImageError naming the file when width x height is empty or exceeds the bounds above.
void checkImageSize(const std::string& fileName, std::uint64_t width, std::uint64_t height);

// Blends an image with alpha onto an opaque background colour:
// out = round((src * a + bg * (255 - a)) / 255) per channel, alpha 255 everywhere.
RgbaImage blendOnto(const RgbaImage& image, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace plumo
