// The desktop's two modes, its menus and its commands, with the real registry and real dialogs.
#include "app/password_store.h"
#include "resource.h"
#include "support/test_desktop.h"
#include "support/test_dialog.h"
#include "support/test_launch_support.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <cstring>
#include <functional>

namespace {

// Two tabs; Notepad at (1, 0) of tab 0, a shortcut at (2, 0), one program on tab 1.
std::vector<CatalogueEntryBytes> TwoTabs() {
    return {{1, 0, 0, "Notepad", "{\\rtf1 Notes}", "", "", "", "C:\\windows\\notepad.exe"},
            {2, 0, 0, "Site", "", "", "", "", "C:\\links\\site.url", 3},
            {0, 0, 0, "Other", "", "", "", "", "C:\\windows\\notepad.exe", 1, 1}};
}

std::string ToolTipOf(HWND toolTip, HWND owner, HWND tool) {
    char text[256] = {};
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text;
    ::SendMessageA(toolTip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    return text;
}

class ModesTest : public DesktopTest {
protected:
    // What the user can see and use of the two modes.
    struct Look {
        bool admin, editorWritable, toolbar, saveShown, settingsShown, addTabShown, shutdownOn;
        LONG stripRight;
        std::string tip;
        UINT modeIcon;
    };
    void ExpectLook(const Look& want) {
        CMainFrame& frame = Frame();
        EXPECT_EQ(m_app->m_adminMode != 0, want.admin);
        const LRESULT options =
            ::SendMessageA(frame.Description().GetRichEditCtrl().Hwnd(), EM_GETOPTIONS, 0, 0);
        EXPECT_EQ((options & ECO_READONLY) == 0, want.editorWritable);
        // The tool bar's own visibility: the editor around it shows only with a description.
        const LONG_PTR toolbarStyle =
            ::GetWindowLongPtrA(frame.Description().GetToolbar().Hwnd(), GWL_STYLE);
        EXPECT_EQ((toolbarStyle & WS_VISIBLE) != 0, want.toolbar);
        EXPECT_EQ(::IsWindowVisible(frame.ButtonHwnd(CMainFrame::kSaveButtonId)) != 0,
                  want.saveShown);
        EXPECT_EQ(::IsWindowVisible(frame.ButtonHwnd(CMainFrame::kSettingsButtonId)) != 0,
                  want.settingsShown);
        EXPECT_EQ(::IsWindowVisible(frame.ButtonHwnd(CMainFrame::kAddTabButtonId)) != 0,
                  want.addTabShown);
        EXPECT_EQ(::IsWindowEnabled(frame.ButtonHwnd(CMainFrame::kShutdownButtonId)) != 0,
                  want.shutdownOn);
        RECT strip;
        ::GetWindowRect(frame.TabStrip().Hwnd(), &strip);
        EXPECT_EQ(strip.right, want.stripRight);
        EXPECT_EQ(
            ToolTipOf(frame.ToolTipHwnd(), Hwnd(), frame.ButtonHwnd(CMainFrame::kModeButtonId)),
            want.tip);
        const UINT otherIcon = want.modeIcon == IDI_LOCKED ? IDI_UNLOCKED : IDI_LOCKED;
        EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kModeButtonId, want.modeIcon));
        EXPECT_FALSE(ButtonShowsIcon(frame, CMainFrame::kModeButtonId, otherIcon));
    }
    Look AdminLook() {
        return {true,
                true,
                true,
                true,
                true,
                true,
                true,
                Frame().Layout().halfWidth - 186,
                "Switch to restricted user mode",
                IDI_UNLOCKED};
    }
    Look RestrictedLook(bool shutdownOn) {
        return {false,
                false,
                false,
                false,
                false,
                false,
                shutdownOn,
                Frame().Layout().halfWidth - 75,
                "Switch to admin mode",
                IDI_LOCKED};
    }
};

