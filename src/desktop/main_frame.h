#pragma once
// The desktop window: one borderless window over the whole screen.

#include "framework/window.h"

class CApp;

class CMainFrame : public Window {
public:
    static constexpr const char* kClassName = "KorvaneFrame";

    explicit CMainFrame(CApp& app);

    // A WS_POPUP window with the given title over `rect`, no parent, no menu.
    bool Create(const char* title, const RECT& rect);

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnTimer(UINT_PTR id);

    CApp& m_app;
};
