#pragma once
// The low-level keyboard hook that keeps the Windows keys, Ctrl+Esc, Ctrl+Shift+Esc and
// Alt+Esc from the system while customers use the computer. It runs on a thread of its own
// with its own message loop: Windows quietly removes a low-level hook whose thread does not
// answer in time, and the desktop's own thread may be busy painting or in a dialog.

#include "app/lockdown_profile.h"
#include "framework/unique_handle.h"

#include <windows.h>

class KeyboardFilter {
public:
    // `desktop`: the desktop window, to tell whether the desktop itself is in front.
    explicit KeyboardFilter(HWND desktop);
    ~KeyboardFilter();
    KeyboardFilter(const KeyboardFilter&) = delete;
    KeyboardFilter& operator=(const KeyboardFilter&) = delete;

    // True once the hook is in place.
    bool Running() const;
    // For the desktop's two-second timer: starts the thread again when it has ended, and
    // otherwise has it install a fresh hook before removing the old one, since Windows does
    // not tell when it took a hook away.
    void Renew();

private:
    bool Start();
    void Stop();
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    bool DesktopInFront() const;

    HWND m_desktop;
    DWORD m_threadId = 0;
    UniqueKernelHandle m_thread;
    UniqueKernelHandle m_ready;
    HHOOK m_hook = nullptr; // used on the filter's thread only
    KeyFilter m_keys;       // used on the filter's thread only
};