TEST_F(ModesTest, TheFirstPasswordIsStoredAsAVerifierAndOpensAdminModeCompletely) {
    for (const std::string typed : {std::string("Caf\xE9 Pass 1"), std::string()}) {
        SCOPED_TRACE("typed '" + typed + "'");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Korvane");
        WriteCatalogue(TwoTabs(), {"Office", "Games"});
        Start();
        ExpectLook(RestrictedLook(true));
        m_ui.shown.clear();
        m_ui.dialogScripts.push_back(TypePassword(typed));
        Command(command::kSwitchMode);

        EXPECT_EQ(RawSetting("password"), "<missing>");
        const std::string stored = RawSetting("passwordhash");
        const auto verifier = ParseVerifier(stored.substr(0, stored.find('\0')));
        ASSERT_TRUE(verifier) << stored;
        EXPECT_EQ(verifier->iterations, 200000u);
        EXPECT_EQ(verifier->salt.size(), 16u);
        ASSERT_EQ(m_ui.shown.size(), 1u);
        EXPECT_EQ(m_ui.shown[0].text, "Password saved");
        EXPECT_EQ(m_ui.shown[0].caption, "Warning!");
        ExpectLook(AdminLook());
        TearDown();
        m_app.reset();
    }
}

TEST_F(ModesTest, AWrongPasswordIsRefusedEveryTimeAndTheRightOneStillWorks) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    WriteRawSetting("passwordhash", CheapVerifier("Secret"));
    for (const char* wrong : {"secret", "SECRET", "Secret ", ""}) {
        SCOPED_TRACE(wrong);
        m_ui.shown.clear();
        m_ui.dialogScripts.push_back(TypePassword(wrong));
        Command(command::kSwitchMode);
        ASSERT_EQ(m_ui.shown.size(), 1u);
        EXPECT_EQ(m_ui.shown[0].text, "Password incorrect");
        EXPECT_EQ(m_ui.shown[0].caption, "Warning!");
        ExpectLook(RestrictedLook(true));
    }
    // Cancelling the dialog changes nothing and says nothing.
    m_ui.shown.clear();
    m_ui.dialogScripts.push_back([](HWND d) { PressKey(d, VK_ESCAPE); });
    Command(command::kSwitchMode);
    EXPECT_TRUE(m_ui.shown.empty());
    EXPECT_EQ(m_app->m_adminMode, 0);

    m_ui.dialogScripts.push_back(TypePassword("Secret"));
    Command(command::kSwitchMode);
    EXPECT_TRUE(m_ui.shown.empty());
    ExpectLook(AdminLook());
}

TEST_F(ModesTest, LeavingAdminModeRestoresTheRestrictedLookAndEndsAPendingMove) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    m_app->isRestart = 0;
    EnterAdminMode();
    const POINT notepad = CellCentre(1, 0);
    ::SendMessageA(Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(notepad.x, notepad.y));
    ASSERT_EQ(Frame().m_shownEntry, 0);
    m_ui.menuAnswers.push_back(command::kMoveIcon);
    ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(notepad.x, notepad.y));
    PumpMessages(20);
    ASSERT_TRUE(Frame().m_moveMode);
    const std::string before = Catalogue();

    Command(command::kSwitchMode);
    ExpectLook(RestrictedLook(false));
    EXPECT_EQ(Frame().m_shownEntry, 0);
    EXPECT_TRUE(m_ui.shownDialogs.size() == 1) << "leaving asks no password";
    // The customer's next click on a free cell moves nothing.
    const POINT free = CellCentre(5, 1);
    ::SendMessageA(Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(free.x, free.y));
    EXPECT_FALSE(Frame().m_moveMode);
    EXPECT_TRUE(Catalogue() == before) << "icons.bin rewritten";
    EXPECT_EQ(m_app->m_catalogue->m_entries[0].column, 1);
}

