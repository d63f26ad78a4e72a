#include "image/gif_decoder.h"

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "test_image_writers.h"
#include "test_pixels.h"

namespace plumo {
namespace {

using test::pixelAt;
using test::Rgba;

using test::GifColour;
using test::GifFrameSpec;
using test::GifSpec;
using test::writeGif;

const std::vector<GifColour> kColours = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {192, 220, 192}};
constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kWhite{255, 255, 255, 255}, kClear{0, 0, 0, 0};

GifFrameSpec frame(int left, int top, int width, int height, std::vector<std::uint8_t> indices) {
    GifFrameSpec layout;
    layout.left = left;
    layout.top = top;
    layout.width = width;
    layout.height = height;
    layout.indices = std::move(indices);
    return layout;
}

GifFrameSpec controlled(GifFrameSpec layout, int delay, int disposal, int transparent = -1) {
    layout.hasControl = true;
    layout.delayCentiseconds = delay;
    layout.disposal = disposal;
    layout.transparentIndex = transparent;
    return layout;
}

void expectCanvas(const RgbaImage& image, const std::vector<std::vector<Rgba>>& rows) {
    ASSERT_EQ(image.height, int(rows.size()));
    ASSERT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y) {
        ASSERT_EQ(image.width, int(rows[y].size()));
        for (int x = 0; x < image.width; ++x) {
            EXPECT_EQ(pixelAt(image, x, y), rows[y][x]) << "at " << x << "," << y;
        }
    }
}

std::string problemOf(const std::string& bytes, const std::string& name = "skin/i.gif") {
    try {
        decodeGifBytes(bytes, name);
    } catch (const ImageError& error) {
        return error.what();
    }
    return "decoded without error";
}

TEST(GifDecoding, StillImageIsOneFrame) {
    const GifSpec layout{3, 2, kColours, {frame(0, 0, 3, 2, {0, 1, 2, 3, 4, 0})}};
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "still.gif");
    EXPECT_EQ(animation.width, 3);
    EXPECT_EQ(animation.height, 2);
    ASSERT_EQ(animation.frames.size(), 1u);
    EXPECT_EQ(animation.frames[0].delayMs, 100);
    expectCanvas(animation.frames[0].image,
                 {{kRed, kGreen, kBlue}, {kWhite, Rgba{192, 220, 192, 255}, kRed}});
}

TEST(GifDecoding, TransparentColourAndLocalColourMaps) {
    GifFrameSpec first = controlled(frame(0, 0, 3, 1, {0, 2, 1}), 10, 0, 2);
    GifFrameSpec second = controlled(frame(0, 0, 3, 1, {1, 0, 1}), 10, 0, 1);
    second.localColours = {{9, 8, 7}, {1, 2, 3}};  // index 1 is transparent here
    const GifSpec layout{3, 1, kColours, {first, second}};
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "eyes.gif");
    ASSERT_EQ(animation.frames.size(), 2u);
    expectCanvas(animation.frames[0].image, {{kRed, kClear, kGreen}});
    // Transparent pixels of the second frame leave the first frame's pixels showing.
    expectCanvas(animation.frames[1].image, {{kRed, Rgba{9, 8, 7, 255}, kGreen}});
}

TEST(GifDecoding, DelaysInMilliseconds) {
    GifSpec layout{1, 1, kColours, {}};
    const int delays[] = {0, 1, 2, 7, 50, 65535};
    for (int delay : delays) layout.frames.push_back(controlled(frame(0, 0, 1, 1, {0}), delay, 1));
    layout.frames.push_back(frame(0, 0, 1, 1, {1}));  // no control block at all
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "delays.gif");
    ASSERT_EQ(animation.frames.size(), 7u);
    const int expected[] = {100, 100, 20, 70, 500, 655350, 100};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(animation.frames[i].delayMs, expected[i]) << i;
}

