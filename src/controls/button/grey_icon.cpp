#include "controls/button/grey_icon.h"

#include <array>

namespace xbutton {
namespace {

// kGrey[i] is the grey of darkness i: brightness 255 - i in all three channels.
constexpr std::array<std::uint32_t, 256> MakeGreyTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i)
        table[i] = (255 - i) * 0x010101u;
    return table;
}
constexpr std::array<std::uint32_t, 256> kGrey = MakeGreyTable();

} // namespace

std::uint32_t GreyPixel(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    const std::uint32_t red = (argb >> 16) & 0xFF;
    const std::uint32_t green = (argb >> 8) & 0xFF;
    const std::uint32_t blue = argb & 0xFF;
    std::uint32_t darkness = 255 - (red + green + blue) / 3;
    // Fully transparent black is the "nothing here" of icons without an alpha channel.
    if (alpha == 0 && darkness == 255)
        return argb;
    // Pure white would otherwise come out as 255, 255, 255; it becomes 254 instead.
    if (darkness == 0)
        darkness = 1;
    return (alpha << 24) | kGrey[darkness];
}

void GreyPixels(std::span<std::uint32_t> pixels) {
    for (std::uint32_t& pixel : pixels)
        pixel = GreyPixel(pixel);
}

} // namespace xbutton
