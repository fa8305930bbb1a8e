#pragma once
// The program catalogue: tab names and program entries, and the only reader and writer of
// icons.bin. Every change is followed by the caller's Save(), which rewrites the file whole.

#include "catalogue/byte_stream.h"
#include "catalogue/program_entry.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
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

    // What a read found. The older format reads as an empty catalogue with the default tab.
    enum class ReadResult { Ok, OldFormat };

    // Tied to the file at `path` and loaded from it at once.
    explicit Icons(std::string path, WarningSink warn = {});
    // Tied to no file: no entries and the default tab, until Read fills it.
    Icons();
    virtual ~Icons();

    Icons(const Icons&) = delete;
    Icons& operator=(const Icons&) = delete;

    // Reads m_path. An old-format file is emptied and reported to the warning sink once.
    void Load();
    // Rewrites m_path atomically. Throws FileException when the file cannot be written, or
    // when the catalogue cannot be stored at all; memory keeps the change either way.
    void Save();

    // icons.bin's layout without a file: the same reading and writing as Load and Save, but no
    // file is touched and no warning shown. Read replaces entries and tabs (m_path stays);
    // damaged parts are dropped as Load drops them.
    ReadResult Read(ByteSource& in);
    ReadResult Read(const void* data, std::size_t size);
    ReadResult ReadWhole(std::ifstream& in);
    // Throws std::length_error when the catalogue cannot be stored (more than kMaxEntries
    // entries, or more tabs or a longer tab name than a 32-bit length can tell).
    void Write(ByteSink& out) const;
    std::vector<unsigned char> ToBytes() const;

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
    // Why the catalogue cannot be stored in icons.bin's layout; empty when it can.
    std::string StorageProblem() const;

    WarningSink m_warn;
};
