#include "app/watcher.h"

#include "app/app.h"
#include "app/crash_reporter.h"
#include "app/integration.h"
#include "app/lockdown.h"
#include "app/registry_plus.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// The crash history in the settings key (see CrashHistory for its text).
constexpr const char* kHistoryValue = "crashes";
// The longest the watcher waits for a dying desktop, to end or to take its window away.
constexpr DWORD kDyingBoundMs = 10000;
// The longest a hung desktop stays on screen for its dump (which takes seconds under Wine, ten
// and more on a loaded machine): then it is ended, its dump unfinished, so that the next desktop
// comes within 20 s of the hang.
constexpr DWORD kHangDumpBoundMs = 2000;
// What the watcher's handle to a desktop may do: wait for it, end it, write its dump.
constexpr DWORD kDesktopAccess =
    SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

HANDLE HandleFromValue(std::uint64_t value) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

// A job that ends the suspended watcher if its desktop ends, even from outside, before the
// desktop lets it go; null where the watcher cannot be put into one.
UniqueKernelHandle CreateWatcherJob(HANDLE watcher) {
    UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    if (job && (!::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                           sizeof(limits)) ||
                !::AssignProcessToJobObject(job.Get(), watcher)))
        job.Reset();
    return job;
}

// Creates `commandLine` suspended, handing it these handles and no others of ours.
bool CreateSuspendedWith(const std::string& module, std::string commandLine,
                         std::initializer_list<HANDLE> handles, PROCESS_INFORMATION& process) {
    std::vector<HANDLE> inherited(handles);
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    DWORD flags = CREATE_SUSPENDED;
    if (size && ::InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
        if (::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                        inherited.data(), inherited.size() * sizeof(HANDLE),
                                        nullptr, nullptr)) {
            startup.lpAttributeList = attributes;
            flags |= EXTENDED_STARTUPINFO_PRESENT;
        }
    }
    const bool created =
        ::CreateProcessA(module.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                         nullptr, &startup.StartupInfo, &process) != FALSE;
    if (startup.lpAttributeList)
        ::DeleteProcThreadAttributeList(attributes);
    return created;
}

// An event that only our processes hold: a handle, never a name, passes it on.
UniqueKernelHandle CreateInheritedEvent(BOOL manualReset) {
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    return UniqueKernelHandle(::CreateEventA(&inherited, manualReset, FALSE, nullptr));
}

// Set by the desktop's crash reporter; stays set.
UniqueKernelHandle CreateCrashEvent() {
    return CreateInheritedEvent(TRUE);
}

// The desktop's sign of life: set by its window thread, taken by the watcher's wait.
UniqueKernelHandle CreateAliveEvent() {
    return CreateInheritedEvent(FALSE);
}

// This process, as a handle another process inherits.
UniqueKernelHandle InheritableSelf(DWORD access) {
    HANDLE self = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &self,
                      access, TRUE, 0);
    return UniqueKernelHandle(self);
}

struct Desktop {
    UniqueKernelHandle process;
    UniqueKernelHandle crashed; // set by the desktop's crash reporter
    UniqueKernelHandle alive;   // set by its window thread; null: not watched for hangs
};

