// What the desktop's strip style paints, read back pixel by pixel from a memory bitmap.
#include "controls/tabctrl/tab_button_images.h"
#include "controls/tabctrl/tab_ctrl_style_base.h"
#include "support/tabctrl_test_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <utility>

using namespace tabtest;

namespace {

const std::string kStrip = "46,64,94";
const std::string kBand = "206,212,223";
const COLORREF kLightText = RGB(248, 255, 255);
const COLORREF kDarkText = RGB(13, 0, 5);

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

struct Px {
    Px(int x, int y, std::string rgb) : x(x), y(y), rgb(std::move(rgb)) {}
    int x, y;
    std::string rgb;
};

void ExpectPixels(const Picture& pic, std::initializer_list<Px> pixels) {
    for (const Px& p : pixels)
        EXPECT_EQ(p.rgb, Rgb(pic.At(p.x, p.y))) << "at " << p.x << "," << p.y;
}

// GradientFill's exact colours vary a little between renderers.
void ExpectNear(const Picture& pic, int x, int y, COLORREF want, int tolerance) {
    const COLORREF got = pic.At(x, y);
    EXPECT_TRUE(std::abs(GetRValue(got) - GetRValue(want)) <= tolerance &&
                std::abs(GetGValue(got) - GetGValue(want)) <= tolerance &&
                std::abs(GetBValue(got) - GetBValue(want)) <= tolerance)
        << Rgb(got) << " at " << x << "," << y;
}

} // namespace

TEST(TabCtrlPaint, StripSelectedTabAndPaneBands) {
    Painted p;
    const RECT r = p.a->rect;
    const RECT ctrl = p.ctrl->GetCtrlArea();
    const RECT w = p.ctrl->GetWndsArea();
    Picture pic(*p.ctrl);
    const int mid = (r.top + r.bottom) / 2;

    // Selected tab: inner half flat, outer half a gradient, rounded corners. Unselected, not
    // hot: the strip shows through around the caption.
    ExpectPixels(pic,
                 {Px(ctrl.right - 2, ctrl.top + 3, kStrip), Px(r.left + 2, r.bottom - 1, kBand),
                  Px(r.left + 2, mid, kBand), Px(r.left, r.top, "93,109,135"),
                  Px(r.left + 1, r.top, "192,198,206"), Px(r.left, r.top + 1, "190,196,204"),
                  Px(r.right - 1, r.top, "93,109,135"), Px(r.right - 2, r.top, "192,198,206"),
                  Px(r.right - 1, r.top + 1, "190,196,204"),
                  Px(p.b->rect.left + 1, p.b->rect.top + 1, kStrip)});
    ExpectNear(pic, r.left + 2, r.top, RGB(251, 252, 252), 2);
    ExpectNear(pic, r.left + 2, mid - 1, RGB(215, 220, 228), 4);

    // Bands of 4 rows above and below the pane, square beside the selected first tab.
    for (int y = 0; y < 4; ++y)
        ExpectPixels(pic, {Px(200, w.top + y, kBand), Px(200, w.bottom - 1 - y, kBand)});
    ExpectPixels(
        pic,
        {Px(w.left, w.top, kBand), Px(w.right - 1, w.top, "87,100,124"),
         Px(w.right - 2, w.top, "168,176,192"), Px(w.right - 1, w.top + 1, "160,169,185"),
         Px(w.left, w.bottom - 1, "76,91,116"), Px(w.left + 1, w.bottom - 1, "163,173,190"),
         Px(w.left, w.bottom - 2, "160,169,185"), Px(w.right - 1, w.bottom - 1, "87,100,124")});

    // Captions: dark on the selected tab, light on the others.
    EXPECT_TRUE(pic.Contains(r, kDarkText));
    EXPECT_FALSE(pic.Contains(r, kLightText));
    EXPECT_TRUE(pic.Contains(p.b->rect, kLightText));
    EXPECT_FALSE(pic.Contains(p.b->rect, kDarkText));
}

