// The description editor as a real window under a real parent: creation, layout, the
// tool-bar commands and messages, the owner's change and save messages, RTF transfer.

#include "controls/richedit/rich_edit_format.h"
#include "controls/richedit/rrec_messages.h"
#include "controls/richedit/ruler_geometry.h"
#include "controls/richedit/ruler_rich_edit_ctrl.h"
#include "controls/richedit/toolbar_template.h"
#include "framework/dc.h"
#include "framework/window.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace richedit;

constexpr UINT kChangeMessage = WM_USER + 100;
constexpr UINT kSaveMessage = WM_USER + 101;

// The editor's owner: counts the change and save messages it hears.
class EditorHost : public Window {
public:
    EditorHost() {
        RegisterClass("KorvaneRichEditTestHost", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateEx(0, "KorvaneRichEditTestHost", "editor host", WS_POPUP | WS_CLIPCHILDREN,
                 {40, 40, 640, 440}, nullptr, nullptr);
        ::ShowWindow(Hwnd(), SW_SHOWNA);
    }
    int changes = 0;
    int saves = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kChangeMessage) {
            ++changes;
            return 0;
        }
        if (message == kSaveMessage) {
            ++saves;
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
};

struct ScopedCtrlKey {
    ScopedCtrlKey() {
        ::GetKeyboardState(saved);
        BYTE pressed[256];
        std::copy(std::begin(saved), std::end(saved), pressed);
        pressed[VK_CONTROL] = pressed[VK_LCONTROL] = 0x80;
        ::SetKeyboardState(pressed);
    }
    ~ScopedCtrlKey() { ::SetKeyboardState(saved); }
    BYTE saved[256];
};

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class RichEditCtrlTest : public ::testing::Test {
protected:
    // One host for the whole suite: under Wine without a window manager a top-level window
    // that was ever active takes two seconds to go away.
    static void SetUpTestSuite() { sharedHost = new EditorHost; }
    static void TearDownTestSuite() {
        delete sharedHost;
        sharedHost = nullptr;
    }

    void SetUp() override {
        host = sharedHost;
        ASSERT_TRUE(host && host->Hwnd());
        host->changes = host->saves = 0;
        ASSERT_TRUE(Build());
    }

    bool Build(bool toolbar = true, bool ruler = true) {
        editor = std::make_unique<CRulerRichEditCtrl>();
        editor->m_notifyWnd = host->Hwnd();
        editor->m_changeMessage = kChangeMessage;
        editor->m_saveMessage = kSaveMessage;
        editor->ShowToolbar(toolbar);
        editor->ShowRuler(ruler);
        return editor->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, {0, 0, 600, 400}, host->Hwnd(),
                              1023, true);
    }

    HWND Edit() const { return editor->GetRichEditCtrl().Hwnd(); }
    HWND Toolbar() const { return editor->GetToolbar().Hwnd(); }
    HWND Combo(int command) const { return ::GetDlgItem(Toolbar(), command); }

