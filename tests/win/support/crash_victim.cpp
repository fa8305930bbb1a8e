// Installs the crash reporter with the folder given as argument, then crashes in the way the
// second argument names: "access" (null write), "throw" (uncaught C++ exception), "thread" (null
// write on a second thread while the first sleeps for 30 s and then ends normally).
#include "app/crash_reporter.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    CrInstallInfo info;
    info.appName = "korvane.exe";
    info.appVersion = "1.23-EN";
    info.emailSubject = "korvane.exe - crash report";
    info.emailTo = "crashes@example.invalid";
    info.flags = kCrAllHandlers;
    info.crashFolder = argv[1];
    if (crInstall(&info) != 0)
        return 4;
    if (std::strcmp(argv[2], "access") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 42;
    } else if (std::strcmp(argv[2], "thread") == 0) {
        std::thread([] {
            volatile int* nowhere = nullptr;
            *nowhere = 42;
        }).detach();
        ::Sleep(30000);
    } else if (std::strcmp(argv[2], "throw") == 0) {
        throw std::runtime_error("uncaught");
    }
    return 0;
}
