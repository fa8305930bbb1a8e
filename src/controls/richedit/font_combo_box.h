#pragma once
// The tool bar's font-name list: every face the screen offers, sorted, editable. Its
// drop-down is as wide as the widest name needs.

#include "framework/subclass.h"

#include <string>
#include <vector>

class CFontComboBox : public SubclassedWindow {
public:
    bool Create(const RECT& rect, HWND parent, UINT id);
    // Adds the screen's face names; returns how many the list holds.
    int FillFontList();
    int MaxNameWidth() const { return m_maxWidth; }

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void AddFace(const char* face, HDC measuringDc);
    static int CALLBACK EnumFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM self);

    int m_maxWidth = 0;
};

// The texts of a combo box's entries, in list order.
std::vector<std::string> ComboEntries(HWND combo);
// Selects the entry exactly equal to `text` (case matters); false, and no change, when none is.
bool SelectExactEntry(HWND combo, const std::string& text);
// The text of the selected entry, empty when none is selected.
std::string SelectedEntry(HWND combo);
