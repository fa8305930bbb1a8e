#include "controls/richedit/font_combo_box.h"

#include "controls/richedit/text_format.h"
#include "framework/dc.h"

#include <algorithm>

namespace {
struct EnumContext {
    CFontComboBox* combo;
    HDC dc;
};
} // namespace

bool CFontComboBox::Create(const RECT& rect, HWND parent, UINT id) {
    return CreateControl("COMBOBOX", "",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_SORT |
                             CBS_HASSTRINGS | CBS_AUTOHSCROLL,
                         rect, parent, id);
}

int CFontComboBox::FillFontList() {
    ClientDc screen(nullptr);
    SelectObjectGuard font(screen.Get(), ::GetStockObject(ANSI_VAR_FONT));
    EnumContext context{this, screen.Get()};
    ::EnumFontFamiliesA(screen.Get(), nullptr, &CFontComboBox::EnumFace,
                        reinterpret_cast<LPARAM>(&context));
    return static_cast<int>(::SendMessageA(Hwnd(), CB_GETCOUNT, 0, 0));
}

int CALLBACK CFontComboBox::EnumFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM self) {
    auto* context = reinterpret_cast<EnumContext*>(self);
    context->combo->AddFace(font->lfFaceName, context->dc);
    return 1;
}

void CFontComboBox::AddFace(const char* face, HDC measuringDc) {
    // A family may be reported once per character set; list it once.
    if (!face[0] || ::SendMessageA(Hwnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(face)) != CB_ERR)
        return;
    ::SendMessageA(Hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
    const std::string measured = std::string(face) + "0";
    SIZE extent{};
    ::GetTextExtentPoint32A(measuringDc, measured.c_str(), static_cast<int>(measured.size()),
                            &extent);
    m_maxWidth = std::max<int>(m_maxWidth, extent.cx);
}

bool CFontComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
        ::SendMessageA(Hwnd(), CB_SETDROPPEDWIDTH, m_maxWidth + ::GetSystemMetrics(SM_CXVSCROLL),
                       0);
        result = 0;
        return true;
    }
    return false;
}

std::vector<std::string> ComboEntries(HWND combo) {
    std::vector<std::string> entries;
    const LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        std::vector<char> buffer(length > 0 ? static_cast<std::size_t>(length) + 1 : 1);
        if (length > 0)
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        entries.emplace_back(buffer.data());
    }
    return entries;
}

bool SelectExactEntry(HWND combo, const std::string& text) {
    const auto index = richedit::FindExactEntry(ComboEntries(combo), text);
    if (!index)
        return false;
    ::SendMessageA(combo, CB_SETCURSEL, *index, 0);
    return true;
}

std::string SelectedEntry(HWND combo) {
    const LRESULT index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return {};
    const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}
