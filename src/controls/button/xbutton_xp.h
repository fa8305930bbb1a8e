#pragma once
// An owner-drawn push button that looks like a visual-style button when the desktop theme is
// active and like a classic raised button otherwise. It shows a 32 x 32 icon, a caption or
// both, draws a hot look under the mouse and a grey copy of its icon while disabled. The
// parent must reflect WM_DRAWITEM to its children (framework/reflect.h).

#include "controls/button/odd_button.h"
#include "framework/unique_handle.h"

#include <uxtheme.h>

class CXButtonXP : public COddButton {
public:
    CXButtonXP() = default;
    ~CXButtonXP() override;

    // Loads a 32 x 32 icon resource of the program.
    CXButtonXP& SetIcon(UINT resourceId, int alignment);
    // Takes ownership of `icon` (null: no icon). Alignment 2 puts the icon right of the
    // caption, anything else left of it; without a caption the icon is centred.
    CXButtonXP& SetIcon(HICON icon, int alignment);

    HICON Icon() const { return m_icon.Get(); }
    // The disabled look of the icon, made when it is first needed.
    HICON GreyIcon();
    bool IsHot() const { return m_hot; }
    // Drawing goes through the visual style at this moment.
    bool IsThemed();

    // Options the program leaves at their defaults.
    CXButtonXP& EnableTheming(bool allowed);
    CXButtonXP& SetToggle(bool toggle);
    bool GetToggleState() const { return m_toggleState; }
    CXButtonXP& SetDrawToolbar(bool toolbar);
    // CLR_INVALID (-1) restores the system colour.
    CXButtonXP& SetBackgroundColour(COLORREF colour);
    CXButtonXP& SetTextColour(COLORREF colour);

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
    LRESULT MessageMap(UINT message, WPARAM wParam, LPARAM lParam);
    void Invalidate();
    void CloseTheme();
    void SaveParentBackground();
    void DrawIcon(HDC dc, const RECT& item, bool hasCaption, bool disabled, bool shift,
                  RECT& captionArea);

    bool m_themeNeedsOpening = true;
    bool m_hot = false;
    bool m_toggleState = false;
    bool m_toggle = false;
    bool m_leftButtonDown = false;
    bool m_doubleClickPressed = false;
    bool m_themingAllowed = true;
    bool m_toolbar = false;
    HTHEME m_theme = nullptr;
    UniqueIcon m_icon;
    UniqueIcon m_greyIcon;
    int m_iconAlignment = 1;
    RECT m_backgroundRect{};
    UniqueDc m_backgroundDc;
    UniqueBitmap m_backgroundBitmap;
    HGDIOBJ m_backgroundOldBitmap = nullptr;
    COLORREF m_backgroundColour = CLR_INVALID;
    COLORREF m_textColour = CLR_INVALID;
};

// A grey copy of `icon` with the icon's own mask; null when its bitmaps cannot be read.
HICON CreateGreyIcon(HICON icon);
