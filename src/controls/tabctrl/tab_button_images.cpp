#include "controls/tabctrl/tab_button_images.h"

#include "controls/tabctrl/button_glyphs.h"

HBITMAP CreateTabButtonImages(int size) {
    if (size <= 0)
        return nullptr;
    const int width = size * buttonglyphs::kCount;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -size; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return bitmap;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool glyph = buttonglyphs::GlyphPixel(x / size, size, x % size, y);
            pixels[y * width + x] = glyph ? 0x000000 : 0xFF00FF; // DIB order is 0xRRGGBB
        }
    }
    ::GdiFlush();
    return bitmap;
}
