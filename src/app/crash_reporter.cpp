#include "app/crash_reporter.h"

#include "app/crash_recovery.h"

#include <windows.h>

#include <dbghelp.h>

#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

namespace {

struct ReporterState {
    bool installed = false;
    std::string folder;
    std::string appName;
    std::string appVersion;
    std::string emailTo;
    std::string emailSubject;
    std::string url;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    std::terminate_handler previousTerminate = nullptr;
    void (*previousAbort)(int) = SIG_DFL;
    std::string lastError = "Success.";
    bool overflowThread = false; // a stack overflow's report is written by a thread made for it
};

// What the failing thread asks the reporter thread to write.
struct Request {
    EXCEPTION_POINTERS* pointers = nullptr;
    const char* reason = nullptr;
    DWORD failingThread = 0;
    UINT exitCode = 0;
};

// The longest a failing thread waits for the report before it ends the process anyway (a dump
// takes seconds under Wine), and the longest the reporter waits for other threads' windows to go.
constexpr DWORD kReportBoundMs = 60000;
constexpr DWORD kHideBoundMs = 2000;
// The stack kept back for the installing thread's crash filter after a stack overflow.
constexpr ULONG kOverflowReserve = 64 * 1024;
// The stack of the thread that writes a stack overflow's report.
constexpr SIZE_T kReporterStack = 256 * 1024;

ReporterState g_state;
Request g_request;
volatile DWORD g_reporterThreadId = 0;
volatile LONG g_reportingThread = 0; // the thread that reports, 0 before any crash
HANDLE g_watcherThread = nullptr;
HANDLE g_watcherJob = nullptr;
void (*g_watcherMaker)() = nullptr;
HANDLE g_crashEvent = nullptr;
DWORD g_reserveThreadId = 0; // the thread given the overflow reserve

using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                        PMINIDUMP_EXCEPTION_INFORMATION,
                                        PMINIDUMP_USER_STREAM_INFORMATION,
                                        PMINIDUMP_CALLBACK_INFORMATION);
WriteDumpFunction volatile g_writeDump = nullptr;

// MiniDumpWriteDump from the system's dbghelp, loaded at the first call. Loading it takes
// milliseconds of a start-up under Wine, so the desktop asks for it once its first paint is on
// screen (crLoadDumpWriter); a crash before that loads it then. Null when it cannot be had.
WriteDumpFunction DumpWriter() {
    if (WriteDumpFunction loaded = g_writeDump)
        return loaded;
    char path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 12)
        return nullptr;
    std::strcat(path, "\\dbghelp.dll"); // not the one a user may have put beside us
    HMODULE dbghelp = ::LoadLibraryA(path);
    if (!dbghelp)
        return nullptr;
    // A minidump needs no symbols; without this Wine's dbghelp reads the debug information of
    // every loaded module before it writes one, which takes many seconds.
    using GetOptions = DWORD(WINAPI*)();
    using SetOptions = DWORD(WINAPI*)(DWORD);
    auto getOptions = reinterpret_cast<GetOptions>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp, "SymGetOptions")));
    auto setOptions = reinterpret_cast<SetOptions>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp, "SymSetOptions")));
    if (getOptions && setOptions)
        setOptions(getOptions() | SYMOPT_DEFERRED_LOADS);
    g_writeDump = reinterpret_cast<WriteDumpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    return g_writeDump;
}

void CreateFolderChain(const std::string& folder) {
    for (std::size_t i = 3; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '\\')
            ::CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    }
}

