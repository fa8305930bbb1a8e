// Programs started from the desktop, found again: the marker on a running entry's icon, a
// launcher that exits found through its child, and the double-click that brings the window
// back instead of starting a second copy.
#include "app/app.h"
#include "desktop/icon_painter.h"
#include "support/test_desktop.h"

#include <tlhelp32.h>

namespace {

std::string RunningFamily() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\')) + "\\running_family.exe";
}

// The visible windows of running_family, front to back.
std::vector<HWND> FamilyWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            char title[64] = {};
            ::GetWindowTextA(window, title, sizeof(title));
            if (::IsWindowVisible(window) &&
                std::string(title).rfind("Running family from ", 0) == 0)
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

bool ProcessAlive(DWORD id) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return false;
    const bool alive = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return alive;
}

template <typename Condition> bool WaitFor(Condition condition) {
    for (int i = 0; i < 300; ++i) { // generous: the machine is shared
        if (condition())
            return true;
        PumpMessages(50);
    }
    return condition();
}

class RunningProgramsTest : public DesktopTest {
protected:
    void TearDown() override {
        for (HWND window : FamilyWindows()) {
            HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, ProcessOf(window));
            if (process) {
                ::TerminateProcess(process, 0);
                ::CloseHandle(process);
            }
        }
        DesktopTest::TearDown();
    }

    void DoubleClick(int column, int row, bool shift = false) {
        const POINT at = CellCentre(column, row);
        ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON | (shift ? MK_SHIFT : 0),
                       MAKELPARAM(at.x, at.y));
    }

    // The marker's centre pixel after one timer tick and the repaint it asked for.
    COLORREF MarkerAfterTick(int column, int row) {
        ::SendMessageA(Hwnd(), WM_TIMER, CApp::kRepaintTimer, 0);
        ::UpdateWindow(Hwnd());
        PumpMessages(50);
        const GridRect marker = RunningMarkerRect(Frame().Layout(), column, row);
        return WindowPixels(Hwnd()).At((marker.left + marker.right) / 2,
                                       (marker.top + marker.bottom) / 2);
    }
};

TEST_F(RunningProgramsTest, MarkerFollowsTheProcessesAndALauncherIsFoundThroughItsChild) {
    const std::string program = RunningFamily();
    CatalogueEntryBytes direct{.column = 0, .row = 0, .caption = "Direct", .program = program};
    direct.parameters = "window";
    CatalogueEntryBytes launcher{.column = 2, .row = 0, .caption = "Launched", .program = program};
    launcher.parameters = "launcher";
    WriteCatalogue({direct, launcher}, {"Programs"});
    m_actions.startForReal = true;
    Start();
    const COLORREF caption = static_cast<COLORREF>(m_app->fontcolor);
    ASSERT_NE(caption, static_cast<COLORREF>(m_app->cvetfona)) << "the marker must stand out";
    EXPECT_NE(MarkerAfterTick(0, 0), caption) << "nothing runs yet";

    DoubleClick(0, 0);
    ASSERT_TRUE(WaitFor([] { return FamilyWindows().size() == 1; }));
    const HWND window = FamilyWindows()[0];
    EXPECT_EQ(MarkerAfterTick(0, 0), caption);
    EXPECT_NE(MarkerAfterTick(2, 0), caption) << "only the entry that started it";

    // Minimised, a second double-click restores the same window and starts nothing.
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(window) != FALSE; }));
    DoubleClick(0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsIconic(window); }));
    PumpMessages(500);
    EXPECT_EQ(FamilyWindows().size(), 1u) << "no second copy";

    // Its process ends: the marker goes at the next tick.
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([] { return FamilyWindows().empty(); }));
    PumpMessages(300);
    EXPECT_NE(MarkerAfterTick(0, 0), caption);

    // The launcher exits at once; its child keeps the entry running.
    DoubleClick(2, 0);
    ASSERT_TRUE(WaitFor([] { return FamilyWindows().size() == 1; }));
    const HWND child = FamilyWindows()[0];
    char title[64] = {};
    ::GetWindowTextA(child, title, sizeof(title));
    const DWORD launcherId = std::strtoul(title + std::strlen("Running family from "), nullptr, 10);
    ASSERT_NE(launcherId, 0u) << title;
    EXPECT_TRUE(WaitFor([&] { return !ProcessAlive(launcherId); }));
    EXPECT_EQ(MarkerAfterTick(2, 0), caption);
    ::ShowWindow(child, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(child) != FALSE; }));
    DoubleClick(2, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsIconic(child); }));
    PumpMessages(500);
    EXPECT_EQ(FamilyWindows().size(), 1u) << "the child was brought back, no new launcher";

    // Shift+double-click always starts another copy.
    DoubleClick(2, 0, true);
    EXPECT_TRUE(WaitFor([] { return FamilyWindows().size() == 2; }));
}

} // namespace
