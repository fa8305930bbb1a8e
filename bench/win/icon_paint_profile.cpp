// Where one cached paint pass of a 65-icon tab spends its time: the pieces of DrawDesktopIcons
// timed alone, on a memory DC and on a real window's DC, each as the median of 30 passes.
#include "bench_timing.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "desktop/icon_cache.h"
#include "desktop/icon_image.h"
#include "desktop/icon_painter.h"
#include "framework/unique_handle.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kPasses = 30;

double Time(const std::function<void()>& pass) {
    pass();
    std::vector<double> times;
    for (int i = 0; i < kPasses; ++i) {
        const double start = NowMs();
        pass();
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

void Profile(const char* where, HDC dc, const Icons& catalogue, const DesktopLayout& layout,
             const IconPaintStyle& style) {
    IconCache cache;
    DrawDesktopIcons(dc, layout, catalogue, 0, -1, style, &cache);
    const int n = catalogue.m_count;
    const std::vector<ProgramEntry> entries(catalogue.m_entries.get(),
                                            catalogue.m_entries.get() + n);
    std::vector<HICON> icons;
    cache.BeginPass();
    for (const ProgramEntry& e : entries)
        icons.push_back(cache.Get(e.iconFile, e.iconIndex));
    cache.EndPass();

    std::printf("%s:\n", where);
    std::printf("  whole cached pass          %7.2f ms\n",
                Time([&] { DrawDesktopIcons(dc, layout, catalogue, 0, -1, style, &cache); }));
    std::printf("  file stamps (cache lookup) %7.2f ms\n", Time([&] {
                    cache.BeginPass();
                    for (const ProgramEntry& e : entries)
                        cache.Get(e.iconFile, e.iconIndex);
                    cache.EndPass();
                }));
    std::printf("  %d x DrawIcon              %7.2f ms\n", n, Time([&] {
                    for (int i = 0; i < n; ++i) {
                        const GridRect r = layout.IconRect(entries[i].column, entries[i].row);
                        ::DrawIcon(dc, r.left, r.top, icons[i]);
                    }
                }));
    std::printf("  %d x IconCache::Draw        %7.2f ms\n", n, Time([&] {
                    cache.BeginPass();
                    for (const ProgramEntry& e : entries) {
                        const GridRect r = layout.IconRect(e.column, e.row);
                        cache.Draw(dc, r.left, r.top, e.iconFile, e.iconIndex);
                    }
                    cache.EndPass();
                }));
    {
        UniqueDc scratch(::CreateCompatibleDC(dc));
        for (int k = 0; k < 3; ++k) {
            IconImage image(icons[k]);
            const double start = NowMs();
            image.Draw(dc, 0, 0, scratch.Get(), 32);
            const double first = NowMs() - start;
            std::printf("  image %d: method %d, first draw %.2f ms\n", k,
                        static_cast<int>(image.DrawingMethod()), first);
            std::printf("    65 draws of it %.2f ms\n", Time([&] {
                            for (int i = 0; i < 65; ++i)
                                image.Draw(dc, 0, 0, scratch.Get(), 32);
                        }));
            std::printf("    65 GetDeviceCaps %.2f ms\n", Time([&] {
                            for (int i = 0; i < 65; ++i)
                                ::GetDeviceCaps(dc, BITSPIXEL);
                        }));
        }
    }
    std::printf("  %d x DrawTextA             %7.2f ms\n", n, Time([&] {
                    SelectObject(dc, style.captionFont);
                    for (const ProgramEntry& e : entries) {
                        const GridRect c = layout.CaptionRect(e.column, e.row);
                        RECT box{c.left, c.top, c.right, c.bottom};
                        ::DrawTextA(dc, e.caption, -1, &box, DT_CENTER | DT_WORDBREAK);
                    }
                }));
    // The icons' own bitmaps drawn straight from one memory DC, as a cache of bitmaps would.
    ICONINFO info{};
    ::GetIconInfo(icons[0], &info);
    UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    UniqueDc source(::CreateCompatibleDC(dc));
    BITMAP bm{};
    ::GetObject(color.Get(), sizeof(bm), &bm);
    std::printf("  icon colour bitmap: %ld x %ld, %d bits\n", bm.bmWidth, bm.bmHeight,
                bm.bmBitsPixel);
    ::SelectObject(source.Get(), color.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    std::printf("  %d x GdiAlphaBlend 32 x 32  %7.2f ms\n", n, Time([&] {
                    for (const ProgramEntry& e : entries) {
                        const GridRect r = layout.IconRect(e.column, e.row);
                        ::GdiAlphaBlend(dc, r.left, r.top, 32, 32, source.Get(), 0, 0, 32, 32,
                                        blend);
                    }
                }));
    std::printf("  %d x BitBlt 32 x 32         %7.2f ms\n", n, Time([&] {
                    for (const ProgramEntry& e : entries) {
                        const GridRect r = layout.IconRect(e.column, e.row);
                        ::BitBlt(dc, r.left, r.top, 32, 32, source.Get(), 0, 0, SRCCOPY);
                    }
                }));
    std::printf("  %d x CreateCompatibleDC+Delete %7.2f ms\n", n, Time([&] {
                    for (int i = 0; i < n; ++i)
                        ::DeleteDC(::CreateCompatibleDC(dc));
                }));
}

LRESULT CALLBACK Plain(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcA(w, m, wp, lp);
}

} // namespace

int main() {
    PaintBench bench;
    const Icons& catalogue = bench.catalogue;
    const DesktopLayout& layout = bench.layout;
    const IconPaintStyle& style = bench.style;

    {
        UniqueBitmap bitmap(::CreateBitmap(1024, 768, 1, 32, nullptr));
        UniqueDc dc(::CreateCompatibleDC(nullptr));
        ::SelectObject(dc.Get(), bitmap.Get());
        Profile("memory DC", dc.Get(), catalogue, layout, style);
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = Plain;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "KorvaneProfile";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA("KorvaneProfile", "profile", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                  768, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    for (int i = 0; i < 50; ++i) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::Sleep(10);
    }
    HDC dc = ::GetDC(window);
    Profile("window DC", dc, catalogue, layout, style);
    ::ReleaseDC(window, dc);
    ::DestroyWindow(window);
    return 0;
}
