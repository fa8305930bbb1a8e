#pragma once
// Small helpers of the Wine harnesses: a monotonic clock, a median and a full tab of icons.

#include "catalogue/icons.h"
#include "desktop/grid_layout.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

inline double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Fills every cell of tab 0 with a program whose icon comes from one of three of Wine's own
// programs in turn, as a café's tab mixes icons of several files.
inline void FillOneTab(Icons& catalogue, const DesktopLayout& layout) {
    static const char* const kIconFiles[] = {"C:\\windows\\notepad.exe", "C:\\windows\\regedit.exe",
                                             "C:\\windows\\system32\\winecfg.exe"};
    for (int i = 0; i < layout.cellsPerTab; ++i) {
        ProgramEntry e{};
        e.column = i % layout.columns;
        e.row = i / layout.columns;
        std::snprintf(e.caption, sizeof(e.caption), "Program %d with a caption", i);
        std::strcpy(e.iconFile, kIconFiles[i % 3]);
        catalogue.AddEntry(e);
    }
}
