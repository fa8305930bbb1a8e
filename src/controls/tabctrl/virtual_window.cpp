#include "controls/tabctrl/virtual_window.h"

namespace {
bool g_doubleBuffering = true;
}

void VirtualWindow::SetDoubleBuffering(bool on) {
    g_doubleBuffering = on;
}
bool VirtualWindow::IsDoubleBuffering() {
    return g_doubleBuffering;
}

VirtualWindow::VirtualWindow(HDC target, HWND wnd) : m_target(target), m_dc(target) {
    ::GetClientRect(wnd, &m_rect);
    if (g_doubleBuffering) {
        const int width = m_rect.right > 0 ? m_rect.right : 1;
        const int height = m_rect.bottom > 0 ? m_rect.bottom : 1;
        m_memory = ::CreateCompatibleDC(target);
        m_bitmap = m_memory ? ::CreateCompatibleBitmap(target, width, height) : nullptr;
        if (m_bitmap) {
            m_oldBitmap = ::SelectObject(m_memory, m_bitmap);
            m_dc = m_memory;
        } else if (m_memory) {
            ::DeleteDC(m_memory);
            m_memory = nullptr;
        }
    }
    ::SetBkMode(m_dc, TRANSPARENT);
}

VirtualWindow::~VirtualWindow() {
    if (!m_memory)
        return;
    ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
             m_rect.bottom - m_rect.top, m_memory, m_rect.left, m_rect.top, SRCCOPY);
    ::SelectObject(m_memory, m_oldBitmap);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_memory);
}
