#include "framework/subclass.h"

#include "framework/guarded_call.h"

namespace {
// The object attached to a window, and the procedure ours hands its messages on to. The
// window's own procedure is replaced, not chained through the common controls' subclassing:
// it loaded that library with the first control, before the desktop's first paint.
const char* const kSelfProperty = "KorvaneSubclassed";
const char* const kNextProperty = "KorvaneSubclassedNext";

WNDPROC NextProcedure(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kNextProperty));
}

// Messages reach our procedure in their Unicode form, whatever the window's class, as they did
// through the common controls' subclassing.
LRESULT HandOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC next = NextProcedure(hwnd);
    return next ? ::CallWindowProcW(next, hwnd, message, wParam, lParam)
                : ::DefWindowProcW(hwnd, message, wParam, lParam);
}
} // namespace

SubclassedWindow::~SubclassedWindow() {
    Destroy();
}

SubclassedWindow* SubclassedWindow::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<SubclassedWindow*>(::GetPropA(hwnd, kSelfProperty)) : nullptr;
}

bool SubclassedWindow::CreateControl(const char* className, const char* text, DWORD style,
                                     const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    HWND hwnd = ::CreateWindowExA(exStyle, className, text, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return false;
    if (!Attach(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool SubclassedWindow::Attach(HWND hwnd) {
    // A window whose chain still holds our procedure (see Detach) is not taken again.
    if (m_hwnd || !hwnd || FromHandle(hwnd) || NextProcedure(hwnd))
        return false;
    const LONG_PTR own = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    if (own == 0)
        return false;
    m_hwnd = hwnd;
    PreSubclassWindow();
    if (!::SetPropA(hwnd, kNextProperty, reinterpret_cast<HANDLE>(own)) ||
        !::SetPropA(hwnd, kSelfProperty, this) ||
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(&SubclassedWindow::SubclassProc)) == 0) {
        ::RemovePropA(hwnd, kSelfProperty);
        ::RemovePropA(hwnd, kNextProperty);
        m_hwnd = nullptr;
        return false;
    }
    return true;
}

HWND SubclassedWindow::Detach() {
    HWND hwnd = m_hwnd;
    if (hwnd) {
        ::RemovePropA(hwnd, kSelfProperty);
        // Only our own procedure can be taken out. When something replaced it after us, ours
        // stays in the chain and only hands messages on.
        if (::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
            reinterpret_cast<LONG_PTR>(&SubclassedWindow::SubclassProc)) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                reinterpret_cast<LONG_PTR>(NextProcedure(hwnd)));
            ::RemovePropA(hwnd, kNextProperty);
        }
    }
    m_hwnd = nullptr;
    return hwnd;
}

void SubclassedWindow::Destroy() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

bool SubclassedWindow::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

DWORD SubclassedWindow::Style() const {
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hwnd, GWL_STYLE));
}

void SubclassedWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = Style();
    const DWORD changed = (style & ~remove) | add;
    if (changed != style)
        ::SetWindowLongPtrA(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
}

int SubclassedWindow::ControlId() const {
    return ::GetDlgCtrlID(m_hwnd);
}

LRESULT SubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT SubclassedWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return HandOn(m_hwnd, message, wParam, lParam);
}

LRESULT SubclassedWindow::SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallReportingErrors<LRESULT>(m_hwnd, 0,
                                        [&] { return WindowProc(message, wParam, lParam); });
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    SubclassedWindow* self = FromHandle(hwnd);
    if (!self || self->m_hwnd != hwnd) {
        const LRESULT result = HandOn(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            ::RemovePropA(hwnd, kNextProperty);
        return result;
    }
    const LRESULT result = self->SafeWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Detach();
        ::RemovePropA(hwnd, kNextProperty);
        self->PostNcDestroy();
    }
    return result;
}
