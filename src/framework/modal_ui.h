#pragma once
// Everything that blocks on the user (message boxes now; dialogs and pop-up menus as they
// arrive) goes through one replaceable service, so tests can script the answers.

#include <windows.h>

#include <string>

class Dialog;

class ModalUi {
public:
    virtual ~ModalUi() = default;
    // caption may be null: the system's own default caption is then shown.
    virtual int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                               UINT type) = 0;
    // Runs a modal dialog; the real service shows it with the system's dialog manager.
    virtual INT_PTR RunDialog(Dialog& dialog, HWND owner);
    // The standard colour dialog with `flags` (CC_*), starting at `colour`; true with the
    // chosen colour in `colour` on OK. Only the real service shows it: any other service
    // answers "cancelled" unless it says otherwise.
    virtual bool ChooseColour(HWND owner, COLORREF& colour, DWORD flags);
    // The standard font dialog with `flags` (CF_*), starting from `font`; true on OK with the
    // choice in `font` and its size in tenths of a point in `pointSizeTenths`. Like the colour
    // dialog, only the real service shows it. (Not "ChooseFont": <windows.h> makes that a
    // macro.)
    virtual bool ChooseTextFont(HWND owner, LOGFONTA& font, int& pointSizeTenths, DWORD flags);
    // The same with a text colour (CF_EFFECTS): `colour` starts the dialog and takes the choice.
    virtual bool ChooseFontAndColour(HWND owner, LOGFONTA& font, COLORREF& colour, DWORD flags);
    // The standard open-file dialog. `filter` is written "Description|patterns|...||";
    // `path` is the initial file name and, on OK, the chosen file (at most 259 characters).
    // Only the real service shows it; any other service answers "cancelled".
    virtual bool ChooseOpenFile(HWND owner, std::string& path, const char* filter, DWORD flags);
    // A pop-up menu at `screenPoint`, owned by `owner`, as TrackPopupMenu shows it with
    // `flags`: the chosen item arrives at the owner as WM_COMMAND. Only the real service
    // shows it; any other service dismisses it.
    virtual BOOL TrackMenu(HMENU menu, UINT flags, POINT screenPoint, HWND owner);
};

// The service in force; the real one unless a test installed another.
ModalUi& CurrentModalUi();
// Installs `ui` (null restores the real service) and returns the one it replaces.
ModalUi* SetModalUi(ModalUi* ui);

// A message box as the application shows it: a missing caption becomes the application name.
int AppMessageBox(HWND owner, const std::string& text, const char* caption = nullptr,
                  UINT type = MB_OK);
