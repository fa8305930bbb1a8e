#pragma once
// Device-context guards: paint, client and memory DCs, and object selection.

#include <windows.h>

class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDc() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return m_dc; }
    const RECT& PaintRect() const { return m_ps.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

class ClientDc {
public:
    explicit ClientDc(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ClientDc() {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
    }
    ClientDc(const ClientDc&) = delete;
    ClientDc& operator=(const ClientDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~SelectObjectGuard() {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_dc, m_old);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC with a compatible bitmap selected: the double buffer of a paint.
class MemoryDc {
public:
    MemoryDc(HDC reference, int width, int height)
        : m_dc(::CreateCompatibleDC(reference)),
          m_bitmap(
              ::CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1)),
          m_old(m_dc ? ::SelectObject(m_dc, m_bitmap) : nullptr) {}
    ~MemoryDc() {
        if (m_dc) {
            if (m_old)
                ::SelectObject(m_dc, m_old);
            ::DeleteDC(m_dc);
        }
        if (m_bitmap)
            ::DeleteObject(m_bitmap);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};
