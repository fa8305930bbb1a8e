#include "controls/richedit/rrec_ruler.h"

#include "controls/richedit/rrec_messages.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"

#include <windowsx.h>

#include <cstdio>

namespace {
const char* const kClassName = "KorvaneRulerRichEditRuler";
}

bool CRRECRuler::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!RegisterClass(kClassName, 0, nullptr))
        return false;
    ClientDc screen(nullptr);
    m_pixelsPerInch = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return CreateEx(0, kClassName, "", style, rect, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CRRECRuler::SetTabStops(const std::vector<int>& stops) {
    if (stops == m_tabStops)
        return;
    m_tabStops = stops;
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CRRECRuler::SetMargin(int margin) {
    m_margin = margin;
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CRRECRuler::SetMode(int mode) {
    m_mode = mode;
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

int CRRECRuler::ScrollPos() const {
    HWND parent = ::GetParent(Hwnd());
    if (!parent)
        return 0;
    return static_cast<int>(::SendMessageA(parent, RulerRichEditMessages().getScrollPos, 0, 0));
}

void CRRECRuler::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const int width = client.right;
    const int height = client.bottom;
    const int scroll = ScrollPos();
    const richedit::RulerScale scale = richedit::LayOutRulerScale(
        width, height, m_margin, scroll, m_pixelsPerInch,
        m_mode == 1 ? richedit::RulerUnit::Centimetres : richedit::RulerUnit::Inches);

    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT band{scale.band.left, scale.band.top, scale.band.right, scale.band.bottom};
    ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawEdge(dc, &band, EDGE_SUNKEN, BF_RECT);

    // Marks stay inside the sunken frame when the text is scrolled.
    RECT inside = band;
    ::InflateRect(&inside, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);

    SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
    SelectObjectGuard font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    for (const richedit::RulerTick& tick : scale.ticks) {
        ::MoveToEx(dc, tick.x, tick.top, nullptr);
        ::LineTo(dc, tick.x, tick.bottom);
    }
    for (const richedit::RulerLabel& label : scale.labels) {
        char text[16];
        const int length = std::snprintf(text, sizeof(text), "%i", label.number);
        RECT box{label.x - 20, inside.top, label.x + 20, inside.bottom};
        ::DrawTextA(dc, text, length, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    ::RestoreDC(dc, saved);

    const HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    for (int stop : m_tabStops) {
        const int x = m_margin + stop - scroll;
        if (x < band.left || x >= band.right)
            continue;
        const richedit::Area bar = richedit::TabMarkerBar(scale.middle, m_margin, stop, scroll);
        const richedit::Area stem = richedit::TabMarkerStem(scale.middle, m_margin, stop, scroll);
        RECT barRect{bar.left, bar.top, bar.right, bar.bottom};
        RECT stemRect{stem.left, stem.top, stem.right, stem.bottom};
        ::FillRect(dc, &barRect, black);
        ::FillRect(dc, &stemRect, black);
    }

    UniquePen highlight(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DHIGHLIGHT)));
    SelectObjectGuard highlightPen(dc, highlight.Get());
    ::MoveToEx(dc, 0, 0, nullptr);
    ::LineTo(dc, width, 0);
}

void CRRECRuler::SendTrack(WPARAM phase, LPARAM pointLParam) {
    m_lastPoint = {GET_X_LPARAM(pointLParam), GET_Y_LPARAM(pointLParam)};
    POINT point = m_lastPoint;
    if (HWND parent = ::GetParent(Hwnd()))
        ::SendMessageA(parent, RulerRichEditMessages().rulerTrack, phase,
                       reinterpret_cast<LPARAM>(&point));
}

LRESULT CRRECRuler::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PaintDc paint(Hwnd());
        RECT client;
        ::GetClientRect(Hwnd(), &client);
        MemoryDc buffer(paint.Get(), client.right, client.bottom);
        Paint(buffer.Get());
        ::BitBlt(paint.Get(), 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ::SetCapture(Hwnd());
        m_tracking = true;
        SendTrack(1, lParam);
        return 0;
    case WM_MOUSEMOVE:
        SendTrack(2, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            ::ReleaseCapture();
        }
        SendTrack(0, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag: end the drag where the mouse was last seen.
        if (m_tracking) {
            m_tracking = false;
            SendTrack(0, MAKELPARAM(m_lastPoint.x, m_lastPoint.y));
        }
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}
