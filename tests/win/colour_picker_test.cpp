// The colour picker and its pop-up as real windows: a real parent, real button clicks, mouse
// and key messages sent to the real pop-up, and the pixels it paints.

#include "controls/colour/colour_picker.h"
#include "controls/colour/colour_popup.h"
#include "controls/colour/colour_table.h"
#include "framework/reflect.h"
#include "framework/window.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kPickerId = 77;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

struct Heard {
    UINT message;
    COLORREF colour;
    LPARAM id;
    bool operator==(const Heard&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Heard& h) {
    const char* names[] = {"SELCHANGE", "DROPDOWN", "CLOSEUP", "SELENDOK", "SELENDCANCEL"};
    const unsigned index = h.message - PICKER_SELCHANGE;
    char colour[16];
    std::snprintf(colour, sizeof(colour), "%08lX", static_cast<unsigned long>(h.colour));
    return out << (index < 5 ? names[index] : "?") << "(" << colour << ", " << h.id << ")";
}

// The picker's parent: reflects notifications to its children and records what it hears.
class PickerHost : public Window {
public:
    PickerHost(int x, int y) {
        RegisterClass("KorvaneColourTestHost", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        // Never activated, not even when the pop-up it owns goes away (hence disabled; the
        // tests send their input straight to the picker): under Wine without a window manager
        // a top-level window that was active takes two seconds to disappear.
        CreateEx(WS_EX_NOACTIVATE, "KorvaneColourTestHost", "picker host", WS_POPUP | WS_DISABLED,
                 {x, y, x + 300, y + 120}, nullptr, nullptr);
        ::ShowWindow(Hwnd(), SW_SHOWNA);
    }
    std::vector<Heard> heard;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        if (message >= PICKER_SELCHANGE && message <= PICKER_SELENDCANCEL) {
            heard.push_back({message, static_cast<COLORREF>(wParam), lParam});
            return TRUE;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
};

// Scripted answers for the standard colour dialog.
class ScriptedColourUi : public ScriptedModalUi {
public:
    bool ChooseColour(HWND owner, COLORREF& colour, DWORD flags) override {
        asked.push_back({owner, colour, flags});
        if (colours.empty())
            return false;
        const COLORREF answer = colours.front();
        colours.pop_front();
        if (answer == CLR_NONE)
            return false;
        colour = answer;
        return true;
    }
    struct Asked {
        HWND owner;
        COLORREF start;
        DWORD flags;
    };
    std::vector<Asked> asked;
    std::deque<COLORREF> colours; // CLR_NONE: the user cancels
};

LPARAM ClientPoint(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

POINT CentreOf(const colour::Box& box) {
    return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

// Writes a 24-bit BMP of `bitmap` for looking at (converted to PNG by hand).
void SaveBitmap(HDC dc, HBITMAP bitmap, int width, int height, const std::string& path) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> bits(static_cast<std::size_t>(stride) * height);
    ::GetDIBits(dc, bitmap, 0, height, bits.data(), &bmi, DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof(BITMAPINFOHEADER));
    bytes.append(bits.data(), bits.size());
    WriteWholeFile(path, bytes);
}

class ColourPickerTest : public ::testing::Test {
protected:
    // One host for all tests: under Wine without a window manager, destroying a top-level
    // window that was ever active waits two seconds for a focus change.
    static void SetUpTestSuite() { sharedHost = new PickerHost(100, 100); }
    static void TearDownTestSuite() {
        delete sharedHost;
        sharedHost = nullptr;
    }

    void SetUp() override { Build(100, 100); }

    void Build(int x, int y) {
        // The real pointer away from everything: with the pop-up's capture its moves would
        // otherwise change the current cell while a test pumps messages.
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, 0);
        host = sharedHost;
        ASSERT_TRUE(host && host->Hwnd());
        ::SetWindowPos(host->Hwnd(), nullptr, x, y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        picker = std::make_unique<CColourPicker>();
        ASSERT_TRUE(picker->Create("", WS_VISIBLE | BS_PUSHBUTTON, {20, 20, 120, 42}, host->Hwnd(),
                                   kPickerId));
        picker->SetColour(kRed);
        PumpMessages();
        host->heard.clear();
    }

    void TearDown() override {
        if (HWND popup = ::FindWindowA(CColourPopup::kClassName, nullptr))
            ::DestroyWindow(popup);
        picker.reset();
        PumpMessages();
    }

    // Clicks the picker as the mouse would; the button reports BN_CLICKED to the host, which
    // reflects it back to the picker.
    CColourPopup* ClickPicker() {
        ::SendMessageA(picker->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ::SendMessageA(picker->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        return CColourPopup::FromHandle(::FindWindowA(CColourPopup::kClassName, nullptr));
    }

    void MoveTo(CColourPopup* popup, int cell) {
        const POINT p = CentreOf(colour::CellRect(popup->Layout(), cell));
        ::SendMessageA(popup->Hwnd(), WM_MOUSEMOVE, 0, ClientPoint(p));
    }

    void ReleaseAt(CColourPopup* popup, POINT client) {
        ::SendMessageA(popup->Hwnd(), WM_LBUTTONUP, 0, ClientPoint(client));
    }

    void Key(CColourPopup* popup, UINT key) { ::SendMessageA(popup->Hwnd(), WM_KEYDOWN, key, 1); }

    Heard H(UINT message, COLORREF colour) { return {message, colour, kPickerId}; }

    bool PopupOpen() const { return ::FindWindowA(CColourPopup::kClassName, nullptr) != nullptr; }

    static PickerHost* sharedHost;
    PickerHost* host = nullptr;
    std::unique_ptr<CColourPicker> picker;
};

PickerHost* ColourPickerTest::sharedHost = nullptr;

TEST_F(ColourPickerTest, AttachingMakesAnOwnerDrawnButtonWithItsArrow) {
    EXPECT_EQ(picker->Style() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    RECT rect;
    ::GetClientRect(picker->Hwnd(), &rect);
    EXPECT_EQ(rect.right, 100);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    const int arrow = std::max(
        {5 * edgeX, 5 * edgeY, ::GetSystemMetrics(SM_CXHTHUMB), ::GetSystemMetrics(SM_CYVTHUMB)});
    EXPECT_GE(rect.bottom, arrow + 2 * edgeY);
    const RECT expected{100 - arrow - edgeX, edgeY, 100 - edgeX, rect.bottom - edgeY};
    EXPECT_TRUE(::EqualRect(&picker->ArrowRect(), &expected));

    // A tiny button grows to hold the arrow twice over.
    CColourPicker tiny;
    ASSERT_TRUE(tiny.Create("", WS_VISIBLE, {150, 20, 155, 25}, host->Hwnd(), 78));
    ::GetClientRect(tiny.Hwnd(), &rect);
    EXPECT_EQ(rect.right, 2 * (arrow + edgeX));
    EXPECT_EQ(rect.bottom, arrow + 2 * edgeY);
}

TEST_F(ColourPickerTest, OpeningOnRedMarksCell16) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(picker->IsActive());
    EXPECT_EQ(popup->ChosenSel(), 16);
    EXPECT_EQ(popup->CurrentSel(), colour::kNoCell);
    EXPECT_EQ(host->heard, (std::vector<Heard>{H(PICKER_DROPDOWN, kRed)}));
    EXPECT_EQ(::GetCapture(), popup->Hwnd());

    // The pop-up hangs from the picker's bottom-left corner.
    RECT pickerRect;
    ::GetWindowRect(picker->Hwnd(), &pickerRect);
    EXPECT_EQ(popup->WindowRect().left, pickerRect.left);
    EXPECT_EQ(popup->WindowRect().top, pickerRect.bottom);

    // Painted: the chosen cell sunken on a highlight face, the others on the button face.
    ::UpdateWindow(popup->Hwnd());
    HDC dc = ::GetDC(popup->Hwnd());
    const colour::Box chosen = colour::CellRect(popup->Layout(), 16);
    const colour::Box other = colour::CellRect(popup->Layout(), 15);
    EXPECT_EQ(::GetPixel(dc, chosen.left + 1, chosen.top + 1), ::GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(::GetPixel(dc, chosen.left, chosen.top), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(::GetPixel(dc, other.left + 1, other.top + 1), ::GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(::GetPixel(dc, CentreOf(chosen).x, CentreOf(chosen).y), kRed);
    EXPECT_EQ(::GetPixel(dc, CentreOf(other).x, CentreOf(other).y), RGB(102, 102, 102));
    ::ReleaseDC(popup->Hwnd(), dc);
}

TEST_F(ColourPickerTest, ClickOnCell13EndsWithBlue) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 13);
    EXPECT_EQ(popup->CurrentSel(), 13);
    ReleaseAt(popup, CentreOf(colour::CellRect(popup->Layout(), 13)));

    EXPECT_FALSE(PopupOpen());
    EXPECT_FALSE(picker->IsActive());
    EXPECT_EQ(picker->GetColour(), kBlue);
    EXPECT_EQ(host->heard,
              (std::vector<Heard>{H(PICKER_DROPDOWN, kRed), H(PICKER_SELCHANGE, kBlue),
                                  H(PICKER_CLOSEUP, kBlue), H(PICKER_SELENDOK, kBlue)}));
}

TEST_F(ColourPickerTest, EscapeCancelsWithTheOpeningColourWhateverWasHovered) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 13);
    MoveTo(popup, 2);
    Key(popup, VK_ESCAPE);

    EXPECT_FALSE(PopupOpen());
    EXPECT_EQ(picker->GetColour(), kRed);
    EXPECT_EQ(host->heard,
              (std::vector<Heard>{H(PICKER_DROPDOWN, kRed), H(PICKER_SELCHANGE, kBlue),
                                  H(PICKER_SELCHANGE, RGB(0, 64, 64)), H(PICKER_CLOSEUP, kRed),
                                  H(PICKER_SELENDCANCEL, kRed)}));
}

TEST_F(ColourPickerTest, ReleaseOutsideThePopupCancels) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 13);
    // The pop-up holds the capture, so a release anywhere reaches it.
    ReleaseAt(popup, {popup->Layout().width + 40, 5});

    EXPECT_FALSE(PopupOpen());
    EXPECT_EQ(picker->GetColour(), kRed);
    ASSERT_EQ(host->heard.size(), 4u);
    EXPECT_EQ(host->heard[2], H(PICKER_CLOSEUP, kRed));
    EXPECT_EQ(host->heard[3], H(PICKER_SELENDCANCEL, kRed));
}

TEST_F(ColourPickerTest, DefaultBoxEndsWithTheDefaultColour) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->Layout().hasDefault);
    MoveTo(popup, colour::kDefaultBox);
    EXPECT_EQ(popup->CurrentSel(), colour::kDefaultBox);
    ReleaseAt(popup, CentreOf(popup->Layout().defaultRect));

