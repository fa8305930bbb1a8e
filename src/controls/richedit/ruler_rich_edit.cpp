#include "controls/richedit/ruler_rich_edit.h"

#include "controls/richedit/ruler_geometry.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The band of the editor, from below its tool bar, that follows the text: the ruler and the
// first lines of text.
constexpr int kBandTop = richedit::kToolbarHeight;
constexpr int kBandBottom = 82;
constexpr int kRulerId = 11; // the sibling ruler of the description editor

struct InStream {
    const std::string* text;
    std::size_t position;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* in = reinterpret_cast<InStream*>(cookie);
    const std::size_t left = in->text->size() - in->position;
    const std::size_t n = std::min<std::size_t>(left, wanted > 0 ? wanted : 0);
    std::memcpy(buffer, in->text->data() + in->position, n);
    in->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* taken) {
    auto* out = reinterpret_cast<std::string*>(cookie);
    // Runs inside the control: a failure is reported to it as an error, never thrown.
    try {
        out->append(reinterpret_cast<const char*>(buffer), size > 0 ? size : 0);
    } catch (const std::bad_alloc&) {
        *taken = 0;
        return 1;
    }
    *taken = size;
    return 0;
}

} // namespace

bool CRulerRichEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(RICHEDIT_CLASSA, "", style, rect, parent, id);
}

void CRulerRichEdit::OnTextChanged() {
    if (m_notifyWnd && m_changeMessage)
        ::SendMessageA(m_notifyWnd, m_changeMessage, 0, 0);
    InvalidateParentBand();
}

void CRulerRichEdit::InvalidateParentBand() {
    HWND parent = ::GetParent(Hwnd());
    if (!parent)
        return;
    RECT client;
    ::GetClientRect(parent, &client);
    RECT band{0, kBandTop, client.right, kBandBottom};
    // Never this text itself (the parent does not clip its children): its repaint would
    // report an update that lands here again.
    ::RedrawWindow(parent, &band, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    HWND ruler = ::GetDlgItem(parent, kRulerId);
    if (ruler && ::IsWindowVisible(ruler))
        ::InvalidateRect(ruler, nullptr, FALSE);
}

CHARFORMATA CRulerRichEdit::GetSelectionCharFormat() const {
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    ::SendMessageA(Hwnd(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

bool CRulerRichEdit::SetSelectionCharFormat(CHARFORMATA format) {
    format.cbSize = sizeof(format);
    return ::SendMessageA(Hwnd(), EM_SETCHARFORMAT, SCF_SELECTION,
                          reinterpret_cast<LPARAM>(&format)) != 0;
}

bool CRulerRichEdit::SetDefaultCharFormat(CHARFORMATA format) {
    format.cbSize = sizeof(format);
    return ::SendMessageA(Hwnd(), EM_SETCHARFORMAT, SCF_DEFAULT,
                          reinterpret_cast<LPARAM>(&format)) != 0;
}

PARAFORMAT CRulerRichEdit::GetParaFormat() const {
    PARAFORMAT format{};
    format.cbSize = sizeof(format);
    ::SendMessageA(Hwnd(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

bool CRulerRichEdit::SetParaFormat(PARAFORMAT format) {
    format.cbSize = sizeof(format);
    return ::SendMessageA(Hwnd(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format)) != 0;
}

std::string CRulerRichEdit::StreamOutRtf() const {
    std::string rtf;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rtf);
    stream.pfnCallback = &WriteChunk;
    ::SendMessageA(Hwnd(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Some rich edit versions stream the terminating NUL too; it is no part of the text, and
    // counted it would make a description one character longer than it is.
    while (!rtf.empty() && rtf.back() == '\0')
        rtf.pop_back();
    return rtf;
}

bool CRulerRichEdit::StreamInRtf(const std::string& rtf) {
    InStream in{&rtf, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    stream.pfnCallback = &ReadChunk;
    ::SendMessageA(Hwnd(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

int CRulerRichEdit::HorizontalScrollPos() const {
    POINT position{};
    ::SendMessageA(Hwnd(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
    return position.x;
}

LRESULT CRulerRichEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | Default(message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == 'S' && ::GetKeyState(VK_CONTROL) < 0) {
            if (m_notifyWnd && m_saveMessage)
                ::SendMessageA(m_notifyWnd, m_saveMessage, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        // The control character that Ctrl+S translates to.
        if (wParam == 0x13)
            return 0;
        break;
    case WM_HSCROLL:
        if (LOWORD(wParam) == SB_THUMBTRACK) {
            const LRESULT result = Default(message, wParam, lParam);
            SCROLLINFO info{sizeof(info), SIF_TRACKPOS};
            if (::GetScrollInfo(Hwnd(), SB_HORZ, &info)) {
                POINT position{};
                ::SendMessageA(Hwnd(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
                position.x = info.nTrackPos;
                ::SendMessageA(Hwnd(), EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
            }
            InvalidateParentBand();
            return result;
        }
        break;
    }
    return SubclassedWindow::WindowProc(message, wParam, lParam);
}
