// Mouse handling of the tab strip: clicks, double-clicks, right clicks, buttons and their
// timers, dragging with its cancel paths, tooltips, and handlers that destroy the control.
#include "controls/tabctrl/tab_button_images.h"
#include "support/tabctrl_test_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tabtest;

namespace {

using Log = std::vector<std::string>;

std::string At(POINT p) {
    return " @" + std::to_string(p.x) + "," + std::to_string(p.y);
}

bool Empty(const RECT& r) {
    return ::IsRectEmpty(&r) != FALSE;
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
    void ShowButtons() {
        images.reset(new UniqueBitmap(CreateTabButtonImages(14)));
        ctrl->SetSystemImageList(images->Get());
        ctrl->Update();
    }
    bool created = false;
    RecordingNotify notify;
    std::unique_ptr<UniqueBitmap> images;
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
    t.Click(pb);
    EXPECT_EQ((Log{"LDown Beta#1" + At(pb), "Selected Beta#1"}), t.notify.log);
    EXPECT_EQ(t.b, t.ctrl->GetSel());

    t.notify.log.clear();
    t.Click(pb); // already selected
    EXPECT_EQ((Log{"LDown Beta#1" + At(pb)}), t.notify.log);

    t.ctrl->SetTabDisabled(t.c, true);
    t.ctrl->Update();
    t.notify.log.clear();
    const POINT pc = t.Centre(t.c);
    t.Click(pc);
    EXPECT_EQ((Log{"LDown Gamma#2" + At(pc)}), t.notify.log);
    EXPECT_EQ(t.b, t.ctrl->GetSel());

    // The empty part of the strip and the panes area are no tab.
    t.notify.log.clear();
    t.Click(t.ctrl->GetTabsArea().right - 2, pc.y);
    t.Click(pc.x, 150);
    EXPECT_TRUE(t.notify.log.empty());
}

TEST(TabCtrlMouse, DoubleClickOnTabsOnly) {
    ThreeTabs t;
    const POINT pa = t.Centre(t.a);
    t.Click(pa);
    t.Send(WM_LBUTTONDBLCLK, pa.x, pa.y, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, pa.x, pa.y);
    EXPECT_EQ((Log{"LDown Alpha#0" + At(pa), "LDown Alpha#0" + At(pa), "LDbl Alpha#0" + At(pa)}),
              t.notify.log);

    t.notify.log.clear();
    const int x = t.ctrl->GetTabsArea().right - 3;
    t.Move(x, pa.y);
    t.Send(WM_LBUTTONDBLCLK, x, pa.y, MK_LBUTTON);
    EXPECT_TRUE(t.notify.log.empty());
}

TEST(TabCtrlMouse, RightClicksReportTabOrNone) {
    ThreeTabs t;
    const POINT pb = t.Centre(t.b);
    const POINT empty{t.ctrl->GetTabsArea().right - 5, pb.y};
    for (POINT p : {pb, empty}) {
        t.Move(p);
        t.Send(WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
        t.Send(WM_RBUTTONUP, p.x, p.y);
    }
    EXPECT_EQ((Log{"RDown Beta#1" + At(pb), "RUp Beta#1" + At(pb), "RDown none" + At(empty),
                   "RUp none" + At(empty)}),
              t.notify.log);
    EXPECT_EQ(t.a, t.ctrl->GetSel()); // a right click selects nothing
}

TEST(TabCtrlMouse, CloseAndMenuButtonsNotifyWhenReleasedOnThem) {
    ThreeTabs t;
    t.ShowButtons();
    const RECT close = t.ctrl->GetButtonCloseRect();
    const RECT menu = t.ctrl->GetButtonMenuRect();
    ASSERT_FALSE(Empty(close));
    ASSERT_FALSE(Empty(menu));
    EXPECT_LT(menu.right, close.left);
    EXPECT_EQ(menu.left - 8, t.ctrl->GetTabsArea().right);

    t.Click(Inside(close, 3));
    t.Click(Inside(menu, 3));
    // Pressed on close, released on menu: no click.
    t.Press(close.left + 3, close.top + 3);
    EXPECT_TRUE(t.ctrl->GetPushedElement().Is(TabButton::Close));
    t.Move(menu.left + 3, menu.top + 3, MK_LBUTTON);
    t.Send(WM_LBUTTONUP, menu.left + 3, menu.top + 3);
    EXPECT_EQ((Log{"Close", "Menu"}), t.notify.log);
    EXPECT_TRUE(t.ctrl->GetPushedElement().IsNone());
    EXPECT_EQ(t.a, t.ctrl->GetSel()); // buttons are no tabs
}

TEST(TabCtrlMouse, NoButtonsWithoutImagesOrInShrinkMode) {
    ThreeTabs t;
    EXPECT_TRUE(Empty(t.ctrl->GetButtonCloseRect()));
    t.ShowButtons();
    EXPECT_TRUE(Empty(t.ctrl->GetButtonScrollLeftRect())); // shrink behaviour
    t.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    t.ctrl->SetShowCloseButton(false);
    t.ctrl->Update();
    EXPECT_FALSE(Empty(t.ctrl->GetButtonScrollLeftRect()));
    EXPECT_TRUE(Empty(t.ctrl->GetButtonCloseRect()));
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
    const POINT left = Inside(host.ctrl->GetButtonScrollLeftRect(), 3);
    const POINT right = Inside(host.ctrl->GetButtonScrollRightRect(), 3);

    // Left at position 0 changes nothing.
    host.Click(left);
    EXPECT_EQ(0, host.ctrl->GetScrollPos());

    host.Press(right.x, right.y);
    EXPECT_EQ(15, host.ctrl->GetScrollPos());
    PumpMessages(150); // still within the first delay
    EXPECT_EQ(15, host.ctrl->GetScrollPos());
    PumpMessages(500); // repeating every 20 ms
    const int held = host.ctrl->GetScrollPos();
    EXPECT_GT(held, 30);
    host.Send(WM_LBUTTONUP, right.x, right.y);
    PumpMessages(100);
    EXPECT_EQ(held, host.ctrl->GetScrollPos());

    // Held long enough, it ends at the maximum and no further.
    host.Send(WM_LBUTTONDOWN, right.x, right.y, MK_LBUTTON);
    PumpMessages(2000);
    host.Send(WM_LBUTTONUP, right.x, right.y);
    EXPECT_EQ(host.ctrl->GetMaxScrollPos(), host.ctrl->GetScrollPos());
    EXPECT_FALSE(host.ctrl->IsScrollRightAllowed());
    EXPECT_TRUE(host.ctrl->IsScrollLeftAllowed());
}

TEST(TabCtrlMouse, DragStartsBeyondThresholdAndReordersInZones) {
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    const POINT pa = t.Centre(t.a);
    t.Press(pa.x, pa.y);
    EXPECT_EQ(::GetCapture(), t.ctrl->Hwnd());
    t.Move(pa.x + 2, pa.y + 2, MK_LBUTTON);
    t.Move(pa.x - 3, pa.y, MK_LBUTTON); // still inside the 6 x 6 square
    EXPECT_FALSE(t.ctrl->IsDragging());
    t.Move(pa.x + 3, pa.y, MK_LBUTTON);
    EXPECT_TRUE(t.ctrl->IsDragging());

    // Over Beta but before its last (width of Alpha) pixels: no move.
    const RECT rb = t.ctrl->GetTabRect(t.b);
    const int outsideZone = rb.right - (t.a->rect.right - t.a->rect.left) - 1;
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

    const Log& log = t.notify.log;
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ("LDown Alpha#0" + At(pa), log[0]);
    EXPECT_EQ("StartDrag Alpha#0" + At({pa.x + 3, pa.y}), log[1]);
    EXPECT_EQ("Drag Alpha" + At({rb.right - 1, pa.y}) + " inside", log[log.size() - 3]);
    EXPECT_EQ("Drag Alpha" + At({pa.x, 150}) + " outside", log[log.size() - 2]);
    EXPECT_EQ("FinishDrag Alpha keep", log.back());
}

TEST(TabCtrlMouse, PressWithoutMovingIsNoDrag) {
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    const POINT pb = t.Centre(t.b);
    t.Click(pb);
    EXPECT_EQ((Log{"LDown Beta#1" + At(pb), "Selected Beta#1"}), t.notify.log);
    // A disabled tab is neither selected nor dragged.
    t.ctrl->SetTabDisabled(t.c, true);
    t.ctrl->Update();
    const POINT pc = t.Centre(t.c);
    t.PressAndMove(pc, -30);
    EXPECT_FALSE(t.ctrl->IsDragging());
    t.Send(WM_LBUTTONUP, pc.x - 30, pc.y);
}

TEST(TabCtrlMouse, CancelledDragRestoresTheOrder) {
    for (const std::string how : {"escape", "capture"}) {
        ThreeTabs t;
        t.ctrl->SetTabsDragging(true);
        const POINT pc = t.Centre(t.c);
        t.PressAndMove(pc, -4);
        const RECT ra = t.ctrl->GetTabRect(t.a);
        t.Move(ra.left + 1, pc.y, MK_LBUTTON);
        ASSERT_EQ("Gamma,Alpha,Beta", t.Order()) << how;
        ASSERT_TRUE(KeyboardHook::Instance().HasListener(t.ctrl.get()));
        if (how == "escape")
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
    t.PressAndMove(pa, 5);
    t.ctrl->Delete(t.b);
    t.ctrl->OnKeyDown(VK_ESCAPE, 0);
    EXPECT_EQ("Alpha,Gamma", t.Order());
    // Deleting the dragged tab itself ends the drag as cancelled.
    t.PressAndMove(pa, 5);
    t.ctrl->Delete(t.a);
    EXPECT_EQ("FinishDrag Alpha cancel", t.notify.log[t.notify.log.size() - 2]);
    EXPECT_EQ("Gamma", t.Order());
    EXPECT_FALSE(t.ctrl->IsDragging());
}

// A tab deleted during its own drag: the saved order comes back first, and the selection moves
// to the next enabled tab after it in that order, else the one before; never to the freed tab.
TEST(TabCtrlMouse, DeletingTheDraggedTabSelectsALiveNeighbour) {
    struct Case {
        const char* dragged;
        const char* dropOn; // dragged in front of (or behind) this tab
        bool gammaDisabled;
        const char* selected;
        const char* order;
    };
    for (const Case& c : {Case{"Beta", "Alpha", false, "Gamma", "Alpha,Gamma"},
                          Case{"Beta", "Alpha", true, "Alpha", "Alpha,Gamma"},
                          Case{"Alpha", "Beta", false, "Beta", "Beta,Gamma"},
                          Case{"Gamma", "Alpha", false, "Beta", "Alpha,Beta"}}) {
        const std::string what = std::string(c.dragged) + " to " + c.dropOn;
        ThreeTabs t;
        t.ctrl->SetTabsDragging(true);
        t.ctrl->SetTabDisabled(t.c, c.gammaDisabled);
        t.ctrl->Update();
        auto byName = [&](const std::string& name) {
            return name == "Alpha" ? t.a : name == "Beta" ? t.b : t.c;
        };
        TabItem* dragged = byName(c.dragged);
        const RECT target = t.ctrl->GetTabRect(byName(c.dropOn));
        const bool forward = t.ctrl->GetIndex(byName(c.dropOn)) > t.ctrl->GetIndex(dragged);
        const POINT p = t.Centre(dragged);
        t.PressAndMove(p, forward ? 4 : -4);
        t.Move(forward ? target.right - 1 : target.left + 1, p.y, MK_LBUTTON);
        ASSERT_TRUE(t.ctrl->IsDragging()) << what;
        ASSERT_EQ(t.ctrl->GetSel(), dragged) << what;
        ASSERT_NE(t.Order(), "Alpha,Beta,Gamma") << what << ": the drag moved nothing";

        t.ctrl->Delete(dragged);
        EXPECT_FALSE(t.ctrl->IsDragging()) << what;
        EXPECT_EQ(t.Order(), c.order) << what;
        EXPECT_GE(t.ctrl->GetIndex(t.ctrl->GetSel()), 0) << what << ": the selection is freed";
        EXPECT_EQ(t.ctrl->GetSel(), byName(c.selected)) << what;
        t.ctrl->Update();
        const HWND pane = t.ctrl->GetTabWnd(byName(c.selected));
        EXPECT_TRUE(::GetWindowLongA(pane, GWL_STYLE) & WS_VISIBLE) << what << ": its pane shows";
    }
    // An owner that deletes the tab again when it hears that the drag ended.
    ThreeTabs t;
    t.ctrl->SetTabsDragging(true);
    t.notify.onEvent = [&](const std::string& line) {
        if (line.rfind("FinishDrag", 0) == 0)
            t.ctrl->Delete(t.b);
    };
    t.PressAndMove(t.Centre(t.b), 5);
    t.ctrl->Delete(t.b);
    EXPECT_EQ(t.Order(), "Alpha,Gamma");
    EXPECT_EQ(t.ctrl->GetSel(), t.c);
    EXPECT_EQ(std::count(t.notify.log.begin(), t.notify.log.end(), "PreDestroy Beta 1"), 1);
}

TEST(TabCtrlMouse, HandlersMayDestroyTheControl) {
    // Destroying the window, or the whole object, from inside a notification.
    for (const std::string event : {"Selected", "LDown", "Close", "Menu", "RDown"}) {
        for (bool deleteObject : {false, true}) {
            ThreeTabs t;
            t.ShowButtons();
            t.notify.onEvent = [&](const std::string& line) {
                if (line.rfind(event, 0) != 0)
                    return;
                if (deleteObject)
                    t.ctrl.reset();
                else
                    ::DestroyWindow(t.ctrl->Hwnd());
            };
            POINT p = t.Centre(t.b);
            if (event == "Close")
                p = Inside(t.ctrl->GetButtonCloseRect(), 2);
            if (event == "Menu")
                p = Inside(t.ctrl->GetButtonMenuRect(), 2);
            // The control may be gone part-way: send straight to the window.
            const HWND wnd = t.ctrl->Hwnd();
            const LPARAM at = MAKELPARAM(p.x, p.y);
            ::SendMessageA(wnd, WM_MOUSEMOVE, 0, at);
            if (event == "RDown") {
                ::SendMessageA(wnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
            } else {
                ::SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
                ::SendMessageA(wnd, WM_LBUTTONUP, 0, at);
            }
            EXPECT_FALSE(::IsWindow(wnd)) << event << " delete " << deleteObject;
            // After the fatal notification only the tabs' three farewells may follow.
            const Log& log = t.notify.log;
            std::size_t at0 = 0;
            while (at0 < log.size() && log[at0].rfind(event, 0) != 0)
                ++at0;
            ASSERT_LT(at0, log.size()) << event;
            for (std::size_t i = at0 + 1; i < log.size(); ++i)
                EXPECT_EQ(0u, log[i].rfind("PreDestroy", 0)) << event << ": " << log[i];
            EXPECT_EQ(3u, log.size() - at0 - 1) << event;
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

    const struct {
        POINT at;
        const char* tip;
    } cases[] = {
        {host.Centre(shortTab), ""},
        {host.Centre(longTab), "A rather long caption for this strip"},
        {host.Centre(own), "Own words"},
        {Inside(host.ctrl->GetButtonCloseRect(), 2), "Close"},
        {Inside(host.ctrl->GetButtonMenuRect(), 2), "All tabs"},
        {{5, 80}, ""},
    };
    for (const auto& c : cases) {
        host.Move(c.at);
        EXPECT_EQ(c.tip, TipText(*host.ctrl)) << c.at.x << "," << c.at.y;
    }
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
    const auto cursorAt = [&](POINT p) {
        ::ClientToScreen(host.ctrl->Hwnd(), &p);
        ::SetCursorPos(p.x, p.y);
    };
    const auto setCursor = [&] {
        return host.ctrl->GetBehaviorManager()->SetCursor(host.ctrl.get(),
                                                          host.ctrl->GetBehaviorBase());
    };

    cursorAt(host.Centre(a));
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(TRUE, ::SendMessageA(host.ctrl->Hwnd(), WM_SETCURSOR,
                                   reinterpret_cast<WPARAM>(host.ctrl->Hwnd()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, ::GetCursor());
    cursorAt({150, 80});
    EXPECT_FALSE(setCursor());
    host.ctrl->SetCursorRef(nullptr);
    cursorAt(host.Centre(a));
    EXPECT_FALSE(setCursor());
}
