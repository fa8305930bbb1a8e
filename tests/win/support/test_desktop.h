#pragma once
// The whole desktop started in-process for tests of its commands: a catalogue written byte by
// byte, a fresh settings key, scripted modal UI and recorded system actions.

#include "desktop/main_frame.h"
#include "desktop/system_actions.h"
#include "support/test_app.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Records what the desktop asks of the machine. Programs are started for real only when
// `startForReal` is set; nothing is ever shut down.
class RecordingActions : public SystemActions {
public:
    RecordingActions() : m_previous(SetSystemActions(this)) {}
    ~RecordingActions() override { SetSystemActions(m_previous); }

    bool StartProcess(const std::string& commandLine, const std::string& folder, DWORD flags,
                      WORD showCommand) override;
    void ShellOpen(const std::string& file, const std::string& parameters,
                   const std::string& folder, int showCommand) override;
    void Exec(const std::string& commandLine, UINT showCommand) override;
    void OpenHelp(const std::string& path) override;
    unsigned WindowsMajorVersion() override { return majorVersion; }
    bool IsWindows9x() override { return windows9x; }
    bool EnableShutdownPrivilege() override;
    void EndSession(UINT flags, DWORD reason) override;

    std::vector<std::string> calls;
    bool startForReal = false;
    unsigned majorVersion = 6;
    bool windows9x = false;

private:
    SystemActions* m_previous;
};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteCatalogue(const std::vector<CatalogueEntryBytes>& entries,
                        const std::vector<std::string>& tabs);
    CMainFrame& Start();
    CMainFrame& Frame() { return *m_app->Frame(); }
    HWND Hwnd() { return m_app->MainHwnd(); }
    // A command as a menu or button sends it, then what it posted is handled.
    void Command(UINT id);
    // Admin mode through the real password dialog. With no password stored, one is stored first
    // as a verifier of few iterations, so that the test does not pay for a full derivation.
    void EnterAdminMode(const std::string& password = "pw");
    POINT CellCentre(int column, int row);
    std::string Catalogue() const;

    ScopedRegistryKeyReset m_settings{"Software\\Korvane"};
    ScriptedModalUi m_ui;
    RecordingActions m_actions;
    TempFolder m_files;
    std::unique_ptr<TestApp> m_app;
};

// Whether two icons draw the same pixels (one resource loaded twice gives two handles).
bool SameIcon(HICON a, HICON b);
// Whether the desktop button `buttonId` shows the program's icon resource `iconId`.
bool ButtonShowsIcon(CMainFrame& frame, UINT buttonId, UINT iconId);
// Types `text` into the password dialog and presses OK.
DialogScript TypePassword(std::string text);
// The raw bytes of a registry value of the settings key; "<missing>" when there is none.
std::string RawSetting(const char* name);
// Writes a REG_SZ value of the settings key past any settings store.
void WriteRawSetting(const char* name, const std::string& text);
// A verifier of `password` with few iterations, cheap to check.
std::string CheapVerifier(const std::string& password);
