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
    // The desktops the watcher starts are watched already.
    DesktopWatcher watcher = role.first ? DesktopWatcher::StartSuspended() : DesktopWatcher();
    CApp app;
    app.m_restartedAfterCrash = role.restarted;
    app.m_onShown = [&watcher] { watcher.Resume(); };
    return app.Run();
}
