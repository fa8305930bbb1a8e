#include "controls/richedit/ruler_rich_edit_ctrl.h"

#include "controls/richedit/rich_edit_format.h"
#include "controls/richedit/rrec_messages.h"
#include "controls/richedit/ruler_geometry.h"
#include "controls/richedit/toolbar_template.h"
#include "framework/dc.h"
#include "framework/reflect.h"

#include <algorithm>

namespace {

const char* const kClassName = "KorvaneRulerRichEditCtrl";
// The edit's text starts this far inside its border; its top keeps a little air too.
constexpr int kTextInsetX = 8;
constexpr int kTextInsetTop = 4;
constexpr int kBandTop = richedit::kToolbarHeight;
constexpr int kBandBottom = richedit::kToolbarHeight + richedit::kRulerHeight;

// A window's DC that draws over its children, whatever the window's own clipping style.
class OverChildrenDc {
public:
    explicit OverChildrenDc(HWND hwnd)
        : m_hwnd(hwnd), m_dc(::GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS)) {}
    ~OverChildrenDc() {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
    }
    OverChildrenDc(const OverChildrenDc&) = delete;
    OverChildrenDc& operator=(const OverChildrenDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

} // namespace

CRulerRichEditCtrl::CRulerRichEditCtrl()
    : m_richEditLibrary(::LoadLibraryA("Riched20.dll")),
      m_trackPen(::CreatePen(PS_DOT, 0, RGB(0, 0, 0))) {
    // Registered now, so that the numbers exist before any child sends one.
    RulerRichEditMessages();
}

CRulerRichEditCtrl::~CRulerRichEditCtrl() {
    // Children first, while every object they talk to is still alive.
    Destroy();
}

bool CRulerRichEditCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id,
                                bool autoHScroll) {
    if (!m_richEditLibrary || Hwnd())
        return false;
    if (!RegisterClass(kClassName, 0, nullptr))
        return false;
    if (!CreateEx(0, kClassName, "", style, rect, parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    if (!CreateChildren(autoHScroll)) {
        Destroy();
        return false;
    }
    return true;
}

bool CRulerRichEditCtrl::CreateChildren(bool autoHScroll) {
    m_edit.m_notifyWnd = m_notifyWnd;
    m_edit.m_changeMessage = m_changeMessage;
    m_edit.m_saveMessage = m_saveMessage;
    {
        ClientDc screen(nullptr);
        m_pixelsPerInch = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    }

    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const int width = client.right;
    DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                      ES_NOHIDESEL | ES_WANTRETURN;
    if (autoHScroll)
        editStyle |= ES_AUTOHSCROLL;
    const RECT editRect{0, kBandBottom, width, std::max<LONG>(client.bottom, kBandBottom)};
    if (!m_edit.Create(editStyle, editRect, Hwnd(), kEditId))
        return false;

    PARAFORMAT paragraph{};
    richedit::SetTabStops(paragraph, richedit::StandardTabStops());
    m_edit.SetParaFormat(paragraph);

    // Rich edit would otherwise start from the system font, which is bold on some systems,
    // and every loaded document would inherit that.
    CHARFORMATA standard{};
    standard.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    standard.yHeight = 10 * richedit::kTwipsPerPoint;
    lstrcpynA(standard.szFaceName, "Times New Roman", LF_FACESIZE);
    if (!m_edit.SetDefaultCharFormat(standard))
        return false;

    m_tabStops.clear();
    for (int twips : richedit::StandardTabStops())
        m_tabStops.push_back(richedit::TwipsToPixels(twips, m_pixelsPerInch));

    const LRESULT mask = ::SendMessageA(m_edit.Hwnd(), EM_GETEVENTMASK, 0, 0);
    ::SendMessageA(m_edit.Hwnd(), EM_SETEVENTMASK, 0,
                   mask | ENM_CHANGE | ENM_SCROLL | ENM_SELCHANGE);
    ::SendMessageA(m_edit.Hwnd(), EM_SETREADONLY, m_readOnly, 0);

    RECT format;
    ::GetClientRect(m_edit.Hwnd(), &format);
    format.left = kTextInsetX;
    format.top = kTextInsetTop;
    format.right -= kTextInsetX;
    ::SendMessageA(m_edit.Hwnd(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT window;
    ::GetWindowRect(m_edit.Hwnd(), &window);
    POINT clientOrigin{0, 0};
    ::ClientToScreen(m_edit.Hwnd(), &clientOrigin);
    m_margin = clientOrigin.x - window.left + kTextInsetX;

    // The tool bar is made when it is first shown: it is the costliest part of the editor, and
    // an editor whose bar stays hidden never needs it.
    if (m_showToolbar && !CreateToolbar())
        return false;
    if (!m_ruler.Create(WS_CHILD | WS_VISIBLE,
                        {0, kBandTop, width, kBandTop + richedit::kRulerHeight}, Hwnd(), kRulerId))
        return false;
    m_ruler.SetPixelsPerInch(m_pixelsPerInch);
    m_ruler.SetMargin(m_margin);
    m_ruler.SetTabStops(m_tabStops);

    // Flags set before creation take effect now.
    ::ShowWindow(m_ruler.Hwnd(), m_showRuler ? SW_SHOWNA : SW_HIDE);
    LayOut();
    UpdateToolbarState();
    return true;
}

void CRulerRichEditCtrl::LayOut() {
    if (!m_edit.Hwnd() || !m_ruler.Hwnd())
        return;
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const richedit::ChildLayout layout =
        richedit::LayOutChildren(client.right, client.bottom, m_showToolbar, m_showRuler);
    auto place = [](HWND child, const richedit::Area& area) {
        ::MoveWindow(child, area.left, area.top, area.Width(), area.Height(), TRUE);
    };
    if (m_toolbar.Hwnd())
        place(m_toolbar.Hwnd(), layout.toolbar);
    place(m_ruler.Hwnd(), layout.ruler);
    place(m_edit.Hwnd(), layout.edit);
}

bool CRulerRichEditCtrl::SetRTF(const std::string& rtf) {
    if (!m_edit.Hwnd())
        return false;
    const bool read = m_edit.StreamInRtf(rtf);
    UpdateToolbarState();
    UpdateRulerTabStops();
    return read;
}

std::string CRulerRichEditCtrl::GetRTF() const {
    return m_edit.Hwnd() ? m_edit.StreamOutRtf() : std::string();
}

void CRulerRichEditCtrl::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (m_edit.Hwnd())
        ::SendMessageA(m_edit.Hwnd(), EM_SETREADONLY, readOnly, 0);
}

void CRulerRichEditCtrl::ShowToolbar(bool show) {
    m_showToolbar = show;
    if (!Hwnd() || !m_edit.Hwnd())
        return; // the flag takes effect at creation
    if (show && !m_toolbar.Hwnd() && !CreateToolbar())
        m_showToolbar = false; // the editor goes on without its bar
    if (m_toolbar.Hwnd())
        ::ShowWindow(m_toolbar.Hwnd(), m_showToolbar ? SW_SHOWNA : SW_HIDE);
    LayOut();
    // Its buttons went stale while it was hidden.
    UpdateToolbarState();
}

bool CRulerRichEditCtrl::CreateToolbar() {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    if (!m_toolbar.Create({0, 0, client.right, richedit::kToolbarHeight}, Hwnd(), kToolbarId))
        return false;
    m_toolbar.EnsureFontList();
    return true;
}

void CRulerRichEditCtrl::ShowRuler(bool show) {
    m_showRuler = show;
    if (!m_ruler.Hwnd())
        return;
    ::ShowWindow(m_ruler.Hwnd(), show ? SW_SHOWNA : SW_HIDE);
    LayOut();
}

void CRulerRichEditCtrl::UpdateToolbarState() {
    if (!m_showToolbar || !m_toolbar.Hwnd() || !m_edit.Hwnd())
        return;
    m_toolbar.ApplyState(
        richedit::DecideToolbarState(richedit::SnapshotOf(m_edit.GetSelectionCharFormat()),
                                     richedit::SnapshotOf(m_edit.GetParaFormat())));
}

void CRulerRichEditCtrl::UpdateRulerTabStops() {
    if (!m_edit.Hwnd() || !m_ruler.Hwnd())
        return;
    m_tabStops.clear();
    for (int twips : richedit::EffectiveTabStops(richedit::TabStopsOf(m_edit.GetParaFormat())))
        m_tabStops.push_back(richedit::TwipsToPixels(twips, m_pixelsPerInch));
    m_ruler.SetTabStops(m_tabStops);
}

void CRulerRichEditCtrl::InvalidateBand(int top, int bottom) {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    RECT band{0, top, client.right, bottom};
    // Only this window and the ruler: with the ruler or tool bar hidden the band lies over the
    // text, and repainting the text would report another update, and so on for ever.
    ::RedrawWindow(Hwnd(), &band, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    if (m_ruler.Hwnd() && ::IsWindowVisible(m_ruler.Hwnd()))
        ::InvalidateRect(m_ruler.Hwnd(), nullptr, FALSE);
}

void CRulerRichEditCtrl::FocusText() {
    if (m_edit.Hwnd())
        ::SetFocus(m_edit.Hwnd());
}

void CRulerRichEditCtrl::DrawTrackLine(int x) {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const int top = (m_showToolbar ? richedit::kToolbarHeight : 0) + 3;
    // Children not clipped: the line runs over the ruler and the text.
    OverChildrenDc dc(Hwnd());
    if (!dc.Get())
        return;
    SelectObjectGuard pen(dc.Get(), m_trackPen.Get());
    const int oldMode = ::SetROP2(dc.Get(), R2_XORPEN);
    ::MoveToEx(dc.Get(), x, top, nullptr);
    ::LineTo(dc.Get(), x, client.bottom);
    ::SetROP2(dc.Get(), oldMode);
}

void CRulerRichEditCtrl::OnRulerTrack(WPARAM phase, const POINT& point) {
    const int scroll = m_edit.HorizontalScrollPos();
    switch (phase) {
    case 1: {
        if (!m_showRuler)
            return;
        const auto index = richedit::FindTabMarker(m_tabStops, m_margin, scroll, point.x, point.y);
        if (!index)
            return;
        m_trackIndex = *index;
        m_trackLine = m_margin + m_tabStops[*index] - scroll;
        m_trackOffset = point.x - m_trackLine;
        DrawTrackLine(m_trackLine);
        return;
    }
    case 2: {
        if (m_trackIndex < 0)
            return;
        RECT client;
        ::GetClientRect(Hwnd(), &client);
        DrawTrackLine(m_trackLine);
        m_trackLine = richedit::ClampTrackLine(m_tabStops, m_trackIndex, m_margin, scroll,
                                               client.right, point.x - m_trackOffset, m_trackLine);
        DrawTrackLine(m_trackLine);
        return;
    }
    case 0: {
        if (m_trackIndex < 0)
            return;
        DrawTrackLine(m_trackLine);
        const int index = m_trackIndex;
        m_trackIndex = -1;
        const int moved = m_trackLine - m_margin + scroll;
        // A stop released where it was keeps its exact twips (pixels would round it).
        if (moved != m_tabStops[index]) {
            m_tabStops[index] = moved;
            PARAFORMAT paragraph{};
            std::vector<int> twips =
                richedit::EffectiveTabStops(richedit::TabStopsOf(m_edit.GetParaFormat()));
            if (static_cast<std::size_t>(index) < twips.size()) {
                twips[index] = richedit::PixelsToTwips(moved, m_pixelsPerInch);
                richedit::SetTabStops(paragraph, twips);
                m_edit.SetParaFormat(paragraph);
            }
            m_ruler.SetTabStops(m_tabStops);
        }
        ::InvalidateRect(m_ruler.Hwnd(), nullptr, FALSE);
        ::InvalidateRect(m_edit.Hwnd(), nullptr, FALSE);
        FocusText();
        return;
    }
    }
}

bool CRulerRichEditCtrl::OnCommand(WPARAM wParam, LPARAM lParam) {
    const auto source = reinterpret_cast<HWND>(lParam);
    const int id = LOWORD(wParam);
    if (source && source == m_edit.Hwnd()) {
        if (HIWORD(wParam) == EN_CHANGE)
            m_edit.OnTextChanged();
        UpdateToolbarState();
        InvalidateBand(kBandTop, kBandBottom);
        return true;
    }
    // Only the tool bar's own buttons are commands; its lists and colour button speak
    // through the font messages.
    if (!source || source != m_toolbar.Hwnd() || HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (id) {
    case richedit::kCmdFontDialog:
        DoFontDialog();
        return true;
    case richedit::kCmdBold:
        ToggleBold();
        return true;
    case richedit::kCmdItalic:
        ToggleItalic();
        return true;
    case richedit::kCmdUnderline:
        ToggleUnderline();
        return true;
    case richedit::kCmdAlignLeft:
        AlignLeft();
        return true;
    case richedit::kCmdAlignCentre:
        AlignCenter();
        return true;
    case richedit::kCmdAlignRight:
        AlignRight();
        return true;
    case richedit::kCmdIndent:
        IndentParagraph();
        return true;
    case richedit::kCmdOutdent:
        OutdentParagraph();
        return true;
    case richedit::kCmdBullets:
        ToggleBullets();
        return true;
    }
    return false;
}

LRESULT CRulerRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const RrecMessages& messages = RulerRichEditMessages();
    if (message == messages.rulerTrack) {
        if (lParam)
            OnRulerTrack(wParam, *reinterpret_cast<const POINT*>(lParam));
        return 0;
    }
    if (message == messages.getScrollPos)
        return m_edit.Hwnd() ? m_edit.HorizontalScrollPos() : 0;
    if (message == messages.setFontName) {
        if (wParam)
            SetCurrentFontName(reinterpret_cast<const char*>(wParam));
        return 0;
    }
    if (message == messages.setFontSize) {
        SetCurrentFontSize(static_cast<int>(lParam));
        return 0;
    }
    if (message == messages.setFontColour) {
        SetCurrentFontColor(static_cast<COLORREF>(lParam));
        return 0;
    }

    switch (message) {
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (m_edit.Hwnd())
            return ::SendMessageA(m_edit.Hwnd(), message, wParam, lParam);
        break;
    case WM_SETFOCUS:
        FocusText();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        LayOut();
        return 0;
    case WM_PAINT: {
        PaintDc paint(Hwnd());
        UpdateRulerTabStops();
        return 0;
    }
    case WM_COMMAND: {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->idFrom == kEditId && header->hwndFrom == m_edit.Hwnd()) {
            UpdateToolbarState();
            InvalidateBand(kBandTop, kBandBottom);
            // The ruler follows the paragraph under the caret even when nothing repaints us.
            UpdateRulerTabStops();
            return 0;
        }
        break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        LRESULT result = 0;
        if (ReflectToChild(Hwnd(), message, wParam, lParam, result))
            return result;
        break;
    }
    }
    return Window::WindowProc(message, wParam, lParam);
}
