#include "app/app.h"

#include "app/crash_reporter.h"
#include "app/integration.h"
#include "app/lockdown_session.h"
#include "resource.h"
#include "base/text.h"
#include "desktop/main_frame.h"
#include "desktop/picture_loader.h"
#include "desktop/system_actions.h"
#include "framework/modal_ui.h"
#include "session/customer_session.h"
#include "shell/shell.h"

#include <shlobj.h>

#include <cstdint>

namespace {

constexpr const char* kCrashEmail = "crashes@quillmoran.com";
constexpr const char* kCrashUrl = "https://crash.quillmoran.com/korvane/upload";

} // namespace

CApp::CApp() = default;

CApp::~CApp() {
    // The frame refers to our state: it goes first. Nothing is saved; every change already was.
    m_mainWindow.reset();
    if (m_session)
        SetProgramJob(nullptr);
}

CMainFrame* CApp::Frame() const {
    return static_cast<CMainFrame*>(m_mainWindow.get());
}

int CApp::InstallCrashReporter() {
    CrInstallInfo info;
    info.appName = "korvane.exe";
    info.appVersion = "1.23-EN";
    info.emailTo = kCrashEmail;
    info.emailSubject = "korvane.exe - crash report";
    info.url = kCrashUrl;
    info.flags = kCrAllHandlers;
    const std::string folder =
        m_catalogPath.substr(0, m_catalogPath.find_last_of('\\')) + "\\Crashes";
    info.crashFolder = folder.c_str();
    return crInstall(&info);
}

bool CApp::IsTaskbarRunning() {
    // The desktop window first: under Wine asking for it waits until the process that owns it
    // (Wine's explorer.exe, which also holds the system tray's window) has made it, so that the
    // answer does not depend on how soon this process first talked to the display.
    ::GetDesktopWindow();
    return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
}

std::shared_ptr<Shell> CApp::CreateShell() {
    return std::make_shared<Shell>();
}

BOOL CApp::InitInstance() {
    // 3-4. Data folder (created on the way) and module folder, ahead of the crash reporter,
    // which keeps its reports beside the catalogue wherever that turned out to be.
    FindModuleFolder();
    FindDataFolder();

    // 1. Crash reporting.
    if (InstallCrashReporter() != 0) {
        char reason[256];
        crGetLastErrorMsg(reason, sizeof(reason));
        CurrentModalUi().ShowMessageBox(nullptr, reason, "crInstall error", MB_OK);
        return TRUE; // no main window: the message loop ends at once
    }
    m_crashReporterInstalled = true;

    // 2. GDI+ is started by the first picture (the background's or a screenshot).

    // The room's catalogue, when a share is set, replaces icons.bin before it is read.
    TakeRoomCatalogue();

    // 5. Catalogue; an old-format file is reported by a captionless box without owner.
    m_catalogue = std::make_unique<Icons>(m_catalogPath, [](const std::string& text) {
        CurrentModalUi().ShowMessageBox(nullptr, text, nullptr, MB_ICONWARNING);
    });

    // 6. Single instance: a second one ends silently.
    if (!TakeInstanceMutex())
        return FALSE;

    // 7. Shell services.
    m_shell = CreateShell();

    // 8. System tweaks (minimised windows are hidden once the desktop is on screen, before any
    // program starts).
    HideFromTaskList();

    // 11. The system's shut-down dialog (the taskbar is looked for after the first paint).
    if (HMODULE shell32 = ::GetModuleHandleA("SHELL32.DLL"))
        m_shutdownDialog = reinterpret_cast<void(WINAPI*)(HWND)>(
            reinterpret_cast<void*>(::GetProcAddress(shell32, MAKEINTRESOURCEA(60))));

    // 12-13. Screen and settings.
    ReadScreenRect();
    ReadSettings();

    // 14. Always start restricted.
    m_adminMode = 0;

    m_session = std::make_unique<CustomerSession>(
        m_catalogPath.substr(0, m_catalogPath.find_last_of('\\')), m_moduleDir);
    SetProgramJob(&m_session->Job());

    // 15-17. The desktop window.
    if (!CreateFrame())
        return FALSE;
    SetFrameIcon();
    if (m_onShown)
        m_onShown();
    crLoadDumpWriter(); // not before the first paint: it takes milliseconds under Wine

    if (m_room)
        m_room->SetNotifyWindow(MainHwnd()); // a pass that ended late is shown now
    m_session->SetHost({[this] { return m_adminMode != 0; },
                        [this] {
                            if (CMainFrame* frame = Frame())
                                frame->ResetForNextCustomer();
                        }});
    m_session->RestartIdleWatch();

    // 18-19. Its timer and its published handle.
    ::SetTimer(MainHwnd(), kRepaintTimer, kRepaintInterval, nullptr);
    PublishWindowHandle();

    // The customer lockdown, once the desktop is on screen; a journal left by a crash first.
    const std::string dataFolder = m_catalogPath.substr(0, m_catalogPath.find_last_of('\\'));
    m_lockdown = std::make_unique<DesktopLockdown>(MainHwnd(), dataFolder + "\\" +
                                                                   std::string(kJournalFileName));
    m_lockdown->Start(m_adminMode != 0, isRestart, lockdown);

    // 9-10. Asking the display about its taskbar and changing how minimised windows show waits
    // for the display's own process under Wine: after the first paint, before any program.
    HideMinimizedWindows();
    m_taskbarFound = IsTaskbarRunning() ? 1 : 0;

    // 20. Log-on programs, only when we are the log-on shell, and only once per log-on. With
    // customer sessions the last customer's files go first; the programs start after that.
    if (m_taskbarFound == 0 && !m_restartedAfterCrash) {
        auto runLogOnPrograms = [shell = m_shell] {
            shell->RunStartupFolders();
            shell->RunRegistryKeys();
        };
        if (!m_session->CleanAtLogOn(runLogOnPrograms))
            runLogOnPrograms();
    }
    return TRUE;
}

