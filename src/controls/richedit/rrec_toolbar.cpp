#include "controls/richedit/rrec_toolbar.h"

#include "controls/richedit/rrec_messages.h"
#include "controls/richedit/toolbar_template.h"
#include "framework/reflect.h"
#include "resource.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

constexpr int kImageWidth = 16;
constexpr int kImageHeight = 15;
constexpr int kButtonWidth = 20;
constexpr int kButtonHeight = 19;
// How far the lists drop down below their place on the bar.
constexpr int kDropDownHeight = 128;
constexpr unsigned kToolbarResourceType = 241; // RT_TOOLBAR

std::optional<richedit::ToolbarTemplate> LoadToolbarTemplate(HMODULE module) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_RICHEDIT_TOOLBAR),
                                  MAKEINTRESOURCEA(kToolbarResourceType));
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return richedit::ParseToolbarResource(static_cast<const std::uint8_t*>(data),
                                          ::SizeofResource(module, found));
}

std::string LoadResourceString(HMODULE module, UINT id) {
    char text[256] = {};
    const int length = ::LoadStringA(module, id, text, sizeof(text));
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

} // namespace

CRRECToolbar::~CRRECToolbar() {
    // The bar goes before the objects its children belong to.
    Destroy();
}

bool CRRECToolbar::Create(const RECT& rect, HWND parent, UINT id) {
    // The bar keeps the height it is given and draws no divider line of its own.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT | CCS_NORESIZE |
                        CCS_NOPARENTALIGN | CCS_NODIVIDER;
    if (!CreateControl(TOOLBARCLASSNAME, "", style, rect, parent, id))
        return false;
    if (!AddItems() || !CreateCarriedControls()) {
        Destroy();
        return false;
    }
    for (int command : m_checkedBeforeCreation)
        CheckButton(command, true);
    m_checkedBeforeCreation.clear();
    return true;
}