TEST_F(ModesTest, CloseRequestsLeadToTheExitMenuOrTheShutdownChoiceNeverStraightOut) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    const struct {
        bool admin;
        int isRestart;
        unsigned major;
        bool shellDialog;
        std::vector<UINT> menu; // empty: no menu
        int shellDialogCalls;
    } cases[] = {
        {false, 1, 6, true, {400, 401}, 0},
        {false, 0, 6, true, {}, 0},
        {false, 1, 5, true, {}, 1},
        {false, 1, 5, false, {400, 401}, 0},
        {true, 0, 6, true, {300, 301, 302}, 0},
    };
    static int s_shellDialogCalls = 0;
    static HWND s_shellDialogOwner = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        m_app->m_adminMode = c.admin;
        m_app->isRestart = c.isRestart;
        m_actions.majorVersion = c.major;
        m_app->m_shutdownDialog = c.shellDialog ? +[](HWND owner) {
            ++s_shellDialogCalls;
            s_shellDialogOwner = owner;
        }
                                                : nullptr;
        s_shellDialogCalls = 0;
        m_ui.shownMenus.clear();
        ::SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
        PumpMessages(20);
        EXPECT_TRUE(::IsWindow(Hwnd()));
        std::vector<UINT> shownIds;
        for (const ShownMenu& menu : m_ui.shownMenus)
            for (UINT id : menu.Ids())
                shownIds.push_back(id);
        EXPECT_EQ(shownIds, c.menu);
        EXPECT_EQ(s_shellDialogCalls, c.shellDialogCalls);
        if (c.shellDialogCalls)
            EXPECT_EQ(s_shellDialogOwner, Hwnd());
    }
    EXPECT_TRUE(m_actions.calls.empty());
}

TEST_F(ModesTest, ShutdownCommandsFromOtherProgramsObeyTheRestriction) {
    // Any program can read mainhwnd and post these; the customer may shut down only when the
    // operator allows it.
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    for (int isRestart : {0, 1}) {
        SCOPED_TRACE(isRestart);
        m_app->isRestart = isRestart;
        m_actions.calls.clear();
        m_ui.shownMenus.clear();
        for (UINT id : {command::kShutdownChoice, command::kShutdownPc, command::kRebootPc})
            ::PostMessageA(Hwnd(), WM_COMMAND, id, 0);
        PumpMessages(20);
        EXPECT_EQ(m_ui.shownMenus.size(), isRestart ? 1u : 0u);
        const std::vector<std::string> asked = {"privilege", "exitwindows|0x15|0", "privilege",
                                                "exitwindows|0x16|0"};
        EXPECT_EQ(m_actions.calls, isRestart ? asked : std::vector<std::string>{});
    }
}

TEST_F(ModesTest, ShutdownAndRebootEnableThePrivilegeThenAskWindowsWithTheirFlags) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    Command(command::kShutdownPc);
    Command(command::kRebootPc);
    EXPECT_EQ(m_actions.calls, (std::vector<std::string>{"privilege", "exitwindows|0x15|0",
                                                         "privilege", "exitwindows|0x16|0"}));
}

TEST_F(ModesTest, ExitingDestroysTheWindowAndCanStartExplorerFirst) {
    for (UINT id : {command::kExit, command::kExitToExplorer}) {
        SCOPED_TRACE(id);
        WriteCatalogue(TwoTabs(), {"Office"});
        Start();
        HWND hwnd = Hwnd();
        // Only the operator leaves: the same command in restricted user mode is ignored.
        Command(id);
        EXPECT_TRUE(::IsWindow(hwnd));
        EXPECT_TRUE(m_actions.calls.empty());
        EnterAdminMode();
        Command(id);
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_EQ(m_app->MainHwnd(), nullptr);
        EXPECT_EQ(m_actions.calls, id == command::kExit
                                       ? std::vector<std::string>{}
                                       : std::vector<std::string>{"exec|explorer.exe|1"});
        TearDown();
        m_app.reset();
    }
}

