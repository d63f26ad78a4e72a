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

// Writes the pictures of writeSkinFolder at twice their size beside them ("g1@2x" ...
// "menu@2x", "i@2x.gif"). Their transparent corners are 19x19: one device pixel less than
// the 1x corners doubled, so that a shape cut at the device pixels tells from a doubled one.
void writeDoubleSizeSkins(const std::filesystem::path& folder, const SkinColours& colours = {});

// A solid picture of the given size; `transparentCorner` clears a `corner` x `corner` corner.
QImage solidPicture(int width, int height, const QColor& colour, bool transparentCorner,
                    int corner = 10);

// Writes a GIF of `frames` frames (each a 49x14 canvas with its left half transparent),
// at `scale` times that size.
void writeEyeGif(const std::filesystem::path& file, int frames, int scale = 1);

}  // namespace plumo::test