    void Type(const std::string& text) {
        for (char c : text)
            ::SendMessageA(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    void Select(int from, int to) { ::SendMessageA(Edit(), EM_SETSEL, from, to); }
    std::string Text(HWND window = nullptr) const {
        char buffer[4096] = {};
        ::SendMessageA(window ? window : editor->Hwnd(), WM_GETTEXT, sizeof(buffer),
                       reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    // Clicks a tool-bar button the way the tool bar reports it.
    void Click(int command) {
        ::SendMessageA(editor->Hwnd(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Toolbar()));
    }
    bool Checked(int command) const { return editor->GetToolbar().IsButtonChecked(command); }
    CHARFORMATA Format() const { return editor->GetRichEditCtrl().GetSelectionCharFormat(); }
    PARAFORMAT Paragraph() const { return editor->GetRichEditCtrl().GetParaFormat(); }
    void SetStartIndent(int twips) {
        PARAFORMAT paragraph{};
        paragraph.dwMask = PFM_STARTINDENT;
        paragraph.dxStartIndent = twips;
        editor->GetRichEditCtrl().SetParaFormat(paragraph);
    }
    // Posts a key press and lets the message loop translate it, as a real key would be.
    void PressKey(WPARAM key) {
        ::PostMessageA(Edit(), WM_KEYDOWN, key, 1);
        ::PostMessageA(Edit(), WM_KEYUP, key, 0xC0000001);
        PumpMessages();
    }

    static EditorHost* sharedHost;
    EditorHost* host = nullptr;
    std::unique_ptr<CRulerRichEditCtrl> editor;
};

EditorHost* RichEditCtrlTest::sharedHost = nullptr;

TEST_F(RichEditCtrlTest, FreshControlHasTenPointTimesAndStandardTabStops) {
    Type("abc");
    Select(0, 3);
    const CHARFORMATA format = Format();
    EXPECT_STREQ(format.szFaceName, "Times New Roman");
    EXPECT_EQ(format.yHeight, 200);
    EXPECT_EQ(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), 0u);

    const PARAFORMAT paragraph = Paragraph();
    ASSERT_EQ(paragraph.cTabCount, 32);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(paragraph.rgxTabs[i] & 0xFFFFFF, 640 * (i + 1)) << i;

    ASSERT_EQ(editor->TabStops().size(), 32u);
    EXPECT_EQ(editor->TabStops()[0], TwipsToPixels(640, editor->PixelsPerInch()));
    EXPECT_EQ(editor->GetRuler().GetTabStops(), editor->TabStops());

    EXPECT_EQ(::GetDlgCtrlID(Toolbar()), 10);
    EXPECT_EQ(::GetDlgCtrlID(editor->GetRuler().Hwnd()), 11);
    EXPECT_EQ(::GetDlgCtrlID(Edit()), 12);
    char className[64] = {};
    ::GetClassNameA(Edit(), className, sizeof(className));
    EXPECT_STREQ(className, "RichEdit20A");
    // The edit's border plus the text's inset.
    EXPECT_EQ(editor->Margin(), 1 + 8);
}

TEST_F(RichEditCtrlTest, ToolbarCarriesItsItemsListsAndColourButton) {
    EXPECT_EQ(::SendMessageA(Toolbar(), TB_BUTTONCOUNT, 0, 0), 19);
    const int expected[19] = {20, 0, 0, 0, 0, 0, 0, 0, 22, 23, 24, 0, 25, 26, 27, 0, 28, 29, 30};
    for (int i = 0; i < 19; ++i) {
        TBBUTTON button{};
        ::SendMessageA(Toolbar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand != 0 && !(button.fsStyle & TBSTYLE_SEP) ? button.idCommand : 0,
                  expected[i])
            << i;
    }
    RECT nameItem{}, sizeItem{}, colourItem{};
    ::SendMessageA(Toolbar(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&nameItem));
    ::SendMessageA(Toolbar(), TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&sizeItem));
    ::SendMessageA(Toolbar(), TB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&colourItem));
    EXPECT_EQ(nameItem.right - nameItem.left, 128);
    EXPECT_EQ(sizeItem.right - sizeItem.left, 48);
    EXPECT_EQ(colourItem.right - colourItem.left, 64);

    HWND nameCombo = Combo(kCmdFontNameCombo);
    HWND sizeCombo = Combo(kCmdFontSizeCombo);
    ASSERT_TRUE(nameCombo && sizeCombo);
    EXPECT_GT(::SendMessageA(nameCombo, CB_GETCOUNT, 0, 0), 0);
    const std::vector<std::string> sizes = ComboEntries(sizeCombo);
    EXPECT_EQ(sizes, (std::vector<std::string>{"8", "9", "10", "11", "12", "14", "16", "18", "20",
                                               "22", "24", "26", "28", "36", "48", "72"}));
    // Face names appear once each.
    std::vector<std::string> faces = ComboEntries(nameCombo);
    std::sort(faces.begin(), faces.end());
    EXPECT_EQ(std::adjacent_find(faces.begin(), faces.end()), faces.end());

    CColourPicker& colour = editor->GetToolbar().ColourButton();
    char caption[32] = {};
    ::GetWindowTextA(colour.Hwnd(), caption, sizeof(caption));
    EXPECT_STREQ(caption, "Color");
    EXPECT_EQ(colour.GetDefaultText(), "Automatic");
    EXPECT_EQ(colour.GetCustomText(), "More Colours...");
}

TEST_F(RichEditCtrlTest, ChildrenFollowTheShowFlags) {
    struct Case {
        bool toolbar, ruler;
        int editTop;
    };
    for (const Case c : {Case{true, true, 54}, Case{false, true, 26}, Case{true, false, 28},
                         Case{false, false, 0}}) {
        SCOPED_TRACE(testing::Message() << "toolbar " << c.toolbar << " ruler " << c.ruler);
        // Shown or hidden after creation, and set before it: the same layout.
        for (bool before : {false, true}) {
            if (before) {
                ASSERT_TRUE(Build(c.toolbar, c.ruler));
            } else {
                ASSERT_TRUE(Build());
                editor->ShowToolbar(c.toolbar);
                editor->ShowRuler(c.ruler);
            }
            const RECT edit = ChildRect(editor->Hwnd(), Edit());
            EXPECT_EQ(edit.top, c.editTop);
            EXPECT_EQ(edit.bottom, 400);
            EXPECT_EQ(edit.right - edit.left, 600);
            EXPECT_EQ(::IsWindowVisible(Toolbar()) != 0, c.toolbar);
            EXPECT_EQ(::IsWindowVisible(editor->GetRuler().Hwnd()) != 0, c.ruler);
            if (c.ruler) {
                EXPECT_EQ(ChildRect(editor->Hwnd(), editor->GetRuler().Hwnd()).top,
                          c.toolbar ? 28 : 0);
            }
        }
    }
    // Resizing lays the children out again.
    ASSERT_TRUE(Build());
    ::MoveWindow(editor->Hwnd(), 0, 0, 500, 300, TRUE);
    const RECT edit = ChildRect(editor->Hwnd(), Edit());
    EXPECT_EQ(edit.bottom - edit.top, 300 - 54);
    EXPECT_EQ(ChildRect(editor->Hwnd(), Toolbar()).right, 500);
}

TEST_F(RichEditCtrlTest, BoldOnAPartlyBoldSelectionMakesItAllBold) {
    Type("plain bold");
    Select(6, 10);
    Click(kCmdBold);
    EXPECT_TRUE(Checked(kCmdBold));

    Select(0, 10);
    EXPECT_FALSE(Checked(kCmdBold)) << "a mixed selection shows unchecked";
    Click(kCmdBold);
    CHARFORMATA format = Format();
    EXPECT_TRUE(format.dwMask & CFM_BOLD);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    Click(kCmdBold);
    format = Format();
    EXPECT_TRUE(format.dwMask & CFM_BOLD);
    EXPECT_FALSE(format.dwEffects & CFE_BOLD);

    // Italic and underline work the same way and follow the selection back.
    Click(kCmdItalic);
    Click(kCmdUnderline);
    Select(0, 0);
    Select(0, 10);
    EXPECT_TRUE(Checked(kCmdItalic));
    EXPECT_TRUE(Checked(kCmdUnderline));
    EXPECT_EQ(::GetFocus(), Edit());
}

TEST_F(RichEditCtrlTest, AlignmentAndBulletButtons) {
    Type("line");
    EXPECT_TRUE(Checked(kCmdAlignLeft));
    struct Case {
        int command;
        WORD alignment;
    };
    for (const Case c : {Case{kCmdAlignCentre, PFA_CENTER}, Case{kCmdAlignRight, PFA_RIGHT},
                         Case{kCmdAlignLeft, PFA_LEFT}}) {
        Click(c.command);
        EXPECT_EQ(Paragraph().wAlignment, c.alignment);
        for (int other : {kCmdAlignLeft, kCmdAlignCentre, kCmdAlignRight})
            EXPECT_EQ(Checked(other), other == c.command) << c.command << " " << other;
    }
    Click(kCmdBullets);
    EXPECT_EQ(Paragraph().wNumbering, PFN_BULLET);
    EXPECT_TRUE(Checked(kCmdBullets));
    Click(kCmdBullets);
    EXPECT_EQ(Paragraph().wNumbering, 0);
}

TEST_F(RichEditCtrlTest, IndentAndOutdentWalkTheTabStops) {
    Type("paragraph");
    struct Case {
        int from;
        int command;
        int expected;
    };
    for (const Case c :
         {Case{700, kCmdIndent, 1280}, Case{700, kCmdOutdent, 640}, Case{0, kCmdOutdent, 0},
          Case{0, kCmdIndent, 640}, Case{640, kCmdIndent, 1280}, Case{20480, kCmdIndent, 20480}}) {
        SetStartIndent(c.from);
        Click(c.command);
        EXPECT_EQ(Paragraph().dxStartIndent, c.expected) << c.from << " " << c.command;
    }
}

TEST_F(RichEditCtrlTest, EveryTextChangingKeySendsOneChangeMessageCtrlSSaves) {
    Type("abc");
    struct Case {
        WPARAM key;
        int changes;
    };
    for (const Case c : {Case{'X', 1}, Case{VK_BACK, 1}, Case{VK_RETURN, 1}, Case{VK_LEFT, 0},
                         Case{VK_DELETE, 1}, Case{VK_HOME, 0}}) {
        host->changes = 0;
        PressKey(c.key);
        EXPECT_EQ(host->changes, c.changes) << "key " << c.key;
    }
    const std::string before = Text();
    host->changes = 0;
    {
        ScopedCtrlKey ctrl;
        PressKey('S');
    }
    EXPECT_EQ(host->saves, 1);
    EXPECT_EQ(host->changes, 0);
    EXPECT_EQ(Text(), before);
}

TEST_F(RichEditCtrlTest, ReadOnlyBlocksTyping) {
    editor->SetReadOnly(true);
    PressKey('A');
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(host->changes, 0);
    editor->SetReadOnly(false);
    PressKey('A');
    EXPECT_EQ(Text(), "a");

    // Set before creation, it takes effect when the edit exists.
    editor = std::make_unique<CRulerRichEditCtrl>();
    editor->SetReadOnly(true);
    ASSERT_TRUE(editor->Create(WS_CHILD | WS_VISIBLE, {0, 0, 300, 200}, host->Hwnd(), 1, true));
    EXPECT_TRUE(::GetWindowLongPtrA(Edit(), GWL_STYLE) & ES_READONLY);
}

TEST_F(RichEditCtrlTest, FontMessagesAndTheListsApplyFaceSizeAndColour) {
    Type("words");
    Select(0, 5);
    const RrecMessages& messages = RulerRichEditMessages();
    const std::string longFace(40, 'F');
    ::SendMessageA(editor->Hwnd(), messages.setFontName, reinterpret_cast<WPARAM>(longFace.c_str()),
                   0);
    ::SendMessageA(editor->Hwnd(), messages.setFontSize, 0, 18);
    ::SendMessageA(editor->Hwnd(), messages.setFontColour, 0, RGB(0, 128, 0));
    CHARFORMATA format = Format();
    EXPECT_EQ(std::string(format.szFaceName), std::string(31, 'F'));
    EXPECT_EQ(format.yHeight, 360);
    EXPECT_EQ(format.crTextColor, RGB(0, 128, 0));
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);

