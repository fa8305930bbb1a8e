// What the desktop's strip style paints, read back pixel by pixel from a memory bitmap.
#include "controls/tabctrl/tab_button_images.h"
#include "controls/tabctrl/tab_ctrl_style_base.h"
#include "support/tabctrl_test_host.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tabtest;

namespace {

const COLORREF kStrip = RGB(46, 64, 94);
const COLORREF kBand = RGB(206, 212, 223);

struct Painted : Host {
    explicit Painted(int width = 400, int height = 200) : Host(width, height) {
        Create();
        a = AddTab("Games");
        b = AddTab("Office");
        c = AddTab("Internet");
        ctrl->Update();
    }
    TabItem* a;
    TabItem* b;
    TabItem* c;
};

bool Near(COLORREF x, COLORREF y, int tolerance) {
    return std::abs(GetRValue(x) - GetRValue(y)) <= tolerance &&
           std::abs(GetGValue(x) - GetGValue(y)) <= tolerance &&
           std::abs(GetBValue(x) - GetBValue(y)) <= tolerance;
}

} // namespace

TEST(TabCtrlPaint, StripSelectedTabAndPaneBands) {
    Painted p;
    const RECT r = p.a->rect;
    const RECT ctrl = p.ctrl->GetCtrlArea();
    const RECT wnds = p.ctrl->GetWndsArea();
    Picture pic(*p.ctrl);

    EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(ctrl.right - 2, ctrl.top + 3)));
    // Selected tab: inner half flat, outer half a gradient, rounded corners.
    EXPECT_EQ(Rgb(kBand), Rgb(pic.At(r.left + 2, r.bottom - 1)));
    EXPECT_EQ(Rgb(kBand), Rgb(pic.At(r.left + 2, (r.top + r.bottom) / 2)));
    EXPECT_TRUE(Near(pic.At(r.left + 2, r.top), RGB(251, 252, 252), 2))
        << Rgb(pic.At(r.left + 2, r.top));
    EXPECT_TRUE(Near(pic.At(r.left + 2, (r.top + r.bottom) / 2 - 1), RGB(215, 220, 228), 4))
        << Rgb(pic.At(r.left + 2, (r.top + r.bottom) / 2 - 1));
    EXPECT_EQ("93,109,135", Rgb(pic.At(r.left, r.top)));
    EXPECT_EQ("192,198,206", Rgb(pic.At(r.left + 1, r.top)));
    EXPECT_EQ("190,196,204", Rgb(pic.At(r.left, r.top + 1)));
    EXPECT_EQ("93,109,135", Rgb(pic.At(r.right - 1, r.top)));
    EXPECT_EQ("192,198,206", Rgb(pic.At(r.right - 2, r.top)));
    EXPECT_EQ("190,196,204", Rgb(pic.At(r.right - 1, r.top + 1)));
    // Unselected, not hot: the strip shows through around the caption.
    EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(p.b->rect.left + 1, p.b->rect.top + 1)));

    // Bands of 4 rows above and below the pane, square beside the selected first tab.
    for (int y = wnds.top; y < wnds.top + 4; ++y)
        EXPECT_EQ(Rgb(kBand), Rgb(pic.At(200, y))) << y;
    for (int y = wnds.bottom - 4; y < wnds.bottom; ++y)
        EXPECT_EQ(Rgb(kBand), Rgb(pic.At(200, y))) << y;
    EXPECT_EQ(Rgb(kBand), Rgb(pic.At(wnds.left, wnds.top)));
    EXPECT_EQ("87,100,124", Rgb(pic.At(wnds.right - 1, wnds.top)));
    EXPECT_EQ("168,176,192", Rgb(pic.At(wnds.right - 2, wnds.top)));
    EXPECT_EQ("160,169,185", Rgb(pic.At(wnds.right - 1, wnds.top + 1)));
    EXPECT_EQ("76,91,116", Rgb(pic.At(wnds.left, wnds.bottom - 1)));
    EXPECT_EQ("163,173,190", Rgb(pic.At(wnds.left + 1, wnds.bottom - 1)));
    EXPECT_EQ("160,169,185", Rgb(pic.At(wnds.left, wnds.bottom - 2)));
    EXPECT_EQ("87,100,124", Rgb(pic.At(wnds.right - 1, wnds.bottom - 1)));

    // Captions: dark on the selected tab, light on the others.
    EXPECT_TRUE(pic.Contains(r, RGB(13, 0, 5)));
    EXPECT_FALSE(pic.Contains(r, RGB(248, 255, 255)));
    EXPECT_TRUE(pic.Contains(p.b->rect, RGB(248, 255, 255)));
    EXPECT_FALSE(pic.Contains(p.b->rect, RGB(13, 0, 5)));
}