TEST(TabCtrlPaint, RoundedNearCornerWhenAnotherTabIsSelected) {
    Painted p;
    p.ctrl->SetSel(p.b);
    p.ctrl->Update();
    Picture pic(*p.ctrl);
    const RECT w = p.ctrl->GetWndsArea();
    // The first tab is now plain strip.
    ExpectPixels(pic,
                 {Px(w.left, w.top, "76,91,116"), Px(w.left + 1, w.top, "163,173,190"),
                  Px(w.left, w.top + 1, "160,169,185"), Px(p.a->rect.left, p.a->rect.top, kStrip)});
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
    const RECT w = p.ctrl->GetWndsArea();
    // The band's near corner beside a hot first tab comes last.
    ExpectPixels(pic,
                 {Px(r.left, r.top, "50,65,93"), Px(r.left + 1, r.top, "120,135,157"),
                  Px(r.left, r.top + 1, "117,130,150"), Px(r.left + 1, r.top + 1, "115,126,139"),
                  Px(r.right - 1, r.top, "50,65,93"), Px(r.left, r.top + 5, "155,167,183"),
                  Px(r.right - 1, r.bottom - 1, "155,167,183"),
                  Px(r.left + 5, r.top, "155,167,183"), Px(w.left, w.top, "165,176,191"),
                  Px(w.left + 1, w.top, "170,179,193"), Px(w.left, w.top + 1, "192,199,212")});
    ExpectNear(pic, r.left + 2, r.bottom - 1, RGB(79, 95, 116), 4);
    ExpectNear(pic, r.left + 2, r.top + 2, RGB(111, 119, 118), 6);
}

TEST(TabCtrlPaint, DisabledTabHasCaptionOnly) {
    Painted p;
    p.ctrl->SetTabDisabled(p.b, true);
    p.ctrl->Update();
    const POINT centre = p.Centre(p.b);
    p.Move(centre.x, centre.y); // hot, but disabled: still no shape
    Picture pic(*p.ctrl);
    const RECT r = p.b->rect;
    ExpectPixels(pic, {Px(r.left, r.top, kStrip), Px(r.left + 2, r.bottom - 1, kStrip)});
    EXPECT_TRUE(pic.Contains(r, kLightText));
}

TEST(TabCtrlPaint, NoSelectionOrNoTabsFillsThePaneAreaWithoutBands) {
    Painted p;
    for (TabItem* t : {p.a, p.b, p.c})
        p.ctrl->SetTabDisabled(t, true);
    p.ctrl->Update();
    ASSERT_EQ(nullptr, p.ctrl->GetSel());
    {
        Picture pic(*p.ctrl);
        const RECT w = p.ctrl->GetWndsArea();
        ExpectPixels(pic, {Px(w.left + 30, w.top, kStrip), Px(w.left + 30, w.top + 2, kStrip),
                           Px(w.left + 30, w.top + 50, kStrip),
                           Px(w.left + 30, w.bottom - 1, kStrip), Px(w.left, w.top, kStrip)});
    }
    p.ctrl->DeleteAll();
    p.ctrl->Update();
    Picture empty(*p.ctrl);
    ExpectPixels(empty,
                 {{200, 0, kStrip}, {200, 10, kStrip}, {200, 100, kStrip}, {200, 199, kStrip}});
}