// A desktop that is not bound to us: it outlives this watcher, and makes a new one.
Desktop StartDesktop(const std::string& module) {
    Desktop desktop;
    desktop.crashed = CreateCrashEvent();
    desktop.alive = CreateAliveEvent();
    const UniqueKernelHandle self = InheritableSelf(SYNCHRONIZE);
    if (!desktop.crashed || !desktop.alive || !self)
        return {};
    const std::string commandLine =
        "\"" + module + "\" " +
        RestartArguments(reinterpret_cast<std::uintptr_t>(self.Get()),
                         reinterpret_cast<std::uintptr_t>(desktop.crashed.Get()),
                         reinterpret_cast<std::uintptr_t>(desktop.alive.Get()));
    PROCESS_INFORMATION process{};
    if (!CreateSuspendedWith(module, commandLine,
                             {self.Get(), desktop.crashed.Get(), desktop.alive.Get()}, process))
        return {};
    desktop.process.Reset(process.hProcess);
    const UniqueKernelHandle thread(process.hThread);
    ::ResumeThread(thread.Get());
    return desktop;
}

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleWindowOf(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || !::IsWindowVisible(hwnd))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A visible window of the process. Only a dying desktop is looked at: the watcher loads the
// window library then, not before, and stays small while all is well.
HWND VisibleWindowOf(HANDLE process) {
    WindowSearch search{::GetProcessId(process)};
    if (search.processId)
        ::EnumWindows(&FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD WINAPI WriteHangReport(void* process) {
    crWriteReportOf(static_cast<HANDLE>(process), "not answering");
    return 0;
}

struct Ending {
    DWORD exitCode;
    CrashKind kind;
};

// Waits until the desktop ends, says it crashed, or stops answering; a hung desktop is given a
// dump and ended.
Ending Watch(const Desktop& desktop) {
    HangWatch hang;
    const HANDLE handles[] = {desktop.process.Get(), desktop.crashed.Get(), desktop.alive.Get()};
    const DWORD count = desktop.crashed ? (desktop.alive ? 3 : 2) : 1;
    for (;;) {
        const std::uint64_t due = hang.MsUntilDue(::GetTickCount64());
        const DWORD timeout = due == HangWatch::kNever ? INFINITE : static_cast<DWORD>(due);
        const DWORD which = ::WaitForMultipleObjects(count, handles, FALSE, timeout);
        if (which == WAIT_OBJECT_0) {
            DWORD exitCode = 1;
            ::GetExitCodeProcess(desktop.process.Get(), &exitCode);
            return {exitCode, CrashKind::Crash};
        }
        // The reporter is still writing the dump: the process ends once it has.
        if (which == WAIT_OBJECT_0 + 1)
            return {kFatalExitCode, CrashKind::Crash};
        if (which == WAIT_OBJECT_0 + 2)
            hang.Answered(::GetTickCount64());
        if (hang.IsHung(::GetTickCount64())) {
            const UniqueKernelHandle writer(
                ::CreateThread(nullptr, 0, &WriteHangReport, desktop.process.Get(), 0, nullptr));
            if (writer)
                ::WaitForSingleObject(writer.Get(), kHangDumpBoundMs);
            ::TerminateProcess(desktop.process.Get(), kHungExitCode);
            ::WaitForSingleObject(desktop.process.Get(), kDyingBoundMs);
            if (writer) // an unfinished dump fails once the process is gone
                ::WaitForSingleObject(writer.Get(), kDyingBoundMs);
            return {kHungExitCode, CrashKind::Hang};
        }
    }
}

// Waits, at most kDyingBoundMs, until the dying desktop has taken its windows away (its crash
// reporter hides them) or has ended; ends it otherwise. Only one desktop ever shows.
void MakeWayFor(const Desktop& dying) {
    const ULONGLONG deadline = ::GetTickCount64() + kDyingBoundMs;
    while (VisibleWindowOf(dying.process.Get())) {
        if (::GetTickCount64() >= deadline) {
            ::TerminateProcess(dying.process.Get(), kFatalExitCode);
            ::WaitForSingleObject(dying.process.Get(), kDyingBoundMs);
            return;
        }
        if (::WaitForSingleObject(dying.process.Get(), 20) == WAIT_OBJECT_0)
            return;
    }
}

// Waits, at most kDyingBoundMs, for the dying desktop to finish its dump and end; ends it
// otherwise. Returns its exit code.
DWORD WaitForDying(const Desktop& dying, DWORD exitCode) {
    if (::WaitForSingleObject(dying.process.Get(), kDyingBoundMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(dying.process.Get(), exitCode);
        ::WaitForSingleObject(dying.process.Get(), kDyingBoundMs);
    }
    ::GetExitCodeProcess(dying.process.Get(), &exitCode);
    return exitCode;
}

CrashMoment Now() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kUnixEpochIn100ns = 116444736000000000ull;
    const auto wallMs = static_cast<std::int64_t>((ticks - kUnixEpochIn100ns) / 10000);
    return {wallMs, wallMs - static_cast<std::int64_t>(::GetTickCount64())};
}

// Records the crash in the settings, where the next watcher finds it too, and tells what next.
AfterExit RecordCrash(CRegistryPlus& settings, const Ending& ending, DWORD processId,
                      bool logonShell) {
    std::string text;
    settings.TryReadString(kHistoryValue, text);
    CrashHistory history = CrashHistory::Parse(text);
    const AfterExit next =
        history.OnDesktopEnded(ending.exitCode, Now(), logonShell, processId, ending.kind);
    settings.WriteString(kHistoryValue, history.Format());
    return next;
}

// Read when it matters, not at start: the operator may have integrated us since.
bool IsLogonShell(const std::string& module) {
    const std::optional<std::string> shell = ReadWinlogonShell();
    return shell && ShellValueNamesProgram(*shell, module);
}

// The same command line as the desktop's own "start explorer.exe" exit. The one place where the
// watcher hands the screen over.
void StartExplorer() {
    RestoreLockdownJournal(); // Explorer must find Windows as it was
    std::string commandLine = "explorer.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
        const UniqueKernelHandle thread(process.hThread), started(process.hProcess);
    }
}

// Where the desktop's crash reporter puts its dumps; the watcher puts those of a hung desktop
// there too, and reports its own crashes there.
void InstallWatcherReporter() {
    // The common data folder from the environment where it is set (as on every Windows since
    // Vista): asking the shell library would load it and the window library with it.
    char data[MAX_PATH] = {};
    std::string folder;
    const DWORD n = ::GetEnvironmentVariableA("ProgramData", data, sizeof(data));
    if ((n > 0 && n < sizeof(data)) ||
        SUCCEEDED(
            ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data)))
        folder = data;
    else
        folder = ModulePath().substr(0, ModulePath().find_last_of('\\'));
    folder += "\\Quillmoran\\Shell\\Crashes";
    CrInstallInfo info;
    info.appName = "korvane.exe";
    info.appVersion = "1.23-EN";
    info.emailSubject = "korvane.exe - crash report";
    info.flags = kCrAllHandlers | kCrNoReporterThread;
    info.crashFolder = folder.c_str();
    if (crInstall(&info) == 0)
        crLoadDumpWriter();
}