int CApp::ExitInstance() {
    m_lockdown.reset(); // the keyboard filter's thread ends; the policy values stay as they are
    m_captionFont.Reset();
    m_backgroundBrush.Reset();
    m_backgroundBitmap.Reset();
    if (m_backgroundPicture) {
        ::DeleteObject(m_backgroundPicture);
        m_backgroundPicture = nullptr;
    }
    StopPictureDecoding();
    if (m_crashReporterInstalled) {
        crUninstall();
        m_crashReporterInstalled = false;
    }
    return WinApp::ExitInstance();
}

bool CApp::TakeInstanceMutex() {
    m_instanceMutex.Reset(::CreateMutexA(nullptr, TRUE, kMutexName));
    // The crashed desktop still holds the mutex while it writes its dump; our handle keeps it in
    // being after that, so later ordinary starts are refused as before.
    return ::GetLastError() != ERROR_ALREADY_EXISTS || (m_restartedAfterCrash && m_instanceMutex);
}

void CApp::TakeRoomCatalogue() {
    m_room = std::make_unique<RoomCatalogue>(m_catalogPath);
    // A second start ends at the instance check; it must not replace the file the running
    // desktop shows.
    if (!m_restartedAfterCrash) {
        UniqueKernelHandle running(::OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
        if (running)
            return;
    }
    m_room->Start(m_settings);
    // A slow or missing share holds start-up for the first pass at most this long; a copy that
    // arrives later is shown once the desktop runs.
    m_room->WaitForFirstPass(room::kStartWaitMs);
    m_room->InstallPending(m_settings);
}

void CApp::FindModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string module(path);
    const std::size_t slash = module.find_last_of('\\');
    if (slash != std::string::npos) {
        m_moduleDir = module.substr(0, slash);
        return;
    }
    std::string current(4096, '\0');
    const DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(current.size()), current.data());
    current.resize(n < current.size() ? n : 0);
    m_moduleDir = current;
}

bool CApp::CommonDataFolder(std::string& folder) {
    char path[MAX_PATH] = {};
    if (FAILED(
            ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return false;
    folder = path;
    return true;
}

void CApp::FindDataFolder() {
    if (!CommonDataFolder(m_commonDataPath))
        m_commonDataPath = m_moduleDir; // no common data folder: keep the catalogue beside us
    m_catalogPath = m_commonDataPath + "\\Quillmoran";
    ::CreateDirectoryA(m_catalogPath.c_str(), nullptr);
    m_catalogPath += "\\Shell";
    ::CreateDirectoryA(m_catalogPath.c_str(), nullptr);
    m_catalogPath += "\\icons.bin";
}

void CApp::HideFromTaskList() {
    HMODULE kernel = ::LoadLibraryA("KERNEL32.DLL");
    if (!kernel)
        return;
    using RegisterServiceProcessFn = DWORD(WINAPI*)(DWORD, DWORD);
    if (auto registerService = reinterpret_cast<RegisterServiceProcessFn>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "RegisterServiceProcess"))))
        registerService(0, 1);
    ::FreeLibrary(kernel);
}

