// The themed icon button and its default-button base as real windows: keyboard and mouse
// clicks, the dialog manager's default button, hot tracking, the icon and its grey copy, and
// classic drawing without the visual-style library.

#include "controls/button/odd_button.h"
#include "controls/button/xbutton_xp.h"
#include "controls/button/xtheme_helper.h"
#include "resource.h"
#include "support/control_test_host.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace controltest;

// Records every command its buttons send.
class ButtonHost : public ControlHost {
public:
    ButtonHost() : ControlHost("KorvaneButtonTestHost", 0, {100, 100, 420, 220}) {}
    struct Command {
        int id, code;
        HWND from;
    };
    std::vector<Command> commands;

protected:
    bool Record(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) override {
        if (message != WM_COMMAND || !lParam)
            return false;
        commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return true;
    }
};

// Records the hot flag of every paint.
class RecordingButton : public CXButtonXP {
public:
    std::vector<bool> paints;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override {
        paints.push_back(IsHot());
        CXButtonXP::DrawItem(item);
    }
};

// A 32 x 32 icon of one opaque colour (0xAARRGGBB pixels, as the icon's bitmap holds them).
HICON SolidIcon(std::uint32_t argb) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP colour = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::fill_n(static_cast<std::uint32_t*>(bits), 32 * 32, argb);
    const std::vector<BYTE> maskBits(32 * 32 / 8, 0);
    HBITMAP mask = ::CreateBitmap(32, 32, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

bool OwnerDrawn(const COddButton& b) {
    return (b.Style() & 0x0F) == static_cast<DWORD>(BS_OWNERDRAW);
}

// Drops back to classic drawing for the rest of the scope.
struct WithoutVisualStyles {
    WithoutVisualStyles() { CXThemeHelper::ReloadLibraryForTesting("korvane-missing-uxtheme.dll"); }
    ~WithoutVisualStyles() { CXThemeHelper::ReloadLibraryForTesting(nullptr); }
};

class ButtonTest : public SharedHostTest<ButtonHost> {
protected:
    void SetUp() override {
        ParkCursor();
        host->commands.clear();
    }
    void TearDown() override { PumpMessages(); }

    int Clicks(HWND from) const {
        int n = 0;
        for (const auto& c : host->commands)
            n += c.from == from && c.code == BN_CLICKED;
        return n;
    }
};

TEST_F(ButtonTest, HoldingSpaceOrEnterClicksOnce) {
    CXButtonXP button;
    ASSERT_TRUE(
        button.Create("Hold", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 90, 40}, host->Hwnd(), 101));
    constexpr LPARAM kRepeat = 1 | (1u << 30);
    for (const UINT key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_SPACE ? "space" : "enter");
        host->commands.clear();
        ::SendMessageA(button.Hwnd(), WM_KEYDOWN, key, 1);
        for (int i = 0; i < 5; ++i)
            ::SendMessageA(button.Hwnd(), WM_KEYDOWN, key, kRepeat);
        EXPECT_EQ(Clicks(button.Hwnd()), 0) << "nothing before the key is released";
        ::SendMessageA(button.Hwnd(), WM_KEYUP, key, kRepeat | (1u << 31));
        EXPECT_EQ(Clicks(button.Hwnd()), 1);
        EXPECT_EQ(host->commands.back().id, 101);
    }
}

