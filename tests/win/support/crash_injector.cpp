// Troubles the running desktop from outside and reports what the watcher made of it. One line:
//   crash_injector SECONDS            a thread started in it at an address where no code is
//   crash_injector overflow SECONDS   its window's thread sent to code that recurses without end
//   crash_injector freeze SECONDS     a crash, then every thread of it suspended while it reports
//     -> "crashed PID exit CODE ended MS restarted PID|none after MS most N"
//   crash_injector hang SECONDS       its window's thread suspended
//     -> "hung PID restarted PID|none after MS most N"
//   crash_injector fake SECONDS       the event that once told the watcher of a crash, set by us
//     -> "faked PID restarted PID|none after MS most N"
// SECONDS bounds the wait for another desktop; "most" is the largest number of visible desktop
// windows seen at one time from the trouble until the report.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
    DWORD notPid;
    DWORD foundPid = 0;
    DWORD foundThread = 0;
    HWND foundWindow = nullptr;
    int visible = 0;
};

BOOL CALLBACK FindDesktop(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char title[16] = {};
    ::GetWindowTextA(hwnd, title, sizeof(title));
    if (std::strcmp(title, "SHELL") != 0 || !::IsWindowVisible(hwnd))
        return TRUE;
    ++search->visible;
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->notPid && !search->foundPid)
        search->foundPid = pid, search->foundThread = thread, search->foundWindow = hwnd;
    return TRUE;
}

Search Look(DWORD notPid) {
    Search search{notPid};
    ::EnumWindows(&FindDesktop, reinterpret_cast<LPARAM>(&search));
    return search;
}

// Waits for a visible desktop of another process than notPid; counts visible desktops meanwhile.
Search WaitForDesktop(DWORD notPid, ULONGLONG timeoutMs, int& most) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const Search search = Look(notPid);
        most = search.visible > most ? search.visible : most;
        if (search.foundPid || ::GetTickCount64() >= deadline)
            return search;
        ::Sleep(20);
    }
}

// Code that calls itself until the stack is gone: call <itself>. Its frames are bare return
// addresses, which an unwinder walks like leaf functions down to the code it interrupted, so the
// exception reaches the thread's own handlers as a real overflow would; the stack is met page by
// page from the top, so the guard page is met in order.
const unsigned char kRecursion[] = {0xE8, 0xFB, 0xFF, 0xFF, 0xFF};

LPTHREAD_START_ROUTINE PlaceRecursion(HANDLE process) {
    void* code =
        ::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (!code || !::WriteProcessMemory(process, code, kRecursion, sizeof(kRecursion), nullptr))
        return nullptr;
    ::FlushInstructionCache(process, code, sizeof(kRecursion));
    return reinterpret_cast<LPTHREAD_START_ROUTINE>(code);
}

void SuspendAllThreads(DWORD pid) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        if (HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            ::SuspendThread(thread);
            ::CloseHandle(thread);
        }
    }
    ::CloseHandle(snapshot);
}

// Sends the (window) thread to `entry`: suspended, its instruction pointer set, resumed; a
// message wakes it if it waits for one. Its stack is left as it was: waiting for a message, it
// stands on a return address, as if it had just called `entry`.
bool Hijack(DWORD threadId, LPTHREAD_START_ROUTINE entry, HWND wake) {
    HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT,
                                 FALSE, threadId);
    if (!thread)
        return false;
    bool done = false;
    if (::SuspendThread(thread) != static_cast<DWORD>(-1)) {
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        if (::GetThreadContext(thread, &context)) {
            context.Rip = reinterpret_cast<DWORD64>(entry);
            done = ::SetThreadContext(thread, &context) != FALSE;
        }
        ::ResumeThread(thread);
    }
    ::CloseHandle(thread);
    if (done && wake)
        ::PostMessageA(wake, WM_NULL, 0, 0);
    return done;
}

} // namespace