TEST_F(ModesTest, ToolsHelpAndAboutFromTheirMenus) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    EnterAdminMode();
    Command(command::kToolsMenu);
    ASSERT_EQ(m_ui.shownMenus.size(), 1u);
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(m_ui.shownMenus[0].at.x, cursor.x);
    EXPECT_EQ(m_ui.shownMenus[0].owner, Hwnd());
    EXPECT_EQ(m_ui.shownMenus[0].flags, 0u);
    EXPECT_EQ(m_ui.shownMenus[0].items[3].second, "Desktop properties (DESK.CPL)");

    // "Program setup" opens a second menu once the first has closed.
    m_ui.menuAnswers = {command::kProgramSetup};
    Command(command::kToolsMenu);
    ASSERT_EQ(m_ui.shownMenus.size(), 3u);
    EXPECT_EQ(m_ui.shownMenus[2].Ids(),
              (std::vector<UINT>{200, 201, 202, 204, 206, 205, 207, 0, 203}));

    for (UINT id : {150u, 151u, 152u, 153u, 157u})
        Command(id);
    m_actions.windows9x = true;
    Command(157);
    EXPECT_EQ(
        m_actions.calls,
        (std::vector<std::string>{"exec|explorer.exe /e,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}|1",
                                  "exec|regedit.exe|1", "exec|notepad.exe|1",
                                  "exec|rundll32.exe shell32.dll,Control_RunDLL desk.cpl|1",
                                  "exec|rundll32.exe shell32.dll,Control_RunDLL ncpa.cpl|1",
                                  "exec|rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl|1"}));

    // Help opens korvane.chm beside the executable, and nothing without it.
    m_actions.calls.clear();
    const std::string chm = m_app->m_moduleDir + "\\korvane.chm";
    ::DeleteFileA(chm.c_str());
    Command(command::kHelp);
    EXPECT_TRUE(m_actions.calls.empty());
    WriteWholeFile(chm, "ITSF");
    Command(command::kHelp);
    ::DeleteFileA(chm.c_str());
    EXPECT_EQ(m_actions.calls, std::vector<std::string>{"help|" + chm});

    m_ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDOK); });
    Command(command::kAbout);
    ASSERT_EQ(m_ui.shownDialogs.size(), 2u);
    EXPECT_EQ(m_ui.shownDialogs[1].templateId, static_cast<UINT>(IDD_ABOUT));
}

TEST_F(ModesTest, GridAndTabMenusOnlyInAdminModeWithTheCellAndEntryRemembered) {
    WriteCatalogue(TwoTabs(), {"Office", "Games"});
    CMainFrame& frame = Start();
    const POINT icon = CellCentre(2, 0);
    const POINT free = CellCentre(4, 1);
    ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(icon.x, icon.y));
    EXPECT_TRUE(m_ui.shownMenus.empty()) << "restricted mode has no menus";

    EnterAdminMode();
    frame.m_moveMode = true;
    ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(icon.x, icon.y));
    EXPECT_FALSE(frame.m_moveMode);
    ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(free.x, free.y));
    ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10)); // the description pane
    ASSERT_EQ(m_ui.shownMenus.size(), 2u);
    EXPECT_EQ(m_ui.shownMenus[0].Ids(), (std::vector<UINT>{108, 109, 110}));
    EXPECT_EQ(m_ui.shownMenus[0].at.x, icon.x);
    EXPECT_EQ(m_ui.shownMenus[0].at.y, icon.y);
    EXPECT_EQ(m_ui.shownMenus[1].Ids(), (std::vector<UINT>{106}));
    EXPECT_EQ(frame.m_menuEntry, 1);
    EXPECT_EQ(frame.m_menuCell, (GridCell{4, 1}));

    // The tab menu: "Delete tab" only while there is more than one tab.
    TabCtrl& strip = frame.TabStrip();
    frame.OnRButtonUp(&strip, strip.GetTab(1), POINT{5, 6});
    frame.OnRButtonUp(&strip, nullptr, POINT{5, 6});
    ASSERT_EQ(m_ui.shownMenus.size(), 3u);
    EXPECT_EQ(m_ui.shownMenus[2].Ids(), (std::vector<UINT>{500, 501}));
    EXPECT_EQ(frame.m_tabMenuIndex, 1);
    m_app->m_catalogue->m_tabs.pop_back();
    frame.OnRButtonUp(&strip, strip.GetTab(0), POINT{5, 6});
    EXPECT_EQ(m_ui.shownMenus.back().Ids(), (std::vector<UINT>{500}));
}

