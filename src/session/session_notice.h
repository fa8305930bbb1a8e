#pragma once
// The full-screen notice of a customer session: the idle countdown, which any input cancels,
// and the progress of a session end, which nothing cancels. It covers the desktop and the
// customer's programs, so nothing new is started while a session ends.

#include "framework/window.h"

#include <functional>
#include <string>

class SessionNotice : public Window {
public:
    static constexpr const char* kClassName = "KorvaneSessionNotice";
    static constexpr const char* kTitle = "Customer session";

    SessionNotice() = default;
    ~SessionNotice() override;

    // Under Wine a window that appears or goes under a still pointer produces a mouse move
    // that also moves the last-input time. For this long after a window of ours came or went,
    // the last-input time is not taken as input; the notice's own key, click and move
    // messages still are.
    static constexpr DWORD kInputSettleMilliseconds = 2000;
    // A move by at most this many pixels is not taken as input.
    static constexpr int kMoveSlop = 4;

    // Counts `seconds` down; `expired` when it reaches 0, `cancelled` at the first input.
    void ShowCountdown(int seconds, std::function<void()> expired, std::function<void()> cancelled);
    // A text that stays until Hide (a session end in progress).
    void ShowText(const std::wstring& text);
    void Hide();
    bool IsShown() const;
    bool CountingDown() const { return m_countingDown; }
    std::wstring Text() const { return m_text; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT_PTR kCountdownTimer = 1;
    static constexpr UINT kCountdownPoll = 250;

    bool EnsureWindow();
    void Present();
    void OnCountdownTick();
    void Cancel();
    void OnMouseMove();
    void Paint();

    std::wstring m_text;
    bool m_countingDown = false;
    DWORD m_startTick = 0;
    DWORD m_inputAtStart = 0;
    POINT m_cursorAtStart{};
    int m_seconds = 0;
    int m_shownSeconds = -1;
    std::function<void()> m_expired;
    std::function<void()> m_cancelled;
};
