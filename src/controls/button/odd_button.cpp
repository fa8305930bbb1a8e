#include "controls/button/odd_button.h"

namespace {
constexpr DWORD kTypeBits = 0x0F;
}

bool COddButton::Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("BUTTON", caption, style | WS_CHILD, rect, parent, id);
}

bool COddButton::CreateWithoutCommonControls(const char* caption, DWORD style, const RECT& rect,
                                             HWND parent, UINT id) {
    // A class named by its atom is not redirected by the activation context. Under Wine the
    // system classes' names are global atoms; where "Button" names something else (or nothing),
    // the window is not made or is not a button, and the ordinary way is taken.
    if (const ATOM atom = ::GlobalFindAtomA("Button");
        atom && CreateControl(MAKEINTATOM(atom), caption, style | WS_CHILD, rect, parent, id)) {
        char name[8] = {};
        if (::GetClassNameA(Hwnd(), name, sizeof(name)) == 6 && ::lstrcmpiA(name, "Button") == 0)
            return true;
        Destroy();
    }
    return Create(caption, style, rect, parent, id);
}

void COddButton::PreSubclassWindow() {
    const int type = static_cast<int>(Style() & kTypeBits);
    m_declaredType = type;
    if (type == BS_DEFPUSHBUTTON) {
        m_isDefault = true;
        m_canBeDefault = true;
        m_declaredType = BS_PUSHBUTTON;
    } else if (type == BS_PUSHBUTTON) {
        m_canBeDefault = true;
    }
    ModifyStyle(kTypeBits, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

UINT COddButton::OnGetDlgCode(WPARAM wParam, LPARAM lParam) {
    UINT code = static_cast<UINT>(Default(WM_GETDLGCODE, wParam, lParam));
    if (m_declaredType == BS_RADIOBUTTON || m_declaredType == BS_AUTORADIOBUTTON)
        code |= DLGC_RADIOBUTTON;
    else if (m_declaredType == BS_GROUPBOX)
        code = DLGC_STATIC;
    if (m_canBeDefault || m_isDefault) {
        code &= ~static_cast<UINT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        code |= m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    }
    return code;
}

LRESULT COddButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return OnGetDlgCode(wParam, lParam);
    case BM_SETSTYLE: {
        const DWORD type = static_cast<DWORD>(wParam) & kTypeBits;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            m_isDefault = type == BS_DEFPUSHBUTTON;
        // The control keeps drawing through its owner whatever type is asked for.
        const WPARAM ownerDrawn = (wParam & ~static_cast<WPARAM>(0x04)) | BS_OWNERDRAW;
        return Default(message, ownerDrawn, lParam);
    }
    }
    return SubclassedWindow::WindowProc(message, wParam, lParam);
}
