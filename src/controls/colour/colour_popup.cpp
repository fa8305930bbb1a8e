#include "controls/colour/colour_popup.h"

#include "framework/dc.h"
#include "framework/modal_ui.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

using namespace colour;

namespace {

RECT ToRect(const Box& box) {
    return {box.left, box.top, box.right, box.bottom};
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

UniqueFont CreateMessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA font{};
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    else
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return UniqueFont(::CreateFontIndirectA(&font));
}

HPALETTE CreateColourPalette() {
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + kColourCount * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = kColourCount;
    for (int i = 0; i < kColourCount; ++i) {
        const ColourRef c = kColourTable[i].colour;
        palette->palPalEntry[i] = {static_cast<BYTE>(Red(c)), static_cast<BYTE>(Green(c)),
                                   static_cast<BYTE>(Blue(c)), 0};
    }
    return ::CreatePalette(palette);
}

} // namespace

CColourPopup::CColourPopup(COLORREF colour, HWND picker, const std::string& defaultText,
                           const std::string& customText)
    : m_initialColour(colour), m_colour(colour), m_defaultText(defaultText),
      m_customText(customText), m_parent(picker) {}

CColourPopup::~CColourPopup() = default;

CColourPopup* CColourPopup::Open(POINT origin, COLORREF colour, HWND picker,
                                 const std::string& defaultText, const std::string& customText) {
    auto* popup = new CColourPopup(colour, picker, defaultText, customText);
    if (!popup->Create(origin)) {
        delete popup;
        return nullptr;
    }
    return popup;
}

void CColourPopup::PostNcDestroy() {
    if (m_ownsItself)
        delete this;
}

CColourPopup* CColourPopup::FromHandle(HWND hwnd) {
    char name[64] = {};
    if (!hwnd || !::GetClassNameA(hwnd, name, sizeof(name)) || lstrcmpA(name, kClassName) != 0)
        return nullptr;
    return static_cast<CColourPopup*>(Window::FromHandle(hwnd));
}

bool CColourPopup::Create(POINT origin) {
    if (!RegisterClass(kClassName, CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    m_font = CreateMessageFont();
    m_palette.Reset(CreateColourPalette());
    MeasureAndPlace(origin);
    m_chosenSel = ChosenCell(m_initialColour, m_layout.hasDefault, m_layout.hasCustom);

    // Measured and fitted before the window exists, so it never shows at a provisional size.
    const RECT rect = m_windowRect;
    if (!CreateEx(0, kClassName, "", WS_POPUP | WS_VISIBLE, rect, m_parent, nullptr))
        return false;
    m_ownsItself = true;
    // No pointer shape of its own: the pointer keeps whatever shape it had over the picker.
    ::SetClassLongPtrA(Hwnd(), GCLP_HCURSOR, 0);
    ::GetWindowRect(Hwnd(), &m_windowRect);
    CreateToolTips();
    ::SetCapture(Hwnd());
    return true;
}

void CColourPopup::MeasureAndPlace(POINT origin) {
    std::optional<Extent> defaultLabel, customLabel;
    if (!m_defaultText.empty() || !m_customText.empty()) {
        ClientDc screen(nullptr);
        SelectObjectGuard font(screen.Get(), m_font.Get());
        auto measure = [&](const std::string& text) {
            SIZE size{};
            ::GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()),
                                    &size);
            return Extent{size.cx, size.cy};
        };
        if (!m_defaultText.empty())
            defaultLabel = measure(m_defaultText);
        if (!m_customText.empty())
            customLabel = measure(m_customText);
    }
    m_layout = LayoutPopup(::GetSystemMetrics(SM_CXEDGE), defaultLabel, customLabel);

    int pickerHeight = 0;
    RECT pickerRect{};
    if (m_parent && ::GetWindowRect(m_parent, &pickerRect))
        pickerHeight = pickerRect.bottom - pickerRect.top;
    const Box fitted =
        FitOnScreen({origin.x, origin.y, origin.x + m_layout.width, origin.y + m_layout.height},
                    ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), pickerHeight);
    m_windowRect = ToRect(fitted);
}