    EXPECT_EQ(picker->GetColour(), static_cast<COLORREF>(colour::kDefaultColour));
    EXPECT_EQ(host->heard.back(), H(PICKER_SELENDOK, colour::kDefaultColour));

    // Opened again on the default colour, the default box is the chosen one.
    popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->ChosenSel(), colour::kDefaultBox);
    Key(popup, VK_ESCAPE);
}

TEST_F(ColourPickerTest, KeyboardMovesAndEnter) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 8);
    Key(popup, VK_LEFT);
    EXPECT_EQ(popup->CurrentSel(), 7);
    Key(popup, VK_DOWN);
    EXPECT_EQ(popup->CurrentSel(), 15);
    Key(popup, VK_RETURN);

    EXPECT_EQ(picker->GetColour(), RGB(102, 102, 102));
    EXPECT_EQ(host->heard.back(), H(PICKER_SELENDOK, RGB(102, 102, 102)));
}

TEST_F(ColourPickerTest, CustomBoxAsksTheColourDialog) {
    ScriptedColourUi ui;
    ui.colours = {RGB(1, 2, 3)};
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 35);
    Key(popup, VK_DOWN);
    EXPECT_EQ(popup->CurrentSel(), colour::kCustomBox);
    HWND popupHwnd = popup->Hwnd();
    Key(popup, VK_SPACE);

    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].owner, popupHwnd);
    EXPECT_EQ(ui.asked[0].start, kRed);
    EXPECT_EQ(ui.asked[0].flags, static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR));
    EXPECT_EQ(picker->GetColour(), RGB(1, 2, 3));
    // Over the custom box the picker hears the opening colour.
    EXPECT_EQ(host->heard,
              (std::vector<Heard>{H(PICKER_DROPDOWN, kRed), H(PICKER_SELCHANGE, RGB(152, 251, 152)),
                                  H(PICKER_SELCHANGE, kRed), H(PICKER_CLOSEUP, RGB(1, 2, 3)),
                                  H(PICKER_SELENDOK, RGB(1, 2, 3))}));

    // Opened on a colour outside the table, the custom box is the chosen one; cancelling the
    // dialog cancels the whole choice.
    host->heard.clear();
    ui.colours = {CLR_NONE};
    popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->ChosenSel(), colour::kCustomBox);
    MoveTo(popup, colour::kCustomBox);
    ReleaseAt(popup, CentreOf(popup->Layout().customRect));
    EXPECT_EQ(picker->GetColour(), RGB(1, 2, 3));
    EXPECT_EQ(host->heard.back(), H(PICKER_SELENDCANCEL, RGB(1, 2, 3)));
    EXPECT_FALSE(PopupOpen());
}

