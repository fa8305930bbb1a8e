#pragma once
// Shared pieces of the Win32 tests: a scripted modal-UI service, registry and folder guards.

#include "framework/modal_ui.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ShownMessageBox {
    HWND owner;
    std::string text;
    std::string caption; // "<null>" when none was given
    UINT type;
};

// A scripted answer to one modal dialog: called once with the live dialog window, inside the
// dialog's own modal loop, so it can type, click and press keys with real messages while the
// real dialog procedure runs (support/test_dialog.h has the helpers).
using DialogScript = std::function<void(HWND dialog)>;

struct ShownDialog {
    HWND owner;
    UINT templateId;
    INT_PTR result;
    bool ran; // false: no script was queued, the dialog was not shown and "returned" IDCANCEL
};

// One pop-up menu as it was shown: its items in order (a separator has id 0 and no text).
struct ShownMenu {
    HWND owner;
    POINT at;
    UINT flags;
    std::vector<std::pair<UINT, std::string>> items;
    std::vector<UINT> Ids() const;
};

struct ShownFileDialog {
    std::string initialPath;
    std::string filter;
    DWORD flags;
};

// Records every message box and answers from a queue (IDOK when the queue is empty).
// Dialogs run for real under the next queued script; with none queued they return IDCANCEL.
// Menus, open-file, colour and font dialogs answer from queues of their own: an empty queue
// or an empty answer is "cancelled"; a menu answer is posted to the owner as WM_COMMAND, as
// the system does.
class ScriptedModalUi : public ModalUi {
public:
    ScriptedModalUi() : m_previous(SetModalUi(this)) {}
    ~ScriptedModalUi() override { SetModalUi(m_previous); }

    int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                       UINT type) override;
    INT_PTR RunDialog(Dialog& dialog, HWND owner) override; // in support/test_dialog.cpp
    BOOL TrackMenu(HMENU menu, UINT flags, POINT screenPoint, HWND owner) override;
    bool ChooseOpenFile(HWND owner, std::string& path, const char* filter, DWORD flags) override;
    bool ChooseColour(HWND owner, COLORREF& colour, DWORD flags) override;
    bool ChooseFontAndColour(HWND owner, LOGFONTA& font, COLORREF& colour, DWORD flags) override;

    std::vector<ShownMessageBox> shown;
    std::deque<int> answers;
    std::vector<ShownDialog> shownDialogs;
    std::deque<DialogScript> dialogScripts;
    std::vector<ShownMenu> shownMenus;
    std::deque<UINT> menuAnswers; // 0 dismisses the menu
    std::vector<ShownFileDialog> shownFileDialogs;
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<DWORD> colourFlags; // the flags of every colour dialog shown
    std::deque<std::optional<COLORREF>> colourAnswers;
    struct FontAnswer {
        LOGFONTA font;
        COLORREF colour;
    };
    std::vector<DWORD> fontFlags;
    std::deque<std::optional<FontAnswer>> fontAnswers;

private:
    ModalUi* m_previous;
};

// Deletes HKLM\<subkey> (64-bit view) when constructed and again when destroyed.
class ScopedRegistryKeyReset {
public:
    explicit ScopedRegistryKeyReset(std::string subkey);
    ~ScopedRegistryKeyReset();

private:
    std::string m_subkey;
};

// While it lives, settings stores opened anew are refused write access to their key, as on an
// account that may not write HKEY_LOCAL_MACHINE (Wine enforces no such rights).
class ScopedUnwritableSettings {
public:
    ScopedUnwritableSettings();
    ~ScopedUnwritableSettings();
};

// A fresh empty folder under the temporary folder, removed with its content at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

void DeleteTree(const std::string& path);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// Pumps pending messages of this thread for about `ms` milliseconds.
void PumpMessages(DWORD ms = 0);
