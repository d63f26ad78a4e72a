#include "style/xp_colours.h"

#include <algorithm>

namespace plumo {

namespace {

int clampChannel(int v) { return std::clamp(v, 0, 255); }

// round(numerator / 100), halves going to the even neighbour.
int roundPercent(int numerator) {
    int q = numerator / 100;
    const int r = numerator % 100;
    if (r > 50 || (r == 50 && q % 2 != 0)) ++q;
    return q;
}

// A channel squeezed into `bits` bits and widened again the way display hardware does.
int quantise(int c, int bits) {
    const int levels = (1 << bits) - 1;
    const int v = (c * levels + 127) / 255;
    return (v << (8 - bits)) | (v >> (2 * bits - 8));
}

std::uint32_t toArgb(TColor c, std::uint32_t alpha) {
    return alpha | std::uint32_t(redOf(c)) << 16 | std::uint32_t(greenOf(c)) << 8 |
           std::uint32_t(blueOf(c));
}

TColor fromArgb(std::uint32_t p) {
    return rgb(int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF));
}

template <typename Convert>
void convertPixels(std::uint32_t* pixels, std::size_t count, Convert convert) {
    bool haveLast = false;
    std::uint32_t lastSource = 0, lastResult = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t source = pixels[i];
        if (!haveLast || source != lastSource) {
            lastSource = source;
            lastResult = toArgb(convert(fromArgb(source)), source & 0xFF000000u);
            haveLast = true;
        }
        pixels[i] = lastResult;
    }
}

}  // namespace

TColor SystemColours::resolve(TColor colour) const {
    if ((colour & 0xFF000000u) == kSystemColourFlag) {
        const std::size_t index = colour & 0xFF;
        return index < values.size() ? values[index] : clBlack;
    }
    return colour & 0xFFFFFF;
}

SystemColours classicSystemColours() {
    SystemColours s;
    s.set(clInactiveCaption, rgb(122, 150, 223));
    s.set(clWindow, clWhite);
    s.set(clMenuText, clBlack);
    s.set(clWindowText, clBlack);
    s.set(clHighlight, rgb(49, 106, 197));
    s.set(clBtnFace, rgb(236, 233, 216));
    s.set(clBtnShadow, rgb(172, 168, 153));
    return s;
}

TColor Darken(TColor colour, int n) {
    return rgb(clampChannel(redOf(colour) - n), clampChannel(greenOf(colour) - n + 2),
               clampChannel(blueOf(colour) - n));
}

TColor Lighten(TColor colour, int percent, int depthBits) {
    const int p = std::min(percent, 100);
    auto up = [p](int c) { return clampChannel(c + roundPercent((255 - c) * p)); };
    return NearestColour(rgb(up(redOf(colour)), up(greenOf(colour)), up(blueOf(colour))),
                         depthBits);
}

TColor GrayOf(TColor colour, int level) {
    const int v = std::min((redOf(colour) + greenOf(colour) + blueOf(colour)) / 3 + level, 240);
    return rgb(clampChannel(v), clampChannel(v), clampChannel(v));
}

TColor TextOn(TColor background, TColor fontColour, int depthBits) {
    if ((redOf(background) + blueOf(background)) / 2 > 150 || greenOf(background) > 200)
        return fontColour;
    return Lighten(background, 90, depthBits);
}

TColor NearestColour(TColor colour, int depthBits) {
    if (depthBits > 16) return colour & 0xFFFFFF;
    const int greenBits = depthBits == 16 ? 6 : 5;
    return rgb(quantise(redOf(colour), 5), quantise(greenOf(colour), greenBits),
               quantise(blueOf(colour), 5));
}

void GrayPixels(std::uint32_t* pixels, std::size_t count, int level) {
    convertPixels(pixels, count, [level](TColor c) { return GrayOf(c, level); });
}

void DimPixels(std::uint32_t* pixels, std::size_t count, int percent, int depthBits) {
    convertPixels(pixels, count,
                  [percent, depthBits](TColor c) { return Lighten(c, percent, depthBits); });
}

DerivedColours SetUpColours(const MenuColourProperties& props, const SystemColours& system,
                            int depthBits, TColor systemFontColour) {
    auto sys = [&system](TColor c) { return system.resolve(c); };
    auto light = [&](TColor c, int p) { return Lighten(sys(c), p, depthBits); };
    DerivedColours d;
    d.highColour = depthBits > 15;
    d.itemBack = sys(props.Color);
    d.iconStrip = sys(props.IconBackColor);
    if (d.highColour) {
        d.selectFill = light(props.SelectColor, 68);
        d.checkFill = light(props.SelectColor, 80);
        d.selectedCheckFill = light(props.SelectColor, 50);
        d.flatBorder = Darken(sys(clBtnFace), 90);
        d.flatShadow = Darken(sys(clBtnFace), 76);
    } else {
        d.selectFill = sys(props.SelectColor);
        d.checkFill = clWhite;
        d.selectedCheckFill = clSilver;
        d.flatBorder = d.flatShadow = sys(clBtnShadow);
    }
    d.selectBorder = sys(props.SelectBorderColor);
    d.selectText = sys(props.SelectFontColor);
    d.menuBar = sys(props.MenuBarColor);
    d.disabledText = sys(props.DisabledColor);
    d.checkBorder = sys(props.CheckedColor);
    d.separator = sys(props.SeparatorColor);
    if (props.UseSystemColors) {
        d.selectText = sys(systemFontColour);
        if (d.highColour) {
            d.itemBack = light(clBtnFace, 86);
            d.iconStrip = light(clBtnFace, 16);
            d.selectFill = light(clHighlight, 68);
            d.selectBorder = sys(clHighlight);
            d.menuBar = sys(clBtnFace);
            d.disabledText = light(clBtnShadow, 10);
            d.separator = light(clBtnShadow, 25);
            d.checkBorder = sys(clHighlight);
            d.checkFill = light(clHighlight, 80);
            d.selectedCheckFill = light(clHighlight, 50);
        } else {
            d.itemBack = d.selectFill = d.checkFill = d.selectedCheckFill = clWhite;
            d.iconStrip = d.menuBar = sys(clBtnFace);
            d.selectBorder = d.checkBorder = sys(clHighlight);
            d.disabledText = d.separator = sys(clBtnShadow);
        }
    }
    return d;
}

}  // namespace plumo
