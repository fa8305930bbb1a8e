#include "app/app.h"
#include "app/crash_recovery.h"
#include "app/watcher.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
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
