#pragma once
// Shared by the tests that drive controls as real windows: a never-activated parent that
// reflects notifications to its children, one such parent per test suite, and pixel helpers.

#include "framework/reflect.h"
#include "framework/window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace controltest {

// Moves the real pointer away from everything: a captured or hot-tracking control would
// otherwise see its moves while a test pumps messages.
inline void ParkCursor() {
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, 0);
}

inline COLORREF PixelOf(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return c;
}

// Writes the pixels of `windows`, placed as on the screen over white, as a 24-bit BMP for
// looking at.
inline void SaveWindowsPicture(std::initializer_list<HWND> windows, const std::string& path) {
    RECT area{}, rect;
    for (HWND hwnd : windows) {
        ::GetWindowRect(hwnd, &rect);
        ::UnionRect(&area, &area, &rect);
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const RECT all{0, 0, width, height};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    for (HWND hwnd : windows) {
        ::GetWindowRect(hwnd, &rect);
        HDC dc = ::GetWindowDC(hwnd);
        ::BitBlt(memory, rect.left - area.left, rect.top - area.top, rect.right - rect.left,
                 rect.bottom - rect.top, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(hwnd, dc);
    }
    ::SelectObject(memory, old);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    std::string bits(static_cast<std::size_t>((width * 3 + 3) & ~3) * height, '\0');
    ::GetDIBits(memory, bitmap, 0, height, bits.data(), &bmi, DIB_RGB_COLORS);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    WriteWholeFile(path, std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
                             std::string(reinterpret_cast<const char*>(&bmi.bmiHeader),
                                         sizeof(BITMAPINFOHEADER)) +
                             bits);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

// A top-level parent that is never activated (under Wine without a window manager a window
// that was active takes two seconds to disappear). It reflects notifications to its children
// and hands everything else to Record first.
class ControlHost : public Window {
public:
    ControlHost(const char* className, DWORD style, const RECT& rect) {
        RegisterClass(className, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateEx(WS_EX_NOACTIVATE, className, className, WS_POPUP | style, rect, nullptr, nullptr);
        ::ShowWindow(Hwnd(), SW_SHOWNA);
    }

protected:
    // Returns true, with the answer in `result`, for a message it keeps.
    virtual bool Record(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result) ||
            Record(message, wParam, lParam, result))
            return result;
        return Window::WindowProc(message, wParam, lParam);
    }
};

// One host for the whole suite: destroying a top-level window costs two seconds under Wine.
template <class Host> class SharedHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = new Host; }
    static void TearDownTestSuite() {
        delete host;
        host = nullptr;
    }
    static inline Host* host = nullptr;
};

} // namespace controltest
