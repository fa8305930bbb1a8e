#pragma once
// The formatting tool bar of the description editor, built from tool-bar resource 10 and
// bitmap 10. It carries the font-name list, the size list and the colour button; their
// choices reach the editor (its parent) as the font-name, font-size and font-colour
// messages. The buttons' clicks reach the editor as ordinary commands.

#include "controls/colour/colour_picker.h"
#include "controls/richedit/font_combo_box.h"
#include "controls/richedit/size_combo_box.h"
#include "controls/richedit/text_format.h"
#include "framework/subclass.h"
#include "framework/unique_handle.h"

#include <set>

class CRRECToolbar : public SubclassedWindow {
public:
    ~CRRECToolbar() override;

    // Creates the tool bar with id `id` over `rect`; false when a resource is missing or a
    // part cannot be created (nothing is left behind then).
    bool Create(const RECT& rect, HWND parent, UINT id);

    // Before the bar is created the checked states are kept here and given to its buttons
    // when it is, so a toggle works the same whether or not the bar was ever shown.
    bool IsButtonChecked(int command) const;
    void CheckButton(int command, bool checked);
    // Shows the selection's formatting: checked buttons, list entries, button colour.
    void ApplyState(const richedit::ToolbarState& state);

    // Fills the font-name list the first time the bar is about to be shown: asking the system
    // for every face costs more than the rest of the editor's creation, and a bar that stays
    // hidden (the customer's desktop) never needs it.
    void EnsureFontList();

    CFontComboBox& FontCombo() { return m_fontCombo; }
    CSizeComboBox& SizeCombo() { return m_sizeCombo; }
    CColourPicker& ColourButton() { return m_colour; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool AddItems();
    bool CreateCarriedControls();
    RECT ItemRect(int index) const;
    void SendToEditor(UINT message, WPARAM wParam, LPARAM lParam);

    CFontComboBox m_fontCombo;
    CSizeComboBox m_sizeCombo;
    CColourPicker m_colour;
    UniqueBitmap m_bitmap;
    bool m_fontListFilled = false;
    std::set<int> m_checkedBeforeCreation;
};
