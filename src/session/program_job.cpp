#include "session/program_job.h"

#include <algorithm>

ProgramJob::ProgramJob() : m_job(::CreateJobObjectA(nullptr, nullptr)) {}

bool ProgramJob::Adopt(HANDLE process) {
    return m_job && process && ::AssignProcessToJobObject(m_job.Get(), process);
}

bool ProgramJob::Contains(HANDLE process) const {
    BOOL inJob = FALSE;
    return m_job && ::IsProcessInJob(process, m_job.Get(), &inJob) && inJob;
}

std::vector<DWORD> ProgramJob::ProcessIds() const {
    std::vector<DWORD> ids;
    if (!m_job)
        return ids;
    // The list grows while we ask: retry with room for what the job reported.
    std::vector<BYTE> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + 64 * sizeof(ULONG_PTR));
    for (int attempt = 0; attempt < 4; ++attempt) {
        auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
        const BOOL ok = ::QueryInformationJobObject(m_job.Get(), JobObjectBasicProcessIdList, list,
                                                    static_cast<DWORD>(buffer.size()), nullptr);
        if (ok || ::GetLastError() == ERROR_MORE_DATA) {
            if (ok && list->NumberOfProcessIdsInList == list->NumberOfAssignedProcesses) {
                for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i)
                    ids.push_back(static_cast<DWORD>(list->ProcessIdList[i]));
                return ids;
            }
            buffer.resize(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) +
                          (list->NumberOfAssignedProcesses + 64) * sizeof(ULONG_PTR));
            continue;
        }
        break;
    }
    return ids;
}

int ProgramJob::ActiveProcesses() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!m_job || !::QueryInformationJobObject(m_job.Get(), JobObjectBasicAccountingInformation,
                                               &accounting, sizeof(accounting), nullptr))
        return 0;
    return static_cast<int>(accounting.ActiveProcesses);
}

std::vector<HWND> ProgramJob::TopLevelWindows() const {
    struct Search {
        std::vector<DWORD> ids;
        std::vector<HWND> windows;
    } search{ProcessIds(), {}};
    if (search.ids.empty())
        return {};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (std::find(s.ids.begin(), s.ids.end(), process) != s.ids.end())
                s.windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

int ProgramJob::CloseWindows() const {
    const std::vector<HWND> windows = TopLevelWindows();
    for (HWND window : windows)
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    return static_cast<int>(windows.size());
}

void ProgramJob::Terminate(UINT exitCode) const {
    if (m_job)
        ::TerminateJobObject(m_job.Get(), exitCode);
}
