#include "app/keyboard_filter.h"

#include <atomic>

namespace {

constexpr UINT kRenewHook = WM_APP + 1;
constexpr DWORD kStartWaitMs = 5000;

// A low-level hook procedure gets no context: the one filter of the process.
std::atomic<KeyboardFilter*> g_filter{nullptr};

} // namespace

KeyboardFilter::KeyboardFilter(HWND desktop) : m_desktop(desktop) {
    Start();
}

KeyboardFilter::~KeyboardFilter() {
    Stop();
}

bool KeyboardFilter::Start() {
    g_filter.store(this);
    m_ready.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_thread.Reset(::CreateThread(nullptr, 0, &KeyboardFilter::ThreadMain, this, 0, &m_threadId));
    if (!m_thread || !m_ready)
        return false;
    // Only a few milliseconds: the hook is in place when the customer gets the screen.
    const HANDLE waits[] = {m_ready.Get(), m_thread.Get()};
    return ::WaitForMultipleObjects(2, waits, FALSE, kStartWaitMs) == WAIT_OBJECT_0;
}

void KeyboardFilter::Stop() {
    if (m_thread) {
        ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        if (::WaitForSingleObject(m_thread.Get(), kStartWaitMs) != WAIT_OBJECT_0)
            ::TerminateThread(m_thread.Get(), 0); // a hook thread that hangs must not stay
        m_thread.Reset();
    }
    KeyboardFilter* self = this;
    g_filter.compare_exchange_strong(self, nullptr);
}

bool KeyboardFilter::Running() const {
    return m_thread && ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT && m_ready &&
           ::WaitForSingleObject(m_ready.Get(), 0) == WAIT_OBJECT_0;
}

void KeyboardFilter::Renew() {
    if (!m_thread || ::WaitForSingleObject(m_thread.Get(), 0) != WAIT_TIMEOUT) {
        Stop();
        Start();
        return;
    }
    ::PostThreadMessageA(m_threadId, kRenewHook, 0, 0);
}

DWORD WINAPI KeyboardFilter::ThreadMain(void* param) {
    auto* self = static_cast<KeyboardFilter*>(param);
    MSG msg;
    ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // makes the message queue
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    self->m_hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardFilter::HookProc, module, 0);
    if (!self->m_hook)
        return 1;
    ::SetEvent(self->m_ready.Get());
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kRenewHook) {
            // The new hook first, so that no key slips through between the two.
            if (HHOOK fresh =
                    ::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardFilter::HookProc, module, 0)) {
                ::UnhookWindowsHookEx(self->m_hook);
                self->m_hook = fresh;
            }
            continue;
        }
        ::DispatchMessageA(&msg);
    }
    ::UnhookWindowsHookEx(self->m_hook);
    self->m_hook = nullptr;
    return 0;
}

bool KeyboardFilter::DesktopInFront() const {
    HWND front = ::GetForegroundWindow();
    DWORD process = 0;
    ::GetWindowThreadProcessId(front, &process);
    return front == m_desktop || (front && process == ::GetCurrentProcessId());
}

LRESULT CALLBACK KeyboardFilter::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    KeyboardFilter* self = g_filter.load();
    if (code == HC_ACTION && self) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        // Injected keys (LLKHF_INJECTED) go through the same rules as typed ones.
        if (self->m_keys.Swallow(event->vkCode, down, (event->flags & LLKHF_ALTDOWN) != 0,
                                 event->vkCode == VK_APPS && self->DesktopInFront()))
            return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
