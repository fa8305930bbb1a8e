// Times one full paint of a 65-icon tab (DrawDesktopIcons on a 1024 x 768 memory DC), the pass
// the desktop runs on every paint and every two seconds: extracting every icon from its file
// as it is drawn, and taking the icons from the cache the desktop keeps.
#include "bench_timing.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_cache.h"
#include "desktop/icon_painter.h"
#include "framework/unique_handle.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kPasses = 30;

struct Canvas {
    UniqueBitmap bitmap{::CreateBitmap(1024, 768, 1, 32, nullptr)};
    UniqueDc dc{::CreateCompatibleDC(nullptr)};
    Canvas() { ::SelectObject(dc.Get(), bitmap.Get()); }
};

void Report(const char* what, const std::vector<double>& passes, int icons) {
    std::printf("DrawIcons, %d icons, %s: median %.2f ms over %zu passes (%.3f ms per icon)\n",
                icons, what, Median(passes), passes.size(), Median(passes) / icons);
}

} // namespace

int main() {
    PaintBench bench;
    const Icons& catalogue = bench.catalogue;
    const DesktopLayout& layout = bench.layout;
    const IconPaintStyle& style = bench.style;
    Canvas canvas;
    HDC dc = canvas.dc.Get();

    DrawDesktopIcons(dc, layout, catalogue, 0, -1, style); // warm the system's own caches
    std::vector<double> extracting;
    for (int run = 0; run < kPasses; ++run) {
        const double start = NowMs();
        DrawDesktopIcons(dc, layout, catalogue, 0, -1, style);
        extracting.push_back(NowMs() - start);
    }

    IconCache cache;
    double start = NowMs();
    DrawDesktopIcons(dc, layout, catalogue, 0, -1, style, &cache);
    const double firstCached = NowMs() - start;
    std::vector<double> cached;
    for (int run = 0; run < kPasses; ++run) {
        start = NowMs();
        DrawDesktopIcons(dc, layout, catalogue, 0, -1, style, &cache);
        cached.push_back(NowMs() - start);
    }

    Report("extracting every icon", extracting, layout.cellsPerTab);
    Report("from the icon cache", cached, layout.cellsPerTab);
    std::printf("DrawIcons, %d icons, first pass filling the cache: %.2f ms (%u extractions)\n",
                layout.cellsPerTab, firstCached, cache.Extractions());
    if (Median(cached) > 0)
        std::printf("ratio extracting / cached: %.1f\n", Median(extracting) / Median(cached));
    return 0;
}
