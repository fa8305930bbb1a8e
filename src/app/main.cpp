#include "app/app.h"
#include "app/crash_recovery.h"
#include "app/crash_reporter.h"
#include "app/lockdown.h"
#include "app/watcher.h"

#include <windows.h>

namespace {

// The desktop's watcher, for a crash before the first paint, when it has none yet.
DesktopWatcher* g_watcher = nullptr;

void MakeWatcherAtCrash() {
    if (g_watcher)
        *g_watcher = DesktopWatcher::StartSuspended();
}

} // namespace

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
    // unwatched. The first desktop makes its watcher once its first paint is on screen: starting
    // a process costs tens of milliseconds under Wine, more on a busy machine. A crash before
    // that makes it from the crash reporter.
    DesktopWatcher watcher = role.restarted ? DesktopWatcher::Adopt(role) : DesktopWatcher();
    if (role.first) {
        g_watcher = &watcher;
        crSetWatcherMaker(&MakeWatcherAtCrash);
    }
    CApp app;
    app.m_restartedAfterCrash = role.restarted;
    const bool watched = role.first || role.restarted;
    app.m_onShown = [&watcher, &role, watched] {
        if (role.first) {
            crSetWatcherMaker(nullptr);
            if (!watcher.Exists())
                watcher = DesktopWatcher::StartSuspended();
        }
        watcher.Resume();
        if (watched)
            watcher.KeepRunning();
        watcher.SignAlive();
    };
    app.m_onTick = [&watcher] { watcher.SignAlive(); };
    const int exitCode = app.Run();
    crSetWatcherMaker(nullptr);
    g_watcher = nullptr;
    return exitCode;
}
