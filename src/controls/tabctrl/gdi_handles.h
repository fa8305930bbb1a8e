#pragma once
// Owners for the tab strip's image lists, cursors and tooltip window.

#include "framework/unique_handle.h"

#include <windows.h>
#include <commctrl.h>

struct ImageListTraits : NullHandleTraits<HIMAGELIST> {
    static void Close(HIMAGELIST h) { ::ImageList_Destroy(h); }
};
struct CursorTraits : NullHandleTraits<HCURSOR> {
    static void Close(HCURSOR h) { ::DestroyCursor(h); }
};
struct WindowTraits : NullHandleTraits<HWND> {
    static void Close(HWND h) {
        if (::IsWindow(h))
            ::DestroyWindow(h);
    }
};

using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueCursor = UniqueHandle<HCURSOR, CursorTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