void CColourPopup::CreateToolTips() {
    m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_toolTip)
        return;
    for (int i = 0; i < kColourCount; ++i) {
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Hwnd();
        tool.uId = static_cast<UINT_PTR>(i + 1);
        tool.rect = ToRect(CellRect(m_layout, i));
        tool.lpszText = const_cast<char*>(kColourTable[i].name);
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CColourPopup::Paint(HDC dc) {
    if (m_layout.hasDefault)
        DrawCell(dc, kDefaultBox);
    for (int i = 0; i < kColourCount; ++i)
        DrawCell(dc, i);
    if (m_layout.hasCustom)
        DrawCell(dc, kCustomBox);
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
}

void CColourPopup::DrawCell(HDC dc, int cell) {
    if (cell >= 0 && cell < kColourCount)
        DrawColourCell(dc, cell);
    else if ((cell == kDefaultBox && m_layout.hasDefault) ||
             (cell == kCustomBox && m_layout.hasCustom))
        DrawTextBox(dc, cell);
}

void CColourPopup::DrawColourCell(HDC dc, int cell) {
    RECT rect = ToRect(CellRect(m_layout, cell));
    HPALETTE oldPalette = nullptr;
    if (m_palette && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = ::SelectPalette(dc, m_palette.Get(), FALSE);
        ::RealizePalette(dc);
    }
    const bool current = cell == m_currentSel;
    const bool chosen = cell == m_chosenSel;
    FillSolid(dc, rect, ::GetSysColor(chosen && !current ? COLOR_3DHIGHLIGHT : COLOR_3DFACE));
    if (current)
        ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    else if (chosen)
        ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);

    const ColourRef c = kColourTable[cell].colour;
    UniqueBrush brush(::CreateSolidBrush(PALETTERGB(Red(c), Green(c), Blue(c))));
    UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW)));
    {
        SelectObjectGuard selectBrush(dc, brush.Get());
        SelectObjectGuard selectPen(dc, pen.Get());
        const int inset = m_layout.margin + 1;
        ::Rectangle(dc, rect.left + inset, rect.top + inset, rect.right - inset,
                    rect.bottom - inset);
    }
    if (oldPalette)
        ::SelectPalette(dc, oldPalette, FALSE);
}

void CColourPopup::DrawTextBox(HDC dc, int cell) {
    const bool isCustom = cell == kCustomBox;
    const RECT box = ToRect(isCustom ? m_layout.customRect : m_layout.defaultRect);
    const int margin = m_layout.margin;
    FillSolid(dc, box, ::GetSysColor(COLOR_3DFACE));

    RECT button = box;
    if (isCustom) {
        // A separator across the top, the button below it.
        const int lineLeft = box.left + 2 * margin;
        const int lineRight = box.right - 2 * margin;
        FillSolid(dc, {lineLeft, box.top, lineRight, box.top + 1}, ::GetSysColor(COLOR_3DSHADOW));
        FillSolid(dc, {lineLeft, box.top + 1, lineRight, box.top + 2},
                  ::GetSysColor(COLOR_3DHIGHLIGHT));
        button.top += 2 * margin;
    }
    ::InflateRect(&button, -1, -1);

    const bool current = cell == m_currentSel;
    const bool chosen = cell == m_chosenSel;
    FillSolid(dc, button, ::GetSysColor(chosen && !current ? COLOR_3DLIGHT : COLOR_3DFACE));
    if (!isCustom) {
        UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW)));
        SelectObjectGuard selectPen(dc, pen.Get());
        SelectObjectGuard selectBrush(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, button.left + 2 * margin, button.top + 2 * margin,
                    button.right - 2 * margin, button.bottom - 2 * margin);
    }
    if (current)
        ::DrawEdge(dc, &button, BDR_RAISEDINNER, BF_RECT);
    else if (chosen)
        ::DrawEdge(dc, &button, BDR_SUNKENOUTER, BF_RECT);

    const std::string& text = isCustom ? m_customText : m_defaultText;
    SelectObjectGuard font(dc, m_font.Get());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &button,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

