#include "framework/subclass.h"

#include "framework/guarded_call.h"

#include <commctrl.h>

namespace {
// Our one subclass id: an object is attached to a window at most once.
constexpr UINT_PTR kSubclassId = 0x4B56; // "KV"
// Where the object is found from its window (mingw's comctl32 import library lacks
// GetWindowSubclass).
const char* const kSelfProperty = "KorvaneSubclassed";
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
    if (m_hwnd || !hwnd || FromHandle(hwnd))
        return false;
    m_hwnd = hwnd;
    PreSubclassWindow();
    if (!::SetWindowSubclass(hwnd, &SubclassedWindow::SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this))) {
        m_hwnd = nullptr;
        return false;
    }
    ::SetPropA(hwnd, kSelfProperty, this);
    return true;
}

HWND SubclassedWindow::Detach() {
    HWND hwnd = m_hwnd;
    if (hwnd) {
        ::RemoveWindowSubclass(hwnd, &SubclassedWindow::SubclassProc, kSubclassId);
        ::RemovePropA(hwnd, kSelfProperty);
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
    return ::DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT SubclassedWindow::SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallReportingErrors<LRESULT>(m_hwnd, 0,
                                        [&] { return WindowProc(message, wParam, lParam); });
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<SubclassedWindow*>(refData);
    if (!self || self->m_hwnd != hwnd)
        return ::DefSubclassProc(hwnd, message, wParam, lParam);

    const LRESULT result = self->SafeWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}
