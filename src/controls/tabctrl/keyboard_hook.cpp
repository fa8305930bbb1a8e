#include "controls/tabctrl/keyboard_hook.h"

#include "controls/tabctrl/critical_section_lock.h"

#include <new>

KeyboardHook& KeyboardHook::Instance() {
    // Built on first use on the calling thread; unhooked at process exit.
    static KeyboardHook instance;
    return instance;
}

KeyboardHook::KeyboardHook() {
    ::InitializeCriticalSection(&m_lock);
    m_hook =
        ::SetWindowsHookExA(WH_KEYBOARD, &KeyboardHook::HookProc, nullptr, ::GetCurrentThreadId());
}

KeyboardHook::~KeyboardHook() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    ::DeleteCriticalSection(&m_lock);
}

bool KeyboardHook::AddListener(Notify* listener) {
    CriticalSectionLock lock(m_lock);
    try {
        m_listeners.insert(listener);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void KeyboardHook::RemoveListener(Notify* listener) {
    CriticalSectionLock lock(m_lock);
    m_listeners.erase(listener);
}

bool KeyboardHook::HasListener(Notify* listener) {
    CriticalSectionLock lock(m_lock);
    return m_listeners.count(listener) != 0;
}

void KeyboardHook::Dispatch(UINT key, UINT flags) {
    CriticalSectionLock lock(m_lock);
    for (auto it = m_listeners.begin(); it != m_listeners.end();) {
        // Taken before the call: a listener may remove itself.
        auto next = std::next(it);
        (*it)->OnKeyDown(key, flags);
        it = next;
    }
}

LRESULT CALLBACK KeyboardHook::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    // Bit 31 of the flags is set for a key going up.
    if (code == HC_ACTION && static_cast<LONG>(lParam) >= 0) {
        try {
            Instance().Dispatch(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        } catch (...) {
            // A listener's failure must not swallow the key for the whole thread.
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
