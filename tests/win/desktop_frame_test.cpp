// The desktop window started for real from a catalogue written byte by byte.
#include "desktop/main_frame.h"
#include "support/test_app.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 96);

void WriteSetting(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane", 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}
void WriteDword(const char* name, DWORD value) {
    WriteSetting(name, REG_DWORD, &value, 4);
}
void WriteText(const char* name, const std::string& text) {
    WriteSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// Dispatches what arrives for `ms` milliseconds and counts the paints among it; a window that
// keeps invalidating itself shows up as hundreds instead of hanging the test.
int CountPaints(DWORD ms) {
    int paints = 0;
    const DWORD until = ::GetTickCount() + ms;
    while (static_cast<LONG>(::GetTickCount() - until) < 0) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::Sleep(5);
            continue;
        }
        paints += msg.message == WM_PAINT;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return paints;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(DataFolder());
        MakeDataFolder();
        WriteWholeFile(m_pictures.File("shot.bmp"), QuadrantBmp(64));
    }
    void TearDown() override {
        if (m_app) {
            if (HWND hwnd = m_app->MainHwnd())
                ::DestroyWindow(hwnd);
            m_app->ExitInstance();
        }
        PumpMessages();
        DeleteTree(DataFolder());
    }

    void WriteCatalogue(const std::vector<CatalogueEntryBytes>& entries,
                        const std::vector<std::string>& tabs) {
        m_catalogueBytes = CatalogueFileBytes(entries, tabs);
        WriteWholeFile(DataFolder() + "\\icons.bin", m_catalogueBytes);
    }
    // Three tabs; tab 0 holds Notepad at (1, 0) with a screenshot and a program whose icon file
    // yields nothing at (2, 1); tabs 1 and 2 hold one program each.
    void WriteThreeTabs() {
        WriteCatalogue({{1, 0, 0, "Notepad", "{\\rtf1\\ansi Edits {\\b plain} text.}",
                         m_pictures.File("shot.bmp"), "", "", "C:\\windows\\notepad.exe"},
                        {0, 0, 0, "On two", "", "", "", "", "C:\\windows\\notepad.exe", 1, 1},
                        {2, 1, 0, "No icon", "", "", "", "", "C:\\missing\\none.exe"},
                        {4, 0, 0, "On three", "", "", "", "", "C:\\windows\\notepad.exe", 1, 2}},
                       {"Office", "Games", "Tools"});
    }

    CMainFrame& Start() {
        m_app = std::make_unique<TestApp>();
        EXPECT_TRUE(m_app->InitInstance());
        PumpMessages(50);
        return *m_app->Frame();
    }

    // The pixels of the window as painted now.
    std::unique_ptr<WindowPixels> Shot() {
        ::RedrawWindow(m_app->MainHwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages(50);
        return std::make_unique<WindowPixels>(m_app->MainHwnd());
    }

    static bool IconDrawnAt(const WindowPixels& shot, const GridRect& icon) {
        int background = 0;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x)
                background += shot.At(x, y) == kBackground;
        return background < 32 * 32 / 2;
    }

    POINT CellCentre(const CMainFrame& frame, int column, int row) const {
        const GridRect r = frame.Layout().IconRect(column, row);
        return {r.left + 16, r.top + 16};
    }

    ScopedRegistryKeyReset m_settings{"Software\\Korvane"};
    ScriptedModalUi m_ui;
    TempFolder m_pictures;
    std::string m_catalogueBytes;
    std::unique_ptr<TestApp> m_app;
};

TEST_F(FrameTest, DrawsOnlyTheSelectedTabsIconsAndNeverRewritesAGoodCatalogue) {
    WriteThreeTabs();
    CMainFrame& frame = Start();
    const auto shot = Shot();
    EXPECT_TRUE(IconDrawnAt(*shot, frame.Layout().IconRect(1, 0)));
    EXPECT_TRUE(IconDrawnAt(*shot, frame.Layout().IconRect(2, 1))) << "application icon";
    EXPECT_FALSE(IconDrawnAt(*shot, frame.Layout().IconRect(0, 0))) << "tab 2's program";
    EXPECT_FALSE(IconDrawnAt(*shot, frame.Layout().IconRect(4, 0))) << "tab 3's program";

    const GridRect caption = frame.Layout().CaptionRect(1, 0);
    int text = 0;
    for (int y = caption.top; y < caption.bottom; ++y)
        for (int x = caption.left; x < caption.right; ++x) {
            text += shot->At(x, y) == RGB(255, 255, 255);
        }
    EXPECT_GT(text, 10) << "the caption is written in fontcolor";
    EXPECT_EQ(shot->At(100, frame.Layout().gridTop), RGB(0, 0, 0));
    EXPECT_EQ(shot->At(frame.Layout().halfWidth, 100), RGB(0, 0, 0));
    EXPECT_TRUE(m_ui.shown.empty());
    EXPECT_EQ(ReadWholeFile(DataFolder() + "\\icons.bin"), m_catalogueBytes);
}

