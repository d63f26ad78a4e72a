#include "style/gdi_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "style_fixture.h"

namespace plumo {
namespace {

using test::at;
using test::Rgb;

const TColor kPen = rgb(0, 60, 115);
const TColor kBrush = rgb(255, 251, 247);
const Rgb kPaper{255, 255, 255};

QImage roundRectImage(int w, int h, int arc, std::optional<TColor> brush) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    GdiCanvas canvas(painter);
    canvas.roundRect({0, 0, w, h}, arc, kPen, brush);
    return image;
}

TEST(GdiCanvas, RoundedCornersAreAlike) {
    struct Case {
        int w, h, arc;
    };
    // The command panel's buttons and their inner rings, a push button, larger arcs.
    for (const Case c : {Case{69, 19, 5}, Case{67, 17, 2}, Case{67, 16, 2}, Case{75, 25, 5},
                         Case{40, 30, 12}, Case{24, 9, 16}}) {
        for (const std::optional<TColor> brush :
             {std::optional<TColor>(kBrush), std::optional<TColor>()}) {
            SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " arc " << c.arc
                                            << (brush ? " filled" : " hollow"));
            const QImage image = roundRectImage(c.w, c.h, c.arc, brush);
            EXPECT_TRUE(image == image.mirrored(true, false)) << "left and right differ";
            EXPECT_TRUE(image == image.mirrored(false, true)) << "top and bottom differ";
            // The outline runs along every side.
            EXPECT_EQ(at(image, 0, c.h / 2), test::rgbOf(kPen));
            EXPECT_EQ(at(image, c.w - 1, c.h / 2), test::rgbOf(kPen));
            EXPECT_EQ(at(image, c.w / 2, 0), test::rgbOf(kPen));
            EXPECT_EQ(at(image, c.w / 2, c.h - 1), test::rgbOf(kPen));
            EXPECT_EQ(at(image, c.w / 2, c.h / 2), brush ? test::rgbOf(kBrush) : kPaper);
        }
    }
}

TEST(GdiCanvas, RoundedCornerLeavesTheCornerPixelsOut) {
    const QImage button = roundRectImage(69, 19, 5, kBrush);
    EXPECT_EQ(at(button, 0, 0), kPaper);
    EXPECT_EQ(at(button, 1, 0), test::rgbOf(kPen));
    EXPECT_EQ(at(button, 0, 1), test::rgbOf(kPen));
    // A larger arc cuts deeper, and the outline stays closed round the bend.
    const QImage large = roundRectImage(40, 30, 12, std::nullopt);
    EXPECT_EQ(at(large, 1, 1), kPaper);
    for (int y = 0; y < 6; ++y) {
        int first = 0;
        while (first < 40 && at(large, first, y) != test::rgbOf(kPen)) ++first;
        ASSERT_LT(first, 40) << "row " << y;
        if (y > 0) {
            int above = 0;
            while (at(large, above, y - 1) != test::rgbOf(kPen)) ++above;
            EXPECT_LE(first, above) << "row " << y;  // the bend opens downwards
            // Every pixel between this row's start and the one above is drawn.
            for (int x = first; x < above; ++x)
                EXPECT_EQ(at(large, x, y), test::rgbOf(kPen)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace plumo
