#include "app/guardian.h"

#include "app/crash_recovery.h"
#include "app/integration.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"

#include <windows.h>

#include <string>

namespace {

// Ending the guardian ends its desktop, as if they were one program (a tool that kills the
// korvane.exe it started must not leave a desktop behind). The programs the desktop starts are
// not bound to it: they break away silently.
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

int RunGuardian(bool& desktopStarted) {
    const std::string module = ModulePath();
    CrashRecovery recovery;
    const UniqueKernelHandle job = CreateDesktopJob();
    desktopStarted = false;
    for (bool restarted = false;; restarted = true) {
        const Desktop desktop = StartDesktop(module, restarted, job.Get());
        if (!desktop.process) {
            // A restart that cannot start leaves the screen as empty as too many crashes do.
            if (restarted && IsLogonShell(module))
                StartExplorer();
            return restarted ? 1 : 0;
        }
        desktopStarted = true;
        const DWORD ended = WaitForEnd(desktop);
        const AfterExit next = recovery.OnDesktopEnded(
            ended, ::GetTickCount64(), IsCrashExitCode(ended) && IsLogonShell(module));
        if (next == AfterExit::Restart)
            continue; // the next desktop comes up while the crashed one writes its dump
        // Giving up: let the dump be finished and the dying desktop's window go first.
        ::WaitForSingleObject(desktop.process.Get(), INFINITE);
        DWORD exitCode = ended;
        ::GetExitCodeProcess(desktop.process.Get(), &exitCode);
        if (next == AfterExit::GiveUpAndStartExplorer)
            StartExplorer();
        return static_cast<int>(exitCode);
    }
}
