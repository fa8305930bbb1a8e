#include "desktop/system_actions.h"

#include "framework/unique_handle.h"
#include "session/program_job.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include <utility>
#include <vector>

namespace {

// HTML Help is loaded when first asked for: most machines never open the help.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFunction HtmlHelpEntry() {
    static HMODULE library = ::LoadLibraryA("hhctrl.ocx");
    if (!library)
        return nullptr;
    return reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "HtmlHelpA")));
}

SystemActions g_systemActions;
SystemActions* g_currentActions = &g_systemActions;
ProgramJob* g_programJob = nullptr;
DWORD g_startedProcessId = 0;

// The desktop holds the input when it starts a program; it lets the program take the
// foreground, so the program's first window comes up in front.
void NoteStarted(DWORD processId) {
    g_startedProcessId = processId;
    if (processId)
        ::AllowSetForegroundWindow(processId);
}

} // namespace

bool SystemActions::StartProcess(const std::string& commandLine, const std::string& folder,
                                 DWORD flags, WORD showCommand) {
    // CreateProcessA may write into its command line, so it gets a copy of its own.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION process{};
    // Started suspended and let go once in the job, so not even its first child escapes it.
    ProgramJob* job = g_programJob && g_programJob->IsValid() ? g_programJob : nullptr;
    const bool holdBack = job && !(flags & CREATE_SUSPENDED);
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                          flags | (holdBack ? CREATE_SUSPENDED : 0), nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    if (job)
        job->Adopt(process.hProcess);
    NoteStarted(process.dwProcessId);
    if (holdBack)
        ::ResumeThread(process.hThread);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

void SystemActions::ShellOpen(const std::string& file, const std::string& parameters,
                              const std::string& folder, int showCommand) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = showCommand;
    if (!::ShellExecuteExA(&info) || !info.hProcess)
        return; // opened by a program already running, or not at all
    UniqueKernelHandle process(info.hProcess);
    NoteStarted(::GetProcessId(process.Get()));
    if (g_programJob)
        g_programJob->Adopt(process.Get());
}

void SystemActions::Exec(const std::string& commandLine, UINT showCommand) {
    ::WinExec(commandLine.c_str(), showCommand);
}

void SystemActions::OpenHelp(const std::string& path) {
    if (HtmlHelpFunction htmlHelp = HtmlHelpEntry())
        htmlHelp(::GetDesktopWindow(), path.c_str(), HH_DISPLAY_TOPIC, 0);
}

unsigned SystemActions::WindowsMajorVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!::GetVersionExA(&version))
        return 0;
    return version.dwMajorVersion;
}

bool SystemActions::IsWindows9x() {
    return (::GetVersion() & 0x80000000u) != 0;
}

bool SystemActions::EnableShutdownPrivilege() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                            &rawToken)) {
        ::MessageBeep(0);
        return false;
    }
    UniqueKernelHandle token(rawToken);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    return true;
}

void SystemActions::EndSession(UINT flags, DWORD reason) {
    ::ExitWindowsEx(flags, reason);
}

SystemActions& CurrentSystemActions() {
    return *g_currentActions;
}

void SetProgramJob(ProgramJob* job) {
    g_programJob = job;
}

ProgramJob* CurrentProgramJob() {
    return g_programJob;
}

DWORD TakeStartedProcessId() {
    return std::exchange(g_startedProcessId, 0);
}

SystemActions* SetSystemActions(SystemActions* actions) {
    SystemActions* previous = g_currentActions;
    g_currentActions = actions ? actions : &g_systemActions;
    return previous;
}
