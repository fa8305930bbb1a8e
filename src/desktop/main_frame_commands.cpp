// The desktop's commands: the mode switch, the tools and setup commands, exit and shutdown.
// Editing the catalogue has a file of its own.
#include "app/app.h"
#include "app/crash_notice.h"
#include "app/crash_reporter.h"
#include "app/password_store.h"
#include "desktop/desktop_commands.h"
#include "desktop/main_frame.h"
#include "desktop/system_actions.h"
#include "dialogs/about_program.h"
#include "room/room_rules.h"
#include "dialogs/password_dialog.h"
#include "dialogs/restrictions_dialog.h"
#include "dialogs/select_background.h"
#include "app/integration_dialog.h"
#include "framework/modal_ui.h"
#include "resource.h"
#include "session/session_rules.h"

#include <commctrl.h>
#include <commdlg.h>
#include <sys/stat.h>

#include <exception>

namespace {

constexpr DWORD kProgramStartFlags =
    CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP;  // 0x230
constexpr UINT kShutdownFlags = EWX_SHUTDOWN | EWX_FORCE | EWX_FORCEIFHUNG; // 0x15
constexpr UINT kRebootFlags = EWX_REBOOT | EWX_FORCE | EWX_FORCEIFHUNG;     // 0x16
constexpr DWORD kIconFontFlags =
    CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FORCEFONTEXIST; // 0x10141

// Reports once, when the command ends, that settings it wrote could not be stored. Failures
// from before the command (defaults written back at start-up) are not its own.
class SettingsWriteReport {
public:
    SettingsWriteReport(CRegistryPlus& settings, HWND owner)
        : m_settings(settings), m_owner(owner) {
        m_settings.TakeFailedWrites();
    }
    ~SettingsWriteReport() {
        if (m_settings.TakeFailedWrites() > 0 && std::uncaught_exceptions() == 0)
            AppMessageBox(m_owner, CRegistryPlus::kSettingNotStored, "Warning!",
                          MB_OK | MB_ICONWARNING);
    }
    SettingsWriteReport(const SettingsWriteReport&) = delete;
    SettingsWriteReport& operator=(const SettingsWriteReport&) = delete;

private:
    CRegistryPlus& m_settings;
    HWND m_owner;
};

void ReportPasswordNotStored(HWND owner, CRegistryPlus& settings) {
    AppMessageBox(owner, kPasswordNotStored, "Warning!", MB_OK | MB_ICONWARNING);
    settings.TakeFailedWrites(); // said here: the command's own report stays silent
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool CMainFrame::OnCommand(UINT id) {
    using namespace command;
    if (!m_app.m_adminMode && !ObeyedInRestrictedMode(id, m_app.isRestart) &&
        !SessionCommandAllowed(id, SessionsEnabled()))
        return IsDesktopCommand(id);
    const SettingsWriteReport report(m_app.m_settings, Hwnd());
    switch (id) {
    case kSwitchMode:
        if (m_app.m_adminMode)
            LeaveAdminMode();
        else
            AskForAdminMode();
        return true;
    case kToolsMenu:
        ShowMenu(MenuItems(DesktopMenu::Tools), CursorPosition());
        return true;
    case kShutdownButton:
        OnShutdownButton();
        return true;
    case kExplorer:
    case kRegistryEditor:
    case kNotepad:
    case kDesktopProperties:
    case kNetworkProperties: {
        SystemActions& actions = CurrentSystemActions();
        actions.Exec(ToolCommandLine(id, actions.IsWindows9x()), SW_SHOWNORMAL);
        return true;
    }
    case kProgramSetup:
        ShowMenu(MenuItems(DesktopMenu::ProgramSetup, 1, m_app.m_room && m_app.m_room->HasSource()),
                 CursorPosition());
        return true;
    case kHelp:
        OpenHelp();
        return true;
    case kAbout: {
        AboutProgram about;
        if (m_app.m_adminMode) { // what the room's catalogue did last, for the operator only
            std::string taken, refused;
            m_app.m_settings.TryReadString(room::kTakenSetting, taken);
            m_app.m_settings.TryReadString(room::kRefusedSetting, refused);
            about.m_recordLines = room::AboutLines(taken, refused);
        }
        about.DoModal();
        return true;
    }
    case kIconFont:
        ChooseIconFont();
        return true;
    case kBackground:
        ChooseBackground();
        return true;
    case kDescriptionColour:
        ChooseDescriptionColour();
        return true;
    case kPassword:
        ChangePassword();
        return true;
    case kRestrictions:
        EditRestrictions();
        return true;
    case kIntegration:
        EditIntegration();
        return true;
    case kCatalogueSource:
        EditCatalogueSource();
        return true;
    case kPublishCatalogue:
        PublishCatalogue();
        return true;
    case kCustomerSessions:
        EditCustomerSessions();
        return true;
    case kEndCustomerSession:
    case kEndMySession:
        EndCustomerSession(id == kEndMySession);
        return true;
    case kShutdownChoice:
        OfferShutdown();
        return true;
    case kExit:
        m_app.LiftLockdown();
        ::DestroyWindow(Hwnd());
        return true;
    case kExitToExplorer:
        m_app.LiftLockdown(); // Explorer must find Windows as it was
        CurrentSystemActions().Exec("explorer.exe", SW_SHOWNORMAL);
        ::DestroyWindow(Hwnd());
        return true;
    case kShutdownPc:
    case kRebootPc: {
        SystemActions& actions = CurrentSystemActions();
        actions.EnableShutdownPrivilege(); // the request follows whatever came of it
        actions.EndSession(id == kShutdownPc ? kShutdownFlags : kRebootFlags, 0);
        return true;
    }
    default:
        return OnEditCommand(id);
    }
}

void CMainFrame::AskForAdminMode() {
    CPasswordDialog dialog;
    if (dialog.DoModal() != IDOK)
        return;
    AdminPassword password(m_app.m_settings);
    switch (password.Verify(dialog.m_password)) { // exact bytes: letter case counts
    case AdminPassword::Check::Incorrect:
        AppMessageBox(Hwnd(), "Password incorrect", "Warning!", MB_OK);
        return;
    case AdminPassword::Check::NoneStored:
        // Only a password that is really stored opens admin mode: otherwise any text would.
        if (!password.Store(dialog.m_password)) {
            ReportPasswordNotStored(Hwnd(), m_app.m_settings);
            return;
        }
        AppMessageBox(Hwnd(), "Password saved", "Warning!", MB_OK);
        break;
    case AdminPassword::Check::CorrectNotReplaced:
        // The right password, but still kept in its readable form: the operator should know.
        ReportPasswordNotStored(Hwnd(), m_app.m_settings);
        break;
    case AdminPassword::Check::Correct:
        break;
    }
    EnterAdminMode();
}

void CMainFrame::EnterAdminMode() {
    CreateHiddenChildren();
    SetButtonIcon(kModeButtonId, IDI_UNLOCKED);
    Editor().SetReadOnly(false);
    Editor().ShowToolbar(true);
    ::EnableWindow(ButtonHwnd(kAddTabButtonId), TRUE);
    m_app.m_adminMode = 1;
    m_app.UpdateLockdown(); // the operator's registry editor and Explorer must work
    ::EnableWindow(ButtonHwnd(kShutdownButtonId), TRUE);
    for (UINT id : {kSaveButtonId, kSettingsButtonId, kAddTabButtonId})
        ::ShowWindow(ButtonHwnd(id), SW_SHOW);
    PlaceTabStrip();
    SetModeToolTip("Switch to restricted user mode");
    TellOfLastCrash(Hwnd(), m_app.m_settings, crCrashFolder());
}

void CMainFrame::LeaveAdminMode() {
    CreateHiddenChildren();
    SetButtonIcon(kModeButtonId, IDI_LOCKED);
    m_app.m_adminMode = 0;
    m_app.UpdateLockdown();
    m_moveMode = false; // else the customer's next click on a free cell would move the icon
    for (UINT id : {kSaveButtonId, kSettingsButtonId, kAddTabButtonId})
        ::ShowWindow(ButtonHwnd(id), SW_HIDE);
    PlaceTabStrip();
    if (!ShutdownButtonEnabled(m_app.isRestart, SessionsEnabled()))
        ::EnableWindow(ButtonHwnd(kShutdownButtonId), FALSE);
    Editor().SetReadOnly(true);
    Editor().ShowToolbar(false);
    SetModeToolTip("Switch to admin mode");
    TakeRoomCatalogue(); // a newer shared catalogue waited for the operator to leave
}

// The strip ends at the Add tab button in admin mode and at the mode button otherwise.
void CMainFrame::PlaceTabStrip() {
    m_layout.tabStrip =
        DesktopLayout::Compute(m_layout.width, m_layout.height, m_app.m_adminMode != 0).tabStrip;
    MoveChild(m_tabStrip.Hwnd(), m_layout.tabStrip);
}

void CMainFrame::SetButtonIcon(UINT buttonId, UINT iconId) {
    CreateHiddenChildren();
    CXButtonXP* button = Button(buttonId);
    if (!button || !button->Hwnd())
        return;
    button->SetIcon(iconId, 1).EnableTheming(true);
    ::RedrawWindow(button->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CMainFrame::SetModeToolTip(const char* text) {
    CreateHiddenChildren();
    if (!m_toolTip)
        return;
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = Hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(ButtonHwnd(kModeButtonId));
    info.lpszText = const_cast<char*>(text);
    ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CMainFrame::OnShutdownButton() {
    switch (DecideClose(m_app.m_adminMode != 0, m_app.isRestart, SessionsEnabled())) {
    case CloseAction::ExitMenu:
        ShowMenu(MenuItems(DesktopMenu::Exit), CursorPosition());
        break;
    case CloseAction::ShutdownChoice:
        OfferShutdown();
        break;
    case CloseAction::Nothing:
        break;
    }
}

void CMainFrame::OfferShutdown() {
    if (SessionsEnabled() && !m_app.m_adminMode) {
        // The customer's choice always holds "End my session", which no system dialog offers.
        ShowMenu(ShutdownChoiceItems(false, m_app.isRestart, true), CursorPosition());
        return;
    }
    const unsigned major = CurrentSystemActions().WindowsMajorVersion();
    if (DecideShutdownOffer(major, m_app.m_shutdownDialog != nullptr) == ShutdownOffer::ShellDialog)
        m_app.m_shutdownDialog(Hwnd());
    else
        ShowMenu(MenuItems(DesktopMenu::Shutdown), CursorPosition());
}

void CMainFrame::StartProgramAt(POINT point, bool newCopy) {
    const int entry = EntryAt(point);
    if (entry == -1)
        return;
    const ProgramEntry& program = m_app.m_catalogue->m_entries[entry];
    const std::string key = RunningPrograms::KeyOf(program.programPath, program.parameters);
    if (!newCopy) {
        // The list may be up to one timer tick old: a program may have ended or started a
        // window since.
        if (m_running.Refresh(CurrentProgramJob()))
            InvalidateGrid();
        if (HWND window = m_running.WindowOf(key)) {
            BringBack(window);
            return;
        }
    }
    const LaunchPlan plan = PlanLaunch(program.programPath, program.parameters);
    SystemActions& actions = CurrentSystemActions();
    TakeStartedProcessId();
    if (plan.shellExecute)
        actions.ShellOpen(program.programPath, program.parameters, plan.folder, SW_SHOWNORMAL);
    else
        actions.StartProcess(plan.commandLine, plan.folder, kProgramStartFlags,
                             static_cast<WORD>(program.showCommand));
    if (const DWORD started = TakeStartedProcessId()) {
        m_running.Started(key, started);
        InvalidateGrid(); // its marker shows at once
    }
}

void CMainFrame::OpenHelp() {
    const std::string path = m_app.m_moduleDir + "\\korvane.chm";
    if (FileExists(path)) // without its file HTML Help would only show an error of its own
        CurrentSystemActions().OpenHelp(path);
}

void CMainFrame::ChooseIconFont() {
    LOGFONTA font = m_app.m_logFont;
    COLORREF colour = static_cast<COLORREF>(m_app.fontcolor);
    if (!CurrentModalUi().ChooseFontAndColour(Hwnd(), font, colour, kIconFontFlags))
        return;
    m_app.m_logFont = font;
    m_app.m_captionFont.Reset(::CreateFontIndirectA(&m_app.m_logFont));
    ::InvalidateRect(Hwnd(), nullptr, TRUE);

    const LOGFONTA& f = m_app.m_logFont;
    CRegistryPlus& settings = m_app.m_settings;
    const int numbers[] = {static_cast<int>(f.lfHeight), static_cast<int>(f.lfWidth),
                           static_cast<int>(f.lfEscapement), static_cast<int>(f.lfOrientation),
                           static_cast<int>(f.lfWeight)};
    for (int i = 0; i < 5; ++i)
        settings.WriteDword(kFontSettingNames[i], numbers[i]);
    const BYTE bytes[] = {f.lfItalic,       f.lfUnderline,     f.lfStrikeOut, f.lfCharSet,
                          f.lfOutPrecision, f.lfClipPrecision, f.lfQuality,   f.lfPitchAndFamily};
    for (int i = 0; i < 8; ++i)
        settings.WriteByte(kFontSettingNames[5 + i], bytes[i]);
    settings.WriteString(kFontSettingNames[13],
                         std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)));
    m_app.fontcolor = static_cast<int>(colour);
    settings.WriteDword("fontcolor", m_app.fontcolor);
}

void CMainFrame::ChooseDescriptionColour() {
    COLORREF colour = static_cast<COLORREF>(m_app.ofcolor);
    if (!CurrentModalUi().ChooseColour(Hwnd(), colour, CC_RGBINIT | CC_FULLOPEN))
        return;
    m_app.ofcolor = static_cast<int>(colour);
    m_app.m_settings.WriteDword("ofcolor", m_app.ofcolor);
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CMainFrame::ChangePassword() {
    CPasswordDialog dialog;
    if (dialog.DoModal() == IDOK && !AdminPassword(m_app.m_settings).Store(dialog.m_password))
        ReportPasswordNotStored(Hwnd(), m_app.m_settings);
}

void CMainFrame::EditRestrictions() {
    CRestrictionsDlg dialog;
    dialog.m_disableExit = m_app.isRestart == 0 ? 1 : 0;
    dialog.m_lockdown = m_app.lockdown == 1 ? 1 : 0;
    if (dialog.DoModal() != IDOK)
        return;
    m_app.isRestart = dialog.m_disableExit == 0 ? 1 : 0;
    m_app.m_settings.WriteDword("isRestart", m_app.isRestart);
    m_app.lockdown = dialog.m_lockdown != 0 ? 1 : 0;
    m_app.m_settings.WriteDword("lockdown", m_app.lockdown);
    m_app.UpdateLockdown();
}

void CMainFrame::EditIntegration() {
    RunIntegrationCommand(Hwnd(), CurrentSystemActions().WindowsMajorVersion());
    // No longer the log-on shell: everything goes back now, not only at the next log-on.
    m_app.UpdateLockdown();
}

void CMainFrame::ChooseBackground() {
    SelectBackground dialog;
    dialog.m_picturePath = m_app.backgroundBitmap;
    dialog.m_desktopColor = static_cast<COLORREF>(m_app.cvetfona);
    dialog.m_captionBackColor = static_cast<COLORREF>(m_app.cveticon);
    dialog.m_descriptionBackColor = static_cast<COLORREF>(m_app.ofback);
    dialog.m_fullScreen = m_app.fullscreen;
    if (dialog.DoModal() != IDOK)
        return;
    m_app.backgroundBitmap = dialog.m_picturePath;
    m_app.cvetfona = static_cast<int>(dialog.m_desktopColor);
    m_app.cveticon = static_cast<int>(dialog.m_captionBackColor);
    m_app.ofback = static_cast<int>(dialog.m_descriptionBackColor);
    m_app.fullscreen = dialog.m_fullScreen;
    m_app.isBitmap = m_app.backgroundBitmap.empty() ? 0 : 1;
    CRegistryPlus& settings = m_app.m_settings;
    settings.WriteDword("isBitmap", m_app.isBitmap);
    settings.WriteString("backgroundBitmap", m_app.backgroundBitmap);
    settings.WriteDword("cvetfona", m_app.cvetfona);
    settings.WriteDword("cveticon", m_app.cveticon);
    settings.WriteDword("fullscreen", m_app.fullscreen);
    settings.WriteDword("ofback", m_app.ofback);
    RebuildBackground();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}
