#pragma once
// One tab of the strip. The control allocates and owns it; its address is the tab's handle.

#include <windows.h>

#include <cstdint>
#include <string>

struct TabItem {
    HWND pane = nullptr;   // a child of the control, not necessarily owned by it
    int image = -1;        // index into the tab image lists, -1 for none
    std::string text;      // caption
    std::string tooltip;   // empty: the caption is shown when the tab is cut off
    bool disabled = false; // cannot be selected or dragged
    std::int64_t data = 0; // the owner's value
    RECT rect{};           // set by layout, client coordinates
    int width = 0;         // content width computed by layout
};

// The hot or pushed element: nothing, a tab, or one of the four buttons.
enum class TabButton { None = 0, Close = 1, Menu = 2, ScrollLeft = 3, ScrollRight = 4 };

struct TabElement {
    TabItem* tab = nullptr;
    TabButton button = TabButton::None;

    static TabElement Tab(TabItem* t) { return {t, TabButton::None}; }
    static TabElement Button(TabButton b) { return {nullptr, b}; }
    bool IsNone() const { return !tab && button == TabButton::None; }
    bool IsTab() const { return tab != nullptr; }
    bool IsButton() const { return button != TabButton::None; }
    bool Is(TabButton b) const { return button == b; }
    bool operator==(const TabElement&) const = default;
};
