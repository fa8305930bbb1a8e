// The focus and keyboard hooks: who hears of focus changes and key presses, and when.
#include "controls/tabctrl/activity_hook.h"
#include "controls/tabctrl/keyboard_hook.h"
#include "support/tabctrl_test_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct ActivityLog : ActivityHook::INotify {
    std::vector<std::pair<bool, HWND>> events;
    void OnActive(bool active, HWND wnd) override { events.emplace_back(active, wnd); }
};

struct KeyLog : KeyboardHook::Notify {
    std::vector<UINT> keys;
    bool removeSelf = false;
    void OnKeyDown(UINT key, UINT) override {
        keys.push_back(key);
        if (removeSelf)
            KeyboardHook::Instance().RemoveListener(this);
    }
};

// Types each key (down, then up) into the foreground window and lets the hooks hear it.
void Type(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = key;
            in.ki.dwFlags = flags;
            inputs.push_back(in);
        }
    }
    ASSERT_EQ(inputs.size(),
              ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
    PumpMessages(200);
}

// A shown pop-up (no caption, so hiding it costs nothing) with two edit boxes in a group and
// one outside it.
struct FocusWindows {
    FocusWindows() : host(300, 100, true) {
        top = host.parent;
        group = ::CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                  200, 100, top, nullptr, nullptr, nullptr);
        first = Edit(group, 0);
        second = Edit(group, 40);
        outside = Edit(top, 220);
    }
    static HWND Edit(HWND parent, int x) {
        return ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, x, 0, 30, 20, parent,
                                 nullptr, nullptr, nullptr);
    }
    tabtest::Host host;
    HWND top, group, first, second, outside;
};

} // namespace

TEST(TabCtrlHooks, ActivityFollowsFocusInAndOutOfTheWatchedWindow) {
    FocusWindows w;
    ActivityLog log;
    ::SetFocus(w.outside);
    ASSERT_EQ(w.outside, ::GetFocus());
    ASSERT_TRUE(ActivityHook::Instance().AddListener(&log, w.group));
    ::SetFocus(w.first);  // into the group
    ::SetFocus(w.second); // within it: out of first, into second
    ::SetFocus(w.outside);
    ActivityHook::Instance().RemoveListener(&log);
    ::SetFocus(w.first); // no longer listening
    const std::vector<std::pair<bool, HWND>> expected{
        {true, w.first}, {false, w.first}, {true, w.second}, {false, w.second}};
    EXPECT_EQ(expected, log.events);
}

TEST(TabCtrlHooks, ActivityKeepsOneEntryWithTheLastWindow) {
    FocusWindows w;
    ActivityLog log;
    ::SetFocus(w.outside);
    ActivityHook& hook = ActivityHook::Instance();
    ASSERT_TRUE(hook.AddListener(&log, w.first));
    ASSERT_TRUE(hook.AddListener(&log, w.second));
    EXPECT_TRUE(hook.HasListener(&log));
    ::SetFocus(w.first); // the first window is no longer watched
    ::SetFocus(w.second);
    hook.RemoveListener(&log);
    EXPECT_FALSE(hook.HasListener(&log));
    hook.RemoveListener(&log); // absent: no effect
    EXPECT_EQ((std::vector<std::pair<bool, HWND>>{{true, w.second}}), log.events);
}

TEST(TabCtrlHooks, KeyboardHearsKeyDownsOnlyAndListenersMayLeave) {
    FocusWindows w;
    // Typed keys go to the foreground window only.
    ::SetForegroundWindow(w.top);
    PumpMessages(100);
    ::SetFocus(w.first);
    KeyLog stays;
    KeyLog leaves;
    leaves.removeSelf = true;
    KeyboardHook& hook = KeyboardHook::Instance();
    ASSERT_TRUE(hook.AddListener(&stays));
    ASSERT_TRUE(hook.AddListener(&stays)); // no duplicate
    ASSERT_TRUE(hook.AddListener(&leaves));

    Type({'A', VK_ESCAPE});
    hook.RemoveListener(&stays);
    EXPECT_FALSE(hook.HasListener(&stays));

    EXPECT_EQ((std::vector<UINT>{'A', VK_ESCAPE}), stays.keys);
    EXPECT_EQ((std::vector<UINT>{'A'}), leaves.keys);
}

TEST(TabCtrlHooks, EscapeKeyCancelsATabDrag) {
    tabtest::Host host(400, 100, true);
    ASSERT_TRUE(host.Create());
    host.ctrl->SetTabsDragging(true);
    TabItem* a = host.AddTab("A");
    host.AddTab("B");
    host.ctrl->Update();
    ::SetForegroundWindow(host.parent);
    PumpMessages(100);
    ::SetFocus(host.ctrl->Hwnd());
    const POINT pa = host.Centre(a);
    host.PressAndMove(pa, 4);
    ASSERT_TRUE(host.ctrl->IsDragging());
    const RECT rb = host.ctrl->GetTabRect(host.ctrl->GetTab(1));
    host.Move(rb.right - 1, pa.y, MK_LBUTTON);
    ASSERT_EQ("B,A", host.Order());

    Type({VK_ESCAPE});
    EXPECT_FALSE(host.ctrl->IsDragging());
    EXPECT_EQ("A,B", host.Order());
    EXPECT_FALSE(KeyboardHook::Instance().HasListener(host.ctrl.get()));
}

TEST(TabCtrlHooks, WatchingActivityDrawsTheSelectedTabActive) {
    tabtest::Host host(400, 100, true);
    ASSERT_TRUE(host.Create());
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                  host.ctrl->Hwnd(), nullptr, nullptr, nullptr);
    host.ctrl->Add(edit, "A", -1);
    host.ctrl->Update();
    ::SetFocus(host.parent);
    host.ctrl->SetWatchActivityCtrl(true);
    EXPECT_TRUE(ActivityHook::Instance().HasListener(host.ctrl.get()));
    EXPECT_FALSE(host.ctrl->IsActive());
    ::SetFocus(edit);
    EXPECT_TRUE(host.ctrl->IsActive());
    {
        tabtest::Picture picture(*host.ctrl);
        const RECT wnds = host.ctrl->GetWndsArea();
        EXPECT_EQ("255,232,166", tabtest::Rgb(picture.At(wnds.left + 10, wnds.top + 1)));
    }
    ::SetFocus(host.parent);
    EXPECT_FALSE(host.ctrl->IsActive());
    host.ctrl->SetWatchActivityCtrl(false);
    EXPECT_FALSE(ActivityHook::Instance().HasListener(host.ctrl.get()));
    host.ctrl->SetWatchActivityCtrl(true);
    ::DestroyWindow(host.ctrl->Hwnd());
    EXPECT_FALSE(ActivityHook::Instance().HasListener(host.ctrl.get()));
}