TEST(GifDecoding, DisposalMethodsAndOffsetFrames) {
    const GifSpec layout{4,
                         2,
                         kColours,
                         {
                             controlled(frame(0, 0, 4, 2, {0, 0, 0, 0, 0, 0, 0, 0}), 5, 1),  // keep
                             controlled(frame(1, 0, 2, 1, {1, 1}), 5, 2),  // clear afterwards
                             controlled(frame(0, 1, 1, 1, {2}), 5, 3),     // restore previous
                             controlled(frame(3, 1, 1, 1, {3}), 5, 0),
                         }};
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "dispose.gif");
    ASSERT_EQ(animation.frames.size(), 4u);
    expectCanvas(animation.frames[0].image, {{kRed, kRed, kRed, kRed}, {kRed, kRed, kRed, kRed}});
    expectCanvas(animation.frames[1].image,
                 {{kRed, kGreen, kGreen, kRed}, {kRed, kRed, kRed, kRed}});
    expectCanvas(animation.frames[2].image,
                 {{kRed, kClear, kClear, kRed}, {kBlue, kRed, kRed, kRed}});
    expectCanvas(animation.frames[3].image,
                 {{kRed, kClear, kClear, kRed}, {kRed, kRed, kRed, kWhite}});
}

TEST(GifDecoding, RestorePreviousOnTheFirstFrameGivesAnEmptyCanvas) {
    const GifSpec layout{
        2, 1, kColours, {controlled(frame(0, 0, 1, 1, {0}), 5, 3), frame(1, 0, 1, 1, {1})}};
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "first.gif");
    ASSERT_EQ(animation.frames.size(), 2u);
    expectCanvas(animation.frames[0].image, {{kRed, kClear}});
    expectCanvas(animation.frames[1].image, {{kClear, kGreen}});
}

TEST(GifDecoding, FramesOutsideTheCanvasAreClipped) {
    const GifSpec layout{
        3, 2, kColours, {frame(1, 1, 3, 2, {0, 1, 2, 3, 3, 3}), frame(5, 5, 1, 1, {0})}};
    const GifAnimation animation = decodeGifBytes(writeGif(layout), "clip.gif");
    ASSERT_EQ(animation.frames.size(), 2u);
    expectCanvas(animation.frames[0].image, {{kClear, kClear, kClear}, {kClear, kRed, kGreen}});
    expectCanvas(animation.frames[1].image, {{kClear, kClear, kClear}, {kClear, kRed, kGreen}});
}

TEST(GifDecoding, InterlacedRowsLandInPlace) {
    for (int height : {1, 2, 5, 9, 17}) {
        SCOPED_TRACE("height " + std::to_string(height));
        std::vector<std::uint8_t> indices;
        std::vector<std::vector<Rgba>> expected;
        for (int y = 0; y < height; ++y) {
            indices.insert(indices.end(), {std::uint8_t(y % 5), std::uint8_t((y + 1) % 5)});
            auto colour = [](int i) {
                return Rgba{kColours[i].r, kColours[i].g, kColours[i].b, 255};
            };
            expected.push_back({colour(y % 5), colour((y + 1) % 5)});
        }
        GifFrameSpec interlaced = frame(0, 0, 2, height, indices);
        interlaced.interlaced = true;
        const GifAnimation animation =
            decodeGifBytes(writeGif(GifSpec{2, height, kColours, {interlaced}}), "rows.gif");
        ASSERT_EQ(animation.frames.size(), 1u);
        expectCanvas(animation.frames[0].image, expected);
    }
}

TEST(GifDecoding, ReadsFilesAndNamesTheFileInErrors) {
    test::TempDir dir;
    dir.write("skin/i.gif", writeGif(GifSpec{1, 1, kColours, {frame(0, 0, 1, 1, {2})}}));
    const GifAnimation animation = decodeGifFile((dir / "skin/i.gif").string());
    ASSERT_EQ(animation.frames.size(), 1u);
    expectCanvas(animation.frames[0].image, {{kBlue}});

    const std::string missing = (dir / "skin/none.gif").string();
    try {
        decodeGifFile(missing);
        ADD_FAILURE() << "a missing file decoded";
    } catch (const ImageError& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": cannot open: No such file or directory");
    }
    std::filesystem::create_directories(dir / "skin/dir.gif");
    EXPECT_THROW(decodeGifFile((dir / "skin/dir.gif").string()), ImageError);
}