DesktopWatcher* g_keptRunning = nullptr;

} // namespace

DesktopWatcher& DesktopWatcher::operator=(DesktopWatcher&& other) noexcept {
    if (this != &other) {
        EndUnresumed();
        m_process = std::move(other.m_process);
        m_thread = std::move(other.m_thread);
        m_job = std::move(other.m_job);
        m_crashed = std::move(other.m_crashed);
        m_alive = std::move(other.m_alive);
        m_timer = std::exchange(other.m_timer, 0);
        if (g_keptRunning == &other)
            g_keptRunning = this;
    }
    return *this;
}

DesktopWatcher::~DesktopWatcher() {
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    if (g_keptRunning == this)
        g_keptRunning = nullptr;
    EndUnresumed();
}

void DesktopWatcher::EndUnresumed() {
    if (m_thread) {
        crSetWatcher(nullptr, nullptr);
        ::TerminateProcess(m_process.Get(), 0);
    }
    m_thread.Reset();
    m_process.Reset();
    m_job.Reset();
}

DesktopWatcher DesktopWatcher::StartSuspended() {
    // Both handles are inherited by the watcher, so they stay valid in it however soon this
    // process ends: a name or a process id could already be gone, or belong to another.
    DesktopWatcher watcher;
    watcher.m_crashed = CreateCrashEvent();
    watcher.m_alive = CreateAliveEvent();
    const UniqueKernelHandle self = InheritableSelf(kDesktopAccess);
    if (!watcher.m_crashed || !watcher.m_alive || !self)
        return {};
    const std::string module = ModulePath();
    const std::string commandLine =
        "\"" + module + "\" " +
        WatchArguments(reinterpret_cast<std::uintptr_t>(self.Get()),
                       reinterpret_cast<std::uintptr_t>(watcher.m_crashed.Get()),
                       reinterpret_cast<std::uintptr_t>(watcher.m_alive.Get()));
    PROCESS_INFORMATION process{};
    if (!CreateSuspendedWith(module, commandLine,
                             {self.Get(), watcher.m_crashed.Get(), watcher.m_alive.Get()}, process))
        return {};
    watcher.m_process.Reset(process.hProcess);
    watcher.m_thread.Reset(process.hThread);
    watcher.m_job = CreateWatcherJob(process.hProcess);
    crSetWatcher(process.hThread, watcher.m_job.Get());
    crSetCrashEvent(watcher.m_crashed.Get());
    return watcher;
}

