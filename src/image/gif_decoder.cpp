#include "image/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <gif_lib.h>

#include "image/image_file.h"

namespace plumo {

namespace {

struct MemoryReader {
    const GifByteType* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    bool ranOut = false;  // a read asked for more bytes than were left
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t count =
        std::min(static_cast<std::size_t>(length), reader->size - reader->offset);
    std::memcpy(out, reader->data + reader->offset, count);
    reader->offset += count;
    if (count < static_cast<std::size_t>(length)) reader->ranOut = true;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string describeGifError(int code, const MemoryReader& reader) {
    // giflib reports a short read in a header as a missing header; the cause is the cut.
    if (reader.ranOut) return "file is truncated";
    switch (code) {
        case D_GIF_ERR_READ_FAILED:
            return "file is truncated";
        case D_GIF_ERR_NOT_GIF_FILE:
            return "not a GIF file";
        case D_GIF_ERR_NOT_ENOUGH_MEM:
            return "not enough memory for the image";
        case D_GIF_ERR_WRONG_RECORD:
            return "invalid GIF data (unknown record type)";
        case D_GIF_ERR_EOF_TOO_SOON:
            return "invalid GIF data (image data ends before the frame is complete)";
        case D_GIF_ERR_IMAGE_DEFECT:
            return "invalid GIF data (corrupt image data)";
        case D_GIF_ERR_DATA_TOO_BIG:
            return "invalid GIF data (more image data than the frame holds)";
        default: {
            const char* text = GifErrorString(code);
            return std::string("invalid GIF data (") + (text ? text : "unknown error") + ")";
        }
    }
}

int delayToMs(int centiseconds) { return centiseconds <= 1 ? 100 : centiseconds * 10; }

GraphicsControlBlock noControl() {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = false;
    control.DelayTime = 0;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    return control;
}

// Rows of an interlaced frame arrive in four passes: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    }
    return order;
}

class GifComposer {
public:
    GifComposer(GifFileType* gif, const MemoryReader& reader, const std::string& name)
        : gif_(gif), reader_(reader), name_(name) {}

    GifAnimation run() {
        checkImageSize(name_, static_cast<std::uint64_t>(std::max(0, gif_->SWidth)),
                       static_cast<std::uint64_t>(std::max(0, gif_->SHeight)));
        animation_.width = gif_->SWidth;
        animation_.height = gif_->SHeight;
        canvas_.width = gif_->SWidth;
        canvas_.height = gif_->SHeight;
        canvas_.pixels.assign(canvasBytes(), 0);

        GraphicsControlBlock control = noControl();
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            check(DGifGetRecordType(gif_, &type));
            switch (type) {
                case IMAGE_DESC_RECORD_TYPE:
                    check(DGifGetImageDesc(gif_));
                    readFrame(control);
                    control = noControl();
                    break;
                case EXTENSION_RECORD_TYPE:
                    readExtension(control);
                    break;
                case TERMINATE_RECORD_TYPE:
                    if (animation_.frames.empty()) fail("file contains no image");
                    return std::move(animation_);
                default:
                    fail("invalid GIF data (unknown record type)");
            }
        }
    }

private:
    std::size_t canvasBytes() const {
        return std::size_t(canvas_.width) * std::size_t(canvas_.height) * 4;
    }

    // Pixels plus bookkeeping, so that countless tiny frames are bounded as well.
    std::size_t frameCost() const { return canvasBytes() + sizeof(GifFrame) + 64; }

    [[noreturn]] void fail(const std::string& problem) const { throw ImageError(name_, problem); }

    void check(int result) const {
        if (result == GIF_ERROR) fail(describeGifError(gif_->Error, reader_));
    }

    void readExtension(GraphicsControlBlock& control) {
        int code = 0;
        GifByteType* block = nullptr;
        check(DGifGetExtension(gif_, &code, &block));
        if (code == GRAPHICS_EXT_FUNC_CODE && block) {
            GraphicsControlBlock parsed{};
            // A malformed control block is ignored, as viewers do.
            if (DGifExtensionToGCB(block[0], block + 1, &parsed) == GIF_OK) control = parsed;
        }
        while (block) check(DGifGetExtensionNext(gif_, &block));
    }

