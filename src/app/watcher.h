#pragma once
// The watcher: a second korvane.exe process that starts the desktop again after a crash or a
// hang, until crashes come too fast; then, when we are the log-on shell, it starts explorer.exe
// so that nobody is left in front of an empty screen.
//
// The desktop the user or Winlogon starts makes its watcher once its first paint is on screen,
// so that starting a second process under Wine (tens of milliseconds, more on a busy machine)
// does not delay that paint; a crash before that makes it from the crash reporter. A desktop
// outlives its watcher: when the watcher is gone, the desktop makes a new one.

#include "app/crash_recovery.h"
#include "framework/unique_handle.h"

#include <windows.h>

class DesktopWatcher {
public:
    DesktopWatcher() = default;
    DesktopWatcher(DesktopWatcher&&) noexcept = default;
    DesktopWatcher& operator=(DesktopWatcher&&) noexcept;
    // A watcher that was never resumed ends with the desktop that made it.
    ~DesktopWatcher();

    // Makes the watcher of this process; an empty one (the desktop then runs unwatched) when
    // the process cannot be made.
    static DesktopWatcher StartSuspended();
    // The watcher that started this restarted desktop, from the handles named on its command
    // line.
    static DesktopWatcher Adopt(const LaunchRole& role);

    bool Exists() const { return static_cast<bool>(m_process); }
    void Resume();
    // Tells the watcher that this desktop still reads its messages; called by the window thread
    // every 2 s. A desktop silent for 15 s is taken for hung.
    void SignAlive() const;
    // From now on, checks every 2 s on this thread that the watcher still runs, and makes a new
    // one when it does not. Needs the thread's message loop.
    void KeepRunning();

private:
    void EndUnresumed();
    static void CALLBACK CheckWatcher(HWND, UINT, UINT_PTR, DWORD);

    UniqueKernelHandle m_process;
    UniqueKernelHandle m_thread;  // null once resumed
    UniqueKernelHandle m_job;     // ends the watcher with us until it is resumed
    UniqueKernelHandle m_crashed; // our crash event, which the watcher holds too
    UniqueKernelHandle m_alive;   // our sign of life, which the watcher waits for
    UINT_PTR m_timer = 0;
};

// The watcher process's life: watches the desktop named by `role`, restarts it after crashes.
// Returns this process's exit code: the last desktop's when it ended without crashing.
int RunWatcher(const LaunchRole& role);
