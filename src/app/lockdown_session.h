#pragma once
// The desktop's side of the lockdown: on in restricted user mode while the desktop is the
// log-on shell and the "lockdown" setting is 1, lifted in admin mode, undone at exit.

#include "app/keyboard_filter.h"
#include "app/lockdown.h"

#include <windows.h>

#include <memory>
#include <string>

// Whether the Winlogon shell names this executable. Read each time: the operator may change it.
bool DesktopIsLogonShell();

class DesktopLockdown {
public:
    DesktopLockdown(HWND desktop, std::string journalPath);

    // A journal left by a crash, a kill or a power cut is put back first; then the mode's state.
    void Start(bool adminMode, int isRestart, int lockdownSetting);
    // After a mode switch or a changed setting or integration.
    void Update(bool adminMode, int isRestart, int lockdownSetting);
    // Everything back as it was: the operator's exits.
    void Lift();
    // The two-second timer: a keyboard filter the system took away comes back.
    void OnTimer();

    bool FilterRunning() const { return m_filter && m_filter->Running(); }
    PolicyLockdown& Policies() { return m_policies; }

private:
    HWND m_desktop;
    PolicyLockdown m_policies;
    std::unique_ptr<KeyboardFilter> m_filter;
};