TEST_F(ButtonTest, DoubleClickGivesTwoCommands) {
    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 50, 50}, host->Hwnd(), 102));
    const LPARAM at = MAKELPARAM(5, 5);
    ::SendMessageA(button.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(button.Hwnd(), WM_LBUTTONUP, 0, at);
    ::SendMessageA(button.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    EXPECT_TRUE(::SendMessageA(button.Hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED)
        << "the second press shows pressed";
    ::SendMessageA(button.Hwnd(), WM_LBUTTONUP, 0, at);

    EXPECT_EQ(Clicks(button.Hwnd()), 2);
    EXPECT_FALSE(::SendMessageA(button.Hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    for (const auto& c : host->commands)
        EXPECT_NE(c.code, BN_DOUBLECLICKED);
}

TEST_F(ButtonTest, ThemedButtonWantsAllKeysButTab) {
    CXButtonXP button;
    ASSERT_TRUE(
        button.Create("", WS_VISIBLE | BS_DEFPUSHBUTTON, {10, 10, 50, 50}, host->Hwnd(), 103));
    for (const WPARAM key : {VK_TAB, VK_RETURN}) {
        MSG msg{button.Hwnd(), WM_KEYDOWN, key, 0};
        EXPECT_EQ(::SendMessageA(button.Hwnd(), WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)),
                  key == VK_TAB ? 0 : DLGC_WANTALLKEYS);
    }
    EXPECT_TRUE(button.IsDefault());
    EXPECT_TRUE(OwnerDrawn(button));
}

TEST_F(ButtonTest, OwnerDrawnDefaultButtonKeepsItsDialogCode) {
    COddButton ok, other, radio;
    ASSERT_TRUE(
        ok.Create("OK", WS_VISIBLE | BS_DEFPUSHBUTTON, {10, 10, 80, 40}, host->Hwnd(), 104));
    ASSERT_TRUE(
        other.Create("Other", WS_VISIBLE | BS_PUSHBUTTON, {90, 10, 160, 40}, host->Hwnd(), 105));
    ASSERT_TRUE(radio.Create("Radio", WS_VISIBLE | BS_AUTORADIOBUTTON, {170, 10, 240, 40},
                             host->Hwnd(), 106));
    EXPECT_TRUE(OwnerDrawn(ok));
    EXPECT_EQ(ok.DeclaredType(), BS_PUSHBUTTON);
    auto code = [](const COddButton& b) {
        return static_cast<UINT>(::SendMessageA(b.Hwnd(), WM_GETDLGCODE, 0, 0)) &
               (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON);
    };
    EXPECT_EQ(code(ok), static_cast<UINT>(DLGC_DEFPUSHBUTTON));
    EXPECT_EQ(code(other), static_cast<UINT>(DLGC_UNDEFPUSHBUTTON));
    EXPECT_EQ(code(radio), static_cast<UINT>(DLGC_RADIOBUTTON));

    // The dialog manager's way of moving the default look: the type changes, owner-draw stays.
    ::SendMessageA(ok.Hwnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(other.Hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_FALSE(ok.IsDefault());
    EXPECT_TRUE(other.IsDefault());
    EXPECT_EQ(code(ok), static_cast<UINT>(DLGC_UNDEFPUSHBUTTON));
    EXPECT_EQ(code(other), static_cast<UINT>(DLGC_DEFPUSHBUTTON));
    EXPECT_TRUE(OwnerDrawn(ok));
    EXPECT_TRUE(OwnerDrawn(other));
}

// A dialog with two push buttons, built in memory.
HWND CreateTwoButtonDialog(HWND owner) {
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
        DLGITEMTEMPLATE ok;
        WORD okClass[2], okText, okData, pad;
        DLGITEMTEMPLATE other;
        WORD otherClass[2], otherText, otherData;
    } t{};
    static_assert(offsetof(Template, other) % 4 == 0);
    t.dialog = {WS_POPUP, 0, 2, 0, 0, 120, 60};
    t.ok = {WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 5, 5, 50, 14, IDOK};
    t.other = {WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 60, 5, 50, 14, 200};
    t.okClass[0] = t.otherClass[0] = 0xFFFF;
    t.okClass[1] = t.otherClass[1] = 0x0080; // button
    return ::CreateDialogIndirectParamA(
        nullptr, &t.dialog, owner,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0);
}

TEST_F(ButtonTest, DialogManagerMovesTheDefaultBetweenOwnerDrawnButtons) {
    HWND dialog = CreateTwoButtonDialog(host->Hwnd());
    ASSERT_NE(dialog, nullptr);
    COddButton ok, other;
    ASSERT_TRUE(ok.Attach(::GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(other.Attach(::GetDlgItem(dialog, 200)));
    EXPECT_TRUE(ok.IsDefault());

    ::SendMessageA(dialog, DM_SETDEFID, 200, 0);
    EXPECT_FALSE(ok.IsDefault());
    EXPECT_TRUE(other.IsDefault());
    EXPECT_EQ(LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)), 200);
    EXPECT_TRUE(OwnerDrawn(other));

    ::SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
    EXPECT_TRUE(ok.IsDefault());
    EXPECT_FALSE(other.IsDefault());
    ::DestroyWindow(dialog);
    EXPECT_EQ(ok.Hwnd(), nullptr) << "the object lets go of a destroyed window";
}

TEST_F(ButtonTest, IconOnlyButtonCentresItsIconAndGreysItWhenDisabled) {
    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 58, 58}, host->Hwnd(), 107));
    const HWND b = button.Hwnd();
    button.SetIcon(SolidIcon(0xFFFF0000), 0);
    ASSERT_NE(button.Icon(), nullptr);
    ASSERT_NE(button.GreyIcon(), nullptr);

    // 48 x 48: the 32 x 32 icon spans 8..39 both ways.
    EXPECT_EQ(PixelOf(b, 8, 8), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(b, 39, 39), RGB(255, 0, 0));
    for (const POINT outside : {POINT{7, 24}, POINT{40, 24}, POINT{24, 7}})
        EXPECT_NE(PixelOf(b, outside.x, outside.y), RGB(255, 0, 0))
            << outside.x << "," << outside.y;

    ::EnableWindow(b, FALSE);
    ::UpdateWindow(b);
    EXPECT_EQ(PixelOf(b, 8, 8), RGB(85, 85, 85));
    EXPECT_EQ(PixelOf(b, 24, 24), RGB(85, 85, 85));

    // A new icon replaces both copies.
    HICON oldGrey = button.GreyIcon();
    button.SetIcon(SolidIcon(0xFFFFFFFF), 0);
    EXPECT_NE(button.GreyIcon(), oldGrey);
    EXPECT_EQ(PixelOf(b, 24, 24), RGB(254, 254, 254));
    button.SetIcon(static_cast<HICON>(nullptr), 0);
    EXPECT_EQ(button.GreyIcon(), nullptr);
}

TEST_F(ButtonTest, HoverAndLeaveRedrawHotAndNormalOnceEach) {
    RecordingButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 50, 50}, host->Hwnd(), 108));
    ::UpdateWindow(button.Hwnd());
    PumpMessages(50);
    button.paints.clear();

    POINT centre{20, 20};
    ::ClientToScreen(button.Hwnd(), &centre);
    ::SetCursorPos(centre.x, centre.y);
    for (int i = 0; i < 3; ++i)
        ::SendMessageA(button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20 + i, 20));
    PumpMessages(300);
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(button.paints, std::vector<bool>{true});

    // The real pointer leaves: the tracking request reports it.
    ParkCursor();
    for (int i = 0; i < 40 && button.IsHot(); ++i)
        PumpMessages(25);
    PumpMessages(200);
    EXPECT_FALSE(button.IsHot());
    EXPECT_EQ(button.paints, (std::vector<bool>{true, false}));
}

