#pragma once

#include <string>
#include <vector>

#include "image/rgba_image.h"

namespace plumo {

// One frame of an animation: the whole canvas as it shows at that moment.
struct GifFrame {
    RgbaImage image;
    int delayMs = 100;
};

struct GifAnimation {
    int width = 0;
    int height = 0;
    std::vector<GifFrame> frames;  // at least one; a still GIF is a one-frame animation
};

// Decodes every frame of a GIF and composes each onto the canvas: frame offsets, local and
// global colour maps, interlacing, the transparent colour (alpha 0) and the disposal methods
// (keep, clear to transparent, restore previous). A delay of 0 or 1 centisecond plays as 100 ms,
// as browsers do. Throws ImageError naming the file on every failure.
GifAnimation decodeGifFile(const std::string& path);
GifAnimation decodeGifBytes(const std::string& bytes, const std::string& nameForErrors);

}  // namespace plumo
