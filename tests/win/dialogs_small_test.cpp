// The four small dialogs, run for real through the modal-UI service and driven with messages.
#include "dialogs/about_program.h"
#include "dialogs/password_dialog.h"
#include "dialogs/restrictions_dialog.h"
#include "dialogs/tab_plus_dialog.h"
#include "resource.h"
#include "support/test_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// What a script saw of the dialog before it acted.
struct Seen {
    std::string caption;
    std::string editText;
    bool checked = false;
    LONG_PTR editStyle = 0;
    LRESULT passwordChar = 0;
};

TEST(PasswordDialog, ReturnsExactlyWhatWasTypedMasked) {
    for (const std::string& typed : {std::string("  s3cret pass "), std::string()}) {
        SCOPED_TRACE("typed '" + typed + "'");
        ScriptedModalUi ui;
        Seen seen;
        std::string before = "<not seen>";
        ui.dialogScripts.push_back([&](HWND dialog) {
            HWND edit = ::GetDlgItem(dialog, IDC_PASSWORD);
            before = WindowText(edit);
            seen.caption = WindowText(dialog);
            seen.editStyle = ::GetWindowLongPtrA(edit, GWL_STYLE);
            seen.passwordChar = ::SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0);
            TypeText(edit, typed);
            seen.editText = WindowText(edit);
            PressKey(dialog, VK_RETURN);
        });
        CPasswordDialog dialog;

        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(before, "");
        EXPECT_EQ(dialog.m_password, typed);
        EXPECT_EQ(seen.caption, "Enter password");
        EXPECT_EQ(seen.editText, typed);
        EXPECT_TRUE(seen.editStyle & ES_PASSWORD);
        EXPECT_TRUE(seen.editStyle & ES_CENTER);
        EXPECT_NE(seen.passwordChar, 0) << "typed characters must be shown masked";
        ASSERT_EQ(ui.shownDialogs.size(), 1u);
        EXPECT_EQ(ui.shownDialogs[0].templateId, static_cast<UINT>(IDD_PASSWORD));
    }
}

TEST(PasswordDialog, EscapeAndTheCloseBoxCancelAndLeaveThePasswordAlone) {
    ScriptedModalUi ui;
    bool hasCancelButton = true;
    ui.dialogScripts.push_back([&](HWND dialog) {
        hasCancelButton = ::GetDlgItem(dialog, IDCANCEL) != nullptr;
        TypeText(::GetDlgItem(dialog, IDC_PASSWORD), "typed");
        PressKey(dialog, VK_ESCAPE);
    });
    ui.dialogScripts.push_back([](HWND dialog) {
        TypeText(::GetDlgItem(dialog, IDC_PASSWORD), "typed");
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    for (int run = 0; run < 2; ++run) {
        CPasswordDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "run " << run;
        EXPECT_EQ(dialog.m_password, "") << "run " << run;
    }
    EXPECT_FALSE(hasCancelButton);
    EXPECT_EQ(ui.shownDialogs.size(), 2u);
}

TEST(RestrictionsDialog, ShowsAndReturnsTheCheckBoxOnlyOnOk) {
    const struct {
        int initial;
        bool toggle;
        UINT key;
        INT_PTR result;
        int after;
    } cases[] = {
        {0, true, VK_RETURN, IDOK, 1},     {1, false, VK_RETURN, IDOK, 1},
        {1, true, VK_RETURN, IDOK, 0},     {0, true, VK_ESCAPE, IDCANCEL, 0},
        {1, true, VK_ESCAPE, IDCANCEL, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        ScriptedModalUi ui;
        Seen seen;
        std::string checkText, okText, cancelText;
        ui.dialogScripts.push_back([&](HWND dialog) {
            seen.caption = WindowText(dialog);
            seen.checked = IsItemChecked(dialog, IDC_DISABLE_EXIT);
            checkText = ItemText(dialog, IDC_DISABLE_EXIT);
            okText = ItemText(dialog, IDOK);
            cancelText = ItemText(dialog, IDCANCEL);
            if (c.toggle)
                ClickButton(dialog, IDC_DISABLE_EXIT);
            PressKey(dialog, c.key);
        });
        CRestrictionsDlg dialog;
        dialog.m_disableExit = c.initial;

        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.m_disableExit, c.after);
        EXPECT_EQ(seen.checked, c.initial == 1);
        EXPECT_EQ(seen.caption, "Restrictions");
        EXPECT_EQ(checkText, "Disable 'exit' button for user");
        EXPECT_EQ(okText, "OK");
        EXPECT_EQ(cancelText, "Cancel");
    }
}

TEST(TabNameDialog, NewTabAndRenameDifferOnlyInCaptionAndStartingTextCancelKeepsTheName) {
    const struct {
        bool isNew;
        const char* current;
        const char* caption;
        bool clear;
        const char* typed;
        int button;
        const char* returned;
    } cases[] = {
        {true, "", "Enter new tab name", false, "  Games  ", IDOK, "  Games  "},
        {true, "", "Enter new tab name", false, "", IDOK, ""},
        {false, "Office", "Edit tab name", false, " 2", IDOK, "Office 2"},
        {false, "Office", "Edit tab name", true, "", IDOK, ""},
        {false, "Office", "Edit tab name", true, "changed", IDCANCEL, "Office"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        ScriptedModalUi ui;
        Seen seen;
        ui.dialogScripts.push_back([&](HWND dialog) {
            HWND edit = ::GetDlgItem(dialog, IDC_TAB_NAME);
            seen.caption = WindowText(dialog);
            seen.editText = WindowText(edit);
            if (c.clear)
                ClearText(edit);
            ::SetFocus(edit);
            ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1); // caret at the end
            TypeText(edit, c.typed);
            ClickButton(dialog, c.button);
        });
        CTabPlusDlg dialog;
        dialog.m_isNewTab = c.isNew;
        dialog.m_tabName = c.current;

        EXPECT_EQ(dialog.DoModal(), c.button);
        EXPECT_EQ(dialog.m_tabName, c.returned);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.editText, c.current);
    }
}

TEST(AboutDialog, ShowsTheVersionAndNoticeLines) {
    ScriptedModalUi ui;
    std::string caption, version, notice, extra;
    LONG_PTR versionStyle = 0;
    ui.dialogScripts.push_back([&](HWND dialog) {
        caption = WindowText(dialog);
        version = ItemText(dialog, IDC_ABOUT_VERSION);
        notice = ItemText(dialog, IDC_ABOUT_NOTICE);
        extra = ItemText(dialog, IDC_ABOUT_EXTRA);
        versionStyle = ::GetWindowLongPtrA(::GetDlgItem(dialog, IDC_ABOUT_VERSION), GWL_STYLE);
        PressKey(dialog, VK_RETURN);
    });
    AboutProgram dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(caption, "About program");
    EXPECT_EQ(version, "'Shell' Version 1.23");
    EXPECT_EQ(notice, AboutProgram::kNotice);
    EXPECT_EQ(extra, "");
    EXPECT_EQ(versionStyle & SS_TYPEMASK, SS_CENTER);
    EXPECT_TRUE(versionStyle & SS_CENTERIMAGE);
}

} // namespace
