// Times one full paint of a 65-icon tab (DrawDesktopIcons on a 1024 x 768 memory DC), the
// pass the desktop runs on every paint and every two seconds.
#include "bench_timing.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_painter.h"
#include "framework/unique_handle.h"

#include <cstdio>
#include <cstring>

int main() {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    Icons catalogue(std::string(temp) + "korvane-bench-unused.bin");
    const DesktopLayout layout = DesktopLayout::Compute(1024, 768, false);
    FillOneTab(catalogue, layout);
    UniqueBitmap bitmap(::CreateBitmap(1024, 768, 1, 32, nullptr));
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    ::SelectObject(dc.Get(), bitmap.Get());
    UniqueFont font(
        ::CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
    const IconPaintStyle style{font.Get(), RGB(0, 0, 96), RGB(0, 0, 96), RGB(255, 255, 255)};

    DrawDesktopIcons(dc.Get(), layout, catalogue, 0, -1, style); // warm the caches
    std::vector<double> passes;
    for (int run = 0; run < 30; ++run) {
        const double start = NowMs();
        DrawDesktopIcons(dc.Get(), layout, catalogue, 0, -1, style);
        passes.push_back(NowMs() - start);
    }
    std::printf("DrawIcons, %d icons: median %.2f ms over %zu passes (%.3f ms per icon)\n",
                layout.cellsPerTab, Median(passes), passes.size(),
                Median(passes) / layout.cellsPerTab);
    return 0;
}
