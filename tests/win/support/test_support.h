#pragma once
// Shared pieces of the Win32 tests: a scripted modal-UI service, registry and folder guards.

#include "framework/modal_ui.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
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

// Records every message box and answers from a queue (IDOK when the queue is empty).
// Dialogs run for real under the next queued script; with none queued they return IDCANCEL.
class ScriptedModalUi : public ModalUi {
public:
    ScriptedModalUi() : m_previous(SetModalUi(this)) {}
    ~ScriptedModalUi() override { SetModalUi(m_previous); }

    int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                       UINT type) override;
    INT_PTR RunDialog(Dialog& dialog, HWND owner) override; // in support/test_dialog.cpp

    std::vector<ShownMessageBox> shown;
    std::deque<int> answers;
    std::vector<ShownDialog> shownDialogs;
    std::deque<DialogScript> dialogScripts;

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