// Keeps the newest dumps; a dump goes together with its note.
void PruneDumps(std::size_t keep = kDumpsKept) {
    std::vector<DumpFile> dumps;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((g_state.folder + "\\*.dmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            dumps.push_back(
                {data.cFileName,
                 (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime});
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    for (const std::string& name : DumpsToDelete(std::move(dumps), keep)) {
        const std::string path = g_state.folder + "\\" + name;
        ::DeleteFileA(path.c_str());
        ::DeleteFileA((path.substr(0, path.size() - 4) + ".txt").c_str());
    }
}

// Leaves one thread out of a dump: a thread whose stack overflowed cannot even be suspended
// under Wine, and DbgHelp suspends every thread it writes.
BOOL CALLBACK LeaveThreadOut(void* thread, PMINIDUMP_CALLBACK_INPUT input,
                             PMINIDUMP_CALLBACK_OUTPUT) {
    return !(input && input->CallbackType == IncludeThreadCallback &&
             input->IncludeThread.ThreadId ==
                 static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(thread)));
}

// Writes <folder>\<name>-<time>-<pid>.dmp of `process` and a .txt beside it; `pointers` (null
// for none) belong to this process and its `thread`, which the dump leaves out when leaveOut.
// True when the dump was written.
bool WriteReport(HANDLE process, DWORD processId, DWORD thread, EXCEPTION_POINTERS* pointers,
                 const char* reason, bool leaveOut = false) {
    CreateFolderChain(g_state.folder);
    // Room first: a dump cut short when its process is ended never reaches the pruning below.
    PruneDumps(kDumpsKept - 1);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char stem[MAX_PATH];
    std::snprintf(
        stem, sizeof(stem), "%s\\%s-%04u%02u%02u-%02u%02u%02u-%lu", g_state.folder.c_str(),
        g_state.appName.empty() ? "crash" : g_state.appName.c_str(), now.wYear, now.wMonth,
        now.wDay, now.wHour, now.wMinute, now.wSecond, static_cast<unsigned long>(processId));

    bool written = false;
    const std::string dumpPath = std::string(stem) + ".dmp";
    HANDLE file = ::CreateFileA(dumpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    const WriteDumpFunction writeDump = DumpWriter();
    if (writeDump && file != INVALID_HANDLE_VALUE) {
        MINIDUMP_EXCEPTION_INFORMATION info{};
        info.ThreadId = thread;
        info.ExceptionPointers = pointers;
        info.ClientPointers = FALSE;
        MINIDUMP_CALLBACK_INFORMATION callback{
            &LeaveThreadOut, reinterpret_cast<void*>(static_cast<ULONG_PTR>(thread))};
        written = writeDump(process, processId, file, MiniDumpNormal, pointers ? &info : nullptr,
                            nullptr, leaveOut ? &callback : nullptr) != FALSE;
    }
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        if (!written) // half a dump only misleads whoever reads it
            ::DeleteFileA(dumpPath.c_str());
    }

    const std::string textPath = std::string(stem) + ".txt";
    if (FILE* text = std::fopen(textPath.c_str(), "w")) {
        // Where the report is meant to go; this build sends nothing itself.
        std::fprintf(text,
                     "Application: %s\nVersion: %s\nSubject: %s\nE-mail: %s\nUpload: %s\n"
                     "Reason: %s\n",
                     g_state.appName.c_str(), g_state.appVersion.c_str(),
                     g_state.emailSubject.c_str(), g_state.emailTo.c_str(), g_state.url.c_str(),
                     reason);
        if (pointers && pointers->ExceptionRecord)
            std::fprintf(text, "Exception code: 0x%08lX\n",
                         static_cast<unsigned long>(pointers->ExceptionRecord->ExceptionCode));
        if (!written)
            std::fprintf(text, "Dump: not written\n");
        std::fclose(text);
    }
    PruneDumps();
    return written;
}

// Wine commits a main thread's stack whole and guards only its last page, so an overflow is met
// with a page of room, whatever the guarantee, and a fault inside that page ends the thread with
// no report. A guard page above the reserve, where Windows would have its own, gives the room back.
// Where the stack grows as on Windows, the page is not committed yet and is left alone.
void GuardAboveReserve() {
    MEMORY_BASIC_INFORMATION stack{};
    if (!::VirtualQuery(&stack, &stack, sizeof(stack)))
        return;
    char* const page = static_cast<char*>(stack.AllocationBase) + 4096 + kOverflowReserve;
    MEMORY_BASIC_INFORMATION info{};
    if (!::VirtualQuery(page, &info, sizeof(info)) || info.State != MEM_COMMIT ||
        (info.Protect & PAGE_GUARD) || page + 4096 * 4 > reinterpret_cast<char*>(&stack))
        return;
    DWORD old = 0;
    ::VirtualProtect(page, 4096, PAGE_READWRITE | PAGE_GUARD, &old);
}

BOOL CALLBACK HideOwnWindow(HWND hwnd, LPARAM) {
    if (::IsWindowVisible(hwnd))
        ::ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

struct OtherWindows {
    DWORD failingThread;
    bool hide;
    int visible = 0;
};

BOOL CALLBACK VisitOtherWindow(HWND hwnd, LPARAM param) {
    auto* others = reinterpret_cast<OtherWindows*>(param);
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId() || thread == others->failingThread ||
        !::IsWindowVisible(hwnd))
        return TRUE;
    ++others->visible;
    if (others->hide)
        ::ShowWindowAsync(hwnd, SW_HIDE); // its thread may be busy: never wait on it here
    return TRUE;
}

// Hides the windows of the other threads of this process, so that the next desktop never shows
// beside this one while the dump is written; waits a little for their threads to do it.
void HideOtherThreadsWindows(DWORD failingThread) {
    OtherWindows others{failingThread, true};
    ::EnumWindows(&VisitOtherWindow, reinterpret_cast<LPARAM>(&others));
    for (DWORD waited = 0; others.visible > 0 && waited < kHideBoundMs; waited += 20) {
        ::Sleep(20);
        others = OtherWindows{failingThread, false};
        ::EnumWindows(&VisitOtherWindow, reinterpret_cast<LPARAM>(&others));
    }
}

// Everything a crash needs beyond hiding the failing thread's windows: the watcher first (a dump
// takes seconds under Wine, and the next desktop should not wait for it), then the report.
void Report(const Request& request) {
    if (!g_watcherThread && g_watcherMaker)
        std::exchange(g_watcherMaker, nullptr)();
    crReleaseWatcher();
    HideOtherThreadsWindows(request.failingThread);
    if (g_crashEvent)
        ::SetEvent(g_crashEvent);
    WriteReport(::GetCurrentProcess(), ::GetCurrentProcessId(), request.failingThread,
                request.pointers, request.reason, request.failingThread != ::GetCurrentThreadId());
}

DWORD WINAPI ReporterMain(void*) {
    g_reporterThreadId = ::GetCurrentThreadId();
    Report(g_request);
    ::TerminateProcess(::GetCurrentProcess(), g_request.exitCode);
    return 0;
}

// A thread for a stack overflow's report, made only then: under Wine a thread holds a megabyte
// for as long as it lives. Creating it takes a few kilobytes of the failing thread's reserve.
bool ReportOnNewThread() {
    HANDLE reporter = ::CreateThread(nullptr, kReporterStack, &ReporterMain, nullptr,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!reporter)
        return false;
    ::WaitForSingleObject(reporter, kReportBoundMs);
    return true;
}

// Runs on the failing thread and ends the whole process: Wine would end only a crashed secondary
// thread and leave a desktop without it. The failing thread hides its own windows and writes the
// report itself, so that the dump holds its stack; after a stack overflow it has next to no stack
// left, and hands the report to the reporter thread. Every wait is bounded.
[[noreturn]] void ReportAndEnd(EXCEPTION_POINTERS* pointers, const char* reason, UINT exitCode) {
    const DWORD self = ::GetCurrentThreadId();
    const LONG reporting =
        ::InterlockedCompareExchange(&g_reportingThread, static_cast<LONG>(self), 0);
    if (reporting == static_cast<LONG>(self) || self == g_reporterThreadId) {
        // A fault inside our own report: end at once, without a dump.
        ::TerminateProcess(::GetCurrentProcess(), exitCode);
    } else if (reporting != 0) {
        ::Sleep(kReportBoundMs); // another thread reports; it ends the process
        ::TerminateProcess(::GetCurrentProcess(), exitCode);
    }
    const bool overflow = pointers && pointers->ExceptionRecord &&
                          pointers->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW;
    // Window procedures need stack: after an overflow only the installing thread, which has the
    // reserve, hides its windows (the watcher ends the process when they stay).
    if (!overflow || self == g_reserveThreadId)
        ::EnumThreadWindows(self, &HideOwnWindow, 0);
    g_request.pointers = pointers;
    g_request.reason = reason;
    g_request.failingThread = self;
    g_request.exitCode = exitCode;
    if (!(overflow && g_state.overflowThread && ReportOnNewThread()))
        Report(g_request);
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
    for (;;)
        ::Sleep(INFINITE);
}

LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* pointers) {
    // The process ends with the exception's code, as Windows ends it, unless that code would
    // pass for an ordinary exit (a C++ runtime's own codes may): the watcher must see a crash.
    const DWORD code = pointers && pointers->ExceptionRecord
                           ? pointers->ExceptionRecord->ExceptionCode
                           : kFatalExitCode;
    ReportAndEnd(pointers, "unhandled exception", IsCrashExitCode(code) ? code : kFatalExitCode);
}

