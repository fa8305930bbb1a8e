#include "desktop/main_frame.h"

#include "app/app.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"

CMainFrame::CMainFrame(CApp& app) : m_app(app) {}

bool CMainFrame::Create(const char* title, const RECT& rect) {
    if (!RegisterClass(kClassName, CS_DBLCLKS, nullptr))
        return false;
    return CreateEx(0, kClassName, title, WS_POPUP, rect, nullptr, nullptr);
}

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.dwExStyle = 0; // no client edge
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        // Customers must not close the desktop; the exit commands destroy it on purpose.
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void CMainFrame::OnPaint() {
    PaintDc dc(Hwnd());
    UniqueBrush background(::CreateSolidBrush(static_cast<COLORREF>(m_app.cvetfona)));
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    ::FillRect(dc.Get(), &client, background.Get());
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == CApp::kRepaintTimer)
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}