int main(int argc, char** argv) {
    std::string how = "crash";
    int arg = 1;
    if (argc > 1 && (argv[1][0] < '0' || argv[1][0] > '9'))
        how = argv[arg++];
    const ULONGLONG waitMs = argc > arg ? std::strtoul(argv[arg], nullptr, 10) * 1000ull : 6000;
    int most = 0;
    const Search victim = WaitForDesktop(0, 30000, most);
    if (!victim.foundPid) {
        std::printf("no desktop\n");
        return 2;
    }
    HANDLE process =
        ::OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                          PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                      FALSE, victim.foundPid);
    if (!process) {
        std::printf("cannot open %lu\n", victim.foundPid);
        return 3;
    }
    const ULONGLONG start = ::GetTickCount64();
    if (how == "overflow") {
        // On the window thread, as an overflow in the desktop's own code would come.
        const LPTHREAD_START_ROUTINE entry = PlaceRecursion(process);
        if (!entry || !Hijack(victim.foundThread, entry, victim.foundWindow)) {
            std::printf("cannot send thread %lu to overflow\n", victim.foundThread);
            return 4;
        }
    } else if (how == "crash" || how == "freeze") {
        const auto entry = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10));
        HANDLE thread =
            entry ? ::CreateRemoteThread(process, nullptr, 0, entry, nullptr, 0, nullptr) : nullptr;
        if (!thread) {
            std::printf("no remote thread in %lu\n", victim.foundPid);
            return 4;
        }
        ::CloseHandle(thread);
        if (how == "freeze") {
            ::Sleep(1500); // its report under way
            SuspendAllThreads(victim.foundPid);
        }
    } else if (how == "hang") {
        HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, victim.foundThread);
        if (!thread || ::SuspendThread(thread) == static_cast<DWORD>(-1)) {
            std::printf("cannot suspend %lu\n", victim.foundThread);
            return 4;
        }
        ::CloseHandle(thread);
    } else if (how == "fake") {
        const std::string name = "KorvaneDesktopCrashed-" + std::to_string(victim.foundPid);
        HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, name.c_str());
        ::SetEvent(event);
        ::CloseHandle(event);
    } else {
        std::printf("unknown trouble %s\n", how.c_str());
        return 5;
    }
    // The next desktop may come while the troubled one still writes its dump.
    const Search next = WaitForDesktop(victim.foundPid, waitMs, most);
    const ULONGLONG nextAfter = ::GetTickCount64() - start;
    const std::string restarted = next.foundPid ? std::to_string(next.foundPid) : "none";
    if (how == "hang" || how == "fake") {
        // The troubled one must be gone, or stay alone; watch a little longer for a second window.
        int later = 0;
        WaitForDesktop(next.foundPid ? next.foundPid : victim.foundPid, 2000, later);
        most = later > most ? later : most;
        std::printf("%s %lu restarted %s after %llu most %d\n", how == "hang" ? "hung" : "faked",
                    victim.foundPid, restarted.c_str(), nextAfter, most);
        std::fflush(stdout);
        ::CloseHandle(process);
        return 0;
    }
    // Watch the screen while the crashed one ends.
    DWORD ended = WAIT_TIMEOUT;
    const ULONGLONG deadline = ::GetTickCount64() + 60000; // a dump under load
    while (ended == WAIT_TIMEOUT && ::GetTickCount64() < deadline) {
        ended = ::WaitForSingleObject(process, 50);
        const int visible = Look(0).visible;
        most = visible > most ? visible : most;
    }
    const ULONGLONG endedAfter = ::GetTickCount64() - start;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    std::printf("crashed %lu exit 0x%08lX ended %llu restarted %s after %llu most %d\n",
                victim.foundPid, code, ended == WAIT_OBJECT_0 ? endedAfter : 0ull,
                restarted.c_str(), nextAfter, most);
    std::fflush(stdout);
    return ended == WAIT_OBJECT_0 ? 0 : 1;
}
