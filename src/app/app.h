#pragma once
// The application object: brings the system up in its fixed order, holds the state the
// desktop, dialogs and commands share, and releases it at exit.

#include "app/registry_plus.h"
#include "catalogue/icons.h"
#include "framework/unique_handle.h"
#include "framework/win_app.h"
#include "room/room_catalogue.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

class DesktopLockdown;
class Shell;
class CMainFrame;
class CustomerSession;

class CApp : public WinApp {
public:
    static constexpr const char* kMutexName = "KORVANE2000";
    static constexpr const char* kFrameTitle = "SHELL";
    static constexpr UINT_PTR kRepaintTimer = 1;
    static constexpr UINT kRepaintInterval = 2000;

    CApp();
    ~CApp() override;

    static CApp* Current() { return static_cast<CApp*>(WinApp::Current()); }

    BOOL InitInstance() override;
    int ExitInstance() override;

    void ReadScreenRect();
    // Whether another program than the standard desktop is the log-on shell, and changing it.
    bool IsIntegrated() const;
    void SetIntegration(bool integrate);
    // Reads every setting in start-up order (missing ones are written with their defaults).
    void ReadSettings();
    CMainFrame* Frame() const;
    // The customer lockdown follows the mode, the settings and the integration; the exits
    // put everything back.
    void UpdateLockdown();
    void LiftLockdown();

    RECT m_screenRect{};
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    std::unique_ptr<Icons> m_catalogue;
    // The room's shared catalogue: taken before the catalogue is read and then every few minutes.
    std::unique_ptr<RoomCatalogue> m_room;
    CRegistryPlus m_settings;

    int isRestart = 1;
    int lockdown = 1;
    int fontcolor = 0xFFFFFF;
    int ofback = 0x600000;
    int ofcolor = 0xFFFFFF;
    int isBitmap = 0;
    std::string backgroundBitmap;
    int cvetfona = 0x600000;
    int cveticon = 0x600000;
    int fullscreen = 0;
    LOGFONTA m_logFont{};

    UniqueFont m_captionFont;
    UniqueBrush m_backgroundBrush;
    UniqueBitmap m_backgroundBitmap;
    HBITMAP m_backgroundPicture = nullptr;

    int m_adminMode = 0;
    // Set before start-up for a desktop started again after a crash: the first one did the
    // log-on duties, and the dying one's mutex may still exist for a few seconds.
    bool m_restartedAfterCrash = false;
    // Called once the desktop window is shown and painted.
    std::function<void()> m_onShown;
    // Called by the window thread at every tick of the repaint timer (its sign of life).
    std::function<void()> m_onTick;
    BYTE m_taskbarFound = 0;
    std::string m_moduleDir;
    std::string m_commonDataPath;
    std::string m_catalogPath;
    std::shared_ptr<Shell> m_shell;
    std::unique_ptr<DesktopLockdown> m_lockdown;
    // Customer sessions and the job of the programs started from the desktop.
    std::unique_ptr<CustomerSession> m_session;
    void(WINAPI* m_shutdownDialog)(HWND) = nullptr;

protected:
    // Seams for tests; the real program uses the platform directly.
    virtual int InstallCrashReporter();
    // The common application data folder; false when the system cannot tell it.
    virtual bool CommonDataFolder(std::string& folder);
    virtual bool IsTaskbarRunning();
    virtual std::shared_ptr<Shell> CreateShell();

private:
    void FindDataFolder();
    void FindModuleFolder();
    void HideFromTaskList();
    void HideMinimizedWindows();
    bool CreateFrame();
    void SetFrameIcon();
    bool TakeInstanceMutex();
    void TakeRoomCatalogue();
    void PublishWindowHandle();

    bool m_crashReporterInstalled = false;
    UniqueKernelHandle m_instanceMutex;
};