    // A size that is no size changes nothing; "Automatic" is the automatic colour.
    ::SendMessageA(editor->Hwnd(), messages.setFontSize, 0, 0);
    ::SendMessageA(editor->Hwnd(), messages.setFontColour, 0, CLR_DEFAULT);
    format = Format();
    EXPECT_EQ(format.yHeight, 360);
    EXPECT_TRUE(format.dwEffects & CFE_AUTOCOLOR);

    // The lists send the same messages when an entry is chosen.
    HWND nameCombo = Combo(kCmdFontNameCombo);
    HWND sizeCombo = Combo(kCmdFontSizeCombo);
    const std::vector<std::string> faces = ComboEntries(nameCombo);
    ASSERT_FALSE(faces.empty());
    const std::string face = faces.back();
    ::SendMessageA(nameCombo, CB_SETCURSEL, faces.size() - 1, 0);
    ::SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCmdFontNameCombo, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(nameCombo));
    ::SendMessageA(sizeCombo, CB_SETCURSEL, 13, 0); // "36"
    ::SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCmdFontSizeCombo, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(sizeCombo));
    format = Format();
    EXPECT_EQ(std::string(format.szFaceName), face);
    EXPECT_EQ(format.yHeight, 36 * 20);

    // The colour button's OK ending sends its colour.
    CColourPicker& colour = editor->GetToolbar().ColourButton();
    ::SendMessageA(colour.Hwnd(), PICKER_SELENDOK, RGB(0, 0, 255), 0);
    EXPECT_EQ(Format().crTextColor, RGB(0, 0, 255));
}