[[noreturn]] void OnTerminate() {
    ReportAndEnd(nullptr, "std::terminate", kFatalExitCode);
}

void OnAbort(int) {
    ReportAndEnd(nullptr, "abort", kFatalExitCode);
}

int Fail(const char* text) {
    g_state.lastError = text;
    return 1;
}

} // namespace

int crInstall(const CrInstallInfo* info) {
    if (!info)
        return Fail("Installation information is missing.");
    if (info->cb != sizeof(CrInstallInfo))
        return Fail("Installation information has an unexpected size.");
    if (g_state.installed)
        return Fail("The crash reporter is already installed.");
    // The caller names the folder: only it knows where its data lives.
    if (!info->crashFolder || !*info->crashFolder)
        return Fail("No folder for crash reports was given.");

    g_state.folder = info->crashFolder;
    g_state.appName = info->appName ? info->appName : "";
    g_state.appVersion = info->appVersion ? info->appVersion : "";
    g_state.emailTo = info->emailTo ? info->emailTo : "";
    g_state.emailSubject = info->emailSubject ? info->emailSubject : "";
    g_state.url = info->url ? info->url : "";
    g_state.overflowThread = !(info->flags & kCrNoReporterThread);
    g_request = Request{};
    // A stack overflow leaves the failing thread only what is kept back below its stack: the
    // filter and the hand-over to the reporter thread need more than the default page or two
    // (Wine ends a thread that faults again inside that space, and the process lives on
    // without it).
    ULONG guarantee = kOverflowReserve;
    ::SetThreadStackGuarantee(&guarantee);
    g_reserveThreadId = ::GetCurrentThreadId();
    GuardAboveReserve();
    g_state.previousFilter = ::SetUnhandledExceptionFilter(&UnhandledFilter);
    if (info->flags & kCrAllHandlers) {
        g_state.previousTerminate = std::set_terminate(&OnTerminate);
        g_state.previousAbort = std::signal(SIGABRT, &OnAbort);
    }
    g_state.installed = true;
    g_state.lastError = "Success.";
    return 0;
}

