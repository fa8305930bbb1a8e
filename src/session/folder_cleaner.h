#pragma once
// Empties folders: their files and subfolders go, the folders themselves stay. Junctions and
// symbolic links are removed as links and never entered. A file that cannot be deleted (in
// use, no rights) is left and counted; the next session end tries it again. Runs on a worker
// thread: it touches no window and reports through a callback.

#include <atomic>
#include <functional>
#include <string>

struct CleanCounts {
    long long removed = 0; // files and links deleted
    long long left = 0;    // files and links that could not be deleted
};

class FolderCleaner {
public:
    // `progress` is called on the cleaning thread now and then with the counts so far;
    // `cancel` set from another thread stops the cleaning between two entries.
    FolderCleaner(const std::atomic<bool>& cancel,
                  std::function<void(const CleanCounts&)> progress = {});

    // Empties `folder` (a full path of an existing folder that is no link).
    void Empty(const std::string& folder);
    const CleanCounts& Counts() const { return m_counts; }

private:
    void EmptyWide(const std::wstring& folder);
    void Count(bool removed);

    const std::atomic<bool>& m_cancel;
    std::function<void(const CleanCounts&)> m_progress;
    CleanCounts m_counts;
};
