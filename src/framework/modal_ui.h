#pragma once
// Everything that blocks on the user (message boxes now; dialogs and pop-up menus as they
// arrive) goes through one replaceable service, so tests can script the answers.

#include <windows.h>

#include <string>

class ModalUi {
public:
    virtual ~ModalUi() = default;
    // caption may be null: the system's own default caption is then shown.
    virtual int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                               UINT type) = 0;
};

// The service in force; the real one unless a test installed another.
ModalUi& CurrentModalUi();
// Installs `ui` (null restores the real service) and returns the one it replaces.
ModalUi* SetModalUi(ModalUi* ui);

// A message box as the application shows it: a missing caption becomes the application name.
int AppMessageBox(HWND owner, const std::string& text, const char* caption = nullptr,
                  UINT type = MB_OK);
