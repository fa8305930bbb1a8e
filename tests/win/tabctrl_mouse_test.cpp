// Mouse handling of the tab strip: clicks, double-clicks, right clicks, buttons and their
// timers, dragging with its cancel paths, tooltips, and handlers that destroy the control.
#include "controls/tabctrl/tab_button_images.h"
#include "support/tabctrl_test_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tabtest;

namespace {

std::string At(POINT p) {
    return " @" + std::to_string(p.x) + "," + std::to_string(p.y);
}

// A host with tabs A, B, C laid out.
struct ThreeTabs : Host {
    ThreeTabs() {
        created = Create();
        ctrl->SetNotifyManager(&notify);
        a = AddTab("Alpha");
        b = AddTab("Beta");
        c = AddTab("Gamma");
        ctrl->Update();
        notify.log.clear();
    }
    bool created = false;
    RecordingNotify notify;
    TabItem* a;
    TabItem* b;
    TabItem* c;
};

std::string TipText(TabCtrl& ctrl) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = ctrl.GetToolTip();
    info.hdr.idFrom = 1;
    info.hdr.code = TTN_GETDISPINFOA;
    ::SendMessageA(ctrl.Hwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "<null>";
}

} // namespace

TEST(TabCtrlMouse, ClickSelectsEnabledTabsOnly) {
    ThreeTabs t;
    ASSERT_TRUE(t.created);
    const POINT pb = t.Centre(t.b);
    t.Click(pb.x, pb.y);
    EXPECT_EQ((std::vector<std::string>{"LDown Beta#1" + At(pb), "Selected Beta#1"}), t.notify.log);
    EXPECT_EQ(t.b, t.ctrl->GetSel());

    t.notify.log.clear();
    t.Click(pb.x, pb.y); // already selected
    EXPECT_EQ((std::vector<std::string>{"LDown Beta#1" + At(pb)}), t.notify.log);

    t.ctrl->SetTabDisabled(t.c, true);
    t.ctrl->Update();
    t.notify.log.clear();
    const POINT pc = t.Centre(t.c);
    t.Click(pc.x, pc.y);
    EXPECT_EQ((std::vector<std::string>{"LDown Gamma#2" + At(pc)}), t.notify.log);
    EXPECT_EQ(t.b, t.ctrl->GetSel());

    // The empty part of the strip and the panes area are no tab.
    t.notify.log.clear();
    const RECT tabs = t.ctrl->GetTabsArea();
    t.Click(tabs.right - 2, pc.y);
    t.Click(pc.x, 150);
    EXPECT_TRUE(t.notify.log.empty());
}

TEST(TabCtrlMouse, DoubleClickOnTabsOnly) {
    ThreeTabs t;
    const POINT pa = t.Centre(t.a);
    t.Move(pa.x, pa.y);
    t.Send(WM_LBUTTONDOWN, pa.x, pa.y, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, pa.x, pa.y);
    t.Send(WM_LBUTTONDBLCLK, pa.x, pa.y, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, pa.x, pa.y);
    EXPECT_EQ((std::vector<std::string>{"LDown Alpha#0" + At(pa), "LDown Alpha#0" + At(pa),
                                        "LDbl Alpha#0" + At(pa)}),
              t.notify.log);

    t.notify.log.clear();
    const RECT tabs = t.ctrl->GetTabsArea();
    t.Move(tabs.right - 3, pa.y);
    t.Send(WM_LBUTTONDBLCLK, tabs.right - 3, pa.y, MK_LBUTTON);
    EXPECT_TRUE(t.notify.log.empty());
}

TEST(TabCtrlMouse, RightClicksReportTabOrNone) {
    ThreeTabs t;
    const POINT pb = t.Centre(t.b);
    t.Move(pb.x, pb.y);
    t.Send(WM_RBUTTONDOWN, pb.x, pb.y, MK_RBUTTON);
    t.Send(WM_RBUTTONUP, pb.x, pb.y);
    const RECT tabs = t.ctrl->GetTabsArea();
    const POINT empty{tabs.right - 5, pb.y};
    t.Move(empty.x, empty.y);
    t.Send(WM_RBUTTONDOWN, empty.x, empty.y, MK_RBUTTON);
    t.Send(WM_RBUTTONUP, empty.x, empty.y);
    EXPECT_EQ((std::vector<std::string>{"RDown Beta#1" + At(pb), "RUp Beta#1" + At(pb),
                                        "RDown none" + At(empty), "RUp none" + At(empty)}),
              t.notify.log);
    EXPECT_EQ(t.a, t.ctrl->GetSel()); // a right click selects nothing
}

