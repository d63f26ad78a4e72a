#include "companion/skin_fixture.h"

#include <gif_lib.h>

#include <stdexcept>
#include <vector>

namespace plumo::test {

QImage solidPicture(int width, int height, const QColor& colour, bool transparentCorner,
                    int corner) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    if (transparentCorner)
        for (int y = 0; y < corner; ++y)
            for (int x = 0; x < corner; ++x) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

void writeEyeGif(const std::filesystem::path& file, int frames, int scale) {
    const int width = 49 * scale, height = 14 * scale;
    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    if (!gif) throw std::runtime_error("cannot write " + file.string());
    GifColorType colours[4] = {{0, 0, 0}, {30, 30, 30}, {250, 220, 200}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 2, 0, map);
    for (int f = 0; f < frames; ++f) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_BACKGROUND;
        control.DelayTime = 10;  // 100 ms
        control.TransparentColor = 0;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
        std::vector<GifPixelType> row(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                row[x] = x < 24 * scale ? 0 : static_cast<GifPixelType>(1 + f % 3);
            EGifPutLine(gif, row.data(), width);
        }
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
}

void writeSkinFolder(const std::filesystem::path& folder, const SkinColours& colours) {
    const auto skin = folder / "skin";
    std::filesystem::create_directories(skin);
    auto save = [&](const char* name, const QImage& image) {
        if (!image.save(QString::fromStdString((skin / name).string()), "PNG"))
            throw std::runtime_error(std::string("cannot write skin ") + name);
    };
    save("g1", solidPicture(65, 91, colours.g1, true));
    save("g2", solidPicture(65, 91, colours.g2, true));
    save("spop", solidPicture(105, 91, colours.spop, true));
    save("bpop", solidPicture(105, 91, colours.bpop, true));
    save("menu", solidPicture(105, 91, colours.menu, true));
    writeEyeGif(skin / "i.gif", 3);
}

void writeDoubleSizeSkins(const std::filesystem::path& folder, const SkinColours& colours) {
    const auto skin = folder / "skin";
    std::filesystem::create_directories(skin);
    auto save = [&](const char* name, int width, int height, const QColor& colour) {
        if (!solidPicture(width * 2, height * 2, colour, true, 19)
                 .save(QString::fromStdString((skin / name).string()), "PNG"))
            throw std::runtime_error(std::string("cannot write skin ") + name);
    };
    save("g1@2x", 65, 91, colours.g1);
    save("g2@2x", 65, 91, colours.g2);
    save("spop@2x", 105, 91, colours.spop);
    save("bpop@2x", 105, 91, colours.bpop);
    save("menu@2x", 105, 91, colours.menu);
    writeEyeGif(skin / "i@2x.gif", 3, 2);
}

}  // namespace plumo::test
