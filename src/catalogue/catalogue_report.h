#pragma once
// What the loader keeps of an icons.bin and what it loses, found by walking the file's bytes the
// way Icons::Load reads them. Icons itself gives the loaded catalogue; this gives the account of
// a damaged or foreign file that the catalogue tool prints.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IconsFileReport {
    enum class TabStop {
        None,          // every announced tab was read
        MissingLength, // the file ends where a name's length should be
        ZeroLength,    // a length of 0 or less ends the list
        LengthPastEnd, // a length larger than the rest of the file
    };
    struct UnterminatedText {
        int entry;
        const char* field; // "caption", "description", ...
    };

    std::uint64_t size = 0;
    bool hasHeader = false;
    std::int32_t version = 0; // header bits 16-31, sign-extended
    int announcedEntries = 0; // header bits 0-15
    int completeEntries = 0;
    std::uint64_t partialEntryBytes = 0; // bytes of the first incomplete entry
    bool hasTabSection = false;          // the tab count was there to read
    std::int32_t announcedTabs = 0;
    int tabsRead = 0;
    TabStop tabStop = TabStop::None;
    std::int32_t stopLength = 0;                // the length that ended the list
    std::vector<int> paddedTabs;                // names stored with bytes after their first NUL
    std::uint64_t unreadBytes = 0;              // after the point where reading ended
    std::vector<UnterminatedText> unterminated; // texts that fill their field without a NUL

    bool OldFormat() const { return hasHeader && version == 0; }
    bool ForeignVersion() const { return hasHeader && version != 0 && version != 1; }
};

IconsFileReport InspectIconsFile(const unsigned char* bytes, std::size_t size);

// The whole file, or false with the system's reason.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& reason);