TEST_F(ModesTest, ADoubleClickStartsTheProgramInItsFolderWithItsWindowSize) {
    TempFolder& files = m_files;
    const std::wstring program = CopyMarkerWriter(Wide(files.Path()) + L"\\bin", L"probe.exe");
    const std::string marker = files.File("started.where");
    std::string path(program.begin(), program.end());
    WriteCatalogue({{0, 0, 0, "Probe", "", "", path, marker + " two", "", 3},
                    {1, 0, 0, "Site", "", "", "C:\\links\\site.url", "x", "", 3},
                    {2, 0, 0, "Panel", "", "", "C:\\Tools\\net.cpl", "", "", 6}},
                   {"Office"});
    Start();
    m_actions.startForReal = true;
    const POINT at = CellCentre(0, 0);
    ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                   MAKELPARAM(CellCentre(1, 0).x, CellCentre(1, 0).y));
    ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                   MAKELPARAM(CellCentre(2, 0).x, CellCentre(2, 0).y));
    ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, // a free cell starts nothing
                   MAKELPARAM(CellCentre(5, 0).x, CellCentre(5, 0).y));

    // Paths the platform cannot start are tried once and forgotten, never overrun anything.
    const std::string longPath = "C:\\" + std::string(980, 'x') + "\\run.exe"; // 991 of 999
    m_app->m_catalogue->m_entries[2].column = 2;
    ProgramEntry odd = m_app->m_catalogue->m_entries[0];
    std::strcpy(odd.programPath, "nothere.exe");
    odd.column = 3;
    m_app->m_catalogue->AddEntry(odd);
    std::strcpy(odd.programPath, longPath.c_str());
    odd.column = 4;
    m_app->m_catalogue->AddEntry(odd);
    Frame().LayoutGrid();
    for (int column : {3, 4})
        ::SendMessageA(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                       MAKELPARAM(CellCentre(column, 0).x, CellCentre(column, 0).y));
    EXPECT_TRUE(::IsWindow(Hwnd()));

    const std::string folder = files.Path() + "\\bin";
    EXPECT_EQ(WaitForMarker(Wide(marker)), folder + "\n3\ntwo") << "folder, show command, args";
    EXPECT_EQ(m_actions.calls, (std::vector<std::string>{
                                   "start|" + path + " " + marker + " two|" + folder + "|0x230|3",
                                   "shell|C:\\links\\site.url|x|C:\\links|1",
                                   "shell|C:\\Tools\\net.cpl||C:\\Tools|1",
                                   "start|nothere.exe " + marker + " two||0x230|3",
                                   "start|" + longPath + " " + marker + " two|" +
                                       longPath.substr(0, longPath.size() - 8) + "|0x230|3"}));
}

} // namespace

