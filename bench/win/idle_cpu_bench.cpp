// Processor time of the idle desktop showing a full tab of 65 icons: the real korvane.exe is
// started, left to settle, and its user plus kernel time read before and after a quiet spell.
//   idle_cpu_bench KORVANE_EXE [SECONDS] [BASELINE_EXE]
// A baseline executable (an older build) is measured the same way right after it.
#include "bench_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kSettleMs = 5000;

// Per cent of one core that `exe` used over `seconds` once its icons were on screen; -1 when
// it never showed them.
double IdleShare(const std::string& exe, int seconds, const GridRect& last) {
    ClearScreen(last.left, last.top);
    // A desktop without a watcher: started with no arguments of ours it would start one, which
    // runs the same executable, and the watcher's processor time is not the desktop's.
    StartedProcess desktop(Quoted(exe) + " /desktop", exe);
    if (WaitUntil(NowMs(), [&] { return IconOnScreen(last.left, last.top); }) < 0)
        return -1;
    ::Sleep(kSettleMs);
    const double cpuBefore = desktop.CpuMs();
    const double wallBefore = NowMs();
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    const double cpu = desktop.CpuMs() - cpuBefore;
    const double wall = NowMs() - wallBefore;
    if (cpuBefore < 0 || cpu < 0)
        return -1;
    std::printf("  %.0f ms of processor time in %.1f s\n", cpu, wall / 1000);
    return 100.0 * cpu / wall;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: idle_cpu_bench KORVANE_EXE [SECONDS] [BASELINE_EXE]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const DesktopLayout layout = ScreenLayout();
    BenchCatalogue catalogue(layout);
    const GridRect last = layout.IconRect(layout.columns - 1, layout.rows - 1);

    const double desktop = IdleShare(argv[1], seconds, last);
    std::printf("idle desktop, %d icons, over %d s: %.3f %% of one core\n", layout.cellsPerTab,
                seconds, desktop);
    if (argc > 3) {
        const double baseline = IdleShare(argv[3], seconds, last);
        std::printf("idle baseline, %d icons, over %d s: %.3f %% of one core\n", layout.cellsPerTab,
                    seconds, baseline);
    }
    return desktop < 0 ? 1 : 0;
}
