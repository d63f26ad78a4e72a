#include "image/png_decoder.h"

#include <cmath>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <png.h>

#include "support/temp_dir.h"
#include "test_image_writers.h"
#include "test_pixels.h"

namespace plumo {
namespace {

using test::pixelAt;
using test::Rgba;

using test::PngSpec;
using test::writePng;

std::string problemOf(const std::string& bytes, const std::string& name = "skin/g1") {
    try {
        decodePngBytes(bytes, name);
    } catch (const ImageError& error) {
        return error.what();
    }
    return "decoded without error";
}

PngSpec plainSpec(int width, int height, int colorType, int bitDepth,
                  std::vector<std::vector<std::uint8_t>> rows) {
    PngSpec layout;
    layout.width = width;
    layout.height = height;
    layout.colorType = colorType;
    layout.bitDepth = bitDepth;
    layout.rows = std::move(rows);
    return layout;
}

PngSpec rgbaSpec(int width, int height) {
    PngSpec layout;
    layout.width = width;
    layout.height = height;
    layout.colorType = PNG_COLOR_TYPE_RGBA;
    for (int y = 0; y < height; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < width; ++x) {
            row.insert(row.end(), {std::uint8_t(x * 37 + y), std::uint8_t(y * 53 + 7),
                                   std::uint8_t(x * y * 11), std::uint8_t(255 - x * 19 - y * 3)});
        }
        layout.rows.push_back(row);
    }
    return layout;
}

void expectPixelsMatchRgbaRows(const RgbaImage& image, const PngSpec& layout) {
    ASSERT_EQ(image.width, layout.width);
    ASSERT_EQ(image.height, layout.height);
    ASSERT_EQ(image.pixels.size(), std::size_t(layout.width * layout.height * 4));
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            const auto& row = layout.rows[y];
            const Rgba expected{row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
            EXPECT_EQ(pixelAt(image, x, y), expected) << "at " << x << "," << y;
        }
    }
}

TEST(PngDecoding, ColourTypesExpandToRgba) {
    {
        SCOPED_TRACE("RGBA, 8 bits");
        const PngSpec layout = rgbaSpec(5, 3);
        expectPixelsMatchRgbaRows(decodePngBytes(writePng(layout), "a.png"), layout);
    }
    {
        SCOPED_TRACE("RGB gets opaque alpha");
        PngSpec layout = plainSpec(2, 1, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30, 250, 251, 252}});
        const RgbaImage image = decodePngBytes(writePng(layout), "rgb.png");
        EXPECT_EQ(pixelAt(image, 0, 0), (Rgba{10, 20, 30, 255}));
        EXPECT_EQ(pixelAt(image, 1, 0), (Rgba{250, 251, 252, 255}));
    }
    {
        SCOPED_TRACE("grey, 8 bits, and grey with alpha");
        PngSpec grey = plainSpec(3, 1, PNG_COLOR_TYPE_GRAY, 8, {{0, 128, 255}});
        const RgbaImage image = decodePngBytes(writePng(grey), "grey.png");
        EXPECT_EQ(pixelAt(image, 0, 0), (Rgba{0, 0, 0, 255}));
        EXPECT_EQ(pixelAt(image, 1, 0), (Rgba{128, 128, 128, 255}));
        EXPECT_EQ(pixelAt(image, 2, 0), (Rgba{255, 255, 255, 255}));

        PngSpec greyAlpha = plainSpec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{77, 0, 200, 99}});
        const RgbaImage withAlpha = decodePngBytes(writePng(greyAlpha), "ga.png");
        EXPECT_EQ(pixelAt(withAlpha, 0, 0), (Rgba{77, 77, 77, 0}));
        EXPECT_EQ(pixelAt(withAlpha, 1, 0), (Rgba{200, 200, 200, 99}));
    }
    {
        SCOPED_TRACE("grey, 1 and 2 bits, scaled to the full range");
        PngSpec oneBit = plainSpec(8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10110000}});
        const RgbaImage image = decodePngBytes(writePng(oneBit), "bits.png");
        const int expected[8] = {255, 0, 255, 255, 0, 0, 0, 0};
        for (int x = 0; x < 8; ++x) {
            const int v = expected[x];
            EXPECT_EQ(pixelAt(image, x, 0), (Rgba{v, v, v, 255})) << "at " << x;
        }
        PngSpec twoBit = plainSpec(4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0b00011011}});
        const RgbaImage levels = decodePngBytes(writePng(twoBit), "levels.png");
        for (int x = 0; x < 4; ++x) {
            const int v = x * 85;
            EXPECT_EQ(pixelAt(levels, x, 0), (Rgba{v, v, v, 255})) << "at " << x;
        }
    }
    {
        SCOPED_TRACE("grey with a transparent grey value");
        PngSpec layout = plainSpec(3, 1, PNG_COLOR_TYPE_GRAY, 8, {{5, 6, 5}});
        layout.transparentGrey = 5;
        const RgbaImage image = decodePngBytes(writePng(layout), "tgrey.png");
        EXPECT_EQ(pixelAt(image, 0, 0).a, 0);
        EXPECT_EQ(pixelAt(image, 1, 0), (Rgba{6, 6, 6, 255}));
        EXPECT_EQ(pixelAt(image, 2, 0).a, 0);
    }
}

