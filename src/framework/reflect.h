#pragma once
// Hands a control's notifications back to the control's own object, so that a button can
// draw itself (WM_DRAWITEM) or react to its own click (WM_COMMAND) wherever it is placed.
// A parent's window procedure offers every message here first.

#include <windows.h>

// For WM_COMMAND from a control, WM_NOTIFY, WM_DRAWITEM and WM_MEASUREITEM of a control:
// when the sending control has a SubclassedWindow that handles the notification, returns true
// with the answer for the parent in `result`. Anything else returns false.
bool ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