TEST_F(RichEditCtrlTest, AHiddenToolbarIsMadeWhenFirstShownAndTogglesWorkBeforeThat) {
    const std::vector<std::string> faces = ComboEntries(Combo(kCmdFontNameCombo));
    ASSERT_GE(faces.size(), 2u);
    ASSERT_TRUE(Build(false));
    EXPECT_EQ(Toolbar(), nullptr) << "not made while hidden";
    Type("abc");
    Select(0, 3);
    // Bold on, off and on again, as with a bar that exists but is hidden.
    for (DWORD expected : std::initializer_list<DWORD>{CFE_BOLD, 0, CFE_BOLD}) {
        editor->ToggleBold();
        EXPECT_EQ(Format().dwEffects & CFE_BOLD, expected);
    }
    editor->SetCurrentFontName(faces[1]);
    editor->ShowToolbar(true);
    ASSERT_NE(Toolbar(), nullptr);
    HWND nameCombo = Combo(kCmdFontNameCombo);
    EXPECT_EQ(ComboEntries(nameCombo), faces);
    EXPECT_EQ(SelectedEntry(nameCombo), faces[1]) << "the selection's face";
    EXPECT_TRUE(editor->GetToolbar().IsButtonChecked(kCmdBold));
    EXPECT_EQ(ChildRect(editor->Hwnd(), Edit()).top, 54) << "laid out below bar and ruler";
    editor->ShowToolbar(false);
    editor->ShowToolbar(true);
    EXPECT_EQ(ComboEntries(nameCombo), faces) << "listed once";
}