TEST_F(FrameTest, TheTabStripListsTheTabsAndAClickOnATabShowsItsIcons) {
    WriteThreeTabs();
    CMainFrame& frame = Start();
    TabCtrl& strip = frame.TabStrip();
    ASSERT_EQ(strip.GetCount(), 3);
    EXPECT_EQ(strip.GetTabText(strip.GetTab(1)), "Games");
    EXPECT_EQ(frame.CurrentTab(), 0);
    RECT placed;
    ::GetWindowRect(strip.Hwnd(), &placed);
    EXPECT_EQ(placed.left, frame.Layout().tabStrip.left);
    EXPECT_EQ(placed.right, frame.Layout().tabStrip.right) << "reaches the mode button";
    EXPECT_EQ(placed.top, frame.Layout().tabStrip.top);
    // Made once the first paint is done, as the desktop's first message loop runs: the admin
    // buttons, hidden in their places, and the tooltips.
    const DesktopLayout& layout = frame.Layout();
    for (const auto& [id, place] : {std::pair{CMainFrame::kSaveButtonId, layout.saveButton},
                                    std::pair{CMainFrame::kSettingsButtonId, layout.settingsButton},
                                    std::pair{CMainFrame::kAddTabButtonId, layout.addTabButton}}) {
        SCOPED_TRACE(id);
        const HWND button = frame.ButtonHwnd(id);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(::IsWindowVisible(button));
        RECT r;
        ::GetWindowRect(button, &r);
        EXPECT_EQ(r.left, place.left);
        EXPECT_EQ(r.bottom, place.bottom);
    }
    EXPECT_NE(strip.GetToolTip(), nullptr);
    EXPECT_EQ(::SendMessageA(frame.ToolTipHwnd(), TTM_GETTOOLCOUNT, 0, 0), 5);

    const RECT games = strip.GetTabRect(strip.GetTab(1));
    const LPARAM at = MAKELPARAM((games.left + games.right) / 2, (games.top + games.bottom) / 2);
    ::SendMessageA(strip.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(strip.Hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(frame.CurrentTab(), 1);
    const auto shot = Shot();
    EXPECT_TRUE(IconDrawnAt(*shot, frame.Layout().IconRect(0, 0))) << "Games' program";
    EXPECT_FALSE(IconDrawnAt(*shot, frame.Layout().IconRect(1, 0))) << "Office's program";
    const POINT p = CellCentre(frame, 0, 0);
    EXPECT_EQ(frame.EntryAt(p), 1);
}

TEST_F(FrameTest, AClickOrARestOnAnIconShowsItsScreenshotAndRestingOnNothingHidesIt) {
    WriteThreeTabs();
    CMainFrame& frame = Start();
    HWND picture = frame.ScreenshotHwnd();
    EXPECT_FALSE(::IsWindowVisible(picture));

    const POINT notepad = CellCentre(frame, 1, 0);
    ::SetCursorPos(notepad.x, notepad.y); // a rest where the pointer is shows the same program
    ::SendMessageA(frame.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(notepad.x, notepad.y));
    EXPECT_EQ(frame.m_shownEntry, 0);
    EXPECT_TRUE(::IsWindowVisible(picture));
    auto shown = reinterpret_cast<HBITMAP>(::SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(shown);
    EXPECT_EQ(BitmapSize(shown).cx, frame.Layout().screenshot.Width());
    EXPECT_EQ(BitmapSize(shown).cy, frame.Layout().screenshot.Height());
    HWND editor = frame.Description().Hwnd();
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_LT(CountPaints(500), 20) << "the shown description keeps repainting itself";
    RECT placed;
    ::GetWindowRect(editor, &placed);
    EXPECT_EQ(placed.right, frame.Layout().description.right);
    EXPECT_EQ(placed.bottom, frame.Layout().description.bottom);
    char text[64] = {};
    ::GetWindowTextA(frame.Description().GetRichEditCtrl().Hwnd(), text, sizeof(text));
    EXPECT_STREQ(text, "Edits plain text.");
    EXPECT_TRUE(frame.Description().GetReadOnly());
    EXPECT_FALSE(frame.Description().IsToolbarShown());
    EXPECT_FALSE(frame.Description().IsRulerShown());

    const auto shot = Shot();
    const GridRect r = frame.Layout().screenshot;
    EXPECT_EQ(shot->At(r.left + 10, r.top + 10), RGB(255, 0, 0)) << "scaled to the quarter";
    EXPECT_EQ(shot->At(r.right - 10, r.bottom - 10), RGB(255, 255, 255));

    // Resting on empty space for half a second hides the picture again.
    const POINT empty = CellCentre(frame, 8, 3);
    ::SetCursorPos(empty.x, empty.y);
    ::SendMessageA(frame.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(empty.x, empty.y));
    PumpMessages(800);
    EXPECT_FALSE(::IsWindowVisible(picture));
    EXPECT_FALSE(::IsWindowVisible(editor));

    // Resting on the icon with no screenshot shows that program.
    const POINT noIcon = CellCentre(frame, 2, 1);
    ::SetCursorPos(noIcon.x, noIcon.y);
    ::SendMessageA(frame.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(noIcon.x, noIcon.y));
    PumpMessages(800);
    EXPECT_EQ(frame.m_shownEntry, 2);
    EXPECT_TRUE(::IsWindowVisible(picture));
    EXPECT_EQ(frame.m_hoverTimer, 0u);
}

TEST_F(FrameTest, MisplacedEntriesMoveOnceAndAFullTabIsReported) {
    // One tab's worth of fillers on whatever screen the tests run on, after an entry right of
    // the last column that takes the first free cell.
    RECT screen{};
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    const DesktopLayout grid = DesktopLayout::Compute(screen.right, screen.bottom, false);
    ASSERT_GT(grid.cellsPerTab, 0);
    std::vector<CatalogueEntryBytes> entries;
    entries.push_back({grid.columns + 7, 0, 0, "Too far right"});
    for (int i = 0; i < grid.cellsPerTab; ++i)
        entries.push_back({i % grid.columns, i / grid.columns, 0, "Filler"});
    WriteCatalogue(entries, {"Only"});
    CMainFrame& frame = Start();

    EXPECT_EQ(frame.Layout().cellsPerTab, grid.cellsPerTab);
    EXPECT_EQ(frame.PlacedLimit(), grid.cellsPerTab) << "the last filler finds no room";
    ASSERT_GE(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].text, "No space for icons, please increase your screen resolution");
    EXPECT_EQ(m_ui.shown[0].caption, "Warning!");
    EXPECT_EQ(m_app->m_catalogue->m_entries[0].column, 0);
    EXPECT_NE(ReadWholeFile(DataFolder() + "\\icons.bin"), m_catalogueBytes)
        << "the placement was saved";
}

TEST_F(FrameTest, APictureBackgroundIsTiledOrStretched) {
    WriteCatalogue({}, {"Only"});
    WriteDword("isBitmap", 1);
    WriteText("backgroundBitmap", m_pictures.File("shot.bmp"));
    WriteDword("fullscreen", 0);
    {
        CMainFrame& frame = Start();
        const auto shot = Shot();
        const int y = frame.Layout().gridTop + 100; // inside the grid, away from the children
        const int tileTop = y - y % 64;
        EXPECT_EQ(shot->At(5, tileTop + 5), RGB(255, 0, 0));
        EXPECT_EQ(shot->At(64 + 5, tileTop + 5), RGB(255, 0, 0)) << "the tile repeats at 64";
        EXPECT_EQ(shot->At(64 + 40, tileTop + 5), RGB(0, 255, 0));
        EXPECT_EQ(shot->At(64 + 5, tileTop + 40), RGB(0, 0, 255));
        TearDown();
        m_app.reset();
    }
    SetUp();
    WriteCatalogue({}, {"Only"});
    WriteDword("fullscreen", 1);
    CMainFrame& frame = Start();
    const auto shot = Shot();
    const int w = frame.Layout().width, h = frame.Layout().height;
    EXPECT_EQ(shot->At(w / 4, h * 3 / 8), RGB(255, 0, 0)) << "stretched over the screen";
    EXPECT_EQ(shot->At(w * 3 / 4 + 20, h * 3 / 4), RGB(255, 255, 255));
    EXPECT_EQ(shot->At(w / 4, h * 3 / 4), RGB(0, 0, 255));
}

TEST_F(FrameTest, AnUndecodableBackgroundIsForgottenAndTheColourUsed) {
    WriteCatalogue({}, {"Only"});
    WriteWholeFile(m_pictures.File("bad.jpg"), "not a picture at all");
    WriteDword("isBitmap", 1);
    WriteText("backgroundBitmap", m_pictures.File("bad.jpg"));
    CMainFrame& frame = Start();
    EXPECT_EQ(m_app->isBitmap, 0);
    EXPECT_TRUE(m_app->backgroundBitmap.empty());
    CRegistryPlus store;
    std::string stored = "unchanged";
    EXPECT_TRUE(store.TryReadString("backgroundBitmap", stored));
    EXPECT_EQ(stored, "");
    const auto shot = Shot();
    EXPECT_EQ(shot->At(5, frame.Layout().gridTop + 100), kBackground);
    EXPECT_TRUE(m_ui.shown.empty()) << "no message for a bad picture";
}

TEST_F(FrameTest, FollowsSizeChangesAndComesBackWhenMinimised) {
    WriteThreeTabs();
    CMainFrame& frame = Start();
    ::MoveWindow(frame.Hwnd(), 0, 0, 800, 600, TRUE);
    EXPECT_EQ(frame.Layout().columns, 10);
    EXPECT_EQ(frame.Layout().gridTop, 300);
    RECT r;
    ::GetWindowRect(frame.ButtonHwnd(CMainFrame::kShutdownButtonId), &r);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);

    ::ShowWindow(frame.Hwnd(), SW_MINIMIZE);
    PumpMessages(50);
    EXPECT_FALSE(::IsIconic(frame.Hwnd()));
    EXPECT_TRUE(::IsWindowVisible(frame.Hwnd()));
}

TEST_F(FrameTest, TheRepaintTimerFollowsAChangeOfScreenSize) {
    WriteThreeTabs();
    CMainFrame& frame = Start();
    // As if the screen had been 800 x 600 until now and the frame had followed it.
    ::MoveWindow(frame.Hwnd(), 0, 0, 800, 600, TRUE);
    m_app->m_screenWidth = 800;
    m_app->m_screenHeight = 600;
    ASSERT_EQ(frame.Layout().columns, 10);
    ::SetForegroundWindow(frame.Hwnd());
    ASSERT_EQ(::GetForegroundWindow(), frame.Hwnd());

    for (int tick = 0; tick < 12; ++tick)
        ::SendMessageA(frame.Hwnd(), WM_TIMER, CApp::kRepaintTimer, 0);
    RECT screen, window;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    ::GetWindowRect(frame.Hwnd(), &window);
    EXPECT_TRUE(::EqualRect(&screen, &window));
    EXPECT_EQ(frame.Layout().width, screen.right);
    EXPECT_EQ(m_app->m_screenWidth, screen.right);
    const auto shot = Shot();
    EXPECT_TRUE(IconDrawnAt(*shot, frame.Layout().IconRect(1, 0)));
}

TEST_F(FrameTest, ThousandsOfEntriesAndTextsAtTheirLimitsAreShownWithoutRewriting) {
    std::vector<CatalogueEntryBytes> entries;
    std::vector<std::string> tabs;
    const std::string caption(499, 'C');
    const std::string description = "{\\rtf1\\ansi " + std::string(4999 - 14, 'D') + "}";
    for (int tab = 0; tab < 40; ++tab) {
        tabs.push_back("Tab " + std::to_string(tab));
        for (int i = 0; i < 50; ++i)
            entries.push_back({i % 13, i / 13, 0, caption, description,
                               m_pictures.File("missing-shot.png"), "", "", "C:\\none.ico", 1,
                               tab});
    }
    WriteCatalogue(entries, tabs);
    CMainFrame& frame = Start();
    EXPECT_EQ(m_app->m_catalogue->m_count, 2000);
    EXPECT_EQ(frame.PlacedLimit(), -1);
    EXPECT_EQ(frame.TabStrip().GetCount(), 40);
    const auto shot = Shot();
    EXPECT_TRUE(IconDrawnAt(*shot, frame.Layout().IconRect(10, 3)));
    EXPECT_FALSE(IconDrawnAt(*shot, frame.Layout().IconRect(11, 3))) << "only 50 on a tab";

    const POINT p = CellCentre(frame, 10, 3);
    ::SetCursorPos(p.x, p.y);
    ::SendMessageA(frame.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(frame.m_shownEntry, 49);
    EXPECT_TRUE(::IsWindowVisible(frame.ScreenshotHwnd())) << "shown, though empty";
    EXPECT_EQ(::GetWindowTextLengthA(frame.Description().GetRichEditCtrl().Hwnd()), 4999 - 14);
    EXPECT_TRUE(m_ui.shown.empty());
    EXPECT_EQ(ReadWholeFile(DataFolder() + "\\icons.bin"), m_catalogueBytes);
}

TEST_F(FrameTest, AnEmptyTabListShowsNoIconsAndCrashesNothing) {
    WriteCatalogue({{0, 0, 0, "Orphan", "", "", "", "", "C:\\windows\\notepad.exe", 1, 3}}, {});
    CMainFrame& frame = Start();
    EXPECT_EQ(frame.CurrentTab(), -1);
    const auto shot = Shot();
    EXPECT_FALSE(IconDrawnAt(*shot, frame.Layout().IconRect(0, 0)));
    const POINT p = CellCentre(frame, 0, 0);
    EXPECT_EQ(frame.EntryAt(p), -1);
    ::SendMessageA(frame.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(frame.m_shownEntry, -1);
    EXPECT_EQ(ReadWholeFile(DataFolder() + "\\icons.bin"), m_catalogueBytes);
}

} // namespace
