#include "desktop/icon_image.h"

#include <cstring>

namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The bitmap's pixels as 32-bit top-down rows; a monochrome bitmap reads as black and white.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<std::uint32_t>& pixels) {
    pixels.assign(static_cast<std::size_t>(width) * height, 0);
    BITMAPINFO info = TopDown32(width, height);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == height;
}

UniqueBitmap MakeBitmap(const std::vector<std::uint32_t>& pixels, int width, int height) {
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits)
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof(pixels[0]));
    return bitmap;
}

// Colour weighted by alpha, each channel rounded (or cut) the way the system may do it.
std::vector<std::uint32_t> Premultiplied(const std::vector<std::uint32_t>& colour, bool rounded) {
    std::vector<std::uint32_t> out(colour.size());
    for (std::size_t i = 0; i < colour.size(); ++i) {
        const std::uint32_t a = colour[i] >> 24;
        std::uint32_t pixel = a << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t c = (colour[i] >> shift) & 0xFF;
            pixel |= ((c * a + (rounded ? 127 : 0)) / 255) << shift;
        }
        out[i] = pixel;
    }
    return out;
}

// Pixels that change from one to the next in every channel, so every blend case is met.
std::vector<std::uint32_t> ProbePicture(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    std::uint32_t state = 0x9E3779B9u;
    for (std::uint32_t& p : pixels) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        p = state;
    }
    return pixels;
}

} // namespace

IconImage::IconImage(HICON icon) : m_icon(icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) {
        m_method = Method::DrawIcon;
        return;
    }
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    // A monochrome icon takes its colours from the DC it is drawn on, which no probe can know.
    if (!colour || !mask || !::GetObject(colour.Get(), sizeof(bm), &bm)) {
        m_method = Method::DrawIcon;
        return;
    }
    m_width = bm.bmWidth;
    m_height = bm.bmHeight;
    // DrawIcon draws at the system's icon size; anything else would be stretched.
    if (m_width != ::GetSystemMetrics(SM_CXICON) || m_height != ::GetSystemMetrics(SM_CYICON) ||
        !ReadPixels(colour.Get(), m_width, m_height, m_colour) ||
        !ReadPixels(mask.Get(), m_width, m_height, m_mask)) {
        m_method = Method::DrawIcon;
        return;
    }
    m_hasColour = true;
}

void IconImage::Draw(HDC dc, int x, int y, HDC scratch, int depth) {
    if (m_method == Method::Unchecked || (m_hasColour && depth != m_checkedDepth)) {
        m_checkedDepth = depth;
        Choose(dc, scratch);
    }
    Paint(dc, x, y, scratch, m_way);
}

std::vector<IconImage::Way> IconImage::Candidates() const {
    std::vector<Way> ways;
    bool alpha = false;
    for (std::uint32_t p : m_colour)
        alpha = alpha || (p >> 24) != 0;
    if (alpha) {
        for (bool rounded : {true, false}) {
            Way way{Method::AlphaBlend, {}};
            way.bitmaps.push_back(MakeBitmap(Premultiplied(m_colour, rounded), m_width, m_height));
            ways.push_back(std::move(way));
        }
    }
    Way masked{Method::MaskAndColour, {}};
    masked.bitmaps.push_back(MakeBitmap(m_mask, m_width, m_height));
    masked.bitmaps.push_back(MakeBitmap(m_colour, m_width, m_height));
    ways.push_back(std::move(masked));
    return ways;
}

void IconImage::Choose(HDC dc, HDC scratch) {
    m_way = Way{Method::DrawIcon, {}};
    m_method = Method::DrawIcon;
    if (!m_hasColour)
        return;
    for (Way& way : Candidates()) {
        bool complete = true;
        for (const UniqueBitmap& b : way.bitmaps)
            complete = complete && b;
        if (complete && PaintsAsDrawIcon(dc, scratch, way)) {
            m_method = way.method;
            m_way = std::move(way);
            return;
        }
    }
}

bool IconImage::PaintsAsDrawIcon(HDC dc, HDC scratch, const Way& way) const {
    // Three cells: changing pixels, black, white; each drawn twice, as a repaint tick draws
    // over what the last pass left.
    constexpr int kCells = 3;
    const int width = m_width * kCells;
    std::vector<std::uint32_t> probe = ProbePicture(width, m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = m_width; x < width; ++x)
            probe[static_cast<std::size_t>(y) * width + x] = x < 2 * m_width ? 0 : 0xFFFFFF;

    BITMAPINFO info = TopDown32(width, m_height);
    UniqueBitmap expected(::CreateCompatibleBitmap(dc, width, m_height));
    UniqueBitmap actual(::CreateCompatibleBitmap(dc, width, m_height));
    UniqueDc expectedDc(::CreateCompatibleDC(dc)), actualDc(::CreateCompatibleDC(dc));
    if (!expected || !actual || !expectedDc || !actualDc)
        return false;
    for (HBITMAP b : {expected.Get(), actual.Get()})
        if (::SetDIBits(dc, b, 0, m_height, probe.data(), &info, DIB_RGB_COLORS) != m_height)
            return false;
    {
        const HGDIOBJ oldExpected = ::SelectObject(expectedDc.Get(), expected.Get());
        const HGDIOBJ oldActual = ::SelectObject(actualDc.Get(), actual.Get());
        for (int pass = 0; pass < 2; ++pass) {
            for (int cell = 0; cell < kCells; ++cell) {
                ::DrawIcon(expectedDc.Get(), cell * m_width, 0, m_icon);
                Paint(actualDc.Get(), cell * m_width, 0, scratch, way);
            }
        }
        ::SelectObject(expectedDc.Get(), oldExpected);
        ::SelectObject(actualDc.Get(), oldActual);
    }
    std::vector<std::uint32_t> drawn(probe.size()), ours(probe.size());
    return ::GetDIBits(dc, expected.Get(), 0, m_height, drawn.data(), &info, DIB_RGB_COLORS) ==
               m_height &&
           ::GetDIBits(dc, actual.Get(), 0, m_height, ours.data(), &info, DIB_RGB_COLORS) ==
               m_height &&
           drawn == ours;
}

void IconImage::Paint(HDC dc, int x, int y, HDC scratch, const Way& way) const {
    const int width = m_width, height = m_height;
    if (!scratch || (way.method != Method::AlphaBlend && way.method != Method::MaskAndColour)) {
        ::DrawIcon(dc, x, y, m_icon);
        return;
    }
    const HGDIOBJ old = ::GetCurrentObject(scratch, OBJ_BITMAP);
    switch (way.method) {
    case Method::AlphaBlend:
        ::SelectObject(scratch, way.bitmaps[0].Get());
        ::GdiAlphaBlend(dc, x, y, width, height, scratch, 0, 0, width, height,
                        BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        break;
    case Method::MaskAndColour:
        ::SelectObject(scratch, way.bitmaps[0].Get());
        ::BitBlt(dc, x, y, width, height, scratch, 0, 0, SRCAND);
        ::SelectObject(scratch, way.bitmaps[1].Get());
        ::BitBlt(dc, x, y, width, height, scratch, 0, 0, SRCINVERT);
        break;
    default:
        break;
    }
    ::SelectObject(scratch, old);
}
