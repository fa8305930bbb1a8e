#pragma once
// The five messages between the ruler, the tool bar and the editor. They are registered by
// name, so the system numbers them; the first use in the process registers them.

#include <windows.h>

struct RrecMessages {
    // ruler -> editor: wParam 1 button down, 2 move, 0 button up; lParam points to the mouse
    // point in ruler client coordinates.
    UINT rulerTrack;
    // ruler -> editor: answers the text's horizontal scroll position in pixels.
    UINT getScrollPos;
    // tool bar -> editor: wParam points to the face name.
    UINT setFontName;
    // tool bar -> editor: lParam is the size in points.
    UINT setFontSize;
    // tool bar -> editor: lParam is the colour.
    UINT setFontColour;
};

const RrecMessages& RulerRichEditMessages();
