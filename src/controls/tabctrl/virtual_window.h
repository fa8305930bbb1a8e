#pragma once
// A device context for flicker-free painting: drawing goes to a memory bitmap as large as the
// window's client area, copied to the target in one piece when the object goes away. Without
// memory for the bitmap it draws straight on the target.

#include <windows.h>

class VirtualWindow {
public:
    VirtualWindow(HDC target, HWND wnd);
    ~VirtualWindow();
    VirtualWindow(const VirtualWindow&) = delete;
    VirtualWindow& operator=(const VirtualWindow&) = delete;

    HDC Get() const { return m_dc; }
    bool IsBuffered() const { return m_memory != nullptr; }
    const RECT& Rect() const { return m_rect; }

    // Process-wide switch, on from the start.
    static void SetDoubleBuffering(bool on);
    static bool IsDoubleBuffering();

private:
    HDC m_target;
    HDC m_dc;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    RECT m_rect{};
};
