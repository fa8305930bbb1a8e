// The tab list: adding, inserting, deleting and selecting tabs, their panes, the notifications
// around them, stored state, and tabs that are no longer in the list.
#include "controls/tabctrl/profile.h"
#include "support/tabctrl_test_host.h"

#include <gtest/gtest.h>

using namespace tabtest;

namespace {

bool Visible(HWND wnd) {
    return (::GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Empty(const RECT& r) {
    return ::IsRectEmpty(&r) != FALSE;
}

// A created host with one tab per caption, not yet laid out.
struct Tabs : Host {
    explicit Tabs(std::initializer_list<const char*> captions, int width = 400, int height = 200)
        : Host(width, height) {
        created = Create();
        for (const char* caption : captions)
            tab.push_back(AddTab(caption));
    }
    bool created = false;
    std::vector<TabItem*> tab;
};

} // namespace

TEST(TabCtrlList, CreateSetsDefaultsAndTooltipTexts) {
    Host host;
    ASSERT_TRUE(host.Create());
    StripCtrl& c = *host.ctrl;
    EXPECT_EQ(113, ::GetDlgCtrlID(c.Hwnd()));
    EXPECT_TRUE(::GetWindowLongA(c.Hwnd(), GWL_STYLE) & WS_CLIPCHILDREN);
    char className[128] = {};
    ::GetClassNameA(c.Hwnd(), className, sizeof(className));
    EXPECT_EQ(0, std::string(className).rfind("TabCtrl:", 0)) << className;
    EXPECT_TRUE(::GetClassLongA(c.Hwnd(), GCL_STYLE) & CS_DBLCLKS);
    EXPECT_NE(nullptr, c.GetFontNormal());
    EXPECT_NE(nullptr, c.GetFontSelect());
    ASSERT_NE(nullptr, c.GetToolTip());
    EXPECT_TRUE(::GetClassLongA(c.GetToolTip(), GCL_STYLE) & CS_DROPSHADOW);
    EXPECT_EQ("Close", c.GetToolTipTextClose());
    EXPECT_EQ("Menu", c.GetToolTipTextMenu());
    EXPECT_EQ("Scroll Left", c.GetToolTipTextScrollLeft());
    EXPECT_EQ("Scroll Right", c.GetToolTipTextScrollRight());
    EXPECT_EQ(TabCtrl::LayoutTop, c.GetLayout());
    EXPECT_EQ(TabCtrl::BehaviorShrink, c.GetBehavior());
    EXPECT_FALSE(c.IsTabsDragging());
    EXPECT_EQ(15, c.GetScrollStep());
    // The style's metrics are in force.
    EXPECT_EQ(0, c.GetRecalcManager()->GetBorderWidth(&c, c.GetRecalcBase()));
    EXPECT_EQ(10, c.GetRecalcManager()->GetTabMinWidth(&c, c.GetRecalcBase()));
}

TEST(TabCtrlList, OwnTooltipTextsSurviveCreate) {
    Host host;
    host.ctrl->SetToolTipTextClose("Shut");
    ASSERT_TRUE(host.Create());
    EXPECT_EQ("Shut", host.ctrl->GetToolTipTextClose());
    EXPECT_EQ("Menu", host.ctrl->GetToolTipTextMenu());
}

TEST(TabCtrlList, FirstTabSelectedOthersHiddenAndNotifiedInOrder) {
    Host host;
    ASSERT_TRUE(host.Create());
    RecordingNotify notify;
    host.ctrl->SetNotifyManager(&notify);

    TabItem* a = host.AddTab("A");
    EXPECT_EQ(a, host.ctrl->GetSel());
    EXPECT_TRUE(Visible(a->pane)); // the first pane keeps its visibility
    TabItem* b = host.AddTab("B");
    EXPECT_EQ(a, host.ctrl->GetSel());
    EXPECT_FALSE(Visible(b->pane));
    TabItem* c = host.ctrl->Insert(a, host.MakePane(7), nullptr, 3);
    EXPECT_EQ("", c->text);
    EXPECT_EQ(3, c->image);
    EXPECT_EQ(0, c->data);
    EXPECT_TRUE(c->tooltip.empty());
    EXPECT_FALSE(c->disabled);
    EXPECT_EQ(",A,B", host.Order());
    EXPECT_EQ((std::vector<std::string>{"PreCreate A -1", "PostCreate A#0", "PreCreate B -1",
                                        "PostCreate B#1", "PreCreate <null> 3", "PostCreate #0"}),
              notify.log);

    host.ctrl->Update(true);
    const RECT wnds = host.ctrl->GetWndsArea();
    const RECT pane = PaneRect(*host.ctrl, a->pane);
    EXPECT_EQ(wnds.left, pane.left);
    EXPECT_EQ(wnds.top + 4, pane.top); // the style's pane padding
    EXPECT_EQ(wnds.bottom - 4, pane.bottom);
}

TEST(TabCtrlList, AddingWhenAllAreDisabledSelectsFirstEnabled) {
    Tabs host({"A", "B"});
    ASSERT_TRUE(host.created);
    for (TabItem* t : host.tab)
        host.ctrl->SetTabDisabled(t, true);
    host.ctrl->Update();
    EXPECT_EQ(nullptr, host.ctrl->GetSel());
    TabItem* c = host.AddTab("C");
    EXPECT_EQ(c, host.ctrl->GetSel());
}

TEST(TabCtrlList, DeletingSelectedPicksNextEnabledElsePrevious) {
    Tabs host({"A", "B", "C", "D"});
    ASSERT_TRUE(host.created);
    TabItem *a = host.tab[0], *b = host.tab[1], *d = host.tab[3];
    host.ctrl->SetTabDisabled(host.tab[2], true);
    host.ctrl->SetSel(b);
    EXPECT_EQ(b, host.ctrl->GetSel());
    host.ctrl->Delete(b); // C is disabled: D
    EXPECT_EQ(d, host.ctrl->GetSel());
    host.ctrl->Update();
    EXPECT_TRUE(Visible(d->pane));
    host.ctrl->Delete(d); // nothing after it enabled: back to A
    EXPECT_EQ(a, host.ctrl->GetSel());
    host.ctrl->Delete(a); // only the disabled C is left
    EXPECT_EQ(nullptr, host.ctrl->GetSel());
    EXPECT_EQ(1, host.ctrl->GetCount());
}

TEST(TabCtrlList, SetSelIgnoresDisabledSelectedAndForeignTabs) {
    Tabs host({"A", "B"});
    ASSERT_TRUE(host.created);
    TabItem *a = host.tab[0], *b = host.tab[1];
    host.ctrl->Update();
    host.ctrl->SetTabDisabled(b, true);
    host.ctrl->SetSel(b);
    EXPECT_EQ(a, host.ctrl->GetSel());
    host.ctrl->SetTabDisabled(b, false);
    host.ctrl->SetSel(b);
    EXPECT_EQ(b, host.ctrl->GetSel());
    EXPECT_TRUE(Visible(b->pane));
    EXPECT_FALSE(Visible(a->pane));

    TabItem foreign;
    host.ctrl->SetSel(&foreign);
    EXPECT_EQ(b, host.ctrl->GetSel());
}

TEST(TabCtrlList, LayoutMovesSelectionOffADisabledTab) {
    Tabs host({"A", "B"});
    ASSERT_TRUE(host.created);
    TabItem *a = host.tab[0], *b = host.tab[1];
    host.ctrl->Update();
    host.ctrl->SetTabDisabled(a, true);
    host.ctrl->Update();
    EXPECT_EQ(b, host.ctrl->GetSel());
    EXPECT_TRUE(Visible(b->pane));
    EXPECT_FALSE(Visible(a->pane));
}

TEST(TabCtrlList, DeletedAndForeignTabsAreHarmless) {
    Host host;
    ASSERT_TRUE(host.Create());
    RecordingNotify notify;
    host.ctrl->SetNotifyManager(&notify);
    TabItem* a = host.AddTab("A");
    TabItem* b = host.AddTab("B");
    host.ctrl->Delete(a);
    EXPECT_EQ(-1, host.ctrl->GetIndex(a));
    EXPECT_EQ(-1, host.ctrl->GetIndex(nullptr));
    TabItem foreign;
    foreign.text = "foreign";
    EXPECT_EQ(-1, host.ctrl->GetIndex(&foreign));
    notify.log.clear();

    // Nothing here may touch the list (the deleted pointer is only compared, never read).
    host.ctrl->Delete(a);
    host.ctrl->Delete(&foreign);
    host.ctrl->Delete(nullptr);
    host.ctrl->SetSel(a);
    host.ctrl->EnsureVisible(a);
    host.ctrl->SetTabText(&foreign, "x");
    EXPECT_EQ("", host.ctrl->GetTabText(&foreign));
    EXPECT_EQ(nullptr, host.ctrl->GetTabWnd(a));
    EXPECT_FALSE(host.ctrl->IsTabVisible(a, nullptr));
    TabItem* c = host.ctrl->Insert(a, host.MakePane(5), "C", -1); // appended
    EXPECT_TRUE(notify.log.size() == 2u && notify.log[0] == "PreCreate C -1");
    EXPECT_EQ("B,C", host.Order());
    EXPECT_EQ(b, host.ctrl->GetSel());
    EXPECT_EQ(1, host.ctrl->GetIndex(c));
}

TEST(TabCtrlList, DeleteAllAndDestroyNotifyEveryTab) {
    Host host;
    ASSERT_TRUE(host.Create());
    RecordingNotify notify;
    host.ctrl->SetNotifyManager(&notify);
    TabItem* a = host.AddTab("A");
    host.AddTab("B");
    host.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    host.ctrl->Update();
    notify.log.clear();
    host.ctrl->DeleteAll();
    EXPECT_EQ((std::vector<std::string>{"PreDestroy A -1", "PreDestroy B -1"}), notify.log);
    EXPECT_EQ(0, host.ctrl->GetCount());
    EXPECT_EQ(nullptr, host.ctrl->GetSel());
    EXPECT_EQ(-1, host.ctrl->GetIndex(a));
    EXPECT_EQ(0, host.ctrl->GetScrollPos());
    EXPECT_FALSE(host.ctrl->IsPartialView());

    host.AddTab("C");
    notify.log.clear();
    ::DestroyWindow(host.ctrl->Hwnd());
    EXPECT_EQ((std::vector<std::string>{"PreDestroy C -1"}), notify.log);
}

TEST(TabCtrlList, HundredsOfTabsWithOddCaptions) {
    Host host(300, 100);
    ASSERT_TRUE(host.Create());
    const std::string longCaption(5000, 'W');
    for (int i = 0; i < 300; ++i)
        host.ctrl->Add(nullptr, i % 3 == 0 ? "" : (i % 3 == 1 ? longCaption.c_str() : "x"), -1);
    host.ctrl->Update();
    ASSERT_EQ(300, host.ctrl->GetCount());
    for (int i = 0; i < 300; ++i)
        EXPECT_GE(host.ctrl->GetTab(i)->rect.right - host.ctrl->GetTab(i)->rect.left, 10) << i;
    Picture picture(*host.ctrl); // paints without trouble
    EXPECT_EQ(300, picture.width);

    host.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    host.ctrl->Update();
    EXPECT_TRUE(host.ctrl->IsPartialView());
    host.ctrl->ScrollToEnd();
    host.ctrl->Update();
    EXPECT_EQ(host.ctrl->GetMaxScrollPos(), host.ctrl->GetScrollPos());
    host.ctrl->DeleteAll();
    EXPECT_EQ(0, host.ctrl->GetCount());
}

TEST(TabCtrlList, ZeroSizedControlLaysOutWithoutHarm) {
    Tabs host({"A", "B"}, 0, 0);
    ASSERT_TRUE(host.created);
    host.ctrl->Update();
    EXPECT_LE(host.ctrl->GetTabsArea().left, 0);
    EXPECT_GE(host.ctrl->GetTab(1)->rect.right - host.ctrl->GetTab(1)->rect.left, 10);
    Picture picture(*host.ctrl);
}

TEST(TabCtrlList, HideSingleTabGivesThePaneTheWholeWindow) {
    Host host(300, 120);
    host.ctrl->SetHideSingleTab(true);
    ASSERT_TRUE(host.Create());
    TabItem* a = host.AddTab("A");
    host.ctrl->Update();
    EXPECT_TRUE(::IsRectEmpty(&a->rect));
    EXPECT_EQ(0, a->width);
    EXPECT_EQ(4, PaneRect(*host.ctrl, a->pane).top);
    EXPECT_EQ(116, PaneRect(*host.ctrl, a->pane).bottom);
    EXPECT_TRUE(Empty(host.ctrl->GetCtrlArea()));
    // A second tab brings the strip back.
    host.AddTab("B");
    host.ctrl->Update();
    EXPECT_FALSE(Empty(host.ctrl->GetCtrlArea()));
}

TEST(TabCtrlList, StateStoresOrderAndSelectionByPaneId) {
    MemoryProfile profile;
    {
        Host host;
        ASSERT_TRUE(host.Create());
        host.AddTab("A", 11);
        host.AddTab("B", 12);
        TabItem* c = host.AddTab("C", 13);
        host.ctrl->SetSel(c);
        ASSERT_TRUE(host.ctrl->SaveState(profile, "Tabs", "Order"));
    }
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(profile.GetProfileBinary("Tabs", "Order", bytes));
    EXPECT_EQ(20u, bytes.size());

    Host host;
    ASSERT_TRUE(host.Create());
    host.AddTab("C", 13);
    host.AddTab("A", 11);
    host.AddTab("B", 12);
    // Reversed order: C first, selected index 2 is C after the reorder.
    profile.WriteProfileBinary("Tabs", "Order",
                               {3, 0, 0, 0, 2, 0, 0, 0, 12, 0, 0, 0, 11, 0, 0, 0, 13, 0, 0, 0});
    EXPECT_TRUE(host.ctrl->LoadState(profile, "Tabs", "Order"));
    EXPECT_EQ("B,A,C", host.Order());
    EXPECT_EQ("C", host.ctrl->GetSel()->text);

    // An unknown pane id applies the order up to it and reports failure.
    profile.WriteProfileBinary("Tabs", "Order",
                               {3, 0, 0, 0, 0, 0, 0, 0, 13, 0, 0, 0, 99, 0, 0, 0, 12, 0, 0, 0});
    EXPECT_FALSE(host.ctrl->LoadState(profile, "Tabs", "Order"));
    EXPECT_EQ("C,B,A", host.Order());
    EXPECT_EQ(3, host.ctrl->GetCount());
    EXPECT_FALSE(host.ctrl->LoadState(profile, "Tabs", "Missing"));
    profile.WriteProfileBinary("Tabs", "Order", {3, 0});
    EXPECT_FALSE(host.ctrl->LoadState(profile, "Tabs", "Order"));
    EXPECT_EQ(3, host.ctrl->GetCount());
}

TEST(TabCtrlList, OwnedAndReferencedResources) {
    Host host;
    HFONT stock = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(host.ctrl->SetFontNormal(stock));
    EXPECT_NE(stock, host.ctrl->GetFontNormal()); // its own copy
    host.ctrl->SetFontSelectRef(stock);
    EXPECT_EQ(stock, host.ctrl->GetFontSelect());

    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    EXPECT_TRUE(host.ctrl->SetCursor(arrow));
    EXPECT_NE(nullptr, host.ctrl->GetCursor());
    EXPECT_NE(arrow, host.ctrl->GetCursor());
    host.ctrl->SetCursor(static_cast<HCURSOR>(nullptr));
    EXPECT_EQ(nullptr, host.ctrl->GetCursor());

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), 16 * 3, 16, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP glyphs = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_TRUE(host.ctrl->SetImageLists(glyphs, nullptr));
    EXPECT_EQ(16, host.ctrl->GetImageSize().cx);
    EXPECT_EQ(3, ::ImageList_GetImageCount(host.ctrl->GetImageList()));
    EXPECT_EQ(nullptr, host.ctrl->GetImageListDisabled());
    EXPECT_EQ(0, host.ctrl->GetImageDisabledSize().cx);
    // The minimum tab width grows by the image width.
    EXPECT_EQ(26, host.ctrl->GetRecalcManager()->GetTabMinWidth(host.ctrl.get(),
                                                                host.ctrl->GetRecalcBase()));
    ::DeleteObject(glyphs);
}

TEST(TabCtrlList, EnsureVisibleScrollsOnlyInScrollBehaviour) {
    Tabs host({"Programs", "Programs", "Programs", "Programs", "Programs", "Programs", "Programs",
               "Programs", "Programs", "Programs"},
              200, 80);
    ASSERT_TRUE(host.created);
    host.ctrl->Update();
    TabItem* last = host.ctrl->GetTab(9);
    host.ctrl->EnsureVisible(last); // shrink behaviour: nothing to scroll
    host.ctrl->Update();
    EXPECT_EQ(0, host.ctrl->GetScrollPos());

    host.ctrl->SetBehavior(TabCtrl::BehaviorScroll);
    host.ctrl->Update();
    bool partially = false;
    EXPECT_FALSE(host.ctrl->IsTabVisible(last, &partially));
    host.ctrl->EnsureVisible(last);
    host.ctrl->Update();
    EXPECT_TRUE(host.ctrl->IsTabVisible(last, &partially));
    EXPECT_FALSE(partially);
    EXPECT_GT(host.ctrl->GetScrollPos(), 0);
    host.ctrl->ScrollToBegin();
    host.ctrl->Update();
    EXPECT_EQ(0, host.ctrl->GetScrollPos());
    EXPECT_EQ(host.ctrl->GetTabsArea().left, host.ctrl->GetTab(0)->rect.left);
}
