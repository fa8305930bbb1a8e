#include "controls/button/button_layout.h"

namespace xbutton {

ContentLayout LayoutContent(const Area& item, int iconWidth, int iconHeight, bool hasCaption,
                            int alignment, bool shiftPressed) {
    ContentLayout layout;
    layout.captionArea = item;
    const bool hasIcon = iconWidth > 0 && iconHeight > 0;
    if (!hasIcon)
        return layout;

    const int width = item.Width();
    if (hasCaption) {
        const int gap = iconWidth / 2;
        if (alignment == kIconRight) {
            layout.captionArea.left = item.left + gap;
            layout.captionArea.right = item.left + width - gap - iconWidth;
            layout.iconLeft = item.right - gap - iconWidth;
        } else {
            layout.captionArea.left = item.left + 2 * iconWidth;
            layout.captionArea.right = item.left + width - gap;
            layout.iconLeft = item.left + gap;
        }
    } else {
        layout.iconLeft = item.left + (width - iconWidth) / 2;
    }
    layout.iconTop = item.top + (item.Height() - iconHeight) / 2;
    if (shiftPressed) {
        ++layout.iconLeft;
        ++layout.iconTop;
    }
    return layout;
}

Area CentreIn(const Area& area, int textWidth, int textHeight) {
    const int left = area.left + (area.Width() - textWidth) / 2;
    const int top = area.top + (area.Height() - textHeight) / 2;
    return {left, top, left + textWidth, top + textHeight};
}

} // namespace xbutton