TEST(GifDecoding, RejectsMalformedFiles) {
    EXPECT_EQ(problemOf(""), "skin/i.gif: file is empty");
    EXPECT_EQ(problemOf("GI"), "skin/i.gif: file is truncated");
    EXPECT_EQ(problemOf(std::string("\x89PNG\r\n\x1a\n", 8)), "skin/i.gif: not a GIF file");
    EXPECT_EQ(problemOf(writeGif(GifSpec{2, 2, kColours, {}})),
              "skin/i.gif: file contains no image");
    // One pixel, no colour map anywhere (giflib's writer refuses to make this).
    const std::string noColourMap(
        "GIF89a\x01\x00\x01\x00\x00\x00\x00"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00"
        "\x02\x02\x44\x01\x00;",
        29);
    EXPECT_EQ(problemOf(noColourMap), "skin/i.gif: frame 1 has no colour map");

    const std::string huge = problemOf(writeGif(GifSpec{65535, 65535, kColours, {}}));
    EXPECT_EQ(huge.rfind("skin/i.gif: image is too large (65535x65535)", 0), 0u) << huge;
    const std::string tooManyBytes = problemOf(writeGif(GifSpec{16000, 16000, kColours, {}}));
    EXPECT_EQ(tooManyBytes.rfind("skin/i.gif: image is too large (16000x16000)", 0), 0u)
        << tooManyBytes;
    const std::string empty = problemOf(writeGif(GifSpec{0, 5, kColours, {}}));
    EXPECT_EQ(empty.rfind("skin/i.gif: image has no pixels", 0), 0u) << empty;

    std::string badRecord = writeGif(GifSpec{1, 1, kColours, {frame(0, 0, 1, 1, {0})}});
    badRecord.back() = '\x42';  // the trailer replaced by an unknown record
    EXPECT_EQ(problemOf(badRecord), "skin/i.gif: invalid GIF data (unknown record type)");
}

GifSpec blinkSpec() {
    GifSpec layout{5, 3, kColours, {}};
    layout.frames.push_back(
        controlled(frame(0, 0, 5, 3, std::vector<std::uint8_t>(15, 4)), 150, 1, 4));
    GifFrameSpec closed = controlled(frame(1, 1, 3, 1, {0, 1, 0}), 20, 2, 4);
    closed.interlaced = true;
    closed.localColours = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}};
    layout.frames.push_back(closed);
    layout.frames.push_back(controlled(frame(0, 0, 5, 3, std::vector<std::uint8_t>(15, 3)), 0, 3));
    return layout;
}

TEST(GifDecoding, TruncationAtEveryOffsetIsAnError) {
    const std::string bytes = writeGif(blinkSpec());
    ASSERT_EQ(decodeGifBytes(bytes, "skin/i.gif").frames.size(), 3u);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::string message = problemOf(bytes.substr(0, length));
        EXPECT_EQ(message.rfind("skin/i.gif: ", 0), 0u) << "cut at " << length << ": " << message;
    }
    EXPECT_EQ(problemOf(bytes.substr(0, bytes.size() - 1)), "skin/i.gif: file is truncated");
    EXPECT_EQ(problemOf(bytes.substr(0, 10)), "skin/i.gif: file is truncated");
}

TEST(GifDecoding, CorruptBytesNeverCrash) {
    const std::string original = writeGif(blinkSpec());
    std::mt19937 random(777);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = original;
        const int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = char(random() % 256);
        try {
            const GifAnimation animation = decodeGifBytes(bytes, "skin/i.gif");
            ASSERT_FALSE(animation.frames.empty());
            for (const GifFrame& f : animation.frames) {
                EXPECT_EQ(f.image.width, animation.width);
                EXPECT_EQ(f.image.height, animation.height);
                EXPECT_EQ(f.image.pixels.size(), std::size_t(f.image.width) * f.image.height * 4);
            }
        } catch (const ImageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("skin/i.gif: ", 0), 0u) << error.what();
        }
    }
}

}  // namespace
}  // namespace plumo
