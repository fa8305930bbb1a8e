#pragma once
// An application object for in-process tests: the real start-up, with the crash reporter,
// the taskbar check and the shell services replaced by what the test asks for.

#include "app/app.h"
#include "app/crash_reporter.h"
#include "shell/shell.h"

#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

class RecordingShell : public Shell {
public:
    struct Call {
        std::string what;
        bool frameVisible;
    };
    explicit RecordingShell(std::vector<Call>& calls) : m_calls(calls) {}
    void RunStartupFolders() override { Record("folders"); }
    void RunRegistryKeys() override { Record("keys"); }

private:
    void Record(const char* what) {
        HWND frame = ::FindWindowA(nullptr, CApp::kFrameTitle);
        m_calls.push_back({what, frame && ::IsWindowVisible(frame)});
    }
    std::vector<Call>& m_calls;
};

class TestApp : public CApp {
public:
    bool taskbar = true;
    bool failCrashReporter = false;
    bool realCrashReporter = false; // installed in this process: never let such a test crash
    bool noCommonDataFolder = false;
    std::vector<RecordingShell::Call> shellCalls;

protected:
    int InstallCrashReporter() override {
        if (failCrashReporter) {
            CrInstallInfo broken;
            broken.cb = 1;
            return crInstall(&broken);
        }
        if (realCrashReporter)
            return CApp::InstallCrashReporter();
        return 0; // the real reporter is tested on its own, in a process it may crash
    }
    bool CommonDataFolder(std::string& folder) override {
        return !noCommonDataFolder && CApp::CommonDataFolder(folder);
    }
    bool IsTaskbarRunning() override { return taskbar; }
    std::shared_ptr<Shell> CreateShell() override {
        return std::make_shared<RecordingShell>(shellCalls);
    }
};

// <common application data>\Quillmoran\Shell, where start-up keeps icons.bin.
inline std::string DataFolder() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\Quillmoran\\Shell";
}

// Ends a started application as the program does: its window goes, then its exit steps run.
inline void FinishApp(CApp& app) {
    if (HWND hwnd = app.MainHwnd())
        ::DestroyWindow(hwnd);
    app.ExitInstance();
}

inline void MakeDataFolder() {
    ::CreateDirectoryA((DataFolder() + "\\..").c_str(), nullptr);
    ::CreateDirectoryA(DataFolder().c_str(), nullptr);
}