TEST(TabCtrlPaint, LongCaptionIsCutWithAnEllipsisFromThePaddedEdge) {
    Host host(120, 80);
    ASSERT_TRUE(host.Create());
    const std::string caption(40, 'W');
    host.AddTab(caption.c_str());
    TabItem* other = host.AddTab(caption.c_str());
    host.ctrl->Update();
    const RECT r = other->rect; // not selected: light caption
    ASSERT_LT(r.right - r.left, other->width);
    Picture pic(*host.ctrl);
    int leftmost = r.right;
    int rightmost = r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (pic.At(x, y) == kLightText) {
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
    for (int y = r.top; y < r.bottom; ++y)
        rowsWithText += pic.Contains({rightmost - 4, y, rightmost + 1, y + 1}, kLightText);
    EXPECT_GE(rowsWithText, 1);
    EXPECT_LE(rowsWithText, 2);
}

TEST(TabCtrlPaint, ButtonsShowGlyphsAndFrameWhenHotOrPushed) {
    Painted p;
    UniqueBitmap images(CreateTabButtonImages(14));
    ASSERT_TRUE(p.ctrl->SetSystemImageList(images.Get()));
    p.ctrl->Update();
    const RECT close = p.ctrl->GetButtonCloseRect();
    const COLORREF glyph = RGB(206, 212, 221);
    {
        Picture pic(*p.ctrl);
        EXPECT_TRUE(pic.Contains(close, glyph));
        ExpectPixels(pic, {Px(close.left, close.top, kStrip)});
    }
    p.Move(close.left + 1, close.top + 1);
    {
        Picture pic(*p.ctrl);
        ExpectPixels(pic, {Px(close.left, close.top, "229,195,101"),
                           Px(close.right - 1, close.bottom - 1, "229,195,101"),
                           Px(close.left + 1, close.top + 1, "255,252,244")});
        EXPECT_TRUE(pic.Contains(close, RGB(0, 0, 0)));
        EXPECT_FALSE(pic.Contains(close, glyph));
    }
    p.Send(WM_LBUTTONDOWN, close.left + 1, close.top + 1, MK_LBUTTON);
    ExpectPixels(Picture(*p.ctrl), {Px(close.left + 1, close.top + 1, "255,232,166")});
    p.Send(WM_LBUTTONUP, close.left + 1, close.top + 1);
}

TEST(TabCtrlPaint, TabsAtBottomAreMirroredPlainAndHot) {
    Host host(400, 200);
    host.ctrl->SetLayout(TabCtrl::LayoutBottom);
    ASSERT_TRUE(host.Create());
    TabItem* a = host.AddTab("Games");
    TabItem* b = host.AddTab("Office");
    host.ctrl->Update();
    EXPECT_EQ(200, host.ctrl->GetCtrlArea().bottom);
    {
        Picture pic(*host.ctrl);
        const RECT r = a->rect;
        const RECT w = host.ctrl->GetWndsArea();
        // The band is square by the first tab.
        ExpectPixels(pic, {Px(r.left, r.bottom - 1, "93,109,135"),
                           Px(r.left + 1, r.bottom - 1, "192,198,206"),
                           Px(r.left, r.bottom - 2, "190,196,204"), Px(r.left + 2, r.top, kBand),
                           Px(w.left, w.bottom - 1, kBand), Px(w.left, w.top, "76,91,116")});
        // GradientFill reaches its end colour only past the last row.
        ExpectNear(pic, r.left + 2, r.bottom - 1, RGB(251, 252, 252), 6);
        ExpectNear(pic, r.left + 2, (r.top + r.bottom) / 2, RGB(215, 220, 228), 2);
    }
    const POINT centre = host.Centre(b);
    host.Move(centre.x, centre.y);
    Picture pic(*host.ctrl);
    const RECT r = b->rect;
    ExpectPixels(pic,
                 {Px(r.left, r.bottom - 1, "50,65,93"), Px(r.left, r.bottom - 2, "117,130,150"),
                  Px(r.left, r.top, "155,167,183"), Px(r.right - 1, r.top, "155,167,183")});
    ExpectNear(pic, r.left + 2, r.top, RGB(79, 95, 116), 4);
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
    const RECT s = ctrl.GetCtrlArea();
    EXPECT_EQ(1, s.top);
    Picture pic(ctrl);
    const std::string shadow = Rgb(::GetSysColor(COLOR_BTNSHADOW));
    const std::string window = Rgb(::GetSysColor(COLOR_WINDOW));
    // The bottom padding (2 rows) is a band, with the separator on the row just above it.
    ExpectPixels(pic, {Px(0, 0, shadow), Px(299, 119, shadow),
                       Px(s.right - 2, s.top + 1, Rgb(::GetSysColor(COLOR_BTNFACE))),
                       Px(s.right - 2, s.bottom - 3, shadow), Px(s.right - 2, s.bottom - 2, window),
                       Px(s.right - 2, s.bottom - 1, window)});
    EXPECT_TRUE(pic.Contains(ctrl.GetTab(1)->rect, ::GetSysColor(COLOR_BTNTEXT)));
    // Without tabs the panes area shows the application workspace colour.
    ctrl.DeleteAll();
    ctrl.Update();
    ExpectPixels(Picture(ctrl), {Px(150, 60, Rgb(::GetSysColor(COLOR_APPWORKSPACE)))});
}