TEST_F(RichEditCtrlTest, ListsAndColourButtonFollowTheSelection) {
    HWND nameCombo = Combo(kCmdFontNameCombo);
    HWND sizeCombo = Combo(kCmdFontSizeCombo);
    const std::vector<std::string> faces = ComboEntries(nameCombo);
    ASSERT_GE(faces.size(), 2u);
    Type("aaa bbb ccc");
    Select(0, 3);
    editor->SetCurrentFontName(faces[0]);
    editor->SetCurrentFontSize(14);
    editor->SetCurrentFontColor(RGB(200, 0, 0));
    Select(4, 7);
    editor->SetCurrentFontName(faces[1]);
    editor->SetCurrentFontSize(13);
    Select(8, 11);
    editor->SetCurrentFontSize(13);

    Select(0, 3);
    EXPECT_EQ(SelectedEntry(nameCombo), faces[0]);
    EXPECT_EQ(SelectedEntry(sizeCombo), "14");
    EXPECT_EQ(editor->GetToolbar().ColourButton().GetColour(), RGB(200, 0, 0));
    Select(4, 7);
    EXPECT_EQ(SelectedEntry(nameCombo), faces[1]);
    EXPECT_EQ(SelectedEntry(sizeCombo), "14") << "13 points is not listed";
    // A mixed selection leaves the lists alone.
    Select(0, 7);
    EXPECT_EQ(SelectedEntry(nameCombo), faces[1]);
}