TEST(TabCtrlMouse, CloseAndMenuButtonsNotifyWhenReleasedOnThem) {
    ThreeTabs t;
    UniqueBitmap images(CreateTabButtonImages(14));
    ASSERT_TRUE(t.ctrl->SetSystemImageList(images.Get()));
    t.ctrl->Update();
    const RECT close = t.ctrl->GetButtonCloseRect();
    const RECT menu = t.ctrl->GetButtonMenuRect();
    ASSERT_FALSE(::IsRectEmpty(&close));
    ASSERT_FALSE(::IsRectEmpty(&menu));
    EXPECT_LT(menu.right, close.left);
    const RECT tabs = t.ctrl->GetTabsArea();
    EXPECT_EQ(menu.left - 8, tabs.right);

    t.Click(close.left + 3, close.top + 3);
    t.Click(menu.left + 3, menu.top + 3);
    // Pressed on close, released on menu: no click.
    t.Move(close.left + 3, close.top + 3);
    t.Send(WM_LBUTTONDOWN, close.left + 3, close.top + 3, MK_LBUTTON);
    EXPECT_TRUE(t.ctrl->GetPushedElement().Is(TabButton::Close));
    t.Move(menu.left + 3, menu.top + 3, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, menu.left + 3, menu.top + 3);
    EXPECT_EQ((std::vector<std::string>{"Close", "Menu"}), t.notify.log);
    EXPECT_TRUE(t.ctrl->GetPushedElement().IsNone());
    EXPECT_EQ(t.a, t.ctrl->GetSel()); // buttons are no tabs
}

TEST(TabCtrlMouse, NoButtonsWithoutImagesOrInShrinkMode) {
    ThreeTabs t;
    RECT r = t.ctrl->GetButtonCloseRect();
    EXPECT_TRUE(::IsRectEmpty(&r));
    UniqueBitmap images(CreateTabButtonImages(14));
    t.ctrl->SetSystemImageList(images.Get());
    t.ctrl->Update();
    r = t.ctrl->GetButtonScrollLeftRect();
    EXPECT_TRUE(::IsRectEmpty(&r)); // shrink behaviour
    t.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    t.ctrl->SetShowCloseButton(false);
    t.ctrl->Update();
    r = t.ctrl->GetButtonScrollLeftRect();
    EXPECT_FALSE(::IsRectEmpty(&r));
    r = t.ctrl->GetButtonCloseRect();
    EXPECT_TRUE(::IsRectEmpty(&r));
}

TEST(TabCtrlMouse, ScrollButtonsStepThenRepeatAndStayClamped) {
    Host host(260, 100);
    ASSERT_TRUE(host.Create());
    UniqueBitmap images(CreateTabButtonImages(14));
    host.ctrl->SetSystemImageList(images.Get());
    host.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    for (int i = 0; i < 12; ++i)
        host.AddTab("Program tab");
    host.ctrl->Update();
    ASSERT_TRUE(host.ctrl->IsPartialView());
    const RECT left = host.ctrl->GetButtonScrollLeftRect();
    const RECT right = host.ctrl->GetButtonScrollRightRect();

    // Left at position 0 changes nothing.
    host.Click(left.left + 3, left.top + 3);
    EXPECT_EQ(0, host.ctrl->GetScrollPos());

    host.Move(right.left + 3, right.top + 3);
    host.Send(WM_LBUTTONDOWN, right.left + 3, right.top + 3, MK_LBUTTON);
    EXPECT_EQ(15, host.ctrl->GetScrollPos());
    PumpMessages(150); // still within the first delay
    EXPECT_EQ(15, host.ctrl->GetScrollPos());
    PumpMessages(500); // repeating every 20 ms
    const int held = host.ctrl->GetScrollPos();
    EXPECT_GT(held, 30);
    host.Send(WM_LBUTTONUP, right.left + 3, right.top + 3);
    PumpMessages(100);
    EXPECT_EQ(held, host.ctrl->GetScrollPos());

    // Held long enough, it ends at the maximum and no further.
    host.Send(WM_LBUTTONDOWN, right.left + 3, right.top + 3, MK_LBUTTON);
    PumpMessages(2000);
    host.Send(WM_LBUTTONUP, right.left + 3, right.top + 3);
    EXPECT_EQ(host.ctrl->GetMaxScrollPos(), host.ctrl->GetScrollPos());
    EXPECT_FALSE(host.ctrl->IsScrollRightAllowed());
    EXPECT_TRUE(host.ctrl->IsScrollLeftAllowed());
}

