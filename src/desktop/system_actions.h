#pragma once
// The calls through which the desktop acts on the machine: starting programs and tools, the
// help file, the Windows version and shutting the machine down. One replaceable service, so
// tests can record what would happen instead of shutting their machine down.

#include <windows.h>

#include <string>

class ProgramJob;

class SystemActions {
public:
    virtual ~SystemActions() = default;

    // CreateProcess of `commandLine` in `folder` (empty: the caller's own) with `flags`,
    // showing its window with `showCommand`; the process is not waited for. It runs in the
    // desktop's program job, when there is one. ShellOpen's program too, when the shell
    // tells which process it started.
    virtual bool StartProcess(const std::string& commandLine, const std::string& folder,
                              DWORD flags, WORD showCommand);
    virtual void ShellOpen(const std::string& file, const std::string& parameters,
                           const std::string& folder, int showCommand);
    virtual void Exec(const std::string& commandLine, UINT showCommand);
    virtual void OpenHelp(const std::string& path);
    virtual unsigned WindowsMajorVersion();
    // True when GetVersion() has its top bit set (the Windows 95/98/Me family).
    virtual bool IsWindows9x();
    // Enables the shutdown privilege of this process; false (after a beep) when its token
    // cannot be opened.
    virtual bool EnableShutdownPrivilege();
    virtual void EndSession(UINT flags, DWORD reason);
};

// The service in force; the real one unless a test installed another.
SystemActions& CurrentSystemActions();
// Installs `actions` (null restores the real service) and returns the one it replaces.
SystemActions* SetSystemActions(SystemActions* actions);

// The job the programs a customer starts from the desktop run in (null: none); its owner
// sets it and clears it before the job goes.
void SetProgramJob(ProgramJob* job);
ProgramJob* CurrentProgramJob();

// The id of the process the last StartProcess or ShellOpen started (0: none, or the shell did
// not tell), cleared as it is read.
DWORD TakeStartedProcessId();