TEST(TabCtrlPaint, RoundedNearCornerWhenAnotherTabIsSelected) {
    Painted p;
    p.ctrl->SetSel(p.b);
    p.ctrl->Update();
    Picture pic(*p.ctrl);
    const RECT wnds = p.ctrl->GetWndsArea();
    EXPECT_EQ("76,91,116", Rgb(pic.At(wnds.left, wnds.top)));
    EXPECT_EQ("163,173,190", Rgb(pic.At(wnds.left + 1, wnds.top)));
    EXPECT_EQ("160,169,185", Rgb(pic.At(wnds.left, wnds.top + 1)));
    // The first tab is now plain strip.
    EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(p.a->rect.left, p.a->rect.top)));
}

TEST(TabCtrlPaint, HotTabShapeAndHotFirstTabCorner) {
    Painted p;
    p.ctrl->SetSel(p.c);
    p.ctrl->Update();
    const POINT centre = p.Centre(p.a);
    p.Move(centre.x, centre.y);
    ASSERT_EQ(p.a, p.ctrl->GetHotElement().tab);
    Picture pic(*p.ctrl);
    const RECT r = p.a->rect;
    EXPECT_EQ("50,65,93", Rgb(pic.At(r.left, r.top)));
    EXPECT_EQ("120,135,157", Rgb(pic.At(r.left + 1, r.top)));
    EXPECT_EQ("117,130,150", Rgb(pic.At(r.left, r.top + 1)));
    EXPECT_EQ("115,126,139", Rgb(pic.At(r.left + 1, r.top + 1)));
    EXPECT_EQ("50,65,93", Rgb(pic.At(r.right - 1, r.top)));
    EXPECT_EQ("155,167,183", Rgb(pic.At(r.left, r.top + 5)));
    EXPECT_EQ("155,167,183", Rgb(pic.At(r.right - 1, r.bottom - 1)));
    EXPECT_EQ("155,167,183", Rgb(pic.At(r.left + 5, r.top)));
    EXPECT_TRUE(Near(pic.At(r.left + 2, r.bottom - 1), RGB(79, 95, 116), 4))
        << Rgb(pic.At(r.left + 2, r.bottom - 1));
    EXPECT_TRUE(Near(pic.At(r.left + 2, r.top + 2), RGB(111, 119, 118), 6))
        << Rgb(pic.At(r.left + 2, r.top + 2));
    // The band's near corner beside a hot first tab.
    const RECT wnds = p.ctrl->GetWndsArea();
    EXPECT_EQ("165,176,191", Rgb(pic.At(wnds.left, wnds.top)));
    EXPECT_EQ("170,179,193", Rgb(pic.At(wnds.left + 1, wnds.top)));
    EXPECT_EQ("192,199,212", Rgb(pic.At(wnds.left, wnds.top + 1)));
}

TEST(TabCtrlPaint, DisabledTabHasCaptionOnly) {
    Painted p;
    p.ctrl->SetTabDisabled(p.b, true);
    p.ctrl->Update();
    const POINT centre = p.Centre(p.b);
    p.Move(centre.x, centre.y); // hot, but disabled: still no shape
    Picture pic(*p.ctrl);
    EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(p.b->rect.left, p.b->rect.top)));
    EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(p.b->rect.left + 2, p.b->rect.bottom - 1)));
    EXPECT_TRUE(pic.Contains(p.b->rect, RGB(248, 255, 255)));
}

