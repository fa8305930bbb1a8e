#pragma once
// What every catalogue read from arbitrary bytes must satisfy, shared by the fuzz targets.
// A broken promise aborts, which libFuzzer reports with the input that caused it.

#include "catalogue/icons.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fuzzcheck {

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "catalogue fuzz: %s\n", what);
        std::abort();
    }
}

inline bool Terminated(const ProgramEntry& e) {
    return e.caption[sizeof e.caption - 1] == 0 && e.description[sizeof e.description - 1] == 0 &&
           e.screenshotPath[sizeof e.screenshotPath - 1] == 0 &&
           e.programPath[sizeof e.programPath - 1] == 0 &&
           e.parameters[sizeof e.parameters - 1] == 0 && e.iconFile[sizeof e.iconFile - 1] == 0;
}

inline bool SameCatalogue(const Icons& a, const Icons& b) {
    if (a.m_count != b.m_count || a.m_tabs != b.m_tabs)
        return false;
    return a.m_count == 0 ||
           std::memcmp(a.m_entries.get(), b.m_entries.get(), sizeof(ProgramEntry) * a.m_count) == 0;
}

// The reader's promises for a catalogue read from `size` bytes.
inline void CheckRead(const Icons& icons, std::size_t size, bool oldFormat) {
    Check(icons.m_count >= 0 && icons.m_count <= Icons::kMaxEntries, "count out of range");
    Check(icons.m_count == 0 ||
              static_cast<std::size_t>(icons.m_count) * sizeof(ProgramEntry) + 4 <= size,
          "more entries than the input holds");
    Check((icons.m_entries == nullptr) == (icons.m_count == 0), "entry array and count disagree");
    for (int i = 0; i < icons.m_count; ++i)
        Check(Terminated(icons.m_entries[i]), "a text field is not terminated");
    for (const std::string& tab : icons.m_tabs)
        Check(tab.find('\0') == std::string::npos, "a tab name holds a NUL");
    if (oldFormat)
        Check(icons.m_count == 0 && icons.m_tabs == std::vector<std::string>{Icons::kDefaultTab},
              "old format not read as empty");
}

// The size the published layout gives the catalogue.
inline std::size_t LayoutSize(const Icons& icons) {
    std::size_t size = 8 + sizeof(ProgramEntry) * static_cast<std::size_t>(icons.m_count);
    for (const std::string& tab : icons.m_tabs)
        size += 4 + tab.size() + 1;
    return size;
}

} // namespace fuzzcheck