TEST(TabCtrlMouse, DragStartsBeyondThresholdAndReordersInZones) {
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    const POINT pa = t.Centre(t.a);
    t.Move(pa.x, pa.y);
    t.Send(WM_LBUTTONDOWN, pa.x, pa.y, MK_LBUTTON);
    EXPECT_EQ(::GetCapture(), t.ctrl->Hwnd());
    t.Move(pa.x + 2, pa.y + 2, MK_LBUTTON);
    t.Move(pa.x - 3, pa.y, MK_LBUTTON); // still inside the 6 x 6 square
    EXPECT_FALSE(t.ctrl->IsDragging());
    t.Move(pa.x + 3, pa.y, MK_LBUTTON);
    EXPECT_TRUE(t.ctrl->IsDragging());

    // Over Beta but before its last (width of Alpha) pixels: no move.
    const RECT rb = t.ctrl->GetTabRect(t.b);
    const int alphaWidth = t.a->rect.right - t.a->rect.left;
    const int outsideZone = rb.right - alphaWidth - 1;
    if (outsideZone >= rb.left) {
        t.Move(outsideZone, pa.y, MK_LBUTTON);
        EXPECT_EQ("Alpha,Beta,Gamma", t.Order());
    }
    t.Move(rb.right - 1, pa.y, MK_LBUTTON);
    EXPECT_EQ("Beta,Alpha,Gamma", t.Order());
    t.Move(pa.x, 150, MK_LBUTTON); // below the strip
    EXPECT_EQ("Beta,Alpha,Gamma", t.Order());
    t.Send(WM_LBUTTONUP, pa.x, 150);
    EXPECT_EQ("Beta,Alpha,Gamma", t.Order());
    EXPECT_FALSE(t.ctrl->IsDragging());
    EXPECT_NE(::GetCapture(), t.ctrl->Hwnd());

    ASSERT_GE(t.notify.log.size(), 5u);
    EXPECT_EQ("LDown Alpha#0" + At(pa), t.notify.log[0]);
    EXPECT_EQ("StartDrag Alpha#0 @" + std::to_string(pa.x + 3) + "," + std::to_string(pa.y),
              t.notify.log[1]);
    EXPECT_EQ("Drag Alpha @" + std::to_string(rb.right - 1) + "," + std::to_string(pa.y) +
                  " inside",
              t.notify.log[t.notify.log.size() - 3]);
    EXPECT_EQ("Drag Alpha @" + std::to_string(pa.x) + ",150 outside",
              t.notify.log[t.notify.log.size() - 2]);
    EXPECT_EQ("FinishDrag Alpha keep", t.notify.log.back());
}

TEST(TabCtrlMouse, PressWithoutMovingIsNoDrag) {
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    const POINT pb = t.Centre(t.b);
    t.Click(pb.x, pb.y);
    EXPECT_EQ((std::vector<std::string>{"LDown Beta#1" + At(pb), "Selected Beta#1"}), t.notify.log);
    // A disabled tab is neither selected nor dragged.
    t.ctrl->SetTabDisabled(t.c, true);
    t.ctrl->Update();
    const POINT pc = t.Centre(t.c);
    t.Move(pc.x, pc.y);
    t.Send(WM_LBUTTONDOWN, pc.x, pc.y, MK_LBUTTON);
    t.Move(pc.x - 30, pc.y, MK_LBUTTON);
    EXPECT_FALSE(t.ctrl->IsDragging());
    t.Send(WM_LBUTTONUP, pc.x - 30, pc.y);
}

