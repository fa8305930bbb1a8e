#pragma once
// The tool bar's font-size list: the sizes 8 to 72 points, chosen from a fixed list.

#include "framework/subclass.h"

class CSizeComboBox : public SubclassedWindow {
public:
    bool Create(const RECT& rect, HWND parent, UINT id);
    void FillSizeList();
};
