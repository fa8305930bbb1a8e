#include "session/session_notice.h"

#include "framework/dc.h"
#include "framework/unique_handle.h"
#include "session/session_rules.h"
#include <cstdlib>

namespace {

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // our own texts are ASCII
}

DWORD LastInputTick() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    return ::GetLastInputInfo(&info) ? info.dwTime : 0;
}

} // namespace

SessionNotice::~SessionNotice() {
    Destroy();
}

bool SessionNotice::EnsureWindow() {
    if (Hwnd())
        return true;
    if (!RegisterClass(kClassName, 0, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))))
        return false;
    RECT screen{};
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP, screen, nullptr,
                    nullptr);
}

void SessionNotice::Present() {
    if (!EnsureWindow())
        return;
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
    if (!::IsWindowVisible(Hwnd())) {
        ::ShowWindow(Hwnd(), SW_SHOW);
        ::SetForegroundWindow(Hwnd());
    }
    ::UpdateWindow(Hwnd());
}

void SessionNotice::ShowCountdown(int seconds, std::function<void()> expired,
                                  std::function<void()> cancelled) {
    m_expired = std::move(expired);
    m_cancelled = std::move(cancelled);
    m_seconds = seconds;
    m_shownSeconds = seconds;
    m_startTick = ::GetTickCount();
    m_inputAtStart = LastInputTick();
    ::GetCursorPos(&m_cursorAtStart);
    m_countingDown = true;
    m_text = Widen(IdleNoticeText(seconds));
    Present();
    ::SetTimer(Hwnd(), kCountdownTimer, kCountdownPoll, nullptr);
}

void SessionNotice::ShowText(const std::wstring& text) {
    if (m_countingDown) {
        ::KillTimer(Hwnd(), kCountdownTimer);
        m_countingDown = false;
    }
    if (text == m_text && IsShown())
        return;
    m_text = text;
    Present();
}

void SessionNotice::Hide() {
    if (!Hwnd())
        return;
    ::KillTimer(Hwnd(), kCountdownTimer);
    m_countingDown = false;
    ::ShowWindow(Hwnd(), SW_HIDE);
}

bool SessionNotice::IsShown() const {
    return Hwnd() && ::IsWindowVisible(Hwnd());
}

void SessionNotice::Cancel() {
    Hide();
    if (auto cancelled = std::move(m_cancelled))
        cancelled();
}

void SessionNotice::OnMouseMove() {
    // A window that appears under a still pointer gets a move that is no input.
    POINT now{};
    if (!m_countingDown || !::GetCursorPos(&now))
        return;
    if (std::abs(now.x - m_cursorAtStart.x) > kMoveSlop ||
        std::abs(now.y - m_cursorAtStart.y) > kMoveSlop)
        Cancel();
}

void SessionNotice::OnCountdownTick() {
    if (!m_countingDown)
        return;
    const DWORD lastInput = LastInputTick();
    if (::GetTickCount() - m_startTick < kInputSettleMilliseconds)
        m_inputAtStart = lastInput; // our own window's coming, see kInputSettleMilliseconds
    else if (lastInput != m_inputAtStart) {
        Cancel();
        return;
    }
    const int elapsed = static_cast<int>((::GetTickCount() - m_startTick) / 1000);
    const int left = m_seconds - elapsed;
    if (left <= 0) {
        ::KillTimer(Hwnd(), kCountdownTimer);
        m_countingDown = false;
        if (auto expired = std::move(m_expired))
            expired();
        return;
    }
    if (left != m_shownSeconds) {
        m_shownSeconds = left;
        m_text = Widen(IdleNoticeText(left));
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }
}

void SessionNotice::Paint() {
    PaintDc dc(Hwnd());
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    UniqueFont font(::CreateFontA(-(client.bottom / 24 > 16 ? client.bottom / 24 : 16), 0, 0, 0,
                                  FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    SelectObjectGuard select(dc.Get(), font.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(255, 255, 255));
    RECT text = client;
    text.left += client.right / 10;
    text.right -= client.right / 10;
    RECT measured = text;
    ::DrawTextW(dc.Get(), m_text.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    text.top = (client.bottom - height) / 2;
    text.bottom = text.top + height;
    ::DrawTextW(dc.Get(), m_text.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK);
}

LRESULT SessionNotice::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_TIMER:
        if (wParam == kCountdownTimer)
            OnCountdownTick();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (m_countingDown)
            Cancel();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove();
        return 0;
    case WM_CLOSE:
        return 0; // Alt+F4 does not skip a session end
    default:
        return Default(message, wParam, lParam);
    }
}