// The desktop's own buttons are of the system's button class, not the common controls' one
// that the manifest hands "BUTTON" to; both kinds must click and hover alike.
TEST_F(ButtonTest, SystemClassButtonClicksAndHoversLikeTheCommonControlsOne) {
    ATOM atoms[2] = {};
    for (const bool plain : {false, true}) {
        SCOPED_TRACE(plain ? "system class" : "common controls");
        RecordingButton button;
        const RECT rect{10, 10, 50, 50};
        ASSERT_TRUE(
            plain ? button.CreateWithoutCommonControls("", WS_VISIBLE, rect, host->Hwnd(), 115)
                  : button.Create("", WS_VISIBLE, rect, host->Hwnd(), 115));
        atoms[plain] = static_cast<ATOM>(::GetClassLongPtrA(button.Hwnd(), GCW_ATOM));
        ::UpdateWindow(button.Hwnd());
        PumpMessages(50);
        button.paints.clear();
        host->commands.clear();

        ::SendMessageA(button.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(button.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(Clicks(button.Hwnd()), 1);
        ParkCursor();
        PumpMessages(100);
        button.paints.clear();

        POINT centre{20, 20};
        ::ClientToScreen(button.Hwnd(), &centre);
        ::SetCursorPos(centre.x, centre.y);
        ::SendMessageA(button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
        PumpMessages(300);
        EXPECT_EQ(button.paints, std::vector<bool>{true}) << "one hot repaint";
        ParkCursor();
        PumpMessages(100);
    }
    EXPECT_EQ(atoms[true], ::GlobalFindAtomA("Button"));
    EXPECT_NE(atoms[true], atoms[false]) << "the manifest's class was taken";
}

TEST_F(ButtonTest, DrawsClassicallyWithoutTheVisualStyleLibrary) {
    WithoutVisualStyles classic;
    EXPECT_FALSE(g_themeHelper.IsThemeLibAvailable());
    EXPECT_FALSE(g_themeHelper.IsAppThemed());
    EXPECT_EQ(g_themeHelper.OpenThemeData(host->Hwnd(), "Button"), nullptr);

    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 58, 58}, host->Hwnd(), 109));
    const HWND b = button.Hwnd();
    ::UpdateWindow(b);
    EXPECT_FALSE(button.IsThemed());
    // A classic raised edge around the button face.
    EXPECT_EQ(PixelOf(b, 0, 0), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(PixelOf(b, 1, 1), ::GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(PixelOf(b, 47, 47), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(PixelOf(b, 46, 46), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelOf(b, 24, 24), ::GetSysColor(COLOR_BTNFACE));

    // Pressed: sunken.
    ::SendMessageA(b, BM_SETSTATE, TRUE, 0);
    ::UpdateWindow(b);
    EXPECT_EQ(PixelOf(b, 0, 0), ::GetSysColor(COLOR_3DSHADOW));
}

TEST_F(ButtonTest, ThemedWhenTheLibraryAndAThemeAreThere) {
    if (!g_themeHelper.IsThemeLibAvailable() || !g_themeHelper.IsAppThemed())
        GTEST_SKIP() << "no visual style active on this system";
    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 58, 58}, host->Hwnd(), 110));
    ::UpdateWindow(button.Hwnd());
    EXPECT_TRUE(button.IsThemed());
    button.EnableTheming(false);
    EXPECT_FALSE(button.IsThemed());
    button.EnableTheming(true);
    button.SetBackgroundColour(RGB(0, 128, 0));
    EXPECT_FALSE(button.IsThemed()) << "a custom colour draws classically";
    ::UpdateWindow(button.Hwnd());
    EXPECT_EQ(PixelOf(button.Hwnd(), 24, 24), RGB(0, 128, 0));
}

