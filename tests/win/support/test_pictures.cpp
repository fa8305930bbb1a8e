#include "support/test_pictures.h"

#include "framework/dc.h"
#include "framework/unique_handle.h"

#include <gdiplus.h>

namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutField(std::string& out, const std::string& text, std::size_t width) {
    std::string field = text.substr(0, width - 1);
    field.resize(width, '\0');
    out += field;
}

} // namespace

std::string QuadrantBmp(int size) {
    const int rowBytes = (size * 3 + 3) & ~3;
    std::string bmp = "BM";
    Put(bmp, 54 + rowBytes * size, 4);
    Put(bmp, 0, 4);
    Put(bmp, 54, 4);
    Put(bmp, 40, 4);
    Put(bmp, size, 4);
    Put(bmp, size, 4);
    Put(bmp, 1, 2);
    Put(bmp, 24, 2);
    Put(bmp, 0, 4);
    Put(bmp, rowBytes * size, 4);
    Put(bmp, 2835, 4);
    Put(bmp, 2835, 4);
    Put(bmp, 0, 4);
    Put(bmp, 0, 4);
    for (int fileRow = 0; fileRow < size; ++fileRow) {
        const int y = size - 1 - fileRow; // rows are stored bottom-up
        std::string row;
        for (int x = 0; x < size; ++x) {
            const bool top = y < size / 2, left = x < size / 2;
            const COLORREF c = top ? (left ? RGB(255, 0, 0) : RGB(0, 255, 0))
                                   : (left ? RGB(0, 0, 255) : RGB(255, 255, 255));
            row.push_back(static_cast<char>(GetBValue(c)));
            row.push_back(static_cast<char>(GetGValue(c)));
            row.push_back(static_cast<char>(GetRValue(c)));
        }
        row.resize(rowBytes, '\0');
        bmp += row;
    }
    return bmp;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    SelectObjectGuard select(dc.Get(), bitmap);
    return ::GetPixel(dc.Get(), x, y);
}

WindowPixels::WindowPixels(HWND hwnd) {
    RECT client;
    ::GetClientRect(hwnd, &client);
    HDC window = ::GetDC(hwnd);
    dc = ::CreateCompatibleDC(window);
    bitmap = ::CreateCompatibleBitmap(window, client.right, client.bottom);
    ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    ::ReleaseDC(hwnd, window);
}

WindowPixels::~WindowPixels() {
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
}

COLORREF WindowPixels::At(int x, int y) const {
    return ::GetPixel(dc, x, y);
}

std::string CatalogueFileBytes(const std::vector<CatalogueEntryBytes>& entries,
                               const std::vector<std::string>& tabs) {
    std::string file;
    Put(file, 0x10000u + static_cast<std::uint32_t>(entries.size()), 4);
    for (const CatalogueEntryBytes& e : entries) {
        Put(file, static_cast<std::uint32_t>(e.column), 4);
        Put(file, static_cast<std::uint32_t>(e.row), 4);
        Put(file, static_cast<std::uint32_t>(e.iconIndex), 4);
        PutField(file, e.caption, 500);
        PutField(file, e.description, 5000);
        PutField(file, e.screenshot, 1000);
        PutField(file, e.program, 1000);
        PutField(file, e.parameters, 1000);
        PutField(file, e.iconFile, 1000);
        Put(file, static_cast<std::uint32_t>(e.showCommand), 4);
        Put(file, static_cast<std::uint32_t>(e.tab), 4);
    }
    Put(file, static_cast<std::uint32_t>(tabs.size()), 4);
    for (const std::string& tab : tabs) {
        Put(file, static_cast<std::uint32_t>(tab.size() + 1), 4);
        file += tab;
        file.push_back('\0');
    }
    return file;
}

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    Gdiplus::GdiplusShutdown(m_token);
}
