// Time from process start to the first complete paint of a 65-icon tab of korvane.exe, against
// the time from process start to the first window of Wine's notepad.exe, measured alike: the
// process is created, then the screen is polled every millisecond until the window shows (and,
// for the desktop, until the last of the 65 icons is on screen). Then the resident memory of
// the started desktop and its watcher against notepad's. When floor_window.exe sits beside the
// harness it is timed in the same rounds: what Wine alone takes for a full-screen window.
//   start_to_paint_bench KORVANE_EXE [RUNS] [BASELINE_EXE]
// A baseline executable (an older build) is timed in the same runs. Each round starts every
// program once, in an order that turns from round to round, so that none always follows the
// same one; each start meets a quiet system: the one before it, its watcher included, has
// ended. The data folder's icons.bin is replaced by a 65-entry catalogue and restored.
#include "bench_desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// What a process torn down leaves to the system (its windows, its Unix process) is given this
// long before the next start.
constexpr DWORD kSettleMs = 300;

// Milliseconds from starting `commandLine` until a window titled `title` shows the icon at
// `last`, or -1; afterwards every process of `exe` is ended.
double StartToIcon(const std::string& commandLine, const std::string& exe, const char* title,
                   const GridRect& last) {
    if (!ClearScreen(last.left, last.top)) {
        std::fprintf(stderr, "the screen never cleared; run skipped\n");
        return -1;
    }
    double ms = -1;
    {
        const double start = NowMs();
        StartedProcess process(commandLine);
        ms = WaitUntil(start, [&] {
            return VisibleWindow(nullptr, title) && IconOnScreen(last.left, last.top);
        });
    }
    EndProcessesOf(exe);
    ::Sleep(kSettleMs);
    return ms;
}

double DesktopStart(const std::string& exe, const GridRect& last) {
    return StartToIcon(Quoted(exe), exe, "SHELL", last);
}

// floor_window.exe: a bare full-screen window with one icon at `last`.
double FloorStart(const std::string& exe, const GridRect& last) {
    return StartToIcon(Quoted(exe) + " " + std::to_string(last.left) + " " +
                           std::to_string(last.top),
                       exe, "FLOOR", last);
}

// floor_window.exe beside this harness, or empty.
std::string FloorExe() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string floor = path;
    floor.erase(floor.find_last_of('\\') + 1);
    floor += "floor_window.exe";
    return ::GetFileAttributesA(floor.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : floor;
}

double NotepadStart() {
    double ms = -1;
    {
        const double start = NowMs();
        StartedProcess notepad("notepad.exe");
        ms = WaitUntil(start, [] { return VisibleWindow("Notepad", nullptr); });
    }
    ::Sleep(kSettleMs);
    return ms;
}

struct Contender {
    std::string name;
    std::function<double()> start;
    std::vector<double> times;
};

// Resident kilobytes of every process of `exe` once it has been up for a few seconds (for the
// desktop: its watcher runs by then), printed one by one.
long SettledResidentKb(const std::string& commandLine, const std::string& exe, const char* what) {
    long total = 0;
    {
        StartedProcess process(commandLine);
        ::Sleep(4000);
        std::printf("resident memory of %s:", what);
        for (const std::string& pid : UnixProcessesOf(exe)) {
            const long kb = ResidentKb(pid);
            std::string arguments = ProcFile(pid, "cmdline");
            std::replace(arguments.begin(), arguments.end(), '\0', ' ');
            const std::size_t watch = arguments.find(" /");
            std::printf(" %.1f MB%s", kb / 1024.0,
                        watch == std::string::npos
                            ? ""
                            : (" (" + arguments.substr(watch + 1, 6) + ")").c_str());
            total += kb;
        }
        std::printf(" (%.1f MB in all)\n", total / 1024.0);
    }
    EndProcessesOf(exe);
    ::Sleep(kSettleMs);
    return total;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_to_paint_bench KORVANE_EXE [RUNS] [BASELINE_EXE]\n");
        return 2;
    }
    const std::string desktopExe = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    const std::string baselineExe = argc > 3 ? argv[3] : "";
    const DesktopLayout layout = ScreenLayout();
    BenchCatalogue catalogue(layout);
    const GridRect last = layout.IconRect(layout.columns - 1, layout.rows - 1);

    std::vector<Contender> contenders;
    contenders.push_back({"desktop ", [&] { return DesktopStart(desktopExe, last); }, {}});
    contenders.push_back({"notepad ", [] { return NotepadStart(); }, {}});
    if (!baselineExe.empty())
        contenders.push_back({"baseline", [&] { return DesktopStart(baselineExe, last); }, {}});
    const std::string floorExe = FloorExe();
    if (!floorExe.empty())
        contenders.push_back({"floor   ", [&] { return FloorStart(floorExe, last); }, {}});
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            Contender& c = contenders[(run + i) % contenders.size()];
            const double ms = c.start();
            if (ms >= 0)
                c.times.push_back(ms);
        }
    }

    const double notepad = Median(contenders[1].times);
    for (const Contender& c : contenders)
        std::printf("%s start to %s: median %.0f ms (%zu runs)\n", c.name.c_str(),
                    c.name[0] == 'n'   ? "its first window                 "
                    : c.name[0] == 'f' ? "a full-screen window with 1 icon "
                                       : "first complete paint of 65 icons",
                    Median(c.times), c.times.size());
    if (notepad > 0) {
        std::printf("ratio desktop / notepad: %.2f\n", Median(contenders[0].times) / notepad);
        for (std::size_t i = 2; i < contenders.size(); ++i)
            std::printf("ratio %s / notepad: %.2f\n",
                        contenders[i].name.substr(0, contenders[i].name.find(' ')).c_str(),
                        Median(contenders[i].times) / notepad);
    }

    const long desktopKb = SettledResidentKb(Quoted(desktopExe), desktopExe, "desktop and watcher");
    const long notepadKb = SettledResidentKb("notepad.exe", "notepad.exe", "notepad");
    std::printf("desktop and watcher use %+.1f MB against notepad (at most +10 MB)\n",
                (desktopKb - notepadKb) / 1024.0);
    return contenders[0].times.empty() || contenders[1].times.empty() ? 1 : 0;
}
