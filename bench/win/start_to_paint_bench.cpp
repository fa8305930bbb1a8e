// Time from process start to the first complete paint of a 65-icon tab of korvane.exe, against
// the time from process start to the first window of Wine's notepad.exe, measured alike: the
// process is created, then the screen is polled every millisecond until the window shows (and,
// for the desktop, until the last of the 65 icons is on screen).
//   start_to_paint_bench KORVANE_EXE [RUNS] [BASELINE_EXE]
// A baseline executable (an older build) is timed in the same runs, interleaved with the others.
// The data folder's icons.bin is replaced by a 65-entry catalogue for the run and restored.
#include "bench_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Milliseconds until the desktop `exe` shows the icon at `last`, or -1.
double DesktopStart(const std::string& exe, const GridRect& last) {
    if (!ClearScreen(last.left, last.top)) {
        std::fprintf(stderr, "the screen never cleared; run skipped\n");
        return -1;
    }
    const double start = NowMs();
    StartedProcess desktop(Quoted(exe));
    return WaitUntil(start, [&] {
        return VisibleWindow(nullptr, "SHELL") && IconOnScreen(last.left, last.top);
    });
}

void Print(const char* what, const std::vector<double>& times, int icons) {
    std::printf("%s start to first complete paint of %d icons: median %.0f ms (%zu runs)\n", what,
                icons, Median(times), times.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_to_paint_bench KORVANE_EXE [RUNS] [BASELINE_EXE]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string baselineExe = argc > 3 ? argv[3] : "";
    const DesktopLayout layout = ScreenLayout();
    BenchCatalogue catalogue(layout);
    const GridRect last = layout.IconRect(layout.columns - 1, layout.rows - 1);

    std::vector<double> desktop, baseline, notepad;
    for (int run = 0; run < runs; ++run) {
        if (!baselineExe.empty()) {
            const double b = DesktopStart(baselineExe, last);
            if (b >= 0)
                baseline.push_back(b);
        }
        const double k = DesktopStart(argv[1], last);
        if (k >= 0)
            desktop.push_back(k);
        const double start = NowMs();
        StartedProcess n("notepad.exe");
        const double n1 = WaitUntil(start, [] { return VisibleWindow("Notepad", nullptr); });
        if (n1 >= 0)
            notepad.push_back(n1);
    }

    const double n = Median(notepad);
    if (!baselineExe.empty())
        Print("baseline", baseline, layout.cellsPerTab);
    Print("desktop ", desktop, layout.cellsPerTab);
    std::printf("notepad.exe start to its first window:              median %.0f ms (%zu runs)\n",
                n, notepad.size());
    if (n > 0) {
        if (!baselineExe.empty())
            std::printf("ratio baseline / notepad: %.2f\n", Median(baseline) / n);
        std::printf("ratio desktop / notepad: %.2f\n", Median(desktop) / n);
    }
    return desktop.empty() || notepad.empty() ? 1 : 0;
}