TEST(TabCtrlPaint, NoSelectionOrNoTabsFillsThePaneAreaWithoutBands) {
    Painted p;
    for (TabItem* t : {p.a, p.b, p.c})
        p.ctrl->SetTabDisabled(t, true);
    p.ctrl->Update();
    ASSERT_EQ(nullptr, p.ctrl->GetSel());
    {
        Picture pic(*p.ctrl);
        const RECT wnds = p.ctrl->GetWndsArea();
        for (int y : {wnds.top, wnds.top + 2, wnds.top + 50, wnds.bottom - 1})
            EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(wnds.left + 30, y))) << y;
        EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(wnds.left, wnds.top)));
    }
    p.ctrl->DeleteAll();
    p.ctrl->Update();
    Picture empty(*p.ctrl);
    for (int y : {0, 10, 100, 199})
        EXPECT_EQ(Rgb(kStrip), Rgb(empty.At(200, y))) << y;
}

TEST(TabCtrlPaint, LongCaptionIsCutWithAnEllipsisFromThePaddedEdge) {
    Host host(120, 80);
    ASSERT_TRUE(host.Create());
    host.AddTab("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    TabItem* other = host.AddTab("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    host.ctrl->Update();
    const RECT r = other->rect; // not selected: light caption
    ASSERT_LT(r.right - r.left, other->width);
    Picture pic(*host.ctrl);
    const COLORREF text = RGB(248, 255, 255);
    int leftmost = r.right;
    int rightmost = r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (pic.At(x, y) == text) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GE(leftmost, r.left + 5);
    EXPECT_LE(leftmost, r.left + 7);
    EXPECT_LT(rightmost, r.right - 5 + 1);
    // The last few text columns hold only the dots: a row or two, not letters' full height.
    int rowsWithText = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        bool any = false;
        for (int x = rightmost - 4; x <= rightmost; ++x)
            any = any || pic.At(x, y) == text;
        rowsWithText += any;
    }
    EXPECT_GE(rowsWithText, 1);
    EXPECT_LE(rowsWithText, 2);
}

TEST(TabCtrlPaint, ButtonsShowGlyphsAndFrameWhenHotOrPushed) {
    Painted p;
    UniqueBitmap images(CreateTabButtonImages(14));
    ASSERT_TRUE(p.ctrl->SetSystemImageList(images.Get()));
    p.ctrl->Update();
    const RECT close = p.ctrl->GetButtonCloseRect();
    {
        Picture pic(*p.ctrl);
        EXPECT_TRUE(pic.Contains(close, RGB(206, 212, 221)));
        EXPECT_EQ(Rgb(kStrip), Rgb(pic.At(close.left, close.top)));
    }
    p.Move(close.left + 1, close.top + 1);
    {
        Picture pic(*p.ctrl);
        EXPECT_EQ("229,195,101", Rgb(pic.At(close.left, close.top)));
        EXPECT_EQ("229,195,101", Rgb(pic.At(close.right - 1, close.bottom - 1)));
        EXPECT_EQ("255,252,244", Rgb(pic.At(close.left + 1, close.top + 1)));
        EXPECT_TRUE(pic.Contains(close, RGB(0, 0, 0)));
        EXPECT_FALSE(pic.Contains(close, RGB(206, 212, 221)));
    }
    p.Send(WM_LBUTTONDOWN, close.left + 1, close.top + 1, MK_LBUTTON);
    {
        Picture pic(*p.ctrl);
        EXPECT_EQ("255,232,166", Rgb(pic.At(close.left + 1, close.top + 1)));
    }
    p.Send(WM_LBUTTONUP, close.left + 1, close.top + 1);
}

