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

// Fills every cell of tab 0 with a program whose icon comes from notepad.exe.
inline void FillOneTab(Icons& catalogue, const DesktopLayout& layout) {
    for (int i = 0; i < layout.cellsPerTab; ++i) {
        ProgramEntry e{};
        e.column = i % layout.columns;
        e.row = i / layout.columns;
        std::snprintf(e.caption, sizeof(e.caption), "Program %d with a caption", i);
        std::strcpy(e.iconFile, "C:\\windows\\notepad.exe");
        catalogue.AddEntry(e);
    }
}
