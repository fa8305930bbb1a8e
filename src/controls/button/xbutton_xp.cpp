#include "controls/button/xbutton_xp.h"

#include "controls/button/button_layout.h"
#include "controls/button/grey_icon.h"
#include "controls/button/xtheme_helper.h"
#include "framework/dc.h"

#include <string>
#include <vector>

namespace {

constexpr int kButtonPart = 1; // BP_PUSHBUTTON
constexpr int kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 4,
              kStateDefaulted = 5;

xbutton::Area ToArea(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const xbutton::Area& a) {
    return {a.left, a.top, a.right, a.bottom};
}

// The size of an icon's colour bitmap; 32 x 32 when it cannot be read.
SIZE IconSize(HICON icon) {
    SIZE size{32, 32};
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return size;
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    BITMAP bitmap{};
    if (colour && ::GetObjectA(colour.Get(), sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
    }
    return size;
}

} // namespace

HICON CreateGreyIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return nullptr;
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    BITMAP bitmap{};
    if (!colour || !::GetObjectA(colour.Get(), sizeof(bitmap), &bitmap) || bitmap.bmWidth <= 0 ||
        bitmap.bmHeight <= 0)
        return nullptr;

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = bitmap.bmWidth;
    bmi.bmiHeader.biHeight = bitmap.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth) *
                                      static_cast<std::size_t>(bitmap.bmHeight));
    ClientDc screen(nullptr);
    if (::GetDIBits(screen.Get(), colour.Get(), 0, static_cast<UINT>(bitmap.bmHeight),
                    pixels.data(), &bmi, DIB_RGB_COLORS) != bitmap.bmHeight)
        return nullptr;
    xbutton::GreyPixels(pixels);

    void* bits = nullptr;
    bmi.bmiHeader.biSizeImage = 0;
    UniqueBitmap grey(::CreateDIBSection(screen.Get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grey || !bits)
        return nullptr;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    ::GdiFlush();

    ICONINFO greyInfo = info;
    greyInfo.hbmColor = grey.Get();
    greyInfo.hbmMask = mask.Get();
    return ::CreateIconIndirect(&greyInfo);
}

CXButtonXP::~CXButtonXP() {
    CloseTheme();
    if (m_backgroundDc && m_backgroundOldBitmap)
        ::SelectObject(m_backgroundDc.Get(), m_backgroundOldBitmap);
}

HICON CXButtonXP::GreyIcon() {
    if (m_icon && !m_greyIcon)
        m_greyIcon.Reset(CreateGreyIcon(m_icon.Get()));
    return m_greyIcon.Get();
}

CXButtonXP& CXButtonXP::SetIcon(UINT resourceId, int alignment) {
    auto* icon =
        static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                        IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    return SetIcon(icon, alignment);
}

CXButtonXP& CXButtonXP::SetIcon(HICON icon, int alignment) {
    m_greyIcon.Reset();
    m_icon.Reset(icon);
    m_iconAlignment = alignment;
    // A hidden button paints when it is shown.
    if (Hwnd() && ::IsWindowVisible(Hwnd()))
        ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return *this;
}

bool CXButtonXP::IsThemed() {
    return m_theme && m_themingAllowed && g_themeHelper.IsAppThemed() &&
           m_backgroundColour == CLR_INVALID && m_textColour == CLR_INVALID;
}

CXButtonXP& CXButtonXP::EnableTheming(bool allowed) {
    m_themingAllowed = allowed;
    Invalidate();
    return *this;
}

CXButtonXP& CXButtonXP::SetToggle(bool toggle) {
    m_toggle = toggle;
    m_toggleState = false;
    Invalidate();
    return *this;
}

CXButtonXP& CXButtonXP::SetDrawToolbar(bool toolbar) {
    m_toolbar = toolbar;
    m_themeNeedsOpening = true; // the theme class changes with the mode
    Invalidate();
    return *this;
}

CXButtonXP& CXButtonXP::SetBackgroundColour(COLORREF colour) {
    m_backgroundColour = colour;
    Invalidate();
    return *this;
}

CXButtonXP& CXButtonXP::SetTextColour(COLORREF colour) {
    m_textColour = colour;
    Invalidate();
    return *this;
}

void CXButtonXP::Invalidate() {
    if (Hwnd())
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CXButtonXP::CloseTheme() {
    if (m_theme)
        g_themeHelper.CloseThemeData(m_theme);
    m_theme = nullptr;
}

bool CXButtonXP::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return COddButton::OnChildNotify(message, wParam, lParam, result);
}