TEST(TabCtrlPaint, TabsAtBottomAreMirrored) {
    Host host(400, 200);
    host.ctrl->SetLayout(TabCtrl::LayoutBottom);
    ASSERT_TRUE(host.Create());
    TabItem* a = host.AddTab("Games");
    host.AddTab("Office");
    host.ctrl->Update();
    const RECT r = a->rect;
    EXPECT_EQ(200, host.ctrl->GetCtrlArea().bottom);
    Picture pic(*host.ctrl);
    EXPECT_EQ("93,109,135", Rgb(pic.At(r.left, r.bottom - 1)));
    EXPECT_EQ("192,198,206", Rgb(pic.At(r.left + 1, r.bottom - 1)));
    EXPECT_EQ("190,196,204", Rgb(pic.At(r.left, r.bottom - 2)));
    EXPECT_EQ(Rgb(kBand), Rgb(pic.At(r.left + 2, r.top)));
    // GradientFill reaches its end colour only past the last row.
    EXPECT_TRUE(Near(pic.At(r.left + 2, r.bottom - 1), RGB(251, 252, 252), 6))
        << Rgb(pic.At(r.left + 2, r.bottom - 1));
    EXPECT_TRUE(Near(pic.At(r.left + 2, (r.top + r.bottom) / 2), RGB(215, 220, 228), 2))
        << Rgb(pic.At(r.left + 2, (r.top + r.bottom) / 2));
    const RECT wnds = host.ctrl->GetWndsArea();
    EXPECT_EQ(Rgb(kBand), Rgb(pic.At(wnds.left, wnds.bottom - 1))); // square by the first tab
    EXPECT_EQ("76,91,116", Rgb(pic.At(wnds.left, wnds.top)));
}

TEST(TabCtrlPaint, HotTabAtBottomIsMirrored) {
    Host host(400, 200);
    host.ctrl->SetLayout(TabCtrl::LayoutBottom);
    ASSERT_TRUE(host.Create());
    host.AddTab("Games");
    TabItem* b = host.AddTab("Office");
    host.ctrl->Update();
    const POINT centre = host.Centre(b);
    host.Move(centre.x, centre.y);
    Picture pic(*host.ctrl);
    const RECT r = b->rect;
    EXPECT_EQ("50,65,93", Rgb(pic.At(r.left, r.bottom - 1)));
    EXPECT_EQ("117,130,150", Rgb(pic.At(r.left, r.bottom - 2)));
    EXPECT_EQ("155,167,183", Rgb(pic.At(r.left, r.top)));
    EXPECT_EQ("155,167,183", Rgb(pic.At(r.right - 1, r.top)));
    EXPECT_TRUE(Near(pic.At(r.left + 2, r.top), RGB(79, 95, 116), 4))
        << Rgb(pic.At(r.left + 2, r.top));
}

TEST(TabCtrlPaint, BaseStyleUsesSystemColoursAndABandTowardsThePanes) {
    TabCtrlEx<TabCtrlStyle_base> ctrl;
    Host host(300, 120);
    RECT rc{0, 0, 300, 120};
    ASSERT_TRUE(ctrl.Create(host.parent, WS_CHILD | WS_VISIBLE, rc, 7));
    ctrl.Add(nullptr, "One", -1);
    ctrl.Add(nullptr, "Two", -1);
    ctrl.Update();
    // The control's own metrics: a 1-pixel border and a strip padding of 3, 1, 3, 2.
    const RECT strip = ctrl.GetCtrlArea();
    EXPECT_EQ(1, strip.top);
    Picture pic(ctrl);
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_BTNSHADOW)), Rgb(pic.At(0, 0)));
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_BTNSHADOW)), Rgb(pic.At(299, 119)));
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_BTNFACE)), Rgb(pic.At(strip.right - 2, strip.top + 1)));
    // The bottom padding (2 rows) is a band, with the separator on the row just above it.
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_BTNSHADOW)), Rgb(pic.At(strip.right - 2, strip.bottom - 3)));
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_WINDOW)), Rgb(pic.At(strip.right - 2, strip.bottom - 2)));
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_WINDOW)), Rgb(pic.At(strip.right - 2, strip.bottom - 1)));
    EXPECT_TRUE(pic.Contains(ctrl.GetTab(1)->rect, ::GetSysColor(COLOR_BTNTEXT)));
    // Without tabs the panes area shows the application workspace colour.
    ctrl.DeleteAll();
    ctrl.Update();
    Picture empty(ctrl);
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_APPWORKSPACE)), Rgb(empty.At(150, 60)));
}
