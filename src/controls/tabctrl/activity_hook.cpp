#include "controls/tabctrl/activity_hook.h"

#include "controls/tabctrl/critical_section_lock.h"

#include <new>

ActivityHook& ActivityHook::Instance() {
    // Built on first use on the calling thread; unhooked at process exit.
    static ActivityHook instance;
    return instance;
}

ActivityHook::ActivityHook() {
    ::InitializeCriticalSection(&m_lock);
    m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &ActivityHook::HookProc, nullptr,
                                 ::GetCurrentThreadId());
}

ActivityHook::~ActivityHook() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    ::DeleteCriticalSection(&m_lock);
}

bool ActivityHook::AddListener(INotify* listener, HWND wnd) {
    CriticalSectionLock lock(m_lock);
    try {
        m_listeners[listener] = wnd;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void ActivityHook::RemoveListener(INotify* listener) {
    CriticalSectionLock lock(m_lock);
    m_listeners.erase(listener);
}

bool ActivityHook::HasListener(INotify* listener) {
    CriticalSectionLock lock(m_lock);
    return m_listeners.count(listener) != 0;
}

void ActivityHook::Dispatch(const CWPSTRUCT& message) {
    CriticalSectionLock lock(m_lock);
    const bool gained = message.message == WM_SETFOCUS;
    for (auto it = m_listeners.begin(); it != m_listeners.end();) {
        // Taken before the call: a listener may remove itself.
        auto next = std::next(it);
        for (HWND wnd = message.hwnd; wnd; wnd = ::GetParent(wnd)) {
            if (wnd == it->second) {
                it->first->OnActive(gained, message.hwnd);
                break;
            }
        }
        it = next;
    }
}

LRESULT CALLBACK ActivityHook::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_SETFOCUS || message->message == WM_KILLFOCUS) {
            try {
                Instance().Dispatch(*message);
            } catch (...) {
                // A listener's failure must not break the focus change of the whole thread.
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