TEST(PngDecoding, PaletteWithTransparency) {
    PngSpec layout;
    layout.width = 4;
    layout.height = 2;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = 2;
    layout.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 192, 220, 192};
    layout.paletteAlpha = {0, 128};  // entries past the tRNS list stay opaque
    layout.rows = {{0b00011011}, {0b11100100}};
    const RgbaImage image = decodePngBytes(writePng(layout), "palette.png");
    const Rgba colours[4] = {
        {255, 0, 0, 0}, {0, 255, 0, 128}, {0, 0, 255, 255}, {192, 220, 192, 255}};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), colours[x]) << "row 0 at " << x;
        EXPECT_EQ(pixelAt(image, x, 1), colours[3 - x]) << "row 1 at " << x;
    }

    layout.bitDepth = 8;
    layout.rows = {{3, 2, 1, 0}, {0, 0, 1, 1}};
    const RgbaImage eightBit = decodePngBytes(writePng(layout), "palette8.png");
    EXPECT_EQ(pixelAt(eightBit, 0, 0), colours[3]);
    EXPECT_EQ(pixelAt(eightBit, 3, 0), colours[0]);
    EXPECT_EQ(pixelAt(eightBit, 2, 1), colours[1]);
}

TEST(PngDecoding, SixteenBitChannelsRoundToEightBits) {
    const std::uint16_t values[] = {0x0000, 0x00FF, 0x0080, 0x7FFF, 0x8080, 0xFF00, 0xFF7F, 0xFFFF};
    PngSpec layout;
    layout.width = 8;
    layout.height = 1;
    layout.colorType = PNG_COLOR_TYPE_RGBA;
    layout.bitDepth = 16;
    std::vector<std::uint8_t> row;
    for (int x = 0; x < 8; ++x) {
        const std::uint16_t channels[4] = {values[x], values[7 - x], values[x],
                                           values[(x + 3) % 8]};
        for (std::uint16_t c : channels)
            row.insert(row.end(), {std::uint8_t(c >> 8), std::uint8_t(c)});
    }
    layout.rows = {row};
    const RgbaImage image = decodePngBytes(writePng(layout), "deep.png");
    auto scaled = [](std::uint16_t v) { return int(std::lround(v * 255.0 / 65535.0)); };
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(pixelAt(image, x, 0), (Rgba{scaled(values[x]), scaled(values[7 - x]),
                                              scaled(values[x]), scaled(values[(x + 3) % 8])}))
            << "at " << x;
    }

    PngSpec grey = plainSpec(2, 1, PNG_COLOR_TYPE_GRAY, 16, {{0x12, 0x34, 0xFF, 0x00}});
    const RgbaImage greyImage = decodePngBytes(writePng(grey), "grey16.png");
    const int g0 = scaled(0x1234), g1 = scaled(0xFF00);
    EXPECT_EQ(pixelAt(greyImage, 0, 0), (Rgba{g0, g0, g0, 255}));
    EXPECT_EQ(pixelAt(greyImage, 1, 0), (Rgba{g1, g1, g1, 255}));
}

TEST(PngDecoding, InterlacedMatchesItsPixels) {
    PngSpec layout = rgbaSpec(11, 9);  // odd sizes leave some Adam7 passes partly empty
    layout.interlaced = true;
    expectPixelsMatchRgbaRows(decodePngBytes(writePng(layout), "adam7.png"), layout);

    PngSpec onePixel = rgbaSpec(1, 1);
    onePixel.interlaced = true;
    expectPixelsMatchRgbaRows(decodePngBytes(writePng(onePixel), "dot.png"), onePixel);
}

