#include "controls/colour/colour_picker.h"

#include "controls/colour/colour_popup.h"
#include "controls/colour/colour_table.h"
#include "framework/unique_handle.h"

#include <algorithm>

CColourPicker::CColourPicker()
    : m_backColour(::GetSysColor(COLOR_3DFACE)), m_textColour(::GetSysColor(COLOR_BTNTEXT)) {}

bool CColourPicker::Create(const char* caption, DWORD style, const RECT& rect, HWND parent,
                           UINT id) {
    return CreateControl("BUTTON", caption, style | WS_CHILD, rect, parent, id);
}

COLORREF CColourPicker::GetColour() const {
    return m_mode == kTextMode ? m_textColour : m_backColour;
}

void CColourPicker::SetColour(COLORREF colour) {
    if (m_mode == kTextMode)
        SetTextColour(colour);
    else
        SetBkColour(colour);
}

void CColourPicker::SetBkColour(COLORREF colour) {
    m_backColour = colour;
    Repaint();
}

void CColourPicker::SetTextColour(COLORREF colour) {
    m_textColour = colour;
    Repaint();
}

void CColourPicker::SetDefaultText(const char* text) {
    m_defaultText = text ? text : "";
}

void CColourPicker::SetCustomText(const char* text) {
    m_customText = text ? text : "";
}

void CColourPicker::SetSelectionMode(int mode) {
    m_mode = mode;
}

void CColourPicker::SetTrackSelection(bool track) {
    m_trackSelection = track;
}

void CColourPicker::Repaint() {
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CColourPicker::PreSubclassWindow() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    SetWindowSize();
}

void CColourPicker::SetWindowSize() {
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    const int arrowWidth = std::max(5 * edgeX, ::GetSystemMetrics(SM_CXHTHUMB));
    const int arrowHeight = std::max(5 * edgeY, ::GetSystemMetrics(SM_CYVTHUMB));
    const int arrow = std::max(arrowWidth, arrowHeight);

    RECT rect;
    ::GetWindowRect(Hwnd(), &rect);
    if (HWND parent = ::GetParent(Hwnd()))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const int width = std::max<int>(rect.right - rect.left, 2 * (arrow + edgeX));
    const int height = std::max<int>(rect.bottom - rect.top, arrow + 2 * edgeY);
    ::MoveWindow(Hwnd(), rect.left, rect.top, width, height, TRUE);

    m_arrowRect = {width - arrow - edgeX, edgeY, width - edgeX, height - edgeY};
}

void CColourPicker::OpenPopup() {
    m_active = true;
    RECT rect;
    ::GetWindowRect(Hwnd(), &rect);
    const COLORREF colour = GetColour();
    if (!CColourPopup::Open({rect.left, rect.bottom}, colour, Hwnd(), m_defaultText,
                            m_customText)) {
        m_active = false;
        return;
    }
    NotifyParent(PICKER_DROPDOWN, colour);
}

void CColourPicker::NotifyParent(UINT message, COLORREF colour) {
    if (HWND parent = ::GetParent(Hwnd()))
        ::SendMessageA(parent, message, colour, ControlId());
}

bool CColourPicker::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        OpenPopup();
        result = 0;
        return true;
    }
    if (message == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return false;
}

LRESULT CColourPicker::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto colour = static_cast<COLORREF>(wParam);
    switch (message) {
    case PICKER_SELCHANGE:
        if (m_trackSelection)
            SetColour(colour);
        NotifyParent(PICKER_SELCHANGE, colour);
        return TRUE;
    case PICKER_SELENDOK:
    case PICKER_SELENDCANCEL:
        m_active = false;
        SetColour(colour);
        NotifyParent(PICKER_CLOSEUP, colour);
        NotifyParent(message, colour);
        return TRUE;
    }
    return SubclassedWindow::WindowProc(message, wParam, lParam);
}

void CColourPicker::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    UINT state = item.itemState;
    if (m_active)
        state |= ODS_SELECTED;
    const bool disabled = (state & ODS_DISABLED) != 0;

    RECT arrow = m_arrowRect;
    ::DrawFrameControl(dc, &arrow, DFC_SCROLL,
                       DFCS_SCROLLDOWN | ((state & ODS_SELECTED) ? DFCS_PUSHED : 0) |
                           (disabled ? DFCS_INACTIVE : 0));

    ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    rect.right -= m_arrowRect.right - m_arrowRect.left;

    const COLORREF face = (disabled || m_backColour == colour::kDefaultColour)
                              ? ::GetSysColor(COLOR_3DFACE)
                              : m_backColour;
    UniqueBrush brush(::CreateSolidBrush(face));
    ::FillRect(dc, &rect, brush.Get());

    char caption[256] = {};
    const int length = ::GetWindowTextA(Hwnd(), caption, sizeof(caption));
    if (length > 0) {
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const UINT flags = DT_CENTER | DT_SINGLELINE | DT_VCENTER;
        if (disabled) {
            RECT shadow = rect;
            ::OffsetRect(&shadow, 1, 1);
            ::SetTextColor(dc, ::GetSysColor(COLOR_3DHIGHLIGHT));
            ::DrawTextA(dc, caption, length, &shadow, flags);
            ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
            ::DrawTextA(dc, caption, length, &rect, flags);
        } else {
            ::SetTextColor(dc,
                           m_textColour == colour::kDefaultColour ? RGB(0, 0, 0) : m_textColour);
            ::DrawTextA(dc, caption, length, &rect, flags);
        }
        ::SetBkMode(dc, oldMode);
    }

    if (state & ODS_FOCUS) {
        ::InflateRect(&rect, -1, -1);
        ::DrawFocusRect(dc, &rect);
    }
}