bool CRRECToolbar::AddItems() {
    HMODULE module = ::GetModuleHandleA(nullptr);
    const auto resource = LoadToolbarTemplate(module);
    if (!resource)
        return false;
    m_bitmap.Reset(static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(IDR_RICHEDIT_TOOLBAR),
                                                     IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    if (!m_bitmap)
        return false;
    BITMAP info{};
    ::GetObjectA(m_bitmap.Get(), sizeof(info), &info);

    ::SendMessageA(Hwnd(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(Hwnd(), TB_SETBITMAPSIZE, 0, MAKELPARAM(kImageWidth, kImageHeight));
    TBADDBITMAP strip{nullptr, reinterpret_cast<UINT_PTR>(m_bitmap.Get())};
    if (::SendMessageA(Hwnd(), TB_ADDBITMAP, info.bmWidth / kImageWidth,
                       reinterpret_cast<LPARAM>(&strip)) == -1)
        return false;

    std::vector<TBBUTTON> buttons;
    for (const richedit::ToolbarItem& item : richedit::ToolbarItems(*resource)) {
        TBBUTTON button{};
        if (item.command == 0) {
            button.iBitmap = item.width; // a separator's width
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.iBitmap = item.image;
            button.idCommand = item.command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.push_back(button);
    }
    if (!::SendMessageA(Hwnd(), TB_ADDBUTTONSA, buttons.size(),
                        reinterpret_cast<LPARAM>(buttons.data())))
        return false;
    // Padding that lets the 16 x 15 images sit in 20 x 19 buttons.
    ::SendMessageA(Hwnd(), TB_SETPADDING, 0,
                   MAKELPARAM(kButtonWidth - kImageWidth, kButtonHeight - kImageHeight));
    ::SendMessageA(Hwnd(), TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonWidth, kButtonHeight));
    return true;
}

RECT CRRECToolbar::ItemRect(int index) const {
    RECT rect{};
    ::SendMessageA(Hwnd(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

bool CRRECToolbar::CreateCarriedControls() {
    HMODULE module = ::GetModuleHandleA(nullptr);
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(ANSI_VAR_FONT));

    RECT nameRect = ItemRect(richedit::CarrierIndex(richedit::kCmdFontNameCombo));
    nameRect.bottom += kDropDownHeight;
    if (!m_fontCombo.Create(nameRect, Hwnd(), richedit::kCmdFontNameCombo))
        return false;
    ::SendMessageA(m_fontCombo.Hwnd(), WM_SETFONT, font, FALSE);

    RECT sizeRect = ItemRect(richedit::CarrierIndex(richedit::kCmdFontSizeCombo));
    sizeRect.bottom += kDropDownHeight;
    if (!m_sizeCombo.Create(sizeRect, Hwnd(), richedit::kCmdFontSizeCombo))
        return false;
    m_sizeCombo.FillSizeList();
    ::SendMessageA(m_sizeCombo.Hwnd(), WM_SETFONT, font, FALSE);

    const RECT colourRect = ItemRect(richedit::CarrierIndex(richedit::kCmdColourButton));
    const std::string caption = LoadResourceString(module, IDS_RICHEDIT_COLOUR);
    const std::string automatic = LoadResourceString(module, IDS_RICHEDIT_AUTOMATIC);
    const std::string more = LoadResourceString(module, IDS_RICHEDIT_MORE_COLOURS);
    if (caption.empty() || automatic.empty() || more.empty())
        return false;
    if (!m_colour.Create(caption.c_str(), WS_CHILD | WS_VISIBLE, colourRect, Hwnd(),
                         richedit::kCmdColourButton))
        return false;
    m_colour.SetDefaultText(automatic.c_str());
    m_colour.SetCustomText(more.c_str());
    m_colour.SetSelectionMode(CColourPicker::kTextMode);
    m_colour.SetBkColour(RGB(255, 255, 255));
    ::SendMessageA(m_colour.Hwnd(), WM_SETFONT, font, FALSE);
    return true;
}

void CRRECToolbar::EnsureFontList() {
    if (m_fontListFilled || !m_fontCombo.Hwnd())
        return;
    m_fontCombo.FillFontList();
    m_fontListFilled = true;
}

bool CRRECToolbar::IsButtonChecked(int command) const {
    if (!Hwnd())
        return m_checkedBeforeCreation.count(command) != 0;
    return ::SendMessageA(Hwnd(), TB_ISBUTTONCHECKED, command, 0) != 0;
}

void CRRECToolbar::CheckButton(int command, bool checked) {
    if (!Hwnd()) {
        if (checked)
            m_checkedBeforeCreation.insert(command);
        else
            m_checkedBeforeCreation.erase(command);
        return;
    }
    ::SendMessageA(Hwnd(), TB_CHECKBUTTON, command, MAKELPARAM(checked ? TRUE : FALSE, 0));
}

void CRRECToolbar::ApplyState(const richedit::ToolbarState& state) {
    using namespace richedit;
    CheckButton(kCmdBold, state.bold);
    CheckButton(kCmdItalic, state.italic);
    CheckButton(kCmdUnderline, state.underline);
    CheckButton(kCmdAlignLeft, state.left);
    CheckButton(kCmdAlignCentre, state.centre);
    CheckButton(kCmdAlignRight, state.right);
    CheckButton(kCmdBullets, state.bullets);
    if (state.face)
        SelectExactEntry(m_fontCombo.Hwnd(), *state.face);
    if (state.sizeEntry)
        SelectExactEntry(m_sizeCombo.Hwnd(), *state.sizeEntry);
    if (state.colour && m_colour.GetColour() != *state.colour)
        m_colour.SetColour(*state.colour);
}

void CRRECToolbar::SendToEditor(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND editor = ::GetParent(Hwnd()))
        ::SendMessageA(editor, message, wParam, lParam);
}

LRESULT CRRECToolbar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const RrecMessages& messages = RulerRichEditMessages();
    switch (message) {
    case WM_ERASEBKGND: {
        // A flat bar leaves its background to the editor, which paints none of its own.
        RECT client;
        ::GetClientRect(Hwnd(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELENDOK) {
            if (LOWORD(wParam) == richedit::kCmdFontNameCombo) {
                const std::string face = SelectedEntry(m_fontCombo.Hwnd());
                if (!face.empty())
                    SendToEditor(messages.setFontName, reinterpret_cast<WPARAM>(face.c_str()), 0);
                return 0;
            }
            if (LOWORD(wParam) == richedit::kCmdFontSizeCombo) {
                const int size = richedit::SizeFromText(SelectedEntry(m_sizeCombo.Hwnd()));
                SendToEditor(messages.setFontSize, 0, size);
                return 0;
            }
        }
        break;
    }
    case PICKER_SELENDOK:
        if (static_cast<int>(lParam) == richedit::kCmdColourButton)
            SendToEditor(messages.setFontColour, 0, static_cast<LPARAM>(m_colour.GetColour()));
        return TRUE;
    case PICKER_SELCHANGE:
    case PICKER_DROPDOWN:
    case PICKER_CLOSEUP:
    case PICKER_SELENDCANCEL:
        return TRUE;
    }
    return SubclassedWindow::WindowProc(message, wParam, lParam);
}
