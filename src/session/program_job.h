#pragma once
// The job object that holds every program a customer starts from the desktop, with the
// programs those start in turn. It has no kill-on-close: a desktop that crashes leaves the
// customer's programs running. Ending a customer session asks the programs' windows to close
// and then ends whatever is left.

#include "framework/unique_handle.h"

#include <windows.h>

#include <vector>

class ProgramJob {
public:
    ProgramJob();
    ProgramJob(const ProgramJob&) = delete;
    ProgramJob& operator=(const ProgramJob&) = delete;

    bool IsValid() const { return static_cast<bool>(m_job); }
    // Puts a started process (best created suspended, so none of its children escape) into
    // the job; false when the system refused.
    bool Adopt(HANDLE process);
    bool Contains(HANDLE process) const;
    // The processes of the job that are still running.
    std::vector<DWORD> ProcessIds() const;
    int ActiveProcesses() const;
    // The top-level windows of the job's processes, visible or not.
    std::vector<HWND> TopLevelWindows() const;
    // Posts WM_CLOSE to each of them; returns how many were asked.
    int CloseWindows() const;
    // Ends every process of the job at once.
    void Terminate(UINT exitCode = 1) const;

private:
    UniqueKernelHandle m_job;
};