// The font and colour dialogs, answered by script.
class ScriptedFontUi : public ScriptedModalUi {
public:
    bool ChooseTextFont(HWND, LOGFONTA& font, int& pointSizeTenths, DWORD flags) override {
        asked = font;
        askedFlags = flags;
        if (!answer)
            return false;
        font = *answer;
        pointSizeTenths = answerTenths;
        return true;
    }
    bool ChooseColour(HWND, COLORREF& colour, DWORD) override {
        askedColour = colour;
        colour = colourAnswer;
        return true;
    }
    LOGFONTA asked{};
    DWORD askedFlags = 0;
    std::optional<LOGFONTA> answer;
    int answerTenths = 0;
    COLORREF askedColour = 0, colourAnswer = 0;
};

TEST_F(RichEditCtrlTest, FontDialogStartsFromTheSelectionAndOnlySwitchesOn) {
    ScriptedFontUi ui;
    Type("some text");
    Select(0, 4);
    editor->SetCurrentFontSize(12);
    Click(kCmdBold);
    Select(0, 9); // size and bold mixed now, face uniform
    LOGFONTA chosen{};
    lstrcpynA(chosen.lfFaceName, "Courier New", LF_FACESIZE);
    chosen.lfWeight = 400;
    chosen.lfItalic = TRUE;
    ui.answer = chosen;
    ui.answerTenths = 160;
    Click(kCmdFontDialog);

    EXPECT_STREQ(ui.asked.lfFaceName, "Times New Roman");
    EXPECT_EQ(ui.asked.lfHeight, 0);
    EXPECT_EQ(ui.asked.lfWeight, 0);
    EXPECT_EQ(ui.askedFlags & (CF_SCREENFONTS | CF_EFFECTS), DWORD(CF_SCREENFONTS | CF_EFFECTS));
    const CHARFORMATA format = Format();
    EXPECT_STREQ(format.szFaceName, "Courier New");
    EXPECT_EQ(format.yHeight, 320);
    EXPECT_TRUE(format.dwEffects & CFE_ITALIC);
    Select(0, 4);
    EXPECT_TRUE(Format().dwEffects & CFE_BOLD) << "a weight of 400 does not switch bold off";

    // A uniform selection gives the dialog its size and weight.
    ui.answer.reset();
    Click(kCmdFontDialog);
    EXPECT_EQ(ui.asked.lfHeight, -TwipsToPixels(320, editor->PixelsPerInch()));
    EXPECT_EQ(ui.asked.lfWeight, 700);
    EXPECT_TRUE(ui.asked.lfItalic);
}

TEST_F(RichEditCtrlTest, ColourDialogStartsFromAUniformColour) {
    ScriptedFontUi ui;
    Type("colour");
    Select(0, 6);
    ui.colourAnswer = RGB(10, 20, 30);
    Click(kCmdColourButton); // no button of that number: nothing happens
    EXPECT_EQ(ui.askedColour, 0u);
    editor->DoColorDialog();
    EXPECT_EQ(ui.askedColour, RGB(0, 0, 0)) << "automatic colour starts at black";
    EXPECT_EQ(Format().crTextColor, RGB(10, 20, 30));
    ui.colourAnswer = RGB(1, 2, 3);
    editor->DoColorDialog();
    EXPECT_EQ(ui.askedColour, RGB(10, 20, 30));
}

