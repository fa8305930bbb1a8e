#include "desktop/running_programs.h"

#include "framework/unique_handle.h"
#include "session/program_job.h"

#include <tlhelp32.h>

#include <algorithm>

namespace {

struct ProcessRecord {
    DWORD id;
    DWORD parent;
};

std::vector<ProcessRecord> SnapshotProcesses() {
    std::vector<ProcessRecord> records;
    UniqueHandle<HANDLE, FileHandleTraits> snapshot(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return records;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry))
        records.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
    return records;
}

} // namespace

std::string RunningPrograms::KeyOf(const std::string& programPath, const std::string& parameters) {
    return programPath + '\n' + parameters;
}

void RunningPrograms::Started(const std::string& key, DWORD processId) {
    if (processId == 0)
        return;
    Family& family = m_families[key];
    family.known.insert(processId);
    family.alive.insert(processId);
    m_running.insert(key);
}

bool RunningPrograms::Refresh(const ProgramJob* job) {
    if (m_families.empty())
        return false;
    std::vector<ProcessRecord> processes = SnapshotProcesses();
    if (job && job->IsValid()) {
        const std::vector<DWORD> inJob = job->ProcessIds();
        std::erase_if(processes, [&](const ProcessRecord& p) {
            return std::find(inJob.begin(), inJob.end(), p.id) == inJob.end();
        });
    }
    std::set<std::string> running;
    for (auto it = m_families.begin(); it != m_families.end();) {
        Family& family = it->second;
        family.alive.clear();
        // Descendants may appear in any order in the list: repeat until nothing new is found.
        for (bool grew = true; grew;) {
            grew = false;
            for (const ProcessRecord& p : processes) {
                const bool ours = family.known.count(p.id) || family.known.count(p.parent);
                if (ours && family.alive.insert(p.id).second) {
                    family.known.insert(p.id);
                    grew = true;
                }
            }
        }
        if (family.alive.empty()) {
            it = m_families.erase(it); // all ended: the next double-click starts it anew
            continue;
        }
        running.insert(it->first);
        ++it;
    }
    const bool changed = running != m_running;
    m_running = std::move(running);
    return changed;
}

HWND RunningPrograms::WindowOf(const std::string& key) const {
    const auto found = m_families.find(key);
    if (found == m_families.end())
        return nullptr;
    struct Search {
        const std::set<DWORD>* processes;
        HWND window;
    } search{&found->second.alive, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (!s.processes->count(process) || !::IsWindowVisible(window))
                return TRUE;
            s.window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.window;
}

void BringBack(HWND window) {
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    HWND popup = ::GetLastActivePopup(window);
    HWND target = popup && ::IsWindowVisible(popup) ? popup : window;
    ::BringWindowToTop(target);
    ::SetForegroundWindow(target);
}
