#pragma once
// Driving a live dialog from a DialogScript with real messages.

#include <windows.h>

#include <string>
#include <string_view>

// What the watchdog ends a dialog with when its script left it open for too long.
inline constexpr INT_PTR kDialogWatchdogResult = -2;

std::string WindowText(HWND hwnd);
std::string ItemText(HWND dialog, int id);
bool IsItemChecked(HWND dialog, int id);
// Focuses `control` and types `text` into it, one WM_CHAR per character.
void TypeText(HWND control, std::string_view text);
// Empties an edit the way a user would: select all, then Backspace.
void ClearText(HWND control);
// Posts a key press to the focused control; the dialog manager sees it in its own loop.
void PressKey(HWND dialog, UINT virtualKey);
// A mouse click on a button, as BM_CLICK delivers it.
void ClickButton(HWND dialog, int id);
