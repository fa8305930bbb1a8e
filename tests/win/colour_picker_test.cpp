// The colour picker and its pop-up as real windows: a real parent, real button clicks, mouse
// and key messages sent to the real pop-up, and the pixels it paints.

#include "controls/colour/colour_picker.h"
#include "controls/colour/colour_popup.h"
#include "controls/colour/colour_table.h"
#include "support/control_test_host.h"

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace controltest;

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

Heard H(UINT message, COLORREF colour) {
    return {message, colour, kPickerId};
}

// Records the picker's notifications. Disabled, so it is not activated even when the pop-up
// it owns goes away: the tests send their input straight to the picker.
class PickerHost : public ControlHost {
public:
    PickerHost() : ControlHost("KorvaneColourTestHost", WS_DISABLED, {100, 100, 400, 220}) {}
    std::vector<Heard> heard;

protected:
    bool Record(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message < PICKER_SELCHANGE || message > PICKER_SELENDCANCEL)
            return false;
        heard.push_back({message, static_cast<COLORREF>(wParam), lParam});
        result = TRUE;
        return true;
    }
};

// Scripted answers for the standard colour dialog; CLR_NONE or no answer: the user cancels.
class ScriptedColourUi : public ScriptedModalUi {
public:
    bool ChooseColour(HWND owner, COLORREF& colour, DWORD flags) override {
        asked.push_back({owner, colour, flags});
        const COLORREF answer = colours.empty() ? CLR_NONE : colours.front();
        if (!colours.empty())
            colours.pop_front();
        if (answer != CLR_NONE)
            colour = answer;
        return answer != CLR_NONE;
    }
    struct Asked {
        HWND owner;
        COLORREF start;
        DWORD flags;
    };
    std::vector<Asked> asked;
    std::deque<COLORREF> colours;
};