TEST_F(ColourPickerTest, TrackSelectionFollowsTheCursorAndCancelRestores) {
    picker->SetTrackSelection(true);
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 13);
    EXPECT_EQ(picker->GetColour(), kBlue);
    Key(popup, VK_ESCAPE);
    EXPECT_EQ(picker->GetColour(), kRed);
}

TEST_F(ColourPickerTest, DeactivatingTheApplicationCancels) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    MoveTo(popup, 13);
    ::SendMessageA(popup->Hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(PopupOpen());
    EXPECT_EQ(host->heard.back(), H(PICKER_SELENDCANCEL, kRed));
}

TEST_F(ColourPickerTest, NearTheBottomOfTheScreenThePopupOpensAbove) {
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    TearDown();
    Build(100, screenHeight - 70);
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    RECT pickerRect, popupRect;
    ::GetWindowRect(picker->Hwnd(), &pickerRect);
    ::GetWindowRect(popup->Hwnd(), &popupRect);
    EXPECT_EQ(popupRect.bottom, pickerRect.top);
    EXPECT_EQ(popupRect.left, pickerRect.left);
    EXPECT_EQ(popupRect.bottom - popupRect.top, popup->Layout().height);
    EXPECT_TRUE(::EqualRect(&popupRect, &popup->WindowRect()));
    Key(popup, VK_ESCAPE);
}