TEST_F(RichEditCtrlTest, DraggingATabStopOnTheRulerMovesIt) {
    Type("tabs");
    const RrecMessages& messages = RulerRichEditMessages();
    auto track = [&](WPARAM phase, int x, int y) {
        POINT point{x, y};
        ::SendMessageA(editor->Hwnd(), messages.rulerTrack, phase,
                       reinterpret_cast<LPARAM>(&point));
    };
    const int ppi = editor->PixelsPerInch();
    const int second = editor->Margin() + editor->TabStops()[1];

    // Released where it was grabbed: the stop keeps its exact twips.
    track(1, second + 1, 18);
    track(0, second + 1, 18);
    EXPECT_EQ(Paragraph().rgxTabs[1] & 0xFFFFFF, 1280);

    // Moved 10 pixels right with the mouse on the ruler, grabbed one pixel off its centre.
    HWND ruler = editor->GetRuler().Hwnd();
    ::SendMessageA(ruler, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second + 1, 18));
    EXPECT_EQ(::GetCapture(), ruler);
    ::SendMessageA(ruler, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(second + 11, 18));
    ::SendMessageA(ruler, WM_LBUTTONUP, 0, MAKELPARAM(second + 11, 18));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Paragraph().rgxTabs[1] & 0xFFFFFF, PixelsToTwips(TwipsToPixels(1280, ppi) + 10, ppi));
    EXPECT_EQ(editor->TabStops()[1], TwipsToPixels(1280, ppi) + 10);
    EXPECT_EQ(Paragraph().rgxTabs[0] & 0xFFFFFF, 640) << "neighbours stay";

    // Dragged far left: it stops 3 pixels right of the first stop.
    const int now = editor->Margin() + editor->TabStops()[1];
    track(1, now, 18);
    track(2, 0, 18);
    track(0, 0, 18);
    EXPECT_EQ(editor->TabStops()[1], editor->TabStops()[0] + 3);
}

