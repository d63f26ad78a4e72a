#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

#include "image/rgba_image.h"

namespace plumo::test {

// One decoded pixel, comparable and printable in test messages.
struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& p) {
    return out << "(" << p.r << "," << p.g << "," << p.b << "," << p.a << ")";
}

inline Rgba pixelAt(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.pixels.data() + (std::size_t(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace plumo::test