LRESULT CXButtonXP::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
            return 0;
        return DLGC_WANTALLKEYS;
    }
    case WM_KEYDOWN:
        // Holding the key must not click again and again.
        if (lParam & (1 << 30))
            return 0;
        if (wParam == VK_SPACE || wParam == VK_RETURN)
            ::SendMessageA(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE || wParam == VK_RETURN)
            ::SendMessageA(Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        break;
    case WM_LBUTTONDOWN:
        m_leftButtonDown = true;
        if (m_toggle) {
            m_toggleState = !m_toggleState;
            Invalidate();
        }
        break;
    case WM_LBUTTONUP:
        m_leftButtonDown = false;
        if (m_doubleClickPressed) {
            ::SendMessageA(Hwnd(), BM_SETSTATE, FALSE, 0);
            m_doubleClickPressed = false;
            ::SendMessageA(::GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(ControlId(), 0),
                           reinterpret_cast<LPARAM>(Hwnd()));
        }
        if (m_toggle) {
            RECT window;
            ::GetWindowRect(Hwnd(), &window);
            POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ClientToScreen(Hwnd(), &point);
            if (!::PtInRect(&window, point)) {
                m_toggleState = !m_toggleState;
                Invalidate();
            }
        }
        break;
    case WM_LBUTTONDBLCLK:
        // A second press, which the button-up completes into a second click.
        if (m_toggle) {
            ::SendMessageA(Hwnd(), BM_SETSTATE, m_toggleState, 0);
        } else {
            ::SendMessageA(Hwnd(), BM_SETSTATE, TRUE, 0);
            m_doubleClickPressed = true;
        }
        return 0;
    case WM_THEMECHANGED:
        if (IsThemed()) {
            CloseTheme();
            m_themeNeedsOpening = true;
        }
        break;
    }
    return MessageMap(message, wParam, lParam);
}

LRESULT CXButtonXP::MessageMap(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_MOUSEMOVE: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(Hwnd(), &point);
        RECT window;
        ::GetWindowRect(Hwnd(), &window);
        const bool hot = ::PtInRect(&window, point) != FALSE;
        if (hot != m_hot) {
            m_hot = hot;
            Invalidate();
            if (hot) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Hwnd(), 0};
                ::TrackMouseEvent(&track);
            }
        }
        break;
    }
    case WM_MOUSELEAVE: {
        // The control's own handling may invalidate too; one repaint after it covers both.
        const LRESULT result = COddButton::WindowProc(message, wParam, lParam);
        m_hot = false;
        ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return result;
    }
    case WM_DESTROY:
        CloseTheme();
        break;
    }
    return COddButton::WindowProc(message, wParam, lParam);
}

void CXButtonXP::SaveParentBackground() {
    HWND parent = ::GetParent(Hwnd());
    if (!parent)
        return;
    ::GetWindowRect(Hwnd(), &m_backgroundRect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&m_backgroundRect), 2);
    const int width = m_backgroundRect.right - m_backgroundRect.left;
    const int height = m_backgroundRect.bottom - m_backgroundRect.top;

    // The parent repaints what lies under the button while the button is hidden.
    const bool visible = (Style() & WS_VISIBLE) != 0;
    ModifyStyle(WS_VISIBLE, 0);
    ::InvalidateRect(parent, &m_backgroundRect, TRUE);
    ::UpdateWindow(parent);

    HDC parentDc = ::GetWindowDC(parent);
    if (m_backgroundDc && m_backgroundOldBitmap)
        ::SelectObject(m_backgroundDc.Get(), m_backgroundOldBitmap);
    m_backgroundDc.Reset(::CreateCompatibleDC(parentDc));
    m_backgroundBitmap.Reset(::CreateCompatibleBitmap(parentDc, width, height));
    m_backgroundOldBitmap = ::SelectObject(m_backgroundDc.Get(), m_backgroundBitmap.Get());
    ::BitBlt(m_backgroundDc.Get(), 0, 0, width, height, parentDc, m_backgroundRect.left,
             m_backgroundRect.top, SRCCOPY);
    ::ReleaseDC(parent, parentDc);

    if (visible)
        ModifyStyle(0, WS_VISIBLE);
}

