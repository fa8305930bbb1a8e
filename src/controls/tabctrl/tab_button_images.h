#pragma once
// A bitmap with the seven button glyphs of the strip (close, menu, menu with hidden tabs,
// scroll left and right, each enabled and disabled), black on the transparent magenta, ready
// for TabCtrl::SetSystemImageList.

#include <windows.h>

HBITMAP CreateTabButtonImages(int size);
