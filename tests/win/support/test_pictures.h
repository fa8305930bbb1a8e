#pragma once
// Pictures and catalogue files made byte by byte for the desktop tests.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit BMP of size x size pixels whose quadrants are red, green (top), blue, white (bottom).
std::string QuadrantBmp(int size);

// The colour of one pixel of a bitmap.
COLORREF PixelOf(HBITMAP bitmap, int x, int y);
SIZE BitmapSize(HBITMAP bitmap);

// What a window shows on screen now, copied into a bitmap of its client size.
struct WindowPixels {
    explicit WindowPixels(HWND hwnd);
    ~WindowPixels();
    COLORREF At(int x, int y) const;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
};

// An icons.bin in the published byte layout, written without the catalogue's own writer.
struct CatalogueEntryBytes {
    int column = 0, row = 0, iconIndex = 0;
    std::string caption, description, screenshot, program, parameters, iconFile;
    int showCommand = 1, tab = 0;
};
std::string CatalogueFileBytes(const std::vector<CatalogueEntryBytes>& entries,
                               const std::vector<std::string>& tabs);

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};