DesktopWatcher DesktopWatcher::Adopt(const LaunchRole& role) {
    DesktopWatcher watcher;
    watcher.m_process.Reset(HandleFromValue(role.watcherProcess));
    watcher.m_crashed.Reset(HandleFromValue(role.crashEvent));
    watcher.m_alive.Reset(HandleFromValue(role.aliveEvent));
    if (!role.watcherProcess || !::GetProcessId(watcher.m_process.Get())) {
        watcher.m_process.Release(); // not ours to close: not a process we were given
        watcher.m_crashed.Release();
        watcher.m_alive.Release();
        return {};
    }
    crSetCrashEvent(watcher.m_crashed.Get());
    return watcher;
}

void DesktopWatcher::Resume() {
    if (!m_thread)
        return;
    crReleaseWatcher();
    m_thread.Reset();
    m_job.Reset(); // no longer ends the watcher: it outlives us now
}

void DesktopWatcher::KeepRunning() {
    if (m_timer)
        return;
    g_keptRunning = this;
    m_timer = ::SetTimer(nullptr, 0, 2000, &DesktopWatcher::CheckWatcher);
}

void CALLBACK DesktopWatcher::CheckWatcher(HWND, UINT, UINT_PTR, DWORD) {
    DesktopWatcher* kept = g_keptRunning;
    if (!kept ||
        (kept->m_process && ::WaitForSingleObject(kept->m_process.Get(), 0) == WAIT_TIMEOUT))
        return;
    // Killed, or gone for good: a desktop is never left unwatched.
    DesktopWatcher fresh = StartSuspended();
    if (!fresh.Exists())
        return; // tried again at the next tick
    fresh.Resume();
    kept->m_process = std::move(fresh.m_process);
    kept->m_crashed = std::move(fresh.m_crashed); // the reporter already sets the new one
    kept->m_alive = std::move(fresh.m_alive);
    kept->SignAlive();
}

void DesktopWatcher::SignAlive() const {
    if (m_alive)
        ::SetEvent(m_alive.Get());
}

int RunWatcher(const LaunchRole& role) {
    Desktop desktop;
    desktop.process.Reset(HandleFromValue(role.desktopProcess));
    desktop.crashed.Reset(HandleFromValue(role.crashEvent));
    desktop.alive.Reset(HandleFromValue(role.aliveEvent));
    if (!::GetProcessId(desktop.process.Get())) {
        desktop.process.Release(); // not ours to close: not a process we were given
        desktop.crashed.Release();
        desktop.alive.Release();
        return 2;
    }
    // While we watch, the single-instance mutex stays in being through a crash: a korvane.exe that
    // Winlogon starts again when its shell process ends is refused, and only our restarted
    // desktop comes up.
    const UniqueKernelHandle instance(::OpenMutexA(SYNCHRONIZE, FALSE, CApp::kMutexName));
    const std::string module = ModulePath();
    InstallWatcherReporter();
    CRegistryPlus settings;
    for (;;) {
        const Ending ending = Watch(desktop);
        if (!IsCrashExitCode(ending.exitCode))
            return static_cast<int>(ending.exitCode); // an exit of the operator's, or a kill
        const AfterExit next = RecordCrash(settings, ending, ::GetProcessId(desktop.process.Get()),
                                           IsLogonShell(module));
        if (next == AfterExit::Restart) {
            // The next desktop comes up while the crashed one writes its dump, never beside it.
            MakeWayFor(desktop);
            Desktop restarted = StartDesktop(module);
            if (!restarted.process) {
                // A restart that cannot start leaves the screen as empty as too many crashes do.
                if (IsLogonShell(module))
                    StartExplorer();
                return 1;
            }
            desktop = std::move(restarted);
            continue;
        }
        // Giving up: let the dump be finished and the dying desktop's window go first.
        const DWORD exitCode = WaitForDying(desktop, ending.exitCode);
        if (next == AfterExit::GiveUpAndStartExplorer)
            StartExplorer();
        return static_cast<int>(exitCode);
    }
}
