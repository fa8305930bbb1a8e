#include "app/app.h"
#include "app/crash_recovery.h"
#include "app/watcher.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
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
