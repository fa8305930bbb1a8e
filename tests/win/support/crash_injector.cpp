// Crashes the running desktop from outside: a thread started in it at an address where no code
// is. Then reports how the process ended and whether, and how soon, another desktop window came.
// Prints one line: "crashed PID exit CODE ended MS restarted PID|none after MS".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    DWORD notPid;
    DWORD foundPid;
};

BOOL CALLBACK FindDesktop(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char title[16] = {};
    ::GetWindowTextA(hwnd, title, sizeof(title));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (std::strcmp(title, "SHELL") == 0 && ::IsWindowVisible(hwnd) && pid != search->notPid) {
        search->foundPid = pid;
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForDesktop(DWORD notPid, ULONGLONG timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        Search search{notPid, 0};
        ::EnumWindows(&FindDesktop, reinterpret_cast<LPARAM>(&search));
        if (search.foundPid)
            return search.foundPid;
        ::Sleep(20);
    } while (::GetTickCount64() < deadline);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const ULONGLONG waitMs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) * 1000ull : 6000;
    const DWORD victim = WaitForDesktop(0, 30000);
    if (!victim) {
        std::printf("no desktop\n");
        return 2;
    }
    HANDLE process =
        ::OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                          PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                      FALSE, victim);
    if (!process) {
        std::printf("cannot open %lu\n", victim);
        return 3;
    }
    const ULONGLONG start = ::GetTickCount64();
    HANDLE thread = ::CreateRemoteThread(
        process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10)),
        nullptr, 0, nullptr);
    if (!thread) {
        std::printf("no remote thread in %lu\n", victim);
        return 4;
    }
    ::CloseHandle(thread);
    // The next desktop may come while the crashed one still writes its dump.
    const DWORD next = WaitForDesktop(victim, waitMs);
    const ULONGLONG nextAfter = ::GetTickCount64() - start;
    const bool ended = ::WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    const ULONGLONG endedAfter = ::GetTickCount64() - start;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    if (next)
        std::printf("crashed %lu exit 0x%08lX ended %llu restarted %lu after %llu\n", victim, code,
                    ended ? endedAfter : 0ull, next, nextAfter);
    else
        std::printf("crashed %lu exit 0x%08lX ended %llu restarted none after %llu\n", victim, code,
                    ended ? endedAfter : 0ull, nextAfter);
    std::fflush(stdout);
    return ended ? 0 : 1;
}
