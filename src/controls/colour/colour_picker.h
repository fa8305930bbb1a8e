#pragma once
// A push button that shows a colour and drops down the colour pop-up when clicked. In text
// mode the chosen colour is the caption's colour, in background mode the face's. The parent
// hears PICKER_DROPDOWN when the pop-up opens, PICKER_SELCHANGE while the cursor moves over
// it, and PICKER_CLOSEUP followed by PICKER_SELENDOK or PICKER_SELENDCANCEL when it ends
// (wParam the colour, lParam the picker's control id). The parent must reflect WM_COMMAND and
// WM_DRAWITEM to its children (framework/reflect.h).

#include "controls/colour/colour_messages.h"
#include "framework/subclass.h"

#include <string>

class CColourPicker : public SubclassedWindow {
public:
    static constexpr int kTextMode = 1;
    static constexpr int kBackgroundMode = 2;

    CColourPicker();

    // Creates the button (a push button; it becomes owner-drawn) with its caption.
    bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);

    // The caption colour in text mode, the face colour in background mode.
    COLORREF GetColour() const;
    void SetColour(COLORREF colour);
    COLORREF GetBkColour() const { return m_backColour; }
    void SetBkColour(COLORREF colour);
    COLORREF GetTextColour() const { return m_textColour; }
    void SetTextColour(COLORREF colour);
    // Labels of the pop-up's default and custom boxes; null or empty: no such box.
    void SetDefaultText(const char* text);
    void SetCustomText(const char* text);
    const std::string& GetDefaultText() const { return m_defaultText; }
    const std::string& GetCustomText() const { return m_customText; }
    void SetSelectionMode(int mode);
    int GetSelectionMode() const { return m_mode; }
    // The button follows the colour under the cursor while the pop-up is open.
    void SetTrackSelection(bool track);
    bool GetTrackSelection() const { return m_trackSelection; }

    bool IsActive() const { return m_active; }
    const RECT& ArrowRect() const { return m_arrowRect; }

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
    void SetWindowSize();
    void OpenPopup();
    void Repaint();
    void NotifyParent(UINT message, COLORREF colour);

    bool m_active = false;
    bool m_trackSelection = false;
    COLORREF m_backColour;
    COLORREF m_textColour;
    int m_mode = kBackgroundMode;
    std::string m_defaultText = "Automatic";
    std::string m_customText = "More Colours...";
    RECT m_arrowRect{};
};
