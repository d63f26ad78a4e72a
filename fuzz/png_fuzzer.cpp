// PNG files as the companion reads its skins: decoded to RGBA or refused with a message.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "image/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const plumo::RgbaImage image = plumo::decodePngBytes(bytes, "skin.png");
        FUZZ_CHECK(image.width > 0 && image.height > 0 && image.width <= plumo::kMaxImageSide &&
                       image.height <= plumo::kMaxImageSide,
                   "decoded a PNG of impossible size");
        FUZZ_CHECK(image.pixels.size() == std::size_t(image.width) * image.height * 4,
                   "pixels do not fill the image");
    } catch (const plumo::ImageError& error) {
        FUZZ_CHECK(error.fileName() == "skin.png", "the message names another file");
        FUZZ_CHECK(!error.problem().empty(), "the message names no problem");
    }
    return 0;
}
