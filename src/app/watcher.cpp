#include "app/watcher.h"

#include "app/app.h"
#include "app/crash_reporter.h"
#include "app/integration.h"
#include "app/lockdown.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// Ending the watcher ends the desktops it started, as if they were one program (a tool that kills
// the korvane.exe processes must not leave a desktop behind). The programs the desktop starts
// are not bound to it: they break away silently.
UniqueKernelHandle CreateDesktopJob() {
    UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    if (job && !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                          sizeof(limits)))
        job.Reset();
    return job;
}

struct Desktop {
    UniqueKernelHandle process;
    UniqueKernelHandle crashed; // set by the desktop's crash reporter; null if it could not be made
};

Desktop StartDesktop(const std::string& module, bool restarted, HANDLE job) {
    std::string commandLine = "\"" + module + "\" " + kDesktopArgument;
    if (restarted)
        commandLine += std::string(" ") + kRestartedArgument;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(module.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED, nullptr, nullptr, &startup, &process))
        return {};
    Desktop desktop;
    desktop.process.Reset(process.hProcess);
    const UniqueKernelHandle thread(process.hThread);
    // Made while the desktop is still suspended, so no crash can come before it exists.
    desktop.crashed.Reset(
        ::CreateEventA(nullptr, TRUE, FALSE, CrashEventName(process.dwProcessId).c_str()));
    // Where jobs cannot nest (Windows 7 inside another job) the desktop simply runs unbound.
    if (job)
        ::AssignProcessToJobObject(job, desktop.process.Get());
    ::ResumeThread(thread.Get());
    return desktop;
}

// How the desktop ended, as the exit code of a crash when its reporter said it crashed: the
// reporter is then still writing the dump, and the process ends once it has.
DWORD WaitForEnd(const Desktop& desktop) {
    const HANDLE handles[] = {desktop.process.Get(), desktop.crashed.Get()};
    const DWORD which = ::WaitForMultipleObjects(desktop.crashed ? 2 : 1, handles, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 + 1)
        return kFatalExitCode;
    DWORD exitCode = 1;
    ::GetExitCodeProcess(desktop.process.Get(), &exitCode);
    return exitCode;
}

// Read when it matters, not at start: the operator may have integrated us since.
bool IsLogonShell(const std::string& module) {
    const std::optional<std::string> shell = ReadWinlogonShell();
    return shell && ShellValueNamesProgram(*shell, module);
}

// The same command line as the desktop's own "start explorer.exe" exit.
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

} // namespace

DesktopWatcher& DesktopWatcher::operator=(DesktopWatcher&& other) noexcept {
    if (this != &other) {
        EndUnresumed();
        m_process = std::move(other.m_process);
        m_thread = std::move(other.m_thread);
        m_job = std::move(other.m_job);
    }
    return *this;
}

DesktopWatcher::~DesktopWatcher() {
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

namespace {

// A job that ends the suspended watcher if this process ends, even from outside, before it
// lets the watcher go; null where the watcher cannot be put into one.
UniqueKernelHandle CreateWatcherJob(HANDLE watcher) {
    UniqueKernelHandle job = CreateDesktopJob();
    if (job && !::AssignProcessToJobObject(job.Get(), watcher))
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

} // namespace

DesktopWatcher DesktopWatcher::StartSuspended() {
    // Both handles are inherited by the watcher, so they stay valid in it however soon this
    // process ends: a name or a process id could already be gone, or belong to another.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    const UniqueKernelHandle crashed(
        ::CreateEventA(&inherited, TRUE, FALSE, CrashEventName(::GetCurrentProcessId()).c_str()));
    HANDLE self = nullptr;
    if (!crashed ||
        !::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(),
                           &self, SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0))
        return {};
    const UniqueKernelHandle selfForWatcher(self);
    const std::string module = ModulePath();
    const std::string commandLine = "\"" + module + "\" " +
                                    WatchArguments(reinterpret_cast<std::uintptr_t>(self),
                                                   reinterpret_cast<std::uintptr_t>(crashed.Get()));
    PROCESS_INFORMATION process{};
    if (!CreateSuspendedWith(module, commandLine, {self, crashed.Get()}, process))
        return {};
    DesktopWatcher watcher;
    watcher.m_process.Reset(process.hProcess);
    watcher.m_thread.Reset(process.hThread);
    watcher.m_job = CreateWatcherJob(process.hProcess);
    crSetWatcher(process.hThread, watcher.m_job.Get());
    return watcher;
}

void DesktopWatcher::Resume() {
    if (!m_thread)
        return;
    crReleaseWatcher();
    m_thread.Reset();
    m_job.Reset(); // no longer ends the watcher: it outlives us now
}

int RunWatcher(const LaunchRole& role) {
    Desktop desktop;
    desktop.process.Reset(
        reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(role.desktopProcess)));
    desktop.crashed.Reset(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(role.crashEvent)));
    if (!::GetProcessId(desktop.process.Get())) {
        desktop.process.Release(); // not ours to close: not a process we were given
        desktop.crashed.Release();
        return 2;
    }
    // While we watch, the single-instance mutex stays in being through a crash: a korvane.exe that
    // Winlogon starts again when its shell process ends is refused, and only our restarted
    // desktop comes up.
    const UniqueKernelHandle instance(::OpenMutexA(SYNCHRONIZE, FALSE, CApp::kMutexName));
    const std::string module = ModulePath();
    CrashRecovery recovery;
    const UniqueKernelHandle job = CreateDesktopJob();
    for (;;) {
        const DWORD ended = WaitForEnd(desktop);
        const AfterExit next = recovery.OnDesktopEnded(
            ended, ::GetTickCount64(), IsCrashExitCode(ended) && IsLogonShell(module));
        if (next == AfterExit::Restart) {
            // The next desktop comes up while the crashed one writes its dump.
            Desktop restarted = StartDesktop(module, true, job.Get());
            if (!restarted.process) {
                // A restart that cannot start leaves the screen as empty as too many crashes do.
                if (IsLogonShell(module))
                    StartExplorer();
                return 1;
            }
            desktop = std::move(restarted);
            continue;
        }
        if (next == AfterExit::Finish)
            return static_cast<int>(ended);
        // Giving up: let the dump be finished and the dying desktop's window go first.
        ::WaitForSingleObject(desktop.process.Get(), INFINITE);
        DWORD exitCode = ended;
        ::GetExitCodeProcess(desktop.process.Get(), &exitCode);
        if (next == AfterExit::GiveUpAndStartExplorer)
            StartExplorer();
        return static_cast<int>(exitCode);
    }
}