TEST(TabCtrlMouse, CancelledDragRestoresTheOrder) {
    for (const char* how : {"escape", "capture"}) {
        ThreeTabs t;
        t.ctrl->SetTabsDragging(true);
        const POINT pc = t.Centre(t.c);
        t.Move(pc.x, pc.y);
        t.Send(WM_LBUTTONDOWN, pc.x, pc.y, MK_LBUTTON);
        t.Move(pc.x - 4, pc.y, MK_LBUTTON);
        const RECT ra = t.ctrl->GetTabRect(t.a);
        t.Move(ra.left + 1, pc.y, MK_LBUTTON);
        ASSERT_EQ("Gamma,Alpha,Beta", t.Order()) << how;
        ASSERT_TRUE(KeyboardHook::Instance().HasListener(t.ctrl.get()));
        if (std::string(how) == "escape")
            t.ctrl->OnKeyDown(VK_ESCAPE, 0);
        else
            ::ReleaseCapture();
        EXPECT_EQ("Alpha,Beta,Gamma", t.Order()) << how;
        EXPECT_EQ("FinishDrag Gamma cancel", t.notify.log.back()) << how;
        EXPECT_FALSE(KeyboardHook::Instance().HasListener(t.ctrl.get())) << how;
        EXPECT_NE(::GetCapture(), t.ctrl->Hwnd()) << how;
        // The button coming up afterwards changes nothing.
        t.Send(WM_LBUTTONUP, ra.left + 1, pc.y);
        EXPECT_EQ("Alpha,Beta,Gamma", t.Order()) << how;
    }
}

TEST(TabCtrlMouse, DeletingAnotherTabDuringADragKeepsTheListSound) {
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    const POINT pa = t.Centre(t.a);
    t.Move(pa.x, pa.y);
    t.Send(WM_LBUTTONDOWN, pa.x, pa.y, MK_LBUTTON);
    t.Move(pa.x + 5, pa.y, MK_LBUTTON);
    t.ctrl->Delete(t.b);
    t.ctrl->OnKeyDown(VK_ESCAPE, 0);
    EXPECT_EQ("Alpha,Gamma", t.Order());
    // Deleting the dragged tab itself ends the drag as cancelled.
    t.Move(pa.x, pa.y);
    t.Send(WM_LBUTTONDOWN, pa.x, pa.y, MK_LBUTTON);
    t.Move(pa.x + 5, pa.y, MK_LBUTTON);
    t.ctrl->Delete(t.a);
    EXPECT_EQ("FinishDrag Alpha cancel", t.notify.log[t.notify.log.size() - 2]);
    EXPECT_EQ("Gamma", t.Order());
    EXPECT_FALSE(t.ctrl->IsDragging());
}

