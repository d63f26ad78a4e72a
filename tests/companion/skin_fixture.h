#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>

namespace plumo::test {

// A complete skin folder of plain-coloured pictures, so that tests can tell which
// picture a control shows by one pixel.
struct SkinColours {
    QColor g1{200, 40, 40};
    QColor g2{40, 40, 200};
    QColor spop{250, 250, 250};
    QColor bpop{230, 230, 255};
    QColor menu{120, 120, 120};
};

// Writes g1, g2, spop, bpop, menu (PNG, no extension) and a two-frame i.gif into
// `folder`/skin. The girl pictures are transparent in their top-left 10x10 corner.
void writeSkinFolder(const std::filesystem::path& folder, const SkinColours& colours = {});

// A solid picture of the given size; `transparentCorner` clears a 10x10 corner.
QImage solidPicture(int width, int height, const QColor& colour, bool transparentCorner);

// Writes a GIF of `frames` frames (each a 49x14 canvas with its left half transparent).
void writeEyeGif(const std::filesystem::path& file, int frames);

}  // namespace plumo::test
