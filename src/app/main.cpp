#include "app/app.h"
#include "app/crash_recovery.h"
#include "app/guardian.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const LaunchRole role = ParseLaunchRole(commandLine ? commandLine : "");
    if (role.guardian) {
        bool desktopStarted = false;
        const int exitCode = RunGuardian(desktopStarted);
        if (desktopStarted)
            return exitCode;
    }
    CApp app;
    app.m_restartedAfterCrash = role.restarted;
    return app.Run();
}
