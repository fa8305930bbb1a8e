#pragma once
// A push button that is owner-drawn yet keeps the dialog manager's default-button handling:
// it remembers the type its style declared, answers WM_GETDLGCODE as that push button would,
// and lets BM_SETSTYLE move the default look without losing the owner-draw type.

#include "framework/subclass.h"

class COddButton : public SubclassedWindow {
public:
    // Creates the button; the type bits of `style` are its declared type.
    bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);
    // The same, of the system's own button class even where the program's manifest hands
    // "BUTTON" to the common controls: an owner-drawn button draws alike in both, and the
    // common controls library is not loaded for it. Falls back to Create.
    bool CreateWithoutCommonControls(const char* caption, DWORD style, const RECT& rect,
                                     HWND parent, UINT id);

    bool CanBeDefault() const { return m_canBeDefault; }
    bool IsDefault() const { return m_isDefault; }
    // The style's type bits before they became BS_OWNERDRAW; 15 until attached.
    int DeclaredType() const { return m_declaredType; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT OnGetDlgCode(WPARAM wParam, LPARAM lParam);

    bool m_canBeDefault = false;
    bool m_isDefault = false;
    int m_declaredType = 15;
};
