#include "test_image_writers.h"

#include <csetjmp>
#include <stdexcept>

#include <gif_lib.h>
#include <png.h>
#include <zlib.h>

namespace plumo::test {

namespace {

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

void flushNothing(png_structp) {}

// No object with a destructor is created in this function: libpng may longjmp out of it.
bool runPngWriter(const PngSpec& layout, std::string* out, png_bytep* rowPointers,
                  png_color* palette, int paletteSize) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, appendToString, flushNothing);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (paletteSize > 0) png_set_PLTE(png, info, palette, paletteSize);
    if (!layout.paletteAlpha.empty()) {
        png_set_tRNS(png, info, layout.paletteAlpha.data(), int(layout.paletteAlpha.size()),
                     nullptr);
    }
    if (layout.transparentGrey >= 0) {
        png_color_16 grey{};
        grey.gray = png_uint_16(layout.transparentGrey);
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

void writeGifOrThrow(int result, GifFileType* gif, const char* step) {
    if (result == GIF_ERROR) {
        throw std::runtime_error(std::string("GIF writer failed at ") + step + ": " +
                                 GifErrorString(gif->Error));
    }
}

int appendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// giflib wants a power-of-two colour count; pad with black.
ColorMapObject* makeColourMap(const std::vector<GifColour>& colours) {
    int count = 2;
    while (count < int(colours.size())) count *= 2;
    std::vector<GifColorType> padded(count, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i) {
        padded[i] = GifColorType{colours[i].r, colours[i].g, colours[i].b};
    }
    return GifMakeMapObject(count, padded.data());
}

}  // namespace

std::string writePng(const PngSpec& layout) {
    std::string out;
    std::vector<std::vector<std::uint8_t>> rows = layout.rows;
    std::vector<png_bytep> rowPointers;
    for (auto& row : rows) rowPointers.push_back(row.data());
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < layout.palette.size(); i += 3) {
        palette.push_back(
            png_color{layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
    }
    if (!runPngWriter(layout, &out, rowPointers.data(), palette.data(), int(palette.size()))) {
        throw std::runtime_error("PNG writer failed");
    }
    return out;
}

std::string writeGif(const GifSpec& layout) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendGifBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);

    ColorMapObject* global =
        layout.globalColours.empty() ? nullptr : makeColourMap(layout.globalColours);
    const int globalResult = EGifPutScreenDesc(gif, layout.width, layout.height, 8, 0, global);
    GifFreeMapObject(global);
    try {
        writeGifOrThrow(globalResult, gif, "screen");
        for (const GifFrameSpec& frame : layout.frames) {
            if (frame.hasControl) {
                GraphicsControlBlock control{};
                control.DisposalMode = frame.disposal;
                control.DelayTime = frame.delayCentiseconds;
                control.TransparentColor = frame.transparentIndex;
                GifByteType extension[4];
                const std::size_t length = EGifGCBToExtension(&control, extension);
                writeGifOrThrow(
                    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension), gif,
                    "control");
            }
            // giflib's writer drops the previous frame's local map without freeing it.
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
            ColorMapObject* local =
                frame.localColours.empty() ? nullptr : makeColourMap(frame.localColours);
            const int descResult = EGifPutImageDesc(gif, frame.left, frame.top, frame.width,
                                                    frame.height, frame.interlaced, local);
            GifFreeMapObject(local);
            writeGifOrThrow(descResult, gif, "image");
            std::vector<int> order;
            if (frame.interlaced) {
                const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
                for (int pass = 0; pass < 4; ++pass) {
                    for (int y = start[pass]; y < frame.height; y += step[pass]) order.push_back(y);
                }
            } else {
                for (int y = 0; y < frame.height; ++y) order.push_back(y);
            }
            for (int y : order) {
                std::vector<GifPixelType> line(frame.indices.begin() + y * frame.width,
                                               frame.indices.begin() + (y + 1) * frame.width);
                writeGifOrThrow(EGifPutLine(gif, line.data(), frame.width), gif, "line");
            }
        }
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR) throw std::runtime_error("EGifCloseFile failed");
    return out;
}

std::string pngChunk(const std::string& type, const std::string& data) {
    std::string chunk;
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) chunk += char((length >> shift) & 0xFF);
    chunk += type + data;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), uInt(type.size()));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) chunk += char((crc >> shift) & 0xFF);
    return chunk;
}

}  // namespace plumo::test
