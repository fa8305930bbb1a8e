// Attaching an object to a system control and taking it off again, also when another
// procedure was put over ours in the meantime.
#include "framework/subclass.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kPing = WM_APP + 7;

class CountingControl : public SubclassedWindow {
public:
    int pings = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPing)
            ++pings;
        return Default(message, wParam, lParam);
    }
};

WNDPROC g_foreignNext = nullptr;
LRESULT CALLBACK ForeignProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(g_foreignNext, hwnd, message, wParam, lParam);
}

std::string Text(HWND hwnd) {
    char text[32] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

TEST(Subclass, AttachHandsMessagesOnAndDetachGivesTheWindowBackEvenUnderAnotherProcedure) {
    HWND edit = ::CreateWindowExA(0, "EDIT", "text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR own = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);

    CountingControl control;
    ASSERT_TRUE(control.Attach(edit));
    EXPECT_FALSE(CountingControl().Attach(edit)) << "one object per window";
    ::SendMessageA(edit, kPing, 0, 0);
    ::SetWindowTextA(edit, "changed");
    EXPECT_EQ(control.pings, 1);
    EXPECT_EQ(Text(edit), "changed") << "the control's own procedure still answers";
    EXPECT_EQ(control.Detach(), edit);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), own);
    ::SendMessageA(edit, kPing, 0, 0);
    EXPECT_EQ(control.pings, 1);

    // Another procedure over ours: ours cannot come out, so it stays, only handing on, and the
    // window is not taken again.
    ASSERT_TRUE(control.Attach(edit));
    g_foreignNext = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    control.Detach();
    ::SendMessageA(edit, kPing, 0, 0);
    ::SetWindowTextA(edit, "still");
    EXPECT_EQ(control.pings, 1);
    EXPECT_EQ(Text(edit), "still");
    EXPECT_FALSE(control.Attach(edit));
    EXPECT_TRUE(::DestroyWindow(edit));
}

} // namespace
