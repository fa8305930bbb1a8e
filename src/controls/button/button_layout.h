#pragma once
// Where a button puts its icon and its caption.

namespace xbutton {

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Area&, const Area&) = default;
};

// Icon alignment: the icon right of the caption; any other value puts it on the left.
constexpr int kIconRight = 2;

struct ContentLayout {
    int iconLeft = 0, iconTop = 0; // meaningful only with an icon
    Area captionArea;              // where the caption is centred
};

// `item`: the button's rectangle; iconWidth / iconHeight 0 when there is no icon.
// `shiftPressed`: a classic button that is pressed moves its icon one pixel down-right.
ContentLayout LayoutContent(const Area& item, int iconWidth, int iconHeight, bool hasCaption,
                            int alignment, bool shiftPressed);

// `text` of the measured size centred in `area`.
Area CentreIn(const Area& area, int textWidth, int textHeight);

} // namespace xbutton
