// Start-up and exit of the application object, in-process, against the real Wine system.
#include "app/app.h"
#include "catalogue/icons.h"
#include "support/test_app.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD PublishedHandle() {
    DWORD value = 0, size = sizeof(value), type = 0;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane", 0, KEY_READ | KEY_WOW64_64KEY,
                        &key) != ERROR_SUCCESS)
        return 0;
    ::RegQueryValueExA(key, "mainhwnd", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return type == REG_DWORD ? value : 0;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(DataFolder());
        ::RemoveDirectoryA((DataFolder() + "\\..").c_str());
    }
    void TearDown() override { DeleteTree(DataFolder()); }

    static void Finish(CApp& app) {
        FinishApp(app);
        PumpMessages();
    }

    ScopedRegistryKeyReset m_settingsReset{"Software\\Korvane"};
    ScriptedModalUi m_ui;
};

TEST_F(StartupTest, BringsUpTheFullScreenDesktopAndPublishesItsHandle) {
    TestApp app;
    ASSERT_TRUE(app.InitInstance());

    EXPECT_EQ(::GetFileAttributesA(DataFolder().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(app.m_catalogPath, DataFolder() + "\\icons.bin");
    ASSERT_TRUE(app.m_catalogue);
    EXPECT_EQ(app.m_catalogue->m_tabs, std::vector<std::string>{"Programs"});
    EXPECT_EQ(app.m_catalogue->m_count, 0);

    HWND hwnd = app.MainHwnd();
    ASSERT_TRUE(hwnd);
    char title[32] = {};
    ::GetWindowTextA(hwnd, title, sizeof(title));
    EXPECT_STREQ(title, "SHELL");
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(::GetParent(hwnd), nullptr);
    EXPECT_EQ(::GetMenu(hwnd), nullptr);
    EXPECT_EQ(::GetForegroundWindow(), hwnd) << "shown but never activated";
    EXPECT_EQ(::GetFocus(), hwnd);

    RECT screen, window;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    ::GetWindowRect(hwnd, &window);
    EXPECT_TRUE(::EqualRect(&screen, &window));
    EXPECT_EQ(app.m_screenWidth, screen.right);
    EXPECT_EQ(app.m_screenHeight, screen.bottom);

    EXPECT_TRUE(::SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_TRUE(::SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(PublishedHandle(), static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(hwnd)));
    EXPECT_EQ(app.m_adminMode, 0);
    EXPECT_TRUE(::KillTimer(hwnd, CApp::kRepaintTimer)) << "timer 1 was not running";
    EXPECT_TRUE(m_ui.shown.empty());

    // Closing requests are ignored: only the exit commands end the desktop.
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(hwnd));
    Finish(app);
}

TEST_F(StartupTest, ASecondInstanceReadsTheCatalogueAndEndsSilently) {
    TestApp first;
    ASSERT_TRUE(first.InitInstance());

    TestApp second;
    second.taskbar = false;
    EXPECT_FALSE(second.InitInstance());
    EXPECT_TRUE(second.m_catalogue) << "the catalogue is read before the instance check";
    EXPECT_EQ(second.MainHwnd(), nullptr);
    EXPECT_TRUE(second.shellCalls.empty());
    EXPECT_TRUE(m_ui.shown.empty());
    second.ExitInstance();
    Finish(first);
}

TEST_F(StartupTest, AnOldFormatCatalogueIsEmptiedAndReportedOnce) {
    MakeDataFolder();
    // Version 0 with three entries of the old layout.
    WriteWholeFile(DataFolder() + "\\icons.bin",
                   std::string("\x03\0\0\0", 4) + std::string(100, 'x'));

    for (int start = 0; start < 2; ++start) {
        TestApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(app.m_catalogue->m_count, 0);
        EXPECT_EQ(app.m_catalogue->m_tabs, std::vector<std::string>{"Programs"});
        Finish(app);
    }
    EXPECT_EQ(ReadWholeFile(DataFolder() + "\\icons.bin").size(), 0u);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].text, Icons::kOldFormatWarning);
    EXPECT_EQ(m_ui.shown[0].caption, "<null>");
    EXPECT_EQ(m_ui.shown[0].owner, nullptr);
    EXPECT_EQ(m_ui.shown[0].type, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(StartupTest, LogOnProgramsStartOnlyWithoutATaskbarAndAfterTheWindowShows) {
    {
        TestApp withTaskbar;
        ASSERT_TRUE(withTaskbar.InitInstance());
        EXPECT_EQ(withTaskbar.m_taskbarFound, 1);
        EXPECT_TRUE(withTaskbar.shellCalls.empty());
        Finish(withTaskbar);
    }
    TestApp asShell;
    asShell.taskbar = false;
    ASSERT_TRUE(asShell.InitInstance());
    EXPECT_EQ(asShell.m_taskbarFound, 0);
    ASSERT_EQ(asShell.shellCalls.size(), 2u);
    EXPECT_EQ(asShell.shellCalls[0].what, "folders");
    EXPECT_EQ(asShell.shellCalls[1].what, "keys");
    EXPECT_TRUE(asShell.shellCalls[0].frameVisible);
    Finish(asShell);
}

TEST_F(StartupTest, ACrashReporterThatCannotInstallIsReportedAndNothingStarts) {
    TestApp app;
    app.failCrashReporter = true;
    app.taskbar = false;
    EXPECT_EQ(app.Run(), 0) << "no window: the loop ends at once";
    EXPECT_EQ(app.MainHwnd(), nullptr);
    EXPECT_FALSE(app.m_catalogue);
    EXPECT_TRUE(app.shellCalls.empty());
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].caption, "crInstall error");
    EXPECT_EQ(m_ui.shown[0].type, static_cast<UINT>(MB_OK));
    EXPECT_FALSE(m_ui.shown[0].text.empty());
}

TEST_F(StartupTest, WithoutACommonDataFolderCatalogueAndCrashReportsLiveBesideTheProgram) {
    TestApp app;
    app.realCrashReporter = true;
    app.noCommonDataFolder = true;
    const bool started = app.InitInstance();
    const std::string folder = app.m_moduleDir + "\\Quillmoran\\Shell";
    const std::string crashes = crCrashFolder();
    Finish(app); // uninstalls the reporter before anything can fail
    DeleteTree(folder);
    ::RemoveDirectoryA((app.m_moduleDir + "\\Quillmoran").c_str());

    EXPECT_TRUE(started);
    EXPECT_TRUE(m_ui.shown.empty()) << m_ui.shown[0].caption << ": " << m_ui.shown[0].text;
    EXPECT_EQ(app.m_catalogPath, folder + "\\icons.bin");
    EXPECT_TRUE(app.m_catalogue);
    EXPECT_EQ(crashes, folder + "\\Crashes");
}

TEST_F(StartupTest, TheMessageLoopEndsWhenTheDesktopWindowIsDestroyed) {
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    static HWND s_target;
    s_target = app.MainHwnd();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        ::DestroyWindow(s_target);
    });
    ASSERT_NE(timer, 0u);
    app.MessageLoop();
    EXPECT_FALSE(::IsWindow(s_target));
    EXPECT_EQ(app.MainHwnd(), nullptr);
    app.ExitInstance();
}

} // namespace
