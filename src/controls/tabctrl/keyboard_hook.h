#pragma once
// Passes key presses of this thread to registered listeners, whichever window has the focus.
// One per process, hooked into the thread that first uses it.

#include <windows.h>

#include <set>

class KeyboardHook {
public:
    class Notify {
    public:
        virtual ~Notify() = default;
        // key: the virtual-key code; flags: the keystroke flags of the hook.
        virtual void OnKeyDown(UINT key, UINT flags) {
            (void)key;
            (void)flags;
        }
    };

    static KeyboardHook& Instance();

    bool AddListener(Notify* listener);
    void RemoveListener(Notify* listener);
    bool HasListener(Notify* listener);

    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

private:
    KeyboardHook();
    ~KeyboardHook();
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Dispatch(UINT key, UINT flags);

    HHOOK m_hook = nullptr;
    CRITICAL_SECTION m_lock;
    std::set<Notify*> m_listeners;
};
