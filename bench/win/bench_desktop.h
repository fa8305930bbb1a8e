#pragma once
// Starting the real desktop for the Wine harnesses: a 65-icon catalogue put in the data folder
// for the run, the process started and stopped, and the screen polled for its icons.

#include "bench_timing.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"

#include <shlobj.h>

#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

inline constexpr COLORREF kBenchBackground = RGB(0, 0, 96);

// Milliseconds from `start` until `ready` answers true (polled every millisecond), or -1.
inline double WaitUntil(double start, const std::function<bool()>& ready,
                        double timeoutMs = 30000) {
    while (NowMs() - start < timeoutMs) {
        if (ready())
            return NowMs() - start;
        ::Sleep(1);
    }
    return -1;
}

// A path compared across Windows and Unix spellings: lower case, forward slashes, no "z:".
inline std::string ComparablePath(std::string path) {
    for (char& c : path)
        c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (path.rfind("z:", 0) == 0)
        path.erase(0, 2);
    return path;
}

// A file under /proc, read through Wine's Z: drive; empty when it cannot be read.
inline std::string ProcFile(const std::string& pid, const char* name) {
    FILE* f = std::fopen(("Z:\\proc\\" + pid + "\\" + name).c_str(), "rb");
    if (!f)
        return {};
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size() - 1, f));
    std::fclose(f);
    return text;
}

// The Unix process ids of the Wine processes whose program is `exe` (a path, or a file name to
// match the path's end), the desktop and its watcher alike.
inline std::vector<std::string> UnixProcessesOf(const std::string& exe) {
    const std::string wanted = ComparablePath(exe);
    std::vector<std::string> pids;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return pids;
    do {
        const std::string pid = found.cFileName;
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string program = ComparablePath(ProcFile(pid, "cmdline").c_str());
        const bool matches =
            program == wanted ||
            (wanted.find('/') == std::string::npos && program.size() > wanted.size() &&
             program.compare(program.size() - wanted.size() - 1, std::string::npos, "/" + wanted) ==
                 0);
        if (matches)
            pids.push_back(pid);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return pids;
}

// Resident memory of the Unix process `pid` in kilobytes (VmRSS), 0 when unknown.
inline long ResidentKb(const std::string& pid) {
    const std::string status = ProcFile(pid, "status");
    const std::size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::strtol(status.c_str() + at + 6, nullptr, 10);
}

// Processor milliseconds of the Unix process running `exe`, read from /proc through Wine's Z:
// drive (Wine reports no times for other processes); -1 when there is no such process.
inline double UnixProcessCpuMs(const std::string& exe) {
    double ms = -1;
    for (const std::string& pid : UnixProcessesOf(exe)) {
        const std::string stat = ProcFile(pid, "stat");
        // After the command in parentheses: state is field 3, utime 14 and stime 15, in the
        // kernel's 100 ticks a second.
        const std::size_t close = stat.rfind(')');
        unsigned long long utime = 0, stime = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1,
                        " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                        &stime) == 2)
            ms = 10.0 * static_cast<double>(utime + stime);
        break;
    }
    return ms;
}

struct StartedProcess {
    PROCESS_INFORMATION process{};
    bool ok = false;
    std::string exe;

    explicit StartedProcess(const std::string& commandLine, std::string exePath = {})
        : exe(std::move(exePath)) {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        std::string command = commandLine;
        ok = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &process) != FALSE;
    }
    ~StartedProcess() {
        if (!ok)
            return;
        ::TerminateProcess(process.hProcess, 0);
        ::WaitForSingleObject(process.hProcess, 5000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    // User plus kernel time the process has used so far, in milliseconds: the system's count,
    // or under Wine the Unix process's.
    double CpuMs() const {
        if (!exe.empty()) {
            const double fromProc = UnixProcessCpuMs(exe);
            if (fromProc >= 0)
                return fromProc;
        }
        FILETIME created, ended, kernel, user;
        if (!::GetProcessTimes(process.hProcess, &created, &ended, &kernel, &user))
            return -1;
        auto ms = [](const FILETIME& t) {
            return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                       t.dwLowDateTime) /
                   10000.0;
        };
        return ms(kernel) + ms(user);
    }
};

// Ends every process whose program is `exe` (a desktop's watcher outlives its desktop) and
// waits until they have gone, so that the next start in a timed series meets a quiet system.
inline void EndProcessesOf(const std::string& exe) {
    const std::string wanted = ComparablePath(exe);
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry)) {
        HANDLE process =
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                          FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        char path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (::QueryFullProcessImageNameA(process, 0, path, &size) &&
            ComparablePath(path) == wanted) {
            ::TerminateProcess(process, 0);
            ::WaitForSingleObject(process, 5000);
        }
        ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
}