TEST_F(ColourPickerTest, EachCellHasItsNameAsTooltip) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->ToolTip(), nullptr);
    EXPECT_EQ(::SendMessageA(popup->ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 40);

    auto textAt = [&](POINT client) {
        char text[80] = {};
        TTHITTESTINFOA hit{popup->Hwnd(), client, {sizeof(TTTOOLINFOA)}};
        if (!::SendMessageA(popup->ToolTip(), TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)))
            return std::string("<none>");
        hit.ti.lpszText = text;
        ::SendMessageA(popup->ToolTip(), TTM_GETTEXTA, sizeof(text),
                       reinterpret_cast<LPARAM>(&hit.ti));
        return std::string(text);
    };
    EXPECT_EQ(textAt(CentreOf(colour::CellRect(popup->Layout(), 2))), "Dark Olive Green");
    EXPECT_EQ(textAt(CentreOf(colour::CellRect(popup->Layout(), 35))), "Pale green ");
    EXPECT_EQ(textAt(CentreOf(popup->Layout().defaultRect)), "<none>");

    // Resting the real pointer on cell 2 shows that tooltip.
    POINT screen = CentreOf(colour::CellRect(popup->Layout(), 2));
    ::ClientToScreen(popup->Hwnd(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    POINT client = CentreOf(colour::CellRect(popup->Layout(), 2));
    ::SendMessageA(popup->Hwnd(), WM_MOUSEMOVE, 0, ClientPoint(client));
    for (int i = 0; i < 60 && !::IsWindowVisible(popup->ToolTip()); ++i)
        PumpMessages(50);
    EXPECT_TRUE(::IsWindowVisible(popup->ToolTip()));
    char shown[80] = {};
    TTTOOLINFOA current{sizeof(current)};
    current.lpszText = shown;
    if (::SendMessageA(popup->ToolTip(), TTM_GETCURRENTTOOLA, 0,
                       reinterpret_cast<LPARAM>(&current)))
        EXPECT_STREQ(shown, "Dark Olive Green");
    else
        ADD_FAILURE() << "no current tool";
    Key(popup, VK_ESCAPE);
}

TEST_F(ColourPickerTest, TextModeDrawsTheCaptionInTheColourOnItsFace) {
    CColourPicker textPicker;
    ASSERT_TRUE(textPicker.Create("Color", WS_VISIBLE, {150, 20, 250, 44}, host->Hwnd(), 79));
    textPicker.SetSelectionMode(CColourPicker::kTextMode);
    textPicker.SetBkColour(RGB(255, 255, 255));
    textPicker.SetColour(kBlue);
    EXPECT_EQ(textPicker.GetTextColour(), kBlue);
    EXPECT_EQ(textPicker.GetColour(), kBlue);
    ::UpdateWindow(textPicker.Hwnd());

    HDC dc = ::GetDC(textPicker.Hwnd());
    RECT rect;
    ::GetClientRect(textPicker.Hwnd(), &rect);
    const int edge = ::GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(::GetPixel(dc, edge + 1, rect.bottom / 2), RGB(255, 255, 255));
    int blue = 0;
    for (int x = 0; x < picker->ArrowRect().left; ++x)
        for (int y = 0; y < rect.bottom; ++y)
            blue += ::GetPixel(dc, x, y) == kBlue;
    EXPECT_GT(blue, 10) << "the caption in the chosen colour";
    ::ReleaseDC(textPicker.Hwnd(), dc);
}

// The real service's colour dialog: it opens fully expanded over its owner and hands back the
// colour on OK; Cancel reports nothing chosen. A second thread plays the user.
TEST(ColourDialogService, RealDialogAnswersOkAndCancel) {
    for (const UINT button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button == IDOK ? "OK" : "Cancel");
        std::atomic<bool> seen{false};
        std::atomic<int> width{0};
        const DWORD thread = ::GetCurrentThreadId();
        std::thread user([&] {
            for (int i = 0; i < 200 && !seen; ++i) {
                ::Sleep(25);
                HWND dialog = nullptr;
                ::EnumThreadWindows(
                    thread,
                    [](HWND hwnd, LPARAM self) -> BOOL {
                        char name[16] = {};
                        ::GetClassNameA(hwnd, name, sizeof(name));
                        if (lstrcmpA(name, "#32770") != 0 || !::IsWindowVisible(hwnd))
                            return TRUE;
                        *reinterpret_cast<HWND*>(self) = hwnd;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&dialog));
                if (dialog) {
                    RECT rect;
                    ::GetWindowRect(dialog, &rect);
                    width = rect.right - rect.left;
                    seen = true;
                    ::PostMessageA(dialog, WM_COMMAND, button, 0);
                }
            }
        });
        COLORREF colour = RGB(10, 20, 30);
        const bool chosen =
            CurrentModalUi().ChooseColour(nullptr, colour, CC_FULLOPEN | CC_ANYCOLOR);
        user.join();
        EXPECT_TRUE(seen);
        EXPECT_EQ(chosen, button == IDOK);
        EXPECT_EQ(colour, RGB(10, 20, 30));
        // Fully open: the custom-colour half is shown beside the basic colours.
        EXPECT_GT(width, 400);
    }
}

