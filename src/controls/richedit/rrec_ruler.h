#pragma once
// The ruler above the text: a scale in centimetres (or inches) that scrolls with the text,
// with a marker for each tab stop. Mouse presses, moves and releases go to the parent editor
// as its ruler-track message; the editor does the dragging.

#include "controls/richedit/ruler_geometry.h"
#include "framework/window.h"

#include <vector>

class CRRECRuler : public Window {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Tab stops in pixels from the text's left edge.
    void SetTabStops(const std::vector<int>& stops);
    const std::vector<int>& GetTabStops() const { return m_tabStops; }
    // Distance of the text's left edge from the ruler's left edge.
    void SetMargin(int margin);
    int GetMargin() const { return m_margin; }
    // 1 = centimetres, 0 = inches.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    void SetPixelsPerInch(int pixelsPerInch) { m_pixelsPerInch = pixelsPerInch; }

    // Paints the ruler as it is now into `dc` (client coordinates).
    void Paint(HDC dc);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int ScrollPos() const;
    void SendTrack(WPARAM phase, LPARAM pointLParam);

    std::vector<int> m_tabStops;
    int m_margin = 0;
    int m_mode = 1;
    int m_pixelsPerInch = 96;
    bool m_tracking = false;
    POINT m_lastPoint{};
};
