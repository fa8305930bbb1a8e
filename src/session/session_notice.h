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
    void Paint();

    std::wstring m_text;
    bool m_countingDown = false;
    DWORD m_startTick = 0;
    DWORD m_inputAtStart = 0;
    int m_seconds = 0;
    int m_shownSeconds = -1;
    std::function<void()> m_expired;
    std::function<void()> m_cancelled;
};
