#pragma once
// Shared pieces of the Win32 tests: a scripted modal-UI service, registry and folder guards.

#include "framework/modal_ui.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

struct ShownMessageBox {
    HWND owner;
    std::string text;
    std::string caption; // "<null>" when none was given
    UINT type;
};

// Records every message box and answers from a queue (IDOK when the queue is empty).
class ScriptedModalUi : public ModalUi {
public:
    ScriptedModalUi() : m_previous(SetModalUi(this)) {}
    ~ScriptedModalUi() override { SetModalUi(m_previous); }

    int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                       UINT type) override;

    std::vector<ShownMessageBox> shown;
    std::deque<int> answers;

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
