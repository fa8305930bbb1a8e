#include "app/app.h"
#include "app/crash_recovery.h"
#include "app/lockdown.h"
#include "app/watcher.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The uninstaller's "/unlock": the lockdown's originals back, no desktop, no watcher.
    if (HasUnlockArgument(commandLine ? commandLine : "")) {
        const RestoreResult result = RestoreLockdownJournal();
        return result == RestoreResult::NoJournal || result == RestoreResult::Restored ? 0 : 1;
    }
    const LaunchRole role = ParseLaunchRole(commandLine ? commandLine : "");
    if (role.watcher)
        return RunWatcher(role);
    // A restarted desktop is watched by the watcher that started it; "/desktop" alone runs
    // unwatched.
    DesktopWatcher watcher = role.first       ? DesktopWatcher::StartSuspended()
                             : role.restarted ? DesktopWatcher::Adopt(role)
                                              : DesktopWatcher();
    CApp app;
    app.m_restartedAfterCrash = role.restarted;
    const bool watched = role.first || role.restarted;
    app.m_onShown = [&watcher, watched] {
        watcher.Resume();
        if (watched)
            watcher.KeepRunning();
    };
    return app.Run();
}
