// Installs the crash reporter with the folder given as argument, then crashes in the way the
// second argument names: "access" (null write), "throw" (uncaught C++ exception), "thread" (null
// write on a second thread while the first sleeps for 30 s and then ends normally), "overflow"
// (endless recursion).
// "watched-..." first makes its suspended watcher as the desktop does, then "watched-access"
// crashes, "watched-exit" ends normally and "watched-sleep" waits to be killed. The watcher is this
// program again: it waits for its desktop to end and writes "EXITCODE EVENT" into the file that
// KORVANE_TEST_WATCH_MARK names.
#include "app/crash_recovery.h"
#include "app/crash_reporter.h"
#include "app/watcher.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <windows.h>

namespace {

// Each frame keeps a page of its own, so the stack runs out soon and for certain.
int Recurse(volatile char* previous) {
    volatile char page[4096];
    page[0] = previous ? previous[0] : 1;
    return Recurse(page) + page[0];
}

int FakeWatcher(const char* commandLine) {
    const LaunchRole role = ParseLaunchRole(commandLine);
    if (!role.watcher)
        return 3;
    auto* desktop = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(role.desktopProcess));
    auto* crashed = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(role.crashEvent));
    ::WaitForSingleObject(desktop, 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(desktop, &code);
    const bool eventSet = ::WaitForSingleObject(crashed, 0) == WAIT_OBJECT_0;
    char mark[MAX_PATH] = {};
    ::GetEnvironmentVariableA("KORVANE_TEST_WATCH_MARK", mark, sizeof(mark));
    if (FILE* file = std::fopen(mark, "w")) {
        std::fprintf(file, "%08lX %d", static_cast<unsigned long>(code), eventSet ? 1 : 0);
        std::fclose(file);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kWatchArgument) == 0)
        return FakeWatcher(::GetCommandLineA());
    if (argc < 3)
        return 2;
    DesktopWatcher watcher;
    const bool watched = std::strncmp(argv[2], "watched-", 8) == 0;
    if (watched) {
        watcher = DesktopWatcher::StartSuspended();
        if (!watcher.Exists())
            return 5;
    }
    const char* how = watched ? argv[2] + 8 : argv[2];
    CrInstallInfo info;
    info.appName = "korvane.exe";
    info.appVersion = "1.23-EN";
    info.emailSubject = "korvane.exe - crash report";
    info.emailTo = "crashes@example.invalid";
    info.flags = kCrAllHandlers;
    info.crashFolder = argv[1];
    if (crInstall(&info) != 0)
        return 4;
    if (std::strcmp(how, "access") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 42;
    } else if (std::strcmp(how, "thread") == 0) {
        std::thread([] {
            volatile int* nowhere = nullptr;
            *nowhere = 42;
        }).detach();
        ::Sleep(30000);
    } else if (std::strcmp(how, "overflow") == 0) {
        return Recurse(nullptr);
    } else if (std::strcmp(how, "throw") == 0) {
        throw std::runtime_error("uncaught");
    } else if (std::strcmp(how, "sleep") == 0) {
        ::Sleep(30000);
    }
    return 0;
}
