#include "image/png_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "image/image_file.h"

namespace plumo {

namespace {

// Everything libpng's callbacks and the setjmp frame touch. Only plain data lives here and in
// runLibpng, so a longjmp out of libpng skips no destructor; the vectors belong to the caller.
struct PngJob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    std::vector<std::uint8_t>* pixels = nullptr;
    std::vector<png_bytep>* rows = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool tooLarge = false;
    char message[256] = {};
};

void setMessage(PngJob& job, const char* text) {
    std::snprintf(job.message, sizeof job.message, "%s", text);
}

void onPngError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    // A read callback failure has already stored the clearer message.
    if (job->message[0] == '\0') {
        std::snprintf(job->message, sizeof job->message, "invalid PNG data (%s)",
                      message ? message : "unknown error");
    }
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void onPngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job->size - job->offset) {
        setMessage(*job, "file is truncated");
        png_error(png, "file is truncated");
    }
    std::memcpy(out, job->data + job->offset, length);
    job->offset += length;
}

bool sizeIsAcceptable(png_uint_32 width, png_uint_32 height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           std::uint64_t{width} * height * 4 <= kMaxImageBytes;
}

bool allocateOutput(PngJob& job) noexcept {
    try {
        job.pixels->assign(std::size_t{job.width} * job.height * 4, 0);
        job.rows->resize(job.height);
        for (png_uint_32 y = 0; y < job.height; ++y) {
            (*job.rows)[y] = job.pixels->data() + std::size_t{y} * job.width * 4;
        }
        return true;
    } catch (const std::bad_alloc&) {
        setMessage(job, "not enough memory for the image");
        return false;
    }
}

// Runs libpng over job.data; returns false with job.message set on failure.
bool runLibpng(PngJob& job) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onPngError, onPngWarning);
    if (!png) {
        setMessage(job, "cannot start the PNG decoder");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        setMessage(job, "cannot start the PNG decoder");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    png_set_read_fn(png, &job, onPngRead);
    png_read_info(png, info);

    job.width = png_get_image_width(png, info);
    job.height = png_get_image_height(png, info);
    if (!sizeIsAcceptable(job.width, job.height)) {
        job.tooLarge = true;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    // Every colour type and depth to 8-bit RGBA.
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);  // only where no alpha exists yet
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    if (png_get_rowbytes(png, info) != std::size_t{job.width} * 4) {
        setMessage(job, "unsupported PNG pixel layout");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!allocateOutput(job)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_read_image(png, job.rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

RgbaImage decodePngBytes(const std::string& bytes, const std::string& nameForErrors) {
    if (bytes.empty()) throw ImageError(nameForErrors, "file is empty");
    const std::size_t signatureBytes = std::min(bytes.size(), sizeof kPngSignature);
    if (std::memcmp(bytes.data(), kPngSignature, signatureBytes) != 0) {
        throw ImageError(nameForErrors, "not a PNG file");
    }
    if (bytes.size() < sizeof kPngSignature) throw ImageError(nameForErrors, "file is truncated");

    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    PngJob job;
    job.data = reinterpret_cast<const unsigned char*>(bytes.data());
    job.size = bytes.size();
    job.pixels = &pixels;
    job.rows = &rows;
    if (!runLibpng(job)) {
        if (job.tooLarge) checkImageSize(nameForErrors, job.width, job.height);
        throw ImageError(nameForErrors, job.message);
    }

    RgbaImage image;
    image.width = static_cast<int>(job.width);
    image.height = static_cast<int>(job.height);
    image.pixels = std::move(pixels);
    return image;
}

RgbaImage decodePngFile(const std::string& path) {
    return decodePngBytes(readImageFile(path), path);
}

}  // namespace plumo