void CXButtonXP::DrawItem(const DRAWITEMSTRUCT& item) {
    const RECT itemRect = item.rcItem;
    const int width = itemRect.right - itemRect.left;
    const int height = itemRect.bottom - itemRect.top;

    if (m_themeNeedsOpening) {
        m_themeNeedsOpening = false;
        if (g_themeHelper.IsThemeLibAvailable()) {
            CloseTheme();
            m_theme = g_themeHelper.OpenThemeData(Hwnd(), m_toolbar ? "Toolbar" : "Button");
        }
        if (m_toolbar)
            SaveParentBackground();
    }

    // Everything is drawn into a copy of what the button shows, then copied back at once.
    MemoryDc memory(item.hDC, width, height);
    HDC dc = memory.Get();
    ::SetWindowOrgEx(dc, itemRect.left, itemRect.top, nullptr);
    ::BitBlt(dc, itemRect.left, itemRect.top, width, height, item.hDC, itemRect.left, itemRect.top,
             SRCCOPY);
    ::SetBkMode(dc, TRANSPARENT);

    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(Hwnd()), WM_GETFONT, 0, 0));
    SelectObjectGuard selectFont(dc, font ? static_cast<HGDIOBJ>(font)
                                          : ::GetStockObject(DEFAULT_GUI_FONT));
    char captionBuffer[512] = {};
    const int captionLength = ::GetWindowTextA(Hwnd(), captionBuffer, sizeof(captionBuffer));
    const std::string caption(captionBuffer, static_cast<std::size_t>(std::max(0, captionLength)));

    bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focusRectAllowed = (item.itemState & ODS_NOFOCUSRECT) == 0;
    bool isDefault = IsDefault();
    if (m_toggle) {
        pressed = m_toggleState;
        if (m_leftButtonDown && !m_hot)
            pressed = !pressed;
    }
    if (m_toolbar) {
        if (m_backgroundDc)
            ::BitBlt(dc, itemRect.left, itemRect.top, width, height, m_backgroundDc.Get(), 0, 0,
                     SRCCOPY);
        focused = false;
        isDefault = false;
    }

    const bool themed = IsThemed();
    const bool customColours = m_backgroundColour != CLR_INVALID || m_textColour != CLR_INVALID;
    RECT drawRect = itemRect;
    int themeState = kStateNormal;
    if (themed) {
        themeState = disabled                 ? kStateDisabled
                     : pressed                ? kStatePressed
                     : m_hot                  ? kStateHot
                     : (focused || isDefault) ? kStateDefaulted
                                              : kStateNormal;
        g_themeHelper.DrawThemeParentBackground(Hwnd(), dc, &itemRect);
        g_themeHelper.DrawThemeBackground(m_theme, dc, kButtonPart, themeState, &itemRect, nullptr);
    } else {
        UniqueBrush face(::CreateSolidBrush(
            m_backgroundColour == CLR_INVALID ? ::GetSysColor(COLOR_BTNFACE) : m_backgroundColour));
        if (!m_toolbar || customColours) {
            RECT inner = itemRect;
            ::InflateRect(&inner, -1, -1);
            ::FillRect(dc, &inner, face.Get());
        }
        if (focused || isDefault) {
            if (!(m_toggle && pressed))
                ::FrameRect(dc, &drawRect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::InflateRect(&drawRect, -1, -1);
        }
        if (pressed || !m_toolbar)
            ::DrawEdge(dc, &drawRect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }

    const bool shift = pressed && !themed;
    RECT captionArea = itemRect;
    if (m_icon)
        DrawIcon(dc, itemRect, !caption.empty(), disabled, shift, captionArea);

    if (!caption.empty()) {
        UINT flags =
            (Style() & BS_MULTILINE) ? (DT_WORDBREAK | DT_VCENTER) : (DT_SINGLELINE | DT_VCENTER);
        if (!m_icon)
            flags |= DT_CENTER;
        if (shift)
            ::OffsetRect(&captionArea, 1, 1);
        RECT measured = captionArea;
        ::DrawTextA(dc, caption.c_str(), -1, &measured, flags | DT_CALCRECT);
        RECT textRect = ToRect(xbutton::CentreIn(
            ToArea(captionArea), measured.right - measured.left, measured.bottom - measured.top));
        if (themed && !m_toolbar) {
            g_themeHelper.DrawThemeText(m_theme, dc, kButtonPart,
                                        disabled ? kStateDisabled : kStateNormal, caption.c_str(),
                                        flags, 0, &textRect);
        } else if (disabled) {
            RECT highlight = textRect;
            ::OffsetRect(&highlight, 1, 1);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            ::DrawTextA(dc, caption.c_str(), -1, &highlight, flags);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
            ::DrawTextA(dc, caption.c_str(), -1, &textRect, flags);
        } else {
            ::SetTextColor(dc, m_textColour == CLR_INVALID ? ::GetSysColor(COLOR_BTNTEXT)
                                                           : m_textColour);
            ::DrawTextA(dc, caption.c_str(), -1, &textRect, flags);
        }
    }

    if (focused && focusRectAllowed) {
        RECT focus = drawRect;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }

    ::BitBlt(item.hDC, itemRect.left, itemRect.top, width, height, dc, itemRect.left, itemRect.top,
             SRCCOPY);
}

void CXButtonXP::DrawIcon(HDC dc, const RECT& item, bool hasCaption, bool disabled, bool shift,
                          RECT& captionArea) {
    const SIZE size = IconSize(m_icon.Get());
    const xbutton::ContentLayout layout =
        xbutton::LayoutContent(ToArea(item), size.cx, size.cy, hasCaption, m_iconAlignment, shift);
    captionArea = ToRect(layout.captionArea);
    HICON shown = m_icon.Get();
    UINT flags = DST_ICON;
    if (disabled) {
        if (HICON grey = GreyIcon())
            shown = grey;
        else
            flags |= DSS_DISABLED;
    }
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shown), 0, layout.iconLeft,
                 layout.iconTop, size.cx, size.cy, flags);
}