void CColourPopup::ChangeSelection(int cell) {
    ClientDc dc(Hwnd());
    const int old = m_currentSel;
    if ((old >= 0 && old < kColourCount) || old == kCustomBox || old == kDefaultBox) {
        m_currentSel = kNoCell;
        DrawCell(dc.Get(), old);
    }
    m_currentSel = cell;
    DrawCell(dc.Get(), cell);

    const COLORREF shown = CellColour(cell, m_initialColour);
    // The custom box stands for a colour not chosen yet: what an OK would report stays as is.
    if (cell != kCustomBox)
        m_colour = shown;
    ::SendMessageA(m_parent, PICKER_SELCHANGE, shown, 0);
}

void CColourPopup::OnKeyDown(UINT key) {
    const bool hasDefault = m_layout.hasDefault;
    const bool hasCustom = m_layout.hasCustom;
    switch (key) {
    case VK_LEFT:
        ChangeSelection(MoveSelection(m_currentSel, ArrowKey::Left, hasDefault, hasCustom));
        break;
    case VK_RIGHT:
        ChangeSelection(MoveSelection(m_currentSel, ArrowKey::Right, hasDefault, hasCustom));
        break;
    case VK_UP:
        ChangeSelection(MoveSelection(m_currentSel, ArrowKey::Up, hasDefault, hasCustom));
        break;
    case VK_DOWN:
        ChangeSelection(MoveSelection(m_currentSel, ArrowKey::Down, hasDefault, hasCustom));
        break;
    }
}

void CColourPopup::EndSelection(bool ok) {
    if (m_ending)
        return;
    m_ending = true;
    if (::GetCapture() == Hwnd())
        ::ReleaseCapture();

    if (ok && m_currentSel == kCustomBox) {
        m_childVisible = true;
        COLORREF chosen = m_initialColour;
        if (CurrentModalUi().ChooseColour(Hwnd(), chosen, CC_FULLOPEN | CC_ANYCOLOR))
            m_colour = chosen;
        else
            ok = false;
        m_childVisible = false;
    }
    if (!ok)
        m_colour = m_initialColour;

    ::SendMessageA(m_parent, ok ? PICKER_SELENDOK : PICKER_SELENDCANCEL, m_colour, 0);
    // Deletes this object (PostNcDestroy).
    ::DestroyWindow(Hwnd());
}

void CColourPopup::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_toolTip)
        return;
    MSG msg{Hwnd(), message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD pos = ::GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CColourPopup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        RelayToToolTip(message, wParam, lParam);
        // Another window may have taken the capture (a click elsewhere in the program).
        if (!m_ending && !m_childVisible && ::GetCapture() != Hwnd())
            ::SetCapture(Hwnd());
    }

    switch (message) {
    case WM_PAINT: {
        PaintDc dc(Hwnd());
        Paint(dc.Get());
        return 0;
    }
    case WM_MOUSEMOVE: {
        const int cell = CellAt(m_layout, static_cast<short>(LOWORD(lParam)),
                                static_cast<short>(HIWORD(lParam)));
        if (cell != kNoCell && cell != m_currentSel)
            ChangeSelection(cell);
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(Hwnd(), &point);
        EndSelection(::PtInRect(&m_windowRect, point) != FALSE);
        return 0; // the pop-up is gone
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            m_colour = m_initialColour;
            EndSelection(false);
            return 0;
        }
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            EndSelection(true);
            return 0;
        }
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
            OnKeyDown(static_cast<UINT>(wParam));
            return 0;
        }
        break;
    case WM_ACTIVATEAPP:
        if (!wParam && !m_childVisible) {
            EndSelection(false);
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        if (::GetCapture() == Hwnd())
            ::ReleaseCapture();
        break;
    case WM_QUERYNEWPALETTE:
        ::InvalidateRect(Hwnd(), nullptr, FALSE);
        return TRUE;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != Hwnd())
            ::InvalidateRect(Hwnd(), nullptr, FALSE);
        break;
    case WM_DESTROY:
        if (m_toolTip) {
            ::DestroyWindow(m_toolTip);
            m_toolTip = nullptr;
        }
        if (::GetCapture() == Hwnd())
            ::ReleaseCapture();
        break;
    }
    return Default(message, wParam, lParam);
}
