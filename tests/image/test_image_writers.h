#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small in-memory PNG and GIF writers, so that tests decode files whose every pixel they know.
namespace plumo::test {

struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<std::uint8_t>> rows;  // raw rows as libpng writes them (packed bits)
    std::vector<std::uint8_t> palette;            // R,G,B triples for palette images
    std::vector<std::uint8_t> paletteAlpha;       // tRNS for palette images
    int transparentGrey = -1;                     // tRNS for grey images
};

std::string writePng(const PngSpec& layout);

struct GifColour {
    std::uint8_t r, g, b;
};

struct GifFrameSpec {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<GifColour> localColours;  // empty: the global colour map
    std::vector<std::uint8_t> indices;    // width * height, rows top to bottom
    bool hasControl = false;              // write a graphics control extension
    int delayCentiseconds = 0;
    int transparentIndex = -1;
    int disposal = 0;
};

struct GifSpec {
    int width = 0;
    int height = 0;
    std::vector<GifColour> globalColours;  // empty: no global colour map
    std::vector<GifFrameSpec> frames;
};

std::string writeGif(const GifSpec& layout);

// A PNG chunk with its length and CRC, for building deliberately odd files.
std::string pngChunk(const std::string& type, const std::string& data);

}  // namespace plumo::test
