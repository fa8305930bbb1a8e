#include "desktop/picture_loader.h"

#include <gdiplus.h>

#include <memory>
#include <vector>

namespace {

// GDI+ is started by the first picture, not at start-up: loading and starting it costs the
// desktop's first paint 10 ms under Wine, and a desktop without a background picture needs it
// only once a program with a screenshot is chosen.
ULONG_PTR g_gdiplusToken = 0;
bool g_gdiplusStarted = false;

bool StartGdiplus() {
    if (!g_gdiplusStarted) {
        Gdiplus::GdiplusStartupInput input;
        g_gdiplusStarted = Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) == Gdiplus::Ok;
    }
    return g_gdiplusStarted;
}

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(n));
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide.data();
}

Gdiplus::Color ArgbOf(COLORREF colour) {
    return Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

HBITMAP ToHbitmap(Gdiplus::Bitmap& bitmap, COLORREF background) {
    HBITMAP result = nullptr;
    if (bitmap.GetHBITMAP(ArgbOf(background), &result) != Gdiplus::Ok)
        return nullptr;
    return result;
}

HBITMAP Stretched(Gdiplus::Image& source, int width, int height, COLORREF background) {
    // Indexed formats (most GIFs) cannot be drawn into; such pictures are scaled into 32 bits.
    Gdiplus::PixelFormat format = source.GetPixelFormat();
    if (Gdiplus::IsIndexedPixelFormat(format) || format == PixelFormatUndefined)
        format = PixelFormat32bppARGB;
    Gdiplus::Bitmap target(width, height, format);
    if (target.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    {
        Gdiplus::Graphics graphics(&target);
        if (graphics.GetLastStatus() != Gdiplus::Ok)
            return nullptr;
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeDefault);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeBicubic);
        if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok)
            return nullptr;
    }
    return ToHbitmap(target, background);
}

} // namespace

bool LoadPicture(const std::string& path, int width, int height, COLORREF background,
                 HBITMAP& slot) {
    if (slot) {
        ::DeleteObject(slot);
        slot = nullptr;
    }
    const std::wstring widePath = Widen(path);
    if (widePath.empty() || width < 0 || height < 0 || !StartGdiplus())
        return false;
    if (width != 0 || height != 0) {
        if (width == 0 || height == 0)
            return false; // a picture stretched to nothing shows nothing
        std::unique_ptr<Gdiplus::Image> image(Gdiplus::Image::FromFile(widePath.c_str()));
        if (!image || image->GetLastStatus() != Gdiplus::Ok)
            return false;
        slot = Stretched(*image, width, height, background);
    } else {
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(widePath.c_str()));
        if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
            return false;
        slot = ToHbitmap(*bitmap, background);
    }
    return slot != nullptr;
}

void StopPictureDecoding() {
    if (g_gdiplusStarted) {
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
        g_gdiplusStarted = false;
    }
}