// The real application icon, themed and classic: the disabled button draws it without colour
// while another button is hot. Leaves pictures of the row when KORVANE_SHOT_DIR is set.
TEST_F(ButtonTest, DisabledApplicationIconIsGreyThemedAndClassic) {
    const char* dir = std::getenv("KORVANE_SHOT_DIR");
    for (const bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "classic" : "themed");
        std::unique_ptr<WithoutVisualStyles> without;
        if (classic)
            without = std::make_unique<WithoutVisualStyles>();
        CXButtonXP normal, hot, disabled, captioned;
        ASSERT_TRUE(normal.Create("", WS_VISIBLE, {10, 10, 58, 58}, host->Hwnd(), 111));
        ASSERT_TRUE(hot.Create("", WS_VISIBLE, {68, 10, 116, 58}, host->Hwnd(), 112));
        ASSERT_TRUE(disabled.Create("", WS_VISIBLE, {126, 10, 174, 58}, host->Hwnd(), 113));
        ASSERT_TRUE(captioned.Create("Caption", WS_VISIBLE, {184, 10, 304, 58}, host->Hwnd(), 114));
        for (CXButtonXP* b : {&normal, &hot, &disabled, &captioned})
            b->SetIcon(IDI_KORVANE, 0);
        ::EnableWindow(disabled.Hwnd(), FALSE);
        POINT centre{24, 24};
        ::ClientToScreen(hot.Hwnd(), &centre);
        ::SetCursorPos(centre.x, centre.y);
        ::SendMessageA(hot.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(24, 24));
        ::UpdateWindow(host->Hwnd());
        PumpMessages(100);
        EXPECT_TRUE(hot.IsHot());
        EXPECT_FALSE(normal.IsHot());
        EXPECT_EQ(normal.IsThemed(), !classic && g_themeHelper.IsAppThemed());

        int colourful = 0;
        for (int y = 8; y < 40; ++y) {
            for (int x = 8; x < 40; ++x) {
                const COLORREF c = PixelOf(disabled.Hwnd(), x, y);
                colourful += !(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
            }
        }
        EXPECT_EQ(colourful, 0) << "the disabled icon is grey";
        if (dir)
            SaveWindowsPicture({host->Hwnd()}, std::string(dir) + (classic ? "\\buttons_classic.bmp"
                                                                           : "\\buttons.bmp"));
        ParkCursor();
    }
}

} // namespace