TEST_F(RichEditCtrlTest, RulerPaintsItsScaleAndTabMarkers) {
    CRRECRuler& ruler = editor->GetRuler();
    RECT client;
    ::GetClientRect(ruler.Hwnd(), &client);
    ASSERT_EQ(client.bottom, 26);
    ClientDc screen(nullptr);
    MemoryDc buffer(screen.Get(), client.right, client.bottom);
    HDC dc = buffer.Get();
    ruler.Paint(dc);

    const int m = 12; // middle of the band from y 3 to 21
    const int margin = editor->Margin();
    const int stop = margin + editor->TabStops()[2];
    EXPECT_EQ(::GetPixel(dc, stop, m + 5), RGB(0, 0, 0)) << "marker bar";
    EXPECT_EQ(::GetPixel(dc, stop + 1, m + 8), RGB(0, 0, 0)) << "marker stem";
    EXPECT_EQ(::GetPixel(dc, stop - 3, m + 5), RGB(255, 255, 255)) << "beside the marker";
    const int halfCm = margin + static_cast<int>(std::lround(editor->PixelsPerInch() / 2.54)) / 2;
    EXPECT_EQ(::GetPixel(dc, halfCm, m), RGB(0, 0, 0)) << "half-centimetre tick";
    EXPECT_EQ(::GetPixel(dc, halfCm, m - 3), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(dc, 2, 12), ::GetSysColor(COLOR_BTNFACE)) << "left of the band";
    EXPECT_EQ(::GetPixel(dc, 300, 24), ::GetSysColor(COLOR_BTNFACE)) << "below the band";
    EXPECT_EQ(::GetPixel(dc, 300, 0), ::GetSysColor(COLOR_3DHIGHLIGHT));

    // Scrolled text takes the markers along.
    std::string wide(300, 'w');
    ::SendMessageA(editor->Hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    POINT scroll{40, 0};
    ::SendMessageA(Edit(), EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    const int scrolled = editor->GetRichEditCtrl().HorizontalScrollPos();
    ASSERT_GT(scrolled, 0);
    ruler.Paint(dc);
    EXPECT_EQ(::GetPixel(dc, stop - scrolled, m + 5), RGB(0, 0, 0));
}

TEST_F(RichEditCtrlTest, RtfRoundTripKeepsTextAndFormatting) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Courier New;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}"
        "\\pard plain \\b bold\\b0  \\i italic\\i0  \\cf1 red\\cf0  \\f1\\fs32 big\\f0\\fs20\\par"
        "\\pard\\qc centred\\par}";
    ASSERT_TRUE(editor->SetRTF(rtf));
    // The inherited bold of the system font must not leak into unformatted text.
    Select(0, 5);
    EXPECT_FALSE(Format().dwEffects & CFE_BOLD);

    CRulerRichEditCtrl copy;
    ASSERT_TRUE(copy.Create(WS_CHILD, {0, 0, 400, 300}, host->Hwnd(), 2, true));
    ASSERT_TRUE(copy.SetRTF(editor->GetRTF()));
    EXPECT_EQ(Text(copy.Hwnd()), Text());
    EXPECT_NE(Text(copy.Hwnd()).find("plain bold italic red big"), std::string::npos);

    struct Run {
        int from, to;
    };
    // Every run of the first paragraph, then the second paragraph's alignment.
    for (const Run run : {Run{0, 5}, Run{6, 10}, Run{11, 17}, Run{18, 21}, Run{22, 25}}) {
        ::SendMessageA(Edit(), EM_SETSEL, run.from, run.to);
        ::SendMessageA(copy.GetRichEditCtrl().Hwnd(), EM_SETSEL, run.from, run.to);
        const CHARFORMATA a = Format();
        const CHARFORMATA b = copy.GetRichEditCtrl().GetSelectionCharFormat();
        SCOPED_TRACE(testing::Message() << "run " << run.from << "-" << run.to);
        EXPECT_STREQ(a.szFaceName, b.szFaceName);
        EXPECT_EQ(a.yHeight, b.yHeight);
        EXPECT_EQ(a.dwEffects & (CFE_BOLD | CFE_ITALIC), b.dwEffects & (CFE_BOLD | CFE_ITALIC));
        EXPECT_EQ(a.crTextColor, b.crTextColor);
    }
    ::SendMessageA(copy.GetRichEditCtrl().Hwnd(), EM_SETSEL, 27, 27);
    EXPECT_EQ(copy.GetRichEditCtrl().GetParaFormat().wAlignment, PFA_CENTER);
    Select(6, 10);
    EXPECT_TRUE(Format().dwEffects & CFE_BOLD);
    Select(22, 25);
    EXPECT_STREQ(Format().szFaceName, "Courier New");
    EXPECT_EQ(Format().yHeight, 320);
}

TEST_F(RichEditCtrlTest, BadRtfNeverCrashesAndWhatLoadsLoadsAgain) {
    const std::string inputs[] = {
        "",
        "{\\rtf1",
        "{\\rtf1\\ansi {\\b unclosed",
        "}}}}{{{{\\\\\\",
        "plain text, not RTF at all",
        "{\\rtf1\\ansi\\fs99999999\\cf999\\f77 odd numbers\\par}",
        std::string(10000, '{') + "deep",
        "{\\rtf1\\ansi\\'zz\\u-1 \\bin5 ab",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input.substr(0, 40));
        editor->SetRTF(input);
        const std::string out = editor->GetRTF();
        EXPECT_EQ(out.rfind("{\\rtf", 0), 0u);
        CRulerRichEditCtrl again;
        ASSERT_TRUE(again.Create(WS_CHILD, {0, 0, 300, 200}, host->Hwnd(), 3, true));
        EXPECT_TRUE(again.SetRTF(out));
        EXPECT_EQ(again.GetRTF().empty(), false);
    }
    // A huge paste: the control keeps to its limit and stays usable.
    editor->SetRTF("");
    const std::string huge(256 * 1024, 'x');
    ::SendMessageA(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(huge.c_str()));
    const std::string out = editor->GetRTF();
    EXPECT_FALSE(out.empty());
    EXPECT_TRUE(editor->SetRTF(out));
}

} // namespace
