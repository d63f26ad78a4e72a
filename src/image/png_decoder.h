#pragma once

#include <string>

#include "image/rgba_image.h"

namespace plumo {

// Decodes a PNG of any colour type, bit depth and interlacing to 8-bit RGBA.
// Palette transparency (tRNS) becomes alpha; 16-bit channels are scaled to 8 bits with rounding.
// Throws ImageError naming the file on every failure.
RgbaImage decodePngFile(const std::string& path);
RgbaImage decodePngBytes(const std::string& bytes, const std::string& nameForErrors);

}  // namespace plumo
