// The themed icon button and its default-button base as real windows: keyboard and mouse
// clicks, the dialog manager's default button, hot tracking, the icon and its grey copy, and
// classic drawing without the visual-style library.

#include "controls/button/odd_button.h"
#include "controls/button/xbutton_xp.h"
#include "controls/button/xtheme_helper.h"
#include "framework/reflect.h"
#include "framework/window.h"
#include "resource.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The buttons' parent: reflects notifications to its children and counts clicks.
class ButtonHost : public Window {
public:
    ButtonHost() {
        RegisterClass("KorvaneButtonTestHost", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateEx(WS_EX_NOACTIVATE, "KorvaneButtonTestHost", "button host", WS_POPUP,
                 {100, 100, 420, 220}, nullptr, nullptr);
        ::ShowWindow(Hwnd(), SW_SHOWNA);
    }
    struct Command {
        int id;
        int code;
        HWND from;
    };
    std::vector<Command> commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        if (message == WM_COMMAND && lParam) {
            commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
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
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    std::fill_n(static_cast<std::uint32_t*>(bits), 32 * 32, argb);
    std::vector<BYTE> maskBits(32 * 32 / 8, 0);
    HBITMAP mask = ::CreateBitmap(32, 32, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

COLORREF PixelOf(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return c;
}

constexpr std::uint32_t kKeyRepeat = 1u << 30;

class ButtonTest : public ::testing::Test {
protected:
    // One host for all tests (destroying a top-level window costs two seconds under Wine).
    static void SetUpTestSuite() { sharedHost = new ButtonHost; }
    static void TearDownTestSuite() {
        delete sharedHost;
        sharedHost = nullptr;
    }
    void SetUp() override {
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, 0);
        host = sharedHost;
        host->commands.clear();
    }
    void TearDown() override { PumpMessages(); }

    int Clicks(HWND from) const {
        int n = 0;
        for (const auto& c : host->commands)
            n += c.from == from && c.code == BN_CLICKED;
        return n;
    }

    static ButtonHost* sharedHost;
    ButtonHost* host = nullptr;
};

ButtonHost* ButtonTest::sharedHost = nullptr;

TEST_F(ButtonTest, HoldingSpaceOrEnterClicksOnce) {
    CXButtonXP button;
    ASSERT_TRUE(
        button.Create("Hold", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 90, 40}, host->Hwnd(), 101));
    for (const UINT key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_SPACE ? "space" : "enter");
        host->commands.clear();
        ::SendMessageA(button.Hwnd(), WM_KEYDOWN, key, 1);
        for (int i = 0; i < 5; ++i)
            ::SendMessageA(button.Hwnd(), WM_KEYDOWN, key, 1 | kKeyRepeat);
        EXPECT_EQ(Clicks(button.Hwnd()), 0) << "nothing before the key is released";
        ::SendMessageA(button.Hwnd(), WM_KEYUP, key, 1 | kKeyRepeat | (1u << 31));
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
    MSG tab{button.Hwnd(), WM_KEYDOWN, VK_TAB, 0};
    MSG enter{button.Hwnd(), WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_EQ(::SendMessageA(button.Hwnd(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)),
              0);
    EXPECT_EQ(
        ::SendMessageA(button.Hwnd(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)),
        DLGC_WANTALLKEYS);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_EQ(button.Style() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(ButtonTest, OwnerDrawnDefaultButtonKeepsItsDialogCode) {
    COddButton defaultButton, other, radio;
    ASSERT_TRUE(defaultButton.Create("OK", WS_VISIBLE | BS_DEFPUSHBUTTON, {10, 10, 80, 40},
                                     host->Hwnd(), 104));
    ASSERT_TRUE(
        other.Create("Other", WS_VISIBLE | BS_PUSHBUTTON, {90, 10, 160, 40}, host->Hwnd(), 105));
    ASSERT_TRUE(radio.Create("Radio", WS_VISIBLE | BS_AUTORADIOBUTTON, {170, 10, 240, 40},
                             host->Hwnd(), 106));
    EXPECT_EQ(defaultButton.Style() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(defaultButton.DeclaredType(), BS_PUSHBUTTON);
    auto code = [](const COddButton& b) {
        return static_cast<UINT>(::SendMessageA(b.Hwnd(), WM_GETDLGCODE, 0, 0));
    };
    EXPECT_TRUE(code(defaultButton) & DLGC_DEFPUSHBUTTON);
    EXPECT_FALSE(code(defaultButton) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_TRUE(code(other) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_TRUE(code(radio) & DLGC_RADIOBUTTON);
    EXPECT_FALSE(code(radio) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));

    // The dialog manager's way of moving the default look: the type changes, owner-draw stays.
    ::SendMessageA(defaultButton.Hwnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageA(other.Hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_FALSE(defaultButton.IsDefault());
    EXPECT_TRUE(other.IsDefault());
    EXPECT_TRUE(code(defaultButton) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_TRUE(code(other) & DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(defaultButton.Style() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(other.Style() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));
}

// A dialog with two push buttons, built in memory.
HWND CreateTwoButtonDialog(HWND owner) {
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
        DLGITEMTEMPLATE ok;
        WORD okClass[2], okText, okData;
        WORD pad1;
        DLGITEMTEMPLATE other;
        WORD otherClass[2], otherText, otherData;
    } t{};
    t.dialog = {WS_POPUP, 0, 2, 0, 0, 120, 60};
    t.ok = {WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 5, 5, 50, 14, IDOK};
    t.okClass[0] = 0xFFFF;
    t.okClass[1] = 0x0080; // button
    t.other = {WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 60, 5, 50, 14, 200};
    t.otherClass[0] = 0xFFFF;
    t.otherClass[1] = 0x0080;
    static_assert(offsetof(Template, other) % 4 == 0);
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
    EXPECT_EQ(other.Style() & 0x0F, static_cast<DWORD>(BS_OWNERDRAW));

    ::SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
    EXPECT_TRUE(ok.IsDefault());
    EXPECT_FALSE(other.IsDefault());
    ::DestroyWindow(dialog);
    EXPECT_EQ(ok.Hwnd(), nullptr) << "the object lets go of a destroyed window";
}

TEST_F(ButtonTest, IconOnlyButtonCentresItsIconAndGreysItWhenDisabled) {
    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 58, 58}, host->Hwnd(), 107));
    button.SetIcon(SolidIcon(0xFFFF0000), 0);
    ASSERT_NE(button.Icon(), nullptr);
    ASSERT_NE(button.GreyIcon(), nullptr);

    // 48 x 48: the 32 x 32 icon spans 8..39 both ways.
    EXPECT_EQ(PixelOf(button.Hwnd(), 8, 8), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(button.Hwnd(), 39, 39), RGB(255, 0, 0));
    EXPECT_NE(PixelOf(button.Hwnd(), 7, 24), RGB(255, 0, 0));
    EXPECT_NE(PixelOf(button.Hwnd(), 40, 24), RGB(255, 0, 0));
    EXPECT_NE(PixelOf(button.Hwnd(), 24, 7), RGB(255, 0, 0));

    ::EnableWindow(button.Hwnd(), FALSE);
    ::UpdateWindow(button.Hwnd());
    EXPECT_EQ(PixelOf(button.Hwnd(), 8, 8), RGB(85, 85, 85));
    EXPECT_EQ(PixelOf(button.Hwnd(), 24, 24), RGB(85, 85, 85));

    // A new icon replaces both copies.
    HICON oldGrey = button.GreyIcon();
    button.SetIcon(SolidIcon(0xFFFFFFFF), 0);
    EXPECT_NE(button.GreyIcon(), oldGrey);
    EXPECT_EQ(PixelOf(button.Hwnd(), 24, 24), RGB(254, 254, 254));
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
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, 0);
    for (int i = 0; i < 40 && button.IsHot(); ++i)
        PumpMessages(25);
    PumpMessages(200);
    EXPECT_FALSE(button.IsHot());
    EXPECT_EQ(button.paints, (std::vector<bool>{true, false}));
}

TEST_F(ButtonTest, DrawsClassicallyWithoutTheVisualStyleLibrary) {
    struct RestoreLibrary {
        ~RestoreLibrary() { CXThemeHelper::ReloadLibraryForTesting(nullptr); }
    } restore;
    CXThemeHelper::ReloadLibraryForTesting("korvane-missing-uxtheme.dll");
    EXPECT_FALSE(g_themeHelper.IsThemeLibAvailable());
    EXPECT_FALSE(g_themeHelper.IsAppThemed());
    EXPECT_EQ(g_themeHelper.OpenThemeData(host->Hwnd(), "Button"), nullptr);

    CXButtonXP button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 58, 58}, host->Hwnd(), 109));
    ::UpdateWindow(button.Hwnd());
    EXPECT_FALSE(button.IsThemed());
    // A classic raised edge around the button face.
    EXPECT_EQ(PixelOf(button.Hwnd(), 0, 0), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(PixelOf(button.Hwnd(), 1, 1), ::GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(PixelOf(button.Hwnd(), 47, 47), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(PixelOf(button.Hwnd(), 46, 46), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelOf(button.Hwnd(), 24, 24), ::GetSysColor(COLOR_BTNFACE));

    // Pressed: sunken.
    ::SendMessageA(button.Hwnd(), BM_SETSTATE, TRUE, 0);
    ::UpdateWindow(button.Hwnd());
    EXPECT_EQ(PixelOf(button.Hwnd(), 0, 0), ::GetSysColor(COLOR_3DSHADOW));
    ::SendMessageA(button.Hwnd(), BM_SETSTATE, FALSE, 0);
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

// Writes the host window's pixels as a 24-bit BMP for looking at (converted to PNG by hand).
void SaveHostPicture(HWND host, const std::string& path) {
    RECT rect;
    ::GetWindowRect(host, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC hostDc = ::GetWindowDC(host);
    HDC memory = ::CreateCompatibleDC(hostDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(hostDc, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, hostDc, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    const int stride = (width * 3 + 3) & ~3;
    std::string bits(static_cast<std::size_t>(stride) * height, '\0');
    ::GetDIBits(memory, bitmap, 0, height, bits.data(), &bmi, DIB_RGB_COLORS);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    WriteWholeFile(path, std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
                             std::string(reinterpret_cast<const char*>(&bmi.bmiHeader),
                                         sizeof(BITMAPINFOHEADER)) +
                             bits);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(host, hostDc);
}

// Leaves pictures of the buttons in their normal, hot and disabled states, themed and classic,
// when KORVANE_SHOT_DIR is set.
TEST_F(ButtonTest, Screenshot) {
    const char* dir = std::getenv("KORVANE_SHOT_DIR");
    struct RestoreLibrary {
        ~RestoreLibrary() { CXThemeHelper::ReloadLibraryForTesting(nullptr); }
    } restore;
    for (const bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "classic" : "themed");
        if (classic)
            CXThemeHelper::ReloadLibraryForTesting("korvane-missing-uxtheme.dll");
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

        // The grey copy is drawn where the others show the coloured icon.
        HDC hostDc = ::GetWindowDC(host->Hwnd());
        int colourful = 0;
        for (int y = 18; y < 50; ++y) {
            for (int x = 134; x < 166; ++x) {
                const COLORREF c = ::GetPixel(hostDc, x, y);
                colourful += !(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
            }
        }
        ::ReleaseDC(host->Hwnd(), hostDc);
        EXPECT_EQ(colourful, 0) << "the disabled icon is grey";
        if (dir)
            SaveHostPicture(host->Hwnd(), std::string(dir) + (classic ? "\\buttons_classic.bmp"
                                                                      : "\\buttons.bmp"));
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, 0);
    }
}

} // namespace