// Leaves a picture of the open pop-up under its picker when KORVANE_SHOT_DIR is set.
TEST_F(ColourPickerTest, Screenshot) {
    picker->SetColour(RGB(0, 147, 0));
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    POINT pointer = CentreOf(colour::CellRect(popup->Layout(), 13));
    ::ClientToScreen(popup->Hwnd(), &pointer);
    ::SetCursorPos(pointer.x, pointer.y);
    MoveTo(popup, 13);
    ::UpdateWindow(popup->Hwnd());
    ::UpdateWindow(host->Hwnd());
    PumpMessages(50);

    RECT hostRect, popupRect;
    ::GetWindowRect(host->Hwnd(), &hostRect);
    ::GetWindowRect(popup->Hwnd(), &popupRect);
    const int width = std::max(hostRect.right, popupRect.right) - hostRect.left;
    const int height = std::max(hostRect.bottom, popupRect.bottom) - hostRect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const RECT all{0, 0, width, height};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HDC hostDc = ::GetWindowDC(host->Hwnd());
    ::BitBlt(memory, 0, 0, hostRect.right - hostRect.left, hostRect.bottom - hostRect.top, hostDc,
             0, 0, SRCCOPY);
    ::ReleaseDC(host->Hwnd(), hostDc);
    HDC popupDc = ::GetWindowDC(popup->Hwnd());
    ::BitBlt(memory, popupRect.left - hostRect.left, popupRect.top - hostRect.top,
             popupRect.right - popupRect.left, popupRect.bottom - popupRect.top, popupDc, 0, 0,
             SRCCOPY);
    ::ReleaseDC(popup->Hwnd(), popupDc);
    ::SelectObject(memory, old);

    // The composed picture shows the hovered blue cell where the pop-up lies.
    const POINT hovered = CentreOf(colour::CellRect(popup->Layout(), 13));
    ::SelectObject(memory, bitmap);
    EXPECT_EQ(::GetPixel(memory, popupRect.left - hostRect.left + hovered.x,
                         popupRect.top - hostRect.top + hovered.y),
              kBlue);
    EXPECT_EQ(popup->CurrentSel(), 13);
    ::SelectObject(memory, old);
    if (const char* dir = std::getenv("KORVANE_SHOT_DIR"))
        SaveBitmap(memory, bitmap, width, height, std::string(dir) + "\\colour_popup.bmp");
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    Key(popup, VK_ESCAPE);
}

} // namespace
