#pragma once
// The two catalogues that catalogue_saver writes in turn, and a check that a loaded catalogue
// is exactly one of them. Shared by the helper program and atomic_save_test.cpp.

#include "base/text.h"
#include "catalogue/icons.h"

#include <cstring>
#include <string>

namespace saver {

// Catalogue 0 is small; catalogue 1 is a few megabytes, so that a save takes long enough to be
// interrupted at many different points.
inline int EntryCount(int which) {
    return which == 0 ? 3 : 300;
}

inline ProgramEntry MakeEntry(int which, int i) {
    ProgramEntry e{};
    e.column = i % 8;
    e.row = i / 8;
    e.iconIndex = which * 1000 + i;
    const std::string tag = std::to_string(which) + "/" + std::to_string(i);
    CopyText(e.caption, "Caption " + tag);
    CopyText(e.description, "{\\rtf1 " + std::string(100 + i % 50, 'd') + tag + "}");
    CopyText(e.screenshotPath, "C:\\shots\\" + tag + ".png");
    CopyText(e.programPath, "C:\\programs\\" + tag + ".exe");
    CopyText(e.parameters, "-p " + tag);
    CopyText(e.iconFile, "C:\\icons\\" + tag + ".ico");
    e.showCommand = 1 + (i % 3) * 2;
    e.tab = i % (which + 1);
    return e;
}

inline std::vector<std::string> Tabs(int which) {
    return which == 0 ? std::vector<std::string>{"Small"}
                      : std::vector<std::string>{"Large one", "Large two"};
}

inline void Fill(Icons& icons, int which) {
    icons.m_count = 0;
    icons.m_entries.reset(new ProgramEntry[EntryCount(which)]());
    for (int i = 0; i < EntryCount(which); ++i)
        icons.m_entries[i] = MakeEntry(which, i);
    icons.m_count = EntryCount(which);
    icons.m_tabs = Tabs(which);
}

// Which catalogue `icons` holds in full, or -1 when it is neither.
inline int Identify(const Icons& icons) {
    for (int which = 0; which < 2; ++which) {
        if (icons.m_count != EntryCount(which) || icons.m_tabs != Tabs(which))
            continue;
        bool same = true;
        for (int i = 0; i < icons.m_count && same; ++i) {
            const ProgramEntry expected = MakeEntry(which, i);
            same = std::memcmp(&icons.m_entries[i], &expected, sizeof expected) == 0;
        }
        if (same)
            return which;
    }
    return -1;
}

} // namespace saver
