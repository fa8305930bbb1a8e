#include "framework/window.h"

#include "framework/guarded_call.h"
#include "framework/reflect.h"
#include "framework/win_app.h"

namespace {
const char* const kSelfProperty = "KorvaneWindow";
}

Window::~Window() {
    Destroy();
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(::GetPropA(hwnd, kSelfProperty)) : nullptr;
}

bool Window::RegisterClass(const char* className, UINT style, HBRUSH background, HICON icon) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{sizeof(existing)};
    if (::GetClassInfoExA(instance, className, &existing))
        return true;
    WNDCLASSEXA wc{sizeof(wc)};
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                      const RECT& rect, HWND parent, HMENU menuOrId) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = static_cast<LONG>(exStyle);
    cs.lpszClass = className;
    cs.lpszName = title;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = ::GetModuleHandleA(nullptr);
    PreCreateWindow(cs);
    HWND hwnd = ::CreateWindowExA(static_cast<DWORD>(cs.dwExStyle), cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return hwnd != nullptr && hwnd == m_hwnd;
}

void Window::Destroy() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

void Window::PreCreateWindow(CREATESTRUCTA&) {}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hwnd, message, wParam, lParam);
}

LRESULT Window::SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallReportingErrors<LRESULT>(m_hwnd, 0, [&]() -> LRESULT {
        // Controls that draw or answer for themselves get their notifications back first.
        LRESULT reflected = 0;
        if (ReflectToChild(m_hwnd, message, wParam, lParam, reflected))
            return reflected;
        return WindowProc(message, wParam, lParam);
    });
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->m_hwnd = hwnd;
            ::SetPropA(hwnd, kSelfProperty, self);
        }
    } else {
        self = FromHandle(hwnd);
    }
    if (!self)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    const LRESULT result = self->SafeWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::RemovePropA(hwnd, kSelfProperty);
        self->m_hwnd = nullptr;
        if (WinApp* app = WinApp::Current())
            app->OnMainWindowDestroyed(self);
        self->PostNcDestroy();
    }
    return result;
}
