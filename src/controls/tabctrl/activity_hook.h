#pragma once
// Tells registered listeners when the keyboard focus enters or leaves a window they watch or
// any of its descendants. One per process, hooked into the thread that first uses it.

#include <windows.h>

#include <map>

class ActivityHook {
public:
    class INotify {
    public:
        virtual ~INotify() = default;
        // active: the focus moved into the watched window (or a descendant); wnd gained or
        // lost the focus.
        virtual void OnActive(bool active, HWND wnd) {
            (void)active;
            (void)wnd;
        }
    };

    static ActivityHook& Instance();

    // Adds the listener or replaces the window it watches.
    bool AddListener(INotify* listener, HWND wnd);
    void RemoveListener(INotify* listener);
    bool HasListener(INotify* listener);

    ActivityHook(const ActivityHook&) = delete;
    ActivityHook& operator=(const ActivityHook&) = delete;

private:
    ActivityHook();
    ~ActivityHook();
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Dispatch(const CWPSTRUCT& message);

    HHOOK m_hook = nullptr;
    CRITICAL_SECTION m_lock;
    std::map<INotify*, HWND> m_listeners;
};
