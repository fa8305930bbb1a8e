// The modal dialog base: where it runs, and that nothing thrown inside escapes its procedure.
#include "framework/dialog.h"
#include "framework/win_app.h"
#include "resource.h"
#include "support/test_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ThrowingDialog : public Dialog {
public:
    explicit ThrowingDialog(bool throwOnInit) : Dialog(IDD_TAB_NAME), m_throwOnInit(throwOnInit) {}
    std::string m_text = "kept";

protected:
    BOOL OnInitDialog() override {
        if (m_throwOnInit)
            throw std::runtime_error("init failed");
        return Dialog::OnInitDialog();
    }
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(IDC_TAB_NAME, m_text);
        if (dx.Saving())
            throw std::runtime_error("exchange failed");
    }

private:
    bool m_throwOnInit;
};

TEST(DialogBase, AnExceptionEndsTheDialogWithAReportAndNeverReadsAsOk) {
    for (const bool onInit : {true, false}) {
        SCOPED_TRACE(onInit ? "thrown in init" : "thrown in OK");
        ScriptedModalUi ui;
        ui.dialogScripts.push_back([](HWND dialog) { ClickButton(dialog, IDOK); });
        ThrowingDialog dialog(onInit);
        const INT_PTR result = dialog.DoModal();
        EXPECT_EQ(result, -1);
        EXPECT_EQ(dialog.Hwnd(), nullptr);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_NE(ui.shown[0].text.find(onInit ? "init failed" : "exchange failed"),
                  std::string::npos)
            << ui.shown[0].text;
    }
}

TEST(DialogBase, OpensCentredOverItsOwnerAndDisablesIt) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ScriptedModalUi ui;
    RECT dialogRect{};
    BOOL ownerEnabled = TRUE;
    HWND seenOwner = nullptr;
    ui.dialogScripts.push_back([&](HWND dialog) {
        ::GetWindowRect(dialog, &dialogRect);
        ownerEnabled = ::IsWindowEnabled(owner);
        seenOwner = ::GetWindow(dialog, GW_OWNER);
        PressKey(dialog, VK_ESCAPE);
    });
    Dialog dialog(IDD_ABOUT);
    EXPECT_EQ(dialog.DoModal(owner), IDCANCEL);
    EXPECT_EQ(seenOwner, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    const int centreX = (dialogRect.left + dialogRect.right) / 2;
    const int centreY = (dialogRect.top + dialogRect.bottom) / 2;
    EXPECT_NEAR(centreX, 100 + 300, 1);
    EXPECT_NEAR(centreY, 80 + 200, 1);
    ::DestroyWindow(owner);
}

} // namespace
