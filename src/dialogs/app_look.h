#pragma once
// The application's look that the dialogs repeat: the desktop colour behind pictures and the
// caption font. Without an application object (a dialog run on its own) the settings'
// defaults stand in.

#include <windows.h>

// cvetfona, or its default 0x600000.
COLORREF AppDesktopColour();
// The caption font the desktop draws with (owned by the application), or the GUI font.
HFONT AppCaptionFont();