TEST(PngDecoding, ReadsFilesAndNamesTheFileInErrors) {
    test::TempDir dir;
    const PngSpec layout = rgbaSpec(3, 2);
    dir.write("skin/g1", writePng(layout));
    expectPixelsMatchRgbaRows(decodePngFile((dir / "skin/g1").string()), layout);

    const std::string missing = (dir / "skin/g2").string();
    try {
        decodePngFile(missing);
        ADD_FAILURE() << "a missing file decoded";
    } catch (const ImageError& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": cannot open: No such file or directory");
        EXPECT_EQ(error.fileName(), missing);
    }

    std::filesystem::create_directories(dir / "skin/spop");
    const std::string folder = (dir / "skin/spop").string();
    try {
        decodePngFile(folder);
        ADD_FAILURE() << "a directory decoded";
    } catch (const ImageError& error) {
        EXPECT_EQ(std::string(error.what()), folder + ": cannot read: Is a directory");
    }

    dir.write("skin/bpop", "");
    EXPECT_EQ(problemOf(dir.read("skin/bpop"), "skin/bpop"), "skin/bpop: file is empty");
    EXPECT_THROW(decodePngFile((dir / "skin/bpop").string()), ImageError);
}

TEST(PngDecoding, RejectsOtherFormatsAndOversizedImages) {
    EXPECT_EQ(problemOf("GIF89a\x01\x00\x01\x00"), "skin/g1: not a PNG file");
    EXPECT_EQ(problemOf("BM"), "skin/g1: not a PNG file");
    EXPECT_EQ(problemOf(std::string("\x89PNG", 4)), "skin/g1: file is truncated");

    auto headerOnly = [](std::uint32_t width, std::uint32_t height) {
        std::string ihdr;
        for (std::uint32_t v : {width, height}) {
            for (int shift = 24; shift >= 0; shift -= 8) ihdr += char((v >> shift) & 0xFF);
        }
        ihdr += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, not interlaced
        return std::string("\x89PNG\r\n\x1a\n", 8) + test::pngChunk("IHDR", ihdr) +
               test::pngChunk("IDAT", "") + test::pngChunk("IEND", "");
    };
    // Over the side limit, and within it but over the memory limit.
    for (auto [w, h] : {std::pair{20000u, 10u}, std::pair{10u, 16385u}, std::pair{9000u, 9000u}}) {
        const std::string message = problemOf(headerOnly(w, h));
        EXPECT_NE(message.find("skin/g1: image is too large (" + std::to_string(w) + "x" +
                               std::to_string(h) + ")"),
                  std::string::npos)
            << message;
    }
    // Within the limits but with no pixel data at all.
    const std::string message = problemOf(headerOnly(4, 4));
    EXPECT_EQ(message.rfind("skin/g1: invalid PNG data", 0), 0u) << message;
}

TEST(PngDecoding, TruncationAtEveryOffsetIsAnError) {
    PngSpec layout = rgbaSpec(6, 5);
    layout.interlaced = true;
    const std::string bytes = writePng(layout);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::string message = problemOf(bytes.substr(0, length));
        EXPECT_EQ(message.rfind("skin/g1: ", 0), 0u) << "cut at " << length << ": " << message;
    }
    EXPECT_EQ(problemOf(bytes.substr(0, bytes.size() - 20)), "skin/g1: file is truncated");
}

TEST(PngDecoding, CorruptBytesNeverCrash) {
    const PngSpec layout = rgbaSpec(7, 6);
    const std::string original = writePng(layout);
    std::mt19937 random(20240611);
    int decoded = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = original;
        const int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i) {
            bytes[random() % bytes.size()] = char(random() % 256);
        }
        try {
            const RgbaImage image = decodePngBytes(bytes, "skin/menu");
            EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 4);
            ++decoded;
        } catch (const ImageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("skin/menu: ", 0), 0u) << error.what();
        }
    }
    // The CRCs catch nearly every change; only changes that leave the pixels alone decode.
    EXPECT_LT(decoded, 2000);
}

}  // namespace
}  // namespace plumo
