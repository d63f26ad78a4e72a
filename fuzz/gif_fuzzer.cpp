// GIF animations as the companion reads her eyes: every frame composed on the canvas, or
// the file refused with a message.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "image/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const plumo::GifAnimation animation = plumo::decodeGifBytes(bytes, "i.gif");
        FUZZ_CHECK(animation.width > 0 && animation.height > 0, "decoded an empty canvas");
        FUZZ_CHECK(!animation.frames.empty(), "decoded an animation without frames");
        const std::size_t canvasBytes = std::size_t(animation.width) * animation.height * 4;
        FUZZ_CHECK(animation.frames.size() * canvasBytes <= plumo::kMaxImageBytes,
                   "the frames exceed the memory bound");
        for (const plumo::GifFrame& frame : animation.frames) {
            FUZZ_CHECK(frame.image.width == animation.width &&
                           frame.image.height == animation.height &&
                           frame.image.pixels.size() == canvasBytes,
                       "a frame is not the whole canvas");
            FUZZ_CHECK(frame.delayMs >= 10, "a frame shows for less than a centisecond");
        }
    } catch (const plumo::ImageError& error) {
        FUZZ_CHECK(error.fileName() == "i.gif", "the message names another file");
        FUZZ_CHECK(!error.problem().empty(), "the message names no problem");
    }
    return 0;
}
