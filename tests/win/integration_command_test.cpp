// Integration into the system against the real registry of the test prefix.
#include "app/crash_recovery.h"
#include "app/integration.h"
#include "app/integration_dialog.h"
#include "app/integration_rules.h"
#include "framework/win_app.h"
#include "resource.h"
#include "support/test_dialog.h"
#include "support/test_launch_support.h"
#include "support/test_saved_registry.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kWinlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kOtherShell = L"C:\\Shells\\other shell.exe";

class IntegrationTest : public testing::Test {
protected:
    std::wstring Shell() {
        std::wstring text;
        return ReadString(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", text) ? text : L"<missing>";
    }
    DWORD EnableLua() {
        DWORD value = 0xDEAD;
        return ReadDword(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA", value) ? value : 0xDEAD;
    }
    void SetShell(const std::wstring& text) {
        WriteString(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", text);
    }

    SavedRegistryValue m_savedShell{HKEY_LOCAL_MACHINE, kWinlogon, L"Shell"};
    SavedRegistryValue m_savedLua{HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA"};
};

TEST_F(IntegrationTest, AnyShellButTheStandardDesktopReadsAsIntegrated) {
    const struct {
        const wchar_t* shell; // null: value missing
        bool integrated;
    } cases[] = {
        {L"Explorer.EXE", false},
        {L"\"Explorer.EXE\"", false},
        {kOtherShell.c_str(), true},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        if (c.shell)
            SetShell(c.shell);
        else
            DeleteValue(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell");
        EXPECT_EQ(IsIntegrated(), c.integrated);
    }
    // Longer than the 1024-byte buffer: unreadable, so not integrated.
    SetShell(L"C:\\" + std::wstring(1100, L'x') + L".exe");
    EXPECT_FALSE(IsIntegrated());
}

TEST_F(IntegrationTest, IntegratingWritesThisProgramQuotedAndSwitchesUacOffUndoingKeepsUac) {
    WriteDword(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA", 1);
    SetIntegration(true);
    EXPECT_EQ(Shell(), L"\"" + Wide(ModulePath()) + L"\"");
    EXPECT_EQ(EnableLua(), 0u);
    EXPECT_TRUE(IsIntegrated());
    // The watcher's test of whether it runs as the log-on shell, on what was just written.
    const std::optional<std::string> written = ReadWinlogonShell();
    ASSERT_TRUE(written);
    EXPECT_TRUE(ShellValueNamesProgram(*written, ModulePath()));

    WriteDword(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA", 1);
    SetIntegration(false);
    EXPECT_EQ(Shell(), L"explorer.exe");
    EXPECT_EQ(EnableLua(), 1u);
    EXPECT_FALSE(IsIntegrated());
}

struct DialogView {
    std::string caption;
    std::string checkText;
    std::string warning;
    bool checked = false;
    bool warningReadOnly = false;
};

DialogScript Look(DialogView& view, bool toggle, std::function<void(HWND)> finish) {
    return [&view, toggle, finish](HWND dialog) {
        view.caption = WindowText(dialog);
        view.checkText = ItemText(dialog, IDC_INTEGRATE);
        view.warning = ItemText(dialog, IDC_INTEGRATION_WARNING);
        view.checked = IsItemChecked(dialog, IDC_INTEGRATE);
        view.warningReadOnly =
            (::GetWindowLongPtrA(::GetDlgItem(dialog, IDC_INTEGRATION_WARNING), GWL_STYLE) &
             ES_READONLY) != 0;
        if (toggle)
            ClickButton(dialog, IDC_INTEGRATE);
        finish(dialog);
    };
}

TEST_F(IntegrationTest, CheckingTheBoxAndOkMakesThisProgramTheShell) {
    SetShell(L"Explorer.EXE");
    WriteDword(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA", 1);
    ScriptedModalUi ui;
    DialogView view;
    ui.dialogScripts.push_back(Look(view, true, [](HWND d) { ClickButton(d, IDOK); }));

    RunIntegrationCommand(nullptr, 6);

    ASSERT_EQ(ui.shownDialogs.size(), 1u);
    EXPECT_EQ(ui.shownDialogs[0].templateId, static_cast<UINT>(IDD_INTEGRATION));
    EXPECT_EQ(ui.shownDialogs[0].result, IDOK);
    EXPECT_FALSE(view.checked);
    EXPECT_EQ(view.caption, "Integration to system");
    EXPECT_EQ(view.checkText, "Integration to system");
    EXPECT_EQ(view.warning, IntegrationWarningText());
    EXPECT_TRUE(view.warningReadOnly);
    EXPECT_EQ(Shell(), L"\"" + Wide(ModulePath()) + L"\"");
    EXPECT_EQ(EnableLua(), 0u);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(IntegrationTest, UncheckingTheBoxAndOkRestoresExplorerAndLeavesUac) {
    SetShell(kOtherShell);
    WriteDword(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA", 1);
    ScriptedModalUi ui;
    DialogView view;
    ui.dialogScripts.push_back(Look(view, true, [](HWND d) { PressKey(d, VK_RETURN); }));

    RunIntegrationCommand(nullptr); // the real version: Wine reports a supported one

    EXPECT_TRUE(view.checked);
    EXPECT_EQ(Shell(), L"explorer.exe");
    EXPECT_EQ(EnableLua(), 1u);
}

TEST_F(IntegrationTest, CancelWritesNothingWhateverTheBoxShows) {
    SetShell(kOtherShell);
    DeleteValue(HKEY_LOCAL_MACHINE, kPolicy, L"EnableLUA");
    ScriptedModalUi ui;
    DialogView first, second;
    ui.dialogScripts.push_back(Look(first, true, [](HWND d) { ClickButton(d, IDCANCEL); }));
    // Escape while the read-only warning has the focus.
    ui.dialogScripts.push_back(Look(second, true, [](HWND d) {
        ::SetFocus(::GetDlgItem(d, IDC_INTEGRATION_WARNING));
        PressKey(d, VK_ESCAPE);
    }));
    SetShell(L"explorer.exe");
    RunIntegrationCommand(nullptr, 6);
    SetShell(kOtherShell);
    RunIntegrationCommand(nullptr, 6);

    ASSERT_EQ(ui.shownDialogs.size(), 2u);
    EXPECT_EQ(ui.shownDialogs[0].result, IDCANCEL);
    EXPECT_EQ(ui.shownDialogs[1].result, IDCANCEL);
    EXPECT_FALSE(first.checked);
    EXPECT_TRUE(second.checked);
    EXPECT_EQ(Shell(), kOtherShell);
    EXPECT_EQ(EnableLua(), 0xDEADu) << "EnableLUA must not have been created";
}

TEST_F(IntegrationTest, OldWindowsGetsOnlyAMessage) {
    SetShell(L"explorer.exe");
    HWND owner = ::CreateWindowExA(0, "STATIC", "desktop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ScriptedModalUi ui;
    ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDOK); });

    RunIntegrationCommand(owner, 4);

    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "For Windows 2000/XP/Vista only");
    EXPECT_EQ(ui.shown[0].caption, ApplicationName());
    EXPECT_EQ(ui.shown[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(ui.shown[0].owner, owner);
    EXPECT_TRUE(ui.shownDialogs.empty());
    EXPECT_EQ(Shell(), L"explorer.exe");
    ::DestroyWindow(owner);
}

} // namespace