void CApp::HideMinimizedWindows() {
    MINIMIZEDMETRICS metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETMINIMIZEDMETRICS, sizeof(metrics), &metrics, 0))
        return;
    if (metrics.iArrange & ARW_HIDE)
        return;
    metrics.iArrange |= ARW_HIDE;
    ::SystemParametersInfoA(SPI_SETMINIMIZEDMETRICS, sizeof(metrics), &metrics, 0);
}

void CApp::ReadScreenRect() {
    ::GetWindowRect(::GetDesktopWindow(), &m_screenRect);
    m_screenWidth = m_screenRect.right;
    m_screenHeight = m_screenRect.bottom;
}

bool CApp::IsIntegrated() const {
    return ::IsIntegrated();
}

void CApp::SetIntegration(bool integrate) {
    ::SetIntegration(integrate);
}

void CApp::UpdateLockdown() {
    if (m_lockdown)
        m_lockdown->Update(m_adminMode != 0, isRestart, lockdown);
}

void CApp::LiftLockdown() {
    if (m_lockdown)
        m_lockdown->Lift();
}

void CApp::ReadSettings() {
    m_settings.ReadDword("isRestart", 1, isRestart);
    m_settings.ReadDword("lockdown", 1, lockdown);

    m_logFont = LOGFONTA{};
    int value = 0;
    m_settings.ReadDword("fontheight", 12, value);
    m_logFont.lfHeight = value;
    m_settings.ReadDword("fontwidth", 0, value);
    m_logFont.lfWidth = value;
    m_settings.ReadDword("fontescapement", 0, value);
    m_logFont.lfEscapement = value;
    m_settings.ReadDword("fontorientation", 0, value);
    m_logFont.lfOrientation = value;
    m_settings.ReadDword("fontweight", 400, value);
    m_logFont.lfWeight = value;
    m_settings.ReadByte("fontitalic", 0, m_logFont.lfItalic);
    m_settings.ReadByte("fontunderline", 0, m_logFont.lfUnderline);
    m_settings.ReadByte("fontstrikeout", 0, m_logFont.lfStrikeOut);
    m_settings.ReadByte("fontcharset", DEFAULT_CHARSET, m_logFont.lfCharSet);
    m_settings.ReadByte("fontoutprecision", 0, m_logFont.lfOutPrecision);
    m_settings.ReadByte("fontclipprecision", 0, m_logFont.lfClipPrecision);
    m_settings.ReadByte("fontquality", 0, m_logFont.lfQuality);
    m_settings.ReadByte("fontpitchandfamily", 0, m_logFont.lfPitchAndFamily);
    std::string faceName;
    m_settings.ReadString("fontfacename", "MS Sans Serif", faceName);
    CopyText(m_logFont.lfFaceName, faceName); // at most 31 characters fit
    m_settings.ReadDword("fontcolor", 0xFFFFFF, fontcolor);
    m_settings.ReadDword("ofback", 0x600000, ofback);
    m_settings.ReadDword("ofcolor", 0xFFFFFF, ofcolor);

    m_captionFont.Reset(::CreateFontIndirectA(&m_logFont));

    m_settings.ReadDword("isBitmap", 0, isBitmap);
    m_settings.ReadString("backgroundBitmap", "", backgroundBitmap);
    m_settings.ReadDword("cvetfona", 0x600000, cvetfona);
    m_settings.ReadDword("cveticon", 0x600000, cveticon);
    m_settings.ReadDword("fullscreen", 0, fullscreen);
}

bool CApp::CreateFrame() {
    auto frame = std::make_unique<CMainFrame>(*this);
    if (!frame->Create(kFrameTitle, m_screenRect))
        return false;
    SetMainWindow(std::move(frame));
    HWND hwnd = MainHwnd();
    // Shown and painted first, activated after: under Wine the first activation of a process
    // starts its input method and COM, which would hold the first paint back by milliseconds.
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hwnd);
    ::SetForegroundWindow(hwnd);
    return true;
}

void CApp::SetFrameIcon() {
    // Only Alt+Tab shows it; under Wine handing it to the X server costs the first paint 5 ms.
    HWND hwnd = MainHwnd();
    HICON icon = ::LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_KORVANE));
    ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void CApp::PublishWindowHandle() {
    // Window handles are 32-bit values even in 64-bit processes.
    m_settings.WriteDword("mainhwnd",
                          static_cast<int>(reinterpret_cast<std::uintptr_t>(MainHwnd())));
}
