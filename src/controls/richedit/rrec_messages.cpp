#include "controls/richedit/rrec_messages.h"

const RrecMessages& RulerRichEditMessages() {
    static const RrecMessages messages{
        ::RegisterWindowMessageA("_RULERRICHEDITCTRL_RULER_TRACK_"),
        ::RegisterWindowMessageA("_RULERRICHEDITCTRL_GET_SCROLL_POS_"),
        ::RegisterWindowMessageA("_RULERRICHEDITCTRL_SET_CURRENT_FONT_NAME"),
        ::RegisterWindowMessageA("_RULERRICHEDITCTRL_SET_CURRENT_FONT_SIZE"),
        ::RegisterWindowMessageA("_RULERRICHEDITCTRL_SET_CURRENT_FONT_COLOR"),
    };
    return messages;
}
