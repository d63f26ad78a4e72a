#include "image/image_file.h"

#include "image/rgba_image.h"
#include "platform/regular_file.h"

namespace plumo {

std::string readImageFile(const std::string& path) {
    // Compressed files are far smaller than their pixels; anything bigger is not one of ours.
    try {
        return readRegularFile(path, kMaxImageBytes);
    } catch (const FileReadError& e) {
        throw ImageError(path, e.what());
    }
}

}  // namespace plumo