void crLoadDumpWriter() {
    DumpWriter();
}

int crUninstall() {
    if (!g_state.installed)
        return Fail("The crash reporter is not installed.");
    ::SetUnhandledExceptionFilter(g_state.previousFilter);
    if (g_state.previousTerminate)
        std::set_terminate(g_state.previousTerminate);
    std::signal(SIGABRT, g_state.previousAbort == SIG_ERR ? SIG_DFL : g_state.previousAbort);
    g_reporterThreadId = 0;
    g_state = ReporterState{};
    return 0;
}

void crSetWatcher(void* thread, void* job) {
    g_watcherThread = thread;
    g_watcherJob = job;
}

void crSetWatcherMaker(void (*maker)()) {
    g_watcherMaker = maker;
}

void crReleaseWatcher() {
    if (g_watcherJob) {
        // Its kill-on-close limit would end the watcher with us.
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        ::SetInformationJobObject(g_watcherJob, JobObjectExtendedLimitInformation, &limits,
                                  sizeof(limits));
    }
    if (g_watcherThread)
        ::ResumeThread(g_watcherThread);
    g_watcherThread = g_watcherJob = nullptr;
}

int crGetLastErrorMsg(char* buffer, unsigned size) {
    if (!buffer || size == 0)
        return 0;
    const std::size_t n = g_state.lastError.size() < size - 1 ? g_state.lastError.size() : size - 1;
    std::memcpy(buffer, g_state.lastError.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

void crSetCrashEvent(void* event) {
    g_crashEvent = event;
}

bool crWriteReportOf(void* process, const char* reason) {
    return g_state.installed &&
           WriteReport(process, ::GetProcessId(process), 0, nullptr, reason ? reason : "");
}

std::string crCrashFolder() {
    return g_state.installed ? g_state.folder : std::string();
}
