#pragma once
// The forty named colours of the colour pop-up, in grid order (eight to a row).

#include <cstdint>

namespace colour {

// A colour in the Windows COLORREF layout: 0x00BBGGRR.
using ColourRef = std::uint32_t;

// "Automatic": the picker's default colour (the value of CLR_DEFAULT).
constexpr ColourRef kDefaultColour = 0xFF000000;

constexpr ColourRef Rgb(unsigned red, unsigned green, unsigned blue) {
    return static_cast<ColourRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr unsigned Red(ColourRef c) {
    return c & 0xFF;
}
constexpr unsigned Green(ColourRef c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned Blue(ColourRef c) {
    return (c >> 16) & 0xFF;
}

struct NamedColour {
    const char* name;
    ColourRef colour;
};

constexpr int kColourCount = 40;
constexpr int kColumnCount = 8;
constexpr int kRowCount = (kColourCount + kColumnCount - 1) / kColumnCount;

extern const NamedColour kColourTable[kColourCount];

} // namespace colour
