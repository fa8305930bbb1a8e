#pragma once
// The drop-down of the colour picker: a borderless pop-up with the forty colour cells, an
// optional default box above them and an optional custom box below them. It captures the
// mouse while open, reports the colour under the cursor to its picker, and ends the choice
// with PICKER_SELENDOK or PICKER_SELENDCANCEL before it destroys and deletes itself.

#include "controls/colour/colour_messages.h"
#include "controls/colour/popup_geometry.h"
#include "framework/unique_handle.h"
#include "framework/window.h"

#include <string>

class CColourPopup : public Window {
public:
    static constexpr const char* kClassName = "KorvaneColourPopup";

    // Opens a pop-up with its top-left corner at `origin` (screen coordinates), showing
    // `colour` as chosen, reporting to `picker`. The pop-up owns itself: it is deleted when its
    // window is destroyed. Null when the window could not be created.
    static CColourPopup* Open(POINT origin, COLORREF colour, HWND picker,
                              const std::string& defaultText, const std::string& customText);

    static CColourPopup* FromHandle(HWND hwnd);

    int CurrentSel() const { return m_currentSel; }
    int ChosenSel() const { return m_chosenSel; }
    COLORREF Colour() const { return m_colour; }
    COLORREF InitialColour() const { return m_initialColour; }
    const colour::PopupLayout& Layout() const { return m_layout; }
    const RECT& WindowRect() const { return m_windowRect; }
    HWND ToolTip() const { return m_toolTip; }
    bool ChildVisible() const { return m_childVisible; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Deletes the pop-up once it exists; a failed creation is cleaned up by Open.
    void PostNcDestroy() override;

private:
    CColourPopup(COLORREF colour, HWND picker, const std::string& defaultText,
                 const std::string& customText);
    ~CColourPopup() override;

    bool Create(POINT origin);
    void MeasureAndPlace(POINT origin);
    void CreateToolTips();

    void Paint(HDC dc);
    void DrawCell(HDC dc, int cell);
    void DrawColourCell(HDC dc, int cell);
    void DrawTextBox(HDC dc, int cell);

    void ChangeSelection(int cell);
    void OnKeyDown(UINT key);
    // Ends the choice; the pop-up is gone afterwards (no member may be touched).
    void EndSelection(bool ok);
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);

    COLORREF m_initialColour;
    COLORREF m_colour;
    std::string m_defaultText;
    std::string m_customText;
    HWND m_parent; // the picker
    colour::PopupLayout m_layout;
    RECT m_windowRect{};
    int m_currentSel = colour::kNoCell;
    int m_chosenSel = colour::kNoCell;
    UniqueFont m_font;
    UniqueHandle<HPALETTE, GdiObjectTraits<HPALETTE>> m_palette;
    HWND m_toolTip = nullptr;
    bool m_childVisible = false;
    bool m_ending = false;
    bool m_ownsItself = false;
};