TEST(TabCtrlMouse, HandlersMayDestroyTheControl) {
    // Destroying the window, or the whole object, from inside a notification.
    for (const char* event : {"Selected", "LDown", "Close", "Menu", "RDown"}) {
        for (bool deleteObject : {false, true}) {
            ThreeTabs t;
            UniqueBitmap images(CreateTabButtonImages(14));
            t.ctrl->SetSystemImageList(images.Get());
            t.ctrl->Update();
            t.notify.onEvent = [&](const std::string& line) {
                if (line.rfind(event, 0) != 0)
                    return;
                if (deleteObject)
                    t.ctrl.reset();
                else
                    ::DestroyWindow(t.ctrl->Hwnd());
            };
            POINT p = t.Centre(t.b);
            if (std::string(event) == "Close")
                p = {t.ctrl->GetButtonCloseRect().left + 2, t.ctrl->GetButtonCloseRect().top + 2};
            if (std::string(event) == "Menu")
                p = {t.ctrl->GetButtonMenuRect().left + 2, t.ctrl->GetButtonMenuRect().top + 2};
            const HWND wnd = t.ctrl->Hwnd();
            ::SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
            if (std::string(event) == "RDown") {
                ::SendMessageA(wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
            } else {
                ::SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
                ::SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
            }
            EXPECT_FALSE(::IsWindow(wnd)) << event << " delete " << deleteObject;
            // After the fatal notification only the tabs' farewells may follow.
            std::size_t at = 0;
            while (at < t.notify.log.size() && t.notify.log[at].rfind(event, 0) != 0)
                ++at;
            ASSERT_LT(at, t.notify.log.size()) << event;
            for (std::size_t i = at + 1; i < t.notify.log.size(); ++i)
                EXPECT_EQ(0u, t.notify.log[i].rfind("PreDestroy", 0))
                    << event << ": " << t.notify.log[i];
            EXPECT_EQ(3u, t.notify.log.size() - at - 1) << event;
            if (!deleteObject) {
                EXPECT_EQ(0, t.ctrl->GetCount()) << event;
                EXPECT_TRUE(t.ctrl->GetPushedElement().IsNone()) << event;
            }
            PumpMessages();
        }
    }
}

TEST(TabCtrlMouse, TooltipTextsForButtonsAndCutTabs) {
    Host host(200, 100);
    ASSERT_TRUE(host.Create());
    UniqueBitmap images(CreateTabButtonImages(14));
    host.ctrl->SetSystemImageList(images.Get());
    host.ctrl->SetToolTipTextMenu("All tabs");
    TabItem* shortTab = host.AddTab("A");
    TabItem* longTab = host.AddTab("A rather long caption for this strip");
    TabItem* own = host.AddTab("B");
    host.ctrl->SetTabToolTipText(own, "Own words");
    host.ctrl->Update();

    POINT p = host.Centre(shortTab);
    host.Move(p.x, p.y);
    EXPECT_EQ("", TipText(*host.ctrl));
    p = host.Centre(longTab);
    host.Move(p.x, p.y);
    EXPECT_EQ("A rather long caption for this strip", TipText(*host.ctrl));
    p = host.Centre(own);
    host.Move(p.x, p.y);
    EXPECT_EQ("Own words", TipText(*host.ctrl));
    const RECT close = host.ctrl->GetButtonCloseRect();
    host.Move(close.left + 2, close.top + 2);
    EXPECT_EQ("Close", TipText(*host.ctrl));
    const RECT menu = host.ctrl->GetButtonMenuRect();
    host.Move(menu.left + 2, menu.top + 2);
    EXPECT_EQ("All tabs", TipText(*host.ctrl));
    host.Move(5, 80);
    EXPECT_EQ("", TipText(*host.ctrl));
    ::SendMessageA(host.ctrl->Hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(host.ctrl->GetHotElement().IsNone());
}

TEST(TabCtrlMouse, OtherNotificationsGoToTheParent) {
    Host host;
    ASSERT_TRUE(host.Create());
    NMHDR header{host.ctrl->Hwnd(), 5, NM_CLICK};
    // The host's window procedure answers 0; the message must arrive there without a crash.
    EXPECT_EQ(0,
              ::SendMessageA(host.ctrl->Hwnd(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)));
}

TEST(TabCtrlMouse, TabCursorShowsOverTabsOnly) {
    Host host(300, 100, true);
    ASSERT_TRUE(host.Create());
    TabItem* a = host.AddTab("Alpha");
    host.ctrl->Update();
    HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
    host.ctrl->SetCursorRef(hand);

    POINT over = host.Centre(a);
    ::ClientToScreen(host.ctrl->Hwnd(), &over);
    ::SetCursorPos(over.x, over.y);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(TRUE, ::SendMessageA(host.ctrl->Hwnd(), WM_SETCURSOR,
                                   reinterpret_cast<WPARAM>(host.ctrl->Hwnd()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, ::GetCursor());

    POINT below{150, 80};
    ::ClientToScreen(host.ctrl->Hwnd(), &below);
    ::SetCursorPos(below.x, below.y);
    EXPECT_FALSE(
        host.ctrl->GetBehaviorManager()->SetCursor(host.ctrl.get(), host.ctrl->GetBehaviorBase()));
    host.ctrl->SetCursorRef(nullptr);
    ::SetCursorPos(over.x, over.y);
    EXPECT_FALSE(
        host.ctrl->GetBehaviorManager()->SetCursor(host.ctrl.get(), host.ctrl->GetBehaviorBase()));
}
