#pragma once
// The program catalogue: tab names and program entries, and the only reader and writer of
// icons.bin. Every change is followed by the caller's Save(), which rewrites the file whole.

#include "catalogue/program_entry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Icons {
public:
    // Shown when an old-format file is met; the application routes it to a message box.
    using WarningSink = std::function<void(const std::string& text)>;

    static constexpr const char* kOldFormatWarning =
        "Warning! This version of program contains new icon format, that is incompatible with "
        "previous. Old icons to be deleted, please add icons again.";
    static constexpr const char* kDefaultTab = "Programs";
    static constexpr int kMaxEntries = 0xFFFF; // the header stores the count in 16 bits

    explicit Icons(std::string path, WarningSink warn = {});
    virtual ~Icons();

    Icons(const Icons&) = delete;
    Icons& operator=(const Icons&) = delete;

    void Load();
    // Throws FileException when the file cannot be written; memory keeps the change.
    void Save();

    void AddEntry(const ProgramEntry& entry);
    void RemoveEntry(int index);
    int FindEntry(int column, int row, int tab) const;
    // occupancy: one byte per cell of every tab, (t, y, x) at t*W*H + y*W + x, 0 = free.
    bool PlaceInFreeCell(int index, int tab, const std::uint8_t* occupancy, int columns, int rows);
    void RemoveTab(int tab);
    void ResetTabs();

    // Data the desktop reads and changes directly (single UI thread).
    int m_count = 0;
    std::unique_ptr<ProgramEntry[]> m_entries; // m_count records, null when empty
    std::string m_path;
    std::vector<std::string> m_tabs;

private:
    WarningSink m_warn;
};
