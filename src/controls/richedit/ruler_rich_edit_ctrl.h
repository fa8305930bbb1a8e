#pragma once
// The description editor: a formatting tool bar, a ruler and the rich text, stacked in one
// window. The owner hears about every change of the text (m_changeMessage) and about Ctrl+S
// (m_saveMessage); it loads and stores the content as RTF.

#include "controls/richedit/rrec_ruler.h"
#include "controls/richedit/rrec_toolbar.h"
#include "controls/richedit/ruler_rich_edit.h"
#include "framework/unique_handle.h"
#include "framework/window.h"

#include <string>
#include <vector>

class CRulerRichEditCtrl : public Window {
public:
    static constexpr UINT kToolbarId = 10;
    static constexpr UINT kRulerId = 11;
    static constexpr UINT kEditId = 12;

    CRulerRichEditCtrl();
    ~CRulerRichEditCtrl() override;

    // Creates the editor and its children; false, with nothing left behind, when any part
    // fails. `autoHScroll` lets the text scroll sideways instead of wrapping.
    virtual bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, bool autoHScroll);

    // The tool-bar commands 20 and 22-30; command 21 is the colour dialog.
    virtual void DoFontDialog();
    virtual void DoColorDialog();
    virtual void ToggleBold();
    virtual void ToggleItalic();
    virtual void ToggleUnderline();
    virtual void AlignLeft();
    virtual void AlignCenter();
    virtual void AlignRight();
    virtual void IndentParagraph();
    virtual void OutdentParagraph();
    virtual void ToggleBullets();

    // Replaces the whole content; false when the text could not be read as RTF.
    bool SetRTF(const std::string& rtf);
    std::string GetRTF() const;

    void SetReadOnly(bool readOnly);
    bool GetReadOnly() const { return m_readOnly; }
    void ShowToolbar(bool show);
    void ShowRuler(bool show);
    bool IsToolbarShown() const { return m_showToolbar; }
    bool IsRulerShown() const { return m_showRuler; }

    CRulerRichEdit& GetRichEditCtrl() { return m_edit; }
    CRRECToolbar& GetToolbar() { return m_toolbar; }
    CRRECRuler& GetRuler() { return m_ruler; }

    // Apply to the selection: a face name (cut to 31 characters), a size in points, a text
    // colour (CLR_DEFAULT: the automatic colour).
    void SetCurrentFontName(const std::string& face);
    void SetCurrentFontSize(int points);
    void SetCurrentFontColor(COLORREF colour);

    // The current paragraph's tab stops in pixels, as the ruler shows them.
    const std::vector<int>& TabStops() const { return m_tabStops; }
    int Margin() const { return m_margin; }
    int PixelsPerInch() const { return m_pixelsPerInch; }

    // The owner's hooks; set them before Create.
    HWND m_notifyWnd = nullptr;
    UINT m_changeMessage = 0;
    UINT m_saveMessage = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateChildren(bool autoHScroll);
    void LayOut();
    bool CreateToolbar();
    void UpdateToolbarState();
    void UpdateRulerTabStops();
    void InvalidateBand(int top, int bottom);
    void FocusText();
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    void OnRulerTrack(WPARAM phase, const POINT& point);
    void DrawTrackLine(int x);
    void ApplyIndent(int twips);
    void ToggleEffect(int command, DWORD mask, DWORD effect);
    void Align(int command, WORD alignment);
    void ApplyColour(COLORREF colour);

    // Freed last, after every window of its class is gone.
    UniqueModule m_richEditLibrary;
    CRulerRichEdit m_edit;
    CRRECToolbar m_toolbar;
    CRRECRuler m_ruler;
    UniquePen m_trackPen;

    bool m_showToolbar = true;
    bool m_showRuler = true;
    bool m_readOnly = false;
    int m_pixelsPerInch = 96;
    int m_margin = 0;
    std::vector<int> m_tabStops;
    int m_trackIndex = -1;
    int m_trackOffset = 0;
    int m_trackLine = 0;
};
