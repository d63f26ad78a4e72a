#pragma once

// The colour arithmetic of the flat menu and control look, in plain C++.
//
// A colour value holds red in the low byte, then green, then blue. A value whose high
// byte is 0xFF names a system colour by its index and is resolved to red, green and blue
// before any arithmetic.

#include <array>
#include <cstddef>
#include <cstdint>

namespace plumo {

using TColor = std::uint32_t;

constexpr TColor kSystemColourFlag = 0xFF000000u;
constexpr TColor systemColour(int index) { return kSystemColourFlag | TColor(index); }

// The system colours the styling names, by their index.
constexpr TColor clInactiveCaption = systemColour(3);
constexpr TColor clWindow = systemColour(5);
constexpr TColor clMenuText = systemColour(7);
constexpr TColor clWindowText = systemColour(8);
constexpr TColor clHighlight = systemColour(13);
constexpr TColor clBtnFace = systemColour(15);
constexpr TColor clBtnShadow = systemColour(16);

constexpr TColor rgb(int r, int g, int b) { return TColor(r) | TColor(g) << 8 | TColor(b) << 16; }
constexpr int redOf(TColor c) { return int(c & 0xFF); }
constexpr int greenOf(TColor c) { return int(c >> 8 & 0xFF); }
constexpr int blueOf(TColor c) { return int(c >> 16 & 0xFF); }

constexpr TColor clWhite = rgb(255, 255, 255);
constexpr TColor clBlack = rgb(0, 0, 0);
constexpr TColor clSilver = rgb(192, 192, 192);
constexpr TColor clGray = rgb(128, 128, 128);

// The current values of the system colours, indexed like the system colour values.
struct SystemColours {
    std::array<TColor, 31> values{};
    // A plain colour as it is; a system colour looked up (an unknown index is black).
    TColor resolve(TColor colour) const;
    void set(TColor systemColourValue, TColor value) {
        values[systemColourValue & 0xFF] = value & 0xFFFFFF;
    }
};

// The colours of a desktop of the classic look; tests and fallbacks use them.
SystemColours classicSystemColours();

// r - n, g - n + 2, b - n, each clamped; a negative n lightens.
TColor Darken(TColor colour, int n);
// Each channel moved p percent (capped at 100) towards white, rounding half to even, then
// the nearest colour a device of depthBits bits per pixel shows.
TColor Lighten(TColor colour, int percent, int depthBits = 32);
// Grey of the channel average plus level, capped at 240.
TColor GrayOf(TColor colour, int level);
// A text colour readable on the given background: fontColour on a light one.
TColor TextOn(TColor background, TColor fontColour, int depthBits = 32);
// The colour a device of depthBits bits per pixel shows for the given colour.
TColor NearestColour(TColor colour, int depthBits);

// Whole-image conversions on pixels 0xAARRGGBB; alpha is kept. A run of equal pixels is
// converted once.
void GrayPixels(std::uint32_t* pixels, std::size_t count, int level);
void DimPixels(std::uint32_t* pixels, std::size_t count, int percent, int depthBits = 32);

// The colour properties of the menu styler that feed the derived colours.
struct MenuColourProperties {
    TColor Color = clBtnFace;
    TColor IconBackColor = clBtnFace;
    TColor MenuBarColor = clBtnFace;
    TColor SelectColor = clHighlight;
    TColor SelectBorderColor = clHighlight;
    TColor SelectFontColor = clMenuText;
    TColor DisabledColor = clInactiveCaption;
    TColor SeparatorColor = clBtnFace;
    TColor CheckedColor = clHighlight;
    bool UseSystemColors = true;
};

// The colours one drawing uses, all plain red-green-blue values.
struct DerivedColours {
    bool highColour = true;  // more than 15 bits per pixel
    TColor itemBack = 0;
    TColor iconStrip = 0;
    TColor selectFill = 0;
    TColor selectBorder = 0;
    TColor selectText = 0;
    TColor checkFill = 0;
    TColor selectedCheckFill = 0;
    TColor checkBorder = 0;
    TColor menuBar = 0;
    TColor disabledText = 0;
    TColor separator = 0;
    TColor flatBorder = 0;
    TColor flatShadow = 0;
};

// The colour set-up run at the start of every drawing. systemFontColour is the colour of
// the system menu font, which becomes the selected text colour under UseSystemColors.
DerivedColours SetUpColours(const MenuColourProperties& properties, const SystemColours& system,
                            int depthBits, TColor systemFontColour);

}  // namespace plumo