inline bool VisibleWindow(const char* className, const char* title) {
    HWND hwnd = ::FindWindowA(className, title);
    return hwnd && ::IsWindowVisible(hwnd);
}

// The icon whose top left corner is (x, y) is on screen on the painted desktop: the cell
// around it shows the background colour and the icon's own square mostly does not. The spot is
// copied off the screen in one blit: under Wine every GetPixel on the screen is a trip to the X
// server (5 ms for the 66 pixels), which would delay the poll and slow the program it watches.
inline bool IconOnScreen(int x, int y) {
    constexpr int kLeft = 20, kTop = 2, kWidth = 61, kHeight = 34;
    HDC screen = ::GetDC(nullptr);
    HDC copy = ::CreateCompatibleDC(screen);
    HBITMAP spot = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
    HGDIOBJ old = ::SelectObject(copy, spot);
    ::BitBlt(copy, 0, 0, kWidth, kHeight, screen, x - kLeft, y - kTop, SRCCOPY);
    auto at = [&](int dx, int dy) { return ::GetPixel(copy, dx + kLeft, dy + kTop); };
    const bool cellPainted = at(-20, -2) == kBenchBackground && at(40, 10) == kBenchBackground;
    int differing = 0;
    for (int dy = 0; dy < 32; dy += 4)
        for (int dx = 0; dx < 32; dx += 4)
            differing += at(dx, dy) != kBenchBackground;
    ::SelectObject(copy, old);
    ::DeleteObject(spot);
    ::DeleteDC(copy);
    ::ReleaseDC(nullptr, screen);
    return cellPainted && differing > 8;
}

// Until the desktop repaints, a terminated window's pixels stay on the screen: wait for the
// spot the next run watches to be clear, so that no run sees the previous one's icons.
inline bool ClearScreen(int x, int y) {
    ::RedrawWindow(::GetDesktopWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return WaitUntil(
               NowMs(), [&] { return !IconOnScreen(x, y); }, 5000) >= 0;
}

// A full tab of 65 icons in the data folder's icons.bin for the harness's lifetime; the file
// that was there comes back afterwards.
class BenchCatalogue {
public:
    explicit BenchCatalogue(const DesktopLayout& layout) {
        char path[MAX_PATH] = {};
        ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
        std::string folder = std::string(path) + "\\Quillmoran";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\Shell";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        m_path = folder + "\\icons.bin";
        m_saved = m_path + ".bench-saved";
        m_hadOne = ::MoveFileExA(m_path.c_str(), m_saved.c_str(), MOVEFILE_REPLACE_EXISTING);
        Icons catalogue(m_path);
        FillOneTab(catalogue, layout);
        catalogue.Save();
    }
    ~BenchCatalogue() {
        ::DeleteFileA(m_path.c_str());
        if (m_hadOne)
            ::MoveFileExA(m_saved.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    BenchCatalogue(const BenchCatalogue&) = delete;
    BenchCatalogue& operator=(const BenchCatalogue&) = delete;

private:
    std::string m_path, m_saved;
    bool m_hadOne = false;
};

inline DesktopLayout ScreenLayout() {
    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    return DesktopLayout::Compute(screen.right, screen.bottom, false);
}

inline std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}
