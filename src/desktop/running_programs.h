#pragma once
// Which catalogue entries have a program running, so a second double-click brings the program
// back instead of starting another copy. Each entry remembers the processes it started; a
// process counts as the entry's while it lives, and so does every process one of them started
// (a launcher that exits leaves its child, which is found by its parent id). When the desktop
// has a program job, only the job's processes are considered, so a reused process id of an
// unrelated program is not taken for one of ours.

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class ProgramJob;

class RunningPrograms {
public:
    // The entry is identified by its program and parameters, so editing or moving other entries
    // does not confuse it.
    static std::string KeyOf(const std::string& programPath, const std::string& parameters);

    void Started(const std::string& key, DWORD processId);
    // Re-reads the system's process list; true when the set of running keys changed.
    bool Refresh(const ProgramJob* job);
    bool IsRunning(const std::string& key) const { return m_running.count(key) != 0; }
    bool AnyRunning() const { return !m_running.empty(); }
    // The most recently active visible top-level window of the entry's processes (EnumWindows
    // goes front to back), or null.
    HWND WindowOf(const std::string& key) const;

private:
    struct Family {
        std::set<DWORD> known; // every process id seen as the entry's, ended ones too
        std::set<DWORD> alive; // those alive at the last refresh
    };
    std::map<std::string, Family> m_families;
    std::set<std::string> m_running;
};

// Restores `window` when it is minimised and brings it (or its last active popup) to the front.
void BringBack(HWND window);
