#pragma once
// The grey copy of a button's icon, shown while the button is disabled: every pixel becomes
// the grey of its mean brightness, keeping its alpha.

#include <cstdint>
#include <span>

namespace xbutton {

// One 32-bit pixel as GetDIBits delivers it: 0xAARRGGBB.
std::uint32_t GreyPixel(std::uint32_t argb);

void GreyPixels(std::span<std::uint32_t> pixels);

} // namespace xbutton
