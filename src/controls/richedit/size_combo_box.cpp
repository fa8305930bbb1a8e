#include "controls/richedit/size_combo_box.h"

#include "controls/richedit/text_format.h"

bool CSizeComboBox::Create(const RECT& rect, HWND parent, UINT id) {
    // A vertical scroll bar, so all sixteen sizes stay reachable in the short drop-down.
    return CreateControl("COMBOBOX", "",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS |
                             CBS_AUTOHSCROLL,
                         rect, parent, id);
}

void CSizeComboBox::FillSizeList() {
    for (const char* size : richedit::FontSizeEntries())
        ::SendMessageA(Hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
}