    void readFrame(const GraphicsControlBlock& control) {
        const GifImageDesc& desc = gif_->Image;
        const int frameNumber = static_cast<int>(animation_.frames.size()) + 1;
        if (desc.Width > kMaxImageSide || desc.Height > kMaxImageSide) {
            fail("frame " + std::to_string(frameNumber) + " is too large (" +
                 std::to_string(desc.Width) + "x" + std::to_string(desc.Height) + ")");
        }
        if ((animation_.frames.size() + 1) * frameCost() > kMaxImageBytes) {
            fail("animation is too large (more than " + std::to_string(animation_.frames.size()) +
                 " frames of " + std::to_string(canvas_.width) + "x" +
                 std::to_string(canvas_.height) + ")");
        }
        const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        if (!colours) fail("frame " + std::to_string(frameNumber) + " has no colour map");

        RgbaImage previous;
        if (control.DisposalMode == DISPOSE_PREVIOUS) previous = canvas_;

        if (desc.Width > 0 && desc.Height > 0) {
            drawFrame(desc, *colours, control.TransparentColor);
        } else {
            skipImageData();
        }

        animation_.frames.push_back(GifFrame{canvas_, delayToMs(control.DelayTime)});

        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            clearRectangle(desc);
        } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
            canvas_ = std::move(previous);
        }
    }

    void drawFrame(const GifImageDesc& desc, const ColorMapObject& colours, int transparent) {
        std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
        for (int row : rowOrder(desc.Height, desc.Interlace)) {
            check(DGifGetLine(gif_, line.data(), desc.Width));
            const int y = desc.Top + row;
            if (y < 0 || y >= canvas_.height) continue;
            for (int column = 0; column < desc.Width; ++column) {
                const int x = desc.Left + column;
                if (x < 0 || x >= canvas_.width) continue;
                const int index = line[static_cast<std::size_t>(column)];
                // Indices past the end of the colour map draw nothing, like the transparent one.
                if (index == transparent || index >= colours.ColorCount) continue;
                const GifColorType& colour = colours.Colors[index];
                std::uint8_t* pixel =
                    canvas_.pixels.data() + (std::size_t(y) * canvas_.width + x) * 4;
                pixel[0] = colour.Red;
                pixel[1] = colour.Green;
                pixel[2] = colour.Blue;
                pixel[3] = 255;
            }
        }
    }

    void skipImageData() {
        int codeSize = 0;
        GifByteType* block = nullptr;
        check(DGifGetCode(gif_, &codeSize, &block));
        while (block) check(DGifGetCodeNext(gif_, &block));
    }

    void clearRectangle(const GifImageDesc& desc) {
        const int left = std::clamp(desc.Left, 0, canvas_.width);
        const int right = std::clamp(desc.Left + desc.Width, 0, canvas_.width);
        const int top = std::clamp(desc.Top, 0, canvas_.height);
        const int bottom = std::clamp(desc.Top + desc.Height, 0, canvas_.height);
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* row = canvas_.pixels.data() + (std::size_t(y) * canvas_.width) * 4;
            std::fill(row + std::size_t(left) * 4, row + std::size_t(right) * 4, 0);
        }
    }

    GifFileType* gif_;
    const MemoryReader& reader_;
    const std::string& name_;
    GifAnimation animation_;
    RgbaImage canvas_;
};

constexpr char kGifSignature[] = "GIF8";

}  // namespace

GifAnimation decodeGifBytes(const std::string& bytes, const std::string& nameForErrors) {
    if (bytes.empty()) throw ImageError(nameForErrors, "file is empty");
    const std::size_t signatureBytes = std::min(bytes.size(), sizeof kGifSignature - 1);
    if (bytes.compare(0, signatureBytes, kGifSignature, signatureBytes) != 0) {
        throw ImageError(nameForErrors, "not a GIF file");
    }

    MemoryReader reader;
    reader.data = reinterpret_cast<const GifByteType*>(bytes.data());
    reader.size = bytes.size();
    int error = 0;
    GifHandle gif(DGifOpen(&reader, readFromMemory, &error));
    if (!gif) throw ImageError(nameForErrors, describeGifError(error, reader));
    return GifComposer(gif.get(), reader, nameForErrors).run();
}

GifAnimation decodeGifFile(const std::string& path) {
    return decodeGifBytes(readImageFile(path), path);
}

}  // namespace plumo