POINT CentreOf(const colour::Box& box) {
    return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

class ColourPickerTest : public SharedHostTest<PickerHost> {
protected:
    void SetUp() override { Build(100, 100); }

    void Build(int x, int y) {
        ParkCursor(); // the pop-up's capture would otherwise see the real pointer's moves
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

    // Clicks as the mouse would: the button reports BN_CLICKED to the host, which reflects it.
    CColourPopup* ClickPicker() {
        ::SendMessageA(picker->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ::SendMessageA(picker->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        return CColourPopup::FromHandle(::FindWindowA(CColourPopup::kClassName, nullptr));
    }
    static POINT CellCentre(CColourPopup* popup, int cell) {
        return CentreOf(colour::CellRect(popup->Layout(), cell));
    }
    static void MoveTo(CColourPopup* popup, int cell) {
        const POINT p = CellCentre(popup, cell);
        ::SendMessageA(popup->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    static void ReleaseAt(CColourPopup* popup, POINT p) {
        ::SendMessageA(popup->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
    static void Key(CColourPopup* popup, UINT key) {
        ::SendMessageA(popup->Hwnd(), WM_KEYDOWN, key, 1);
    }
    static bool PopupOpen() { return ::FindWindowA(CColourPopup::kClassName, nullptr) != nullptr; }

    std::unique_ptr<CColourPicker> picker;
};

TEST_F(ColourPickerTest, AttachingMakesAnOwnerDrawnButtonWithItsArrow) {
    EXPECT_EQ(picker->Style() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    RECT rect;
    ::GetClientRect(picker->Hwnd(), &rect);
    EXPECT_EQ(rect.right, 100);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE), edgeY = ::GetSystemMetrics(SM_CYEDGE);
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

// Leaves a picture of the open pop-up under its picker when KORVANE_SHOT_DIR is set.
TEST_F(ColourPickerTest, OpenOnRedThenClickBlue) {
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

    // Painted: the chosen cell sunken on a highlight face, the others on the button face, each
    // filled with its colour.
    ::UpdateWindow(popup->Hwnd());
    const colour::Box chosen = colour::CellRect(popup->Layout(), 16);
    const colour::Box other = colour::CellRect(popup->Layout(), 15);
    const HWND p = popup->Hwnd();
    EXPECT_EQ(PixelOf(p, chosen.left + 1, chosen.top + 1), ::GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(PixelOf(p, chosen.left, chosen.top), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(PixelOf(p, other.left + 1, other.top + 1), ::GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(PixelOf(p, CentreOf(chosen).x, CentreOf(chosen).y), kRed);
    EXPECT_EQ(PixelOf(p, CentreOf(other).x, CentreOf(other).y), RGB(102, 102, 102));

    MoveTo(popup, 13);
    EXPECT_EQ(popup->CurrentSel(), 13);
    ::UpdateWindow(p);
    EXPECT_EQ(PixelOf(p, CellCentre(popup, 13).x, CellCentre(popup, 13).y), kBlue);
    if (const char* dir = std::getenv("KORVANE_SHOT_DIR")) // a picture to look at
        SaveWindowsPicture({host->Hwnd(), p}, std::string(dir) + "\\colour_popup.bmp");
    ReleaseAt(popup, CellCentre(popup, 13));
    EXPECT_FALSE(PopupOpen());
    EXPECT_FALSE(picker->IsActive());
    EXPECT_EQ(picker->GetColour(), kBlue);
    EXPECT_EQ(host->heard,
              (std::vector<Heard>{H(PICKER_DROPDOWN, kRed), H(PICKER_SELCHANGE, kBlue),
                                  H(PICKER_CLOSEUP, kBlue), H(PICKER_SELENDOK, kBlue)}));
}

// Escape, a release outside the pop-up (which holds the capture) and the application losing
// activation all cancel with the opening colour, whatever was hovered.
TEST_F(ColourPickerTest, EveryWayOfCancellingRestoresTheOpeningColour) {
    const struct {
        const char* what;
        std::function<void(CColourPopup*)> cancel;
    } ways[] = {
        {"escape", [](CColourPopup* p) { Key(p, VK_ESCAPE); }},
        {"release outside",
         [](CColourPopup* p) {
             ReleaseAt(p, {p->Layout().width + 40, 5});
         }},
        {"deactivated", [](CColourPopup* p) { ::SendMessageA(p->Hwnd(), WM_ACTIVATEAPP, 0, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        picker->SetColour(kRed);
        host->heard.clear();
        CColourPopup* popup = ClickPicker();
        ASSERT_NE(popup, nullptr);
        MoveTo(popup, 13);
        MoveTo(popup, 2);
        way.cancel(popup);

        EXPECT_FALSE(PopupOpen());
        EXPECT_EQ(picker->GetColour(), kRed);
        EXPECT_EQ(host->heard,
                  (std::vector<Heard>{H(PICKER_DROPDOWN, kRed), H(PICKER_SELCHANGE, kBlue),
                                      H(PICKER_SELCHANGE, RGB(0, 64, 64)), H(PICKER_CLOSEUP, kRed),
                                      H(PICKER_SELENDCANCEL, kRed)}));
    }
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

TEST_F(ColourPickerTest, NearTheBottomOfTheScreenThePopupOpensAbove) {
    TearDown();
    Build(100, ::GetSystemMetrics(SM_CYSCREEN) - 70);
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    RECT pickerRect, popupRect;
    ::GetWindowRect(picker->Hwnd(), &pickerRect);
    ::GetWindowRect(popup->Hwnd(), &popupRect);
    EXPECT_EQ(popupRect.bottom, pickerRect.top);
    EXPECT_EQ(popupRect.left, pickerRect.left);
    EXPECT_EQ(popupRect.bottom - popupRect.top, popup->Layout().height);
    EXPECT_TRUE(::EqualRect(&popupRect, &popup->WindowRect()));
}

TEST_F(ColourPickerTest, EachCellHasItsNameAsTooltip) {
    CColourPopup* popup = ClickPicker();
    ASSERT_NE(popup, nullptr);
    const HWND tip = popup->ToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 40);

    auto textAt = [&](POINT client) {
        char text[80] = {};
        TTHITTESTINFOA hit{popup->Hwnd(), client, {sizeof(TTTOOLINFOA)}};
        if (!::SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)))
            return std::string("<none>");
        hit.ti.lpszText = text;
        ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&hit.ti));
        return std::string(text);
    };
    EXPECT_EQ(textAt(CellCentre(popup, 2)), "Dark Olive Green");
    EXPECT_EQ(textAt(CellCentre(popup, 35)), "Pale green ");
    EXPECT_EQ(textAt(CentreOf(popup->Layout().defaultRect)), "<none>");

    // Resting the real pointer on cell 2 shows that tooltip.
    POINT screen = CellCentre(popup, 2);
    ::ClientToScreen(popup->Hwnd(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    MoveTo(popup, 2);
    for (int i = 0; i < 60 && !::IsWindowVisible(tip); ++i)
        PumpMessages(50);
    EXPECT_TRUE(::IsWindowVisible(tip));
    char shown[80] = {};
    TTTOOLINFOA current{sizeof(current)};
    current.lpszText = shown;
    ASSERT_TRUE(::SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&current)));
    EXPECT_STREQ(shown, "Dark Olive Green");
}

TEST_F(ColourPickerTest, TextModeDrawsTheCaptionInTheColourOnItsFace) {
    CColourPicker text;
    ASSERT_TRUE(text.Create("Color", WS_VISIBLE, {150, 20, 250, 44}, host->Hwnd(), 79));
    text.SetSelectionMode(CColourPicker::kTextMode);
    text.SetBkColour(RGB(255, 255, 255));
    text.SetColour(kBlue);
    EXPECT_EQ(text.GetTextColour(), kBlue);
    ::UpdateWindow(text.Hwnd());

    RECT rect;
    ::GetClientRect(text.Hwnd(), &rect);
    const int edge = ::GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(PixelOf(text.Hwnd(), edge + 1, rect.bottom / 2), RGB(255, 255, 255));
    HDC dc = ::GetDC(text.Hwnd());
    int blue = 0;
    for (int x = 0; x < text.ArrowRect().left; ++x)
        for (int y = 0; y < rect.bottom; ++y)
            blue += ::GetPixel(dc, x, y) == kBlue;
    ::ReleaseDC(text.Hwnd(), dc);
    EXPECT_GT(blue, 10) << "the caption in the chosen colour";
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
            auto find = [](HWND hwnd, LPARAM found) -> BOOL {
                char name[16] = {};
                ::GetClassNameA(hwnd, name, sizeof(name));
                if (lstrcmpA(name, "#32770") != 0 || !::IsWindowVisible(hwnd))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = hwnd;
                return FALSE;
            };
            HWND dialog = nullptr;
            for (int i = 0; i < 200 && !dialog; ++i) {
                ::Sleep(25);
                ::EnumThreadWindows(thread, find, reinterpret_cast<LPARAM>(&dialog));
            }
            if (!dialog)
                return;
            RECT rect;
            ::GetWindowRect(dialog, &rect);
            width = rect.right - rect.left;
            seen = true;
            ::PostMessageA(dialog, WM_COMMAND, button, 0);
        });
        COLORREF colour = RGB(10, 20, 30);
        const bool chosen =
            CurrentModalUi().ChooseColour(nullptr, colour, CC_FULLOPEN | CC_ANYCOLOR);
        user.join();
        EXPECT_TRUE(seen);
        EXPECT_EQ(chosen, button == IDOK);
        EXPECT_EQ(colour, RGB(10, 20, 30));
        EXPECT_GT(width, 400) << "fully open: the custom colours beside the basic ones";
    }
}

} // namespace