namespace {

TEST_F(ModesTest, SetupCommandsWriteTheirValuesInOrderAndACancelWritesNothing) {
    WriteCatalogue(TwoTabs(), {"Office"});
    Start();
    EnterAdminMode();
    m_app->m_settings.WriteString("backgroundBitmap", "C:\\pictures\\old.bmp");
    m_app->backgroundBitmap = "C:\\pictures\\old.bmp";
    m_app->isBitmap = 1;
    std::vector<std::string> written;
    m_app->m_settings.SetWriteLog(&written);
    const std::vector<std::string> fontValues = {
        "fontheight",         "fontwidth",        "fontescapement",    "fontorientation",
        "fontweight",         "fontitalic",       "fontunderline",     "fontstrikeout",
        "fontcharset",        "fontoutprecision", "fontclipprecision", "fontquality",
        "fontpitchandfamily", "fontfacename",     "fontcolor"};
    LOGFONTA chosen{};
    chosen.lfHeight = -21;
    chosen.lfWeight = FW_BOLD;
    chosen.lfItalic = 1;
    std::strcpy(chosen.lfFaceName, "Tahoma");
    bool restrictionsChecked = true;
    const struct {
        UINT id;
        std::function<void()> answerOk;
        std::function<void()> answerCancel;
        std::vector<std::string> writes;
    } cases[] = {
        {command::kIconFont,
         [&] {
             m_ui.fontAnswers.push_back({{chosen, 0x123456}});
         },
         [&] { m_ui.fontAnswers.push_back(std::nullopt); }, fontValues},
        {command::kDescriptionColour,
         [&] { m_ui.colourAnswers.push_back(0x00FF00); },
         [&] { m_ui.colourAnswers.push_back(std::nullopt); },
         {"ofcolor"}},
        {command::kBackground,
         [&] {
             m_ui.colourAnswers.push_back(0x0000FF);
             m_ui.dialogScripts.push_back([](HWND d) {
                 ClickButton(d, IDC_CLEAN_PICTURE);
                 ClickButton(d, IDC_CAPTION_BACK_COLOUR);
                 ClickButton(d, IDC_FULL_SCREEN);
                 ClickButton(d, IDOK);
             });
         },
         [&] {
             m_ui.colourAnswers.push_back(0x00FFFF);
             m_ui.dialogScripts.push_back([](HWND d) {
                 ClickButton(d, IDC_DESKTOP_COLOUR);
                 ClickButton(d, IDCANCEL);
             });
         },
         {"isBitmap", "backgroundBitmap", "cvetfona", "cveticon", "fullscreen", "ofback"}},
        {command::kPassword,
         [&] { m_ui.dialogScripts.push_back(TypePassword("n3w")); },
         [&] { m_ui.dialogScripts.push_back([](HWND d) { PressKey(d, VK_ESCAPE); }); },
         {"passwordhash", "-password"}},
        {command::kRestrictions,
         [&] {
             m_ui.dialogScripts.push_back([&](HWND d) {
                 restrictionsChecked = IsItemChecked(d, IDC_DISABLE_EXIT);
                 ClickButton(d, IDC_DISABLE_EXIT);
                 ClickButton(d, IDOK);
             });
         },
         [&] {
             m_ui.dialogScripts.push_back([](HWND d) {
                 ClickButton(d, IDC_DISABLE_EXIT);
                 ClickButton(d, IDCANCEL);
             });
         },
         {"isRestart", "lockdown"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        written.clear();
        c.answerCancel();
        Command(c.id);
        EXPECT_TRUE(written.empty()) << "cancelled";
        c.answerOk();
        Command(c.id);
        EXPECT_EQ(written, c.writes);
    }
    EXPECT_EQ(m_ui.fontFlags, (std::vector<DWORD>{0x10141, 0x10141}));
    EXPECT_EQ(m_ui.colourFlags.size(), 4u);
    EXPECT_EQ(m_ui.colourFlags.back(), static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN));
    // The background: the picture cleaned, one colour changed, stretched; the cancelled
    // desktop colour never arrived.
    EXPECT_EQ(m_app->isBitmap, 0);
    EXPECT_EQ(m_app->backgroundBitmap, "");
    EXPECT_EQ(RawSetting("isBitmap"), std::string("\0\0\0\0", 4));
    EXPECT_EQ(RawSetting("cveticon"), std::string("\xFF\0\0\0", 4));
    EXPECT_EQ(m_app->cvetfona, 0x600000);
    EXPECT_EQ(m_app->fullscreen, 1);
    EXPECT_EQ(RawSetting("fontfacename"), std::string("Tahoma") + '\0');
    EXPECT_EQ(RawSetting("fontheight"), std::string("\xEB\xFF\xFF\xFF", 4));
    EXPECT_EQ(RawSetting("fontitalic"), std::string("\x01", 1));
    EXPECT_EQ(m_app->fontcolor, 0x123456);
    EXPECT_EQ(m_app->m_logFont.lfWeight, FW_BOLD);
    LOGFONTA made{};
    ::GetObjectA(m_app->m_captionFont.Get(), sizeof(made), &made);
    EXPECT_STREQ(made.lfFaceName, "Tahoma") << "captions are drawn in the new font";
    EXPECT_EQ(m_app->ofcolor, 0x00FF00);
    const std::string verifier = RawSetting("passwordhash");
    EXPECT_TRUE(VerifierAccepts(verifier.substr(0, verifier.find('\0')), "n3w")) << verifier;
    EXPECT_EQ(RawSetting("password"), "<missing>");
    EXPECT_FALSE(restrictionsChecked) << "isRestart 1 shows the box unchecked";
    EXPECT_EQ(m_app->isRestart, 0);
    EXPECT_EQ(RawSetting("isRestart"), std::string("\0\0\0\0", 4));
    m_app->m_settings.SetWriteLog(nullptr);
}

} // namespace
