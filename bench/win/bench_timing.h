#pragma once
// Small helpers of the Wine harnesses: a monotonic clock, a median and a full tab of icons.

#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_painter.h"
#include "framework/unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
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

// The paint harnesses' full tab at 1024 x 768, with their caption font and colours; the
// catalogue's file is never written.
struct PaintBench {
    Icons catalogue{UnusedCataloguePath()};
    DesktopLayout layout = DesktopLayout::Compute(1024, 768, false);
    UniqueFont font{
        ::CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif")};
    IconPaintStyle style{font.Get(), RGB(0, 0, 96), RGB(0, 0, 96), RGB(255, 255, 255)};

    PaintBench() { FillOneTab(catalogue, layout); }

    static std::string UnusedCataloguePath() {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        return std::string(temp) + "korvane-bench-unused.bin";
    }
};
