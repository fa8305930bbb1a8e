// Time from process start to the first complete paint of a 65-icon tab of korvane.exe, against
// the time from process start to the first window of Wine's notepad.exe, measured alike: the
// process is created, then the screen is polled every millisecond until the window shows (and,
// for the desktop, until the last of the 65 icons is on screen).
//   start_to_paint_bench KORVANE_EXE [RUNS]
// The data folder's icons.bin is replaced by a 65-entry catalogue for the run and restored.
#include "bench_timing.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 96);

bool IconOnScreen(int x, int y);
double WaitUntil(double start, const std::function<bool()>& ready, double timeoutMs = 30000);

struct Started {
    PROCESS_INFORMATION process{};
    bool ok = false;
};

Started Start(const std::string& commandLine) {
    Started s;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string command = commandLine;
    s.ok = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &s.process) != FALSE;
    return s;
}

void Stop(Started& s) {
    if (!s.ok)
        return;
    ::TerminateProcess(s.process.hProcess, 0);
    ::WaitForSingleObject(s.process.hProcess, 5000);
    ::CloseHandle(s.process.hThread);
    ::CloseHandle(s.process.hProcess);
}

// Until the desktop repaints, a terminated window's pixels stay on the screen: wait for the
// spot the next run watches to be clear, so that no run sees the previous one's icons.
bool ClearScreen(int x, int y) {
    ::RedrawWindow(::GetDesktopWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return WaitUntil(
               NowMs(), [&] { return !IconOnScreen(x, y); }, 5000) >= 0;
}

// Milliseconds from `start` until `ready` answers true (polled every millisecond), or -1.
double WaitUntil(double start, const std::function<bool()>& ready, double timeoutMs) {
    while (NowMs() - start < timeoutMs) {
        if (ready())
            return NowMs() - start;
        ::Sleep(1);
    }
    return -1;
}

bool VisibleWindow(const char* className, const char* title) {
    HWND hwnd = ::FindWindowA(className, title);
    return hwnd && ::IsWindowVisible(hwnd);
}

// The icon whose top left corner is (x, y) is on screen on the painted desktop: the cell
// around it shows the background colour and the icon's own square mostly does not.
bool IconOnScreen(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const bool cellPainted = ::GetPixel(screen, x - 20, y - 2) == kBackground &&
                             ::GetPixel(screen, x + 40, y + 10) == kBackground;
    int differing = 0;
    for (int dy = 0; dy < 32; dy += 4)
        for (int dx = 0; dx < 32; dx += 4)
            differing += ::GetPixel(screen, x + dx, y + dy) != kBackground;
    ::ReleaseDC(nullptr, screen);
    return cellPainted && differing > 8;
}

// The catalogue's place, made as the desktop makes it at start-up.
std::string CataloguePath() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    std::string folder = std::string(path) + "\\Quillmoran";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\Shell";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\icons.bin";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_to_paint_bench KORVANE_EXE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    const DesktopLayout layout = DesktopLayout::Compute(screen.right, screen.bottom, false);

    const std::string path = CataloguePath();
    const std::string saved = path + ".bench-saved";
    const bool hadCatalogue = ::MoveFileExA(path.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING);
    {
        Icons catalogue(path);
        FillOneTab(catalogue, layout);
        catalogue.Save();
    }
    const GridRect last = layout.IconRect(layout.columns - 1, layout.rows - 1);

    std::vector<double> desktop, notepad;
    for (int run = 0; run < runs; ++run) {
        if (!ClearScreen(last.left, last.top)) {
            std::fprintf(stderr, "the screen never cleared; run %d skipped\n", run);
            continue;
        }
        double start = NowMs();
        Started k = Start("\"" + std::string(argv[1]) + "\"");
        const double k1 = WaitUntil(start, [&] {
            return VisibleWindow(nullptr, "SHELL") && IconOnScreen(last.left, last.top);
        });
        Stop(k);
        start = NowMs();
        Started n = Start("notepad.exe");
        const double n1 = WaitUntil(start, [] { return VisibleWindow("Notepad", nullptr); });
        Stop(n);
        if (k1 >= 0)
            desktop.push_back(k1);
        if (n1 >= 0)
            notepad.push_back(n1);
    }
    ::DeleteFileA(path.c_str());
    if (hadCatalogue)
        ::MoveFileExA(saved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);

    const double d = Median(desktop), n = Median(notepad);
    std::printf("start to first complete paint of %d icons: median %.0f ms (%zu runs)\n",
                layout.cellsPerTab, d, desktop.size());
    std::printf("notepad.exe start to its first window:     median %.0f ms (%zu runs)\n", n,
                notepad.size());
    if (n > 0)
        std::printf("ratio desktop / notepad: %.2f\n", d / n);
    return desktop.empty() || notepad.empty() ? 1 : 0;
}
