#include "session/customer_session.h"

#include "session/folder_cleaner.h"
#include "session/session_folders.h"

namespace {

constexpr const char* kClassName = "KorvaneCustomerSession";

DWORD LastInputTick() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    return ::GetLastInputInfo(&info) ? info.dwTime : 0;
}

SessionRecord StampNow(SessionEndReason reason) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    SessionRecord record;
    record.year = now.wYear;
    record.month = now.wMonth;
    record.day = now.wDay;
    record.hour = now.wHour;
    record.minute = now.wMinute;
    record.second = now.wSecond;
    record.reason = reason;
    return record;
}

} // namespace

CustomerSession::CustomerSession(std::string dataFolder, std::string moduleFolder, HKEY root,
                                 std::string subkey)
    : m_dataFolder(std::move(dataFolder)), m_moduleFolder(std::move(moduleFolder)), m_root(root),
      m_subkey(std::move(subkey)), m_settings(SessionSettings::Read(m_root, m_subkey.c_str())),
      m_lastEndTick(::GetTickCount()) {
    if (RegisterClass(kClassName, 0, nullptr))
        CreateEx(0, kClassName, "", 0, RECT{}, HWND_MESSAGE, nullptr);
}

CustomerSession::~CustomerSession() {
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    Destroy();
}

void CustomerSession::Save(const SessionSettings& settings) {
    m_settings = settings;
    m_settings.Write(m_root, m_subkey.c_str());
}

std::vector<ProtectedFolder> CustomerSession::ProtectedFolders() const {
    return ProtectedFoldersOfSystem(m_dataFolder, m_moduleFolder);
}

bool CustomerSession::CleanAtLogOn(std::function<void()> then) {
    if (!m_settings.enabled)
        return false;
    return End(SessionEndReason::LogOn, std::move(then));
}

bool CustomerSession::End(SessionEndReason reason, std::function<void()> then) {
    if (Busy() || !Hwnd())
        return false;
    // What an operator wrote into the registry since counts now, refusals included.
    m_settings = SessionSettings::Read(m_root, m_subkey.c_str());
    m_record = StampNow(reason);
    m_then = std::move(then);
    m_phase = Phase::ClosingPrograms;
    m_terminated = false;
    // The notice is for a wait: with no program to close (always so at log-on) it would only
    // flash over the desktop.
    if (m_job.ActiveProcesses() > 0)
        m_notice.ShowText(L"Closing programs\u2026");
    m_job.CloseWindows();
    m_graceStart = ::GetTickCount();
    ::SetTimer(Hwnd(), kGraceTimer, kGracePoll, nullptr);
    OnGraceTick();
    return true;
}

void CustomerSession::OnGraceTick() {
    if (m_phase != Phase::ClosingPrograms)
        return;
    const DWORD elapsed = ::GetTickCount() - m_graceStart;
    const int running = m_job.ActiveProcesses();
    if (running > 0 && !m_terminated && elapsed >= kCloseGraceMilliseconds) {
        m_record.programsTerminated = running;
        m_job.Terminate();
        m_terminated = true;
    }
    if (running == 0 || (m_terminated && elapsed >= kCloseGraceMilliseconds + kExitWait)) {
        ::KillTimer(Hwnd(), kGraceTimer);
        StartCleaning();
    }
}

void CustomerSession::StartCleaning() {
    m_phase = Phase::Cleaning;
    m_toClean.clear();
    const std::vector<ProtectedFolder> guarded = ProtectedFolders();
    for (const std::string& configured : m_settings.folders) {
        const ResolvedFolder folder = ResolveSessionFolder(configured, guarded);
        if (!folder.verdict.Accepted())
            ++m_record.refusedFolders;
        else if (folder.exists)
            m_toClean.push_back(folder.path);
    }
    m_removed = m_left = 0;
    m_cancel = false;
    if (m_toClean.empty()) {
        // No folder to empty: no thread and no count; the session ends from the message loop
        // all the same, after the caller has returned.
        ::PostMessageA(Hwnd(), kCleaned, 0, 0);
        return;
    }
    ShowProgress(0);
    HWND target = Hwnd();
    m_worker = std::thread([this, target] {
        FolderCleaner cleaner(m_cancel, [target](const CleanCounts& counts) {
            ::PostMessageA(target, kProgress, static_cast<WPARAM>(counts.removed + counts.left), 0);
        });
        for (const std::string& folder : m_toClean) {
            if (m_cancel)
                break;
            cleaner.Empty(folder);
        }
        m_removed = cleaner.Counts().removed;
        m_left = cleaner.Counts().left;
        ::PostMessageA(target, kCleaned, 0, 0);
    });
}

void CustomerSession::ShowProgress(long long files) {
    m_notice.ShowText(L"Cleaning up\u2026 " + std::to_wstring(files) + L" files");
}

void CustomerSession::OnCleaned() {
    if (m_worker.joinable())
        m_worker.join();
    m_record.removed = m_removed;
    m_record.left = m_left;
    SessionSettings::WriteLastSession(FormatSessionRecord(m_record), m_root, m_subkey.c_str());
    m_notice.Hide();
    if (m_host.resetDesktop)
        m_host.resetDesktop();
    m_phase = Phase::Idle;
    RestartIdleWatch(); // the notice just went from under the pointer
    if (auto then = std::move(m_then))
        then();
}

void CustomerSession::RestartIdleWatch() {
    m_lastEndTick = ::GetTickCount() + SessionNotice::kInputSettleMilliseconds;
}

void CustomerSession::OnTick() {
    if (!m_settings.enabled || m_settings.idleMinutes <= 0 || Busy() || m_notice.CountingDown())
        return;
    IdleState state;
    state.enabled = m_settings.enabled;
    state.idleMinutes = m_settings.idleMinutes;
    state.adminMode = m_host.adminMode && m_host.adminMode();
    const DWORD lastInput = LastInputTick();
    state.inputSinceLastEnd = static_cast<LONG>(lastInput - m_lastEndTick) > 0;
    state.idleMilliseconds = ::GetTickCount() - lastInput;
    if (!ShouldShowIdleNotice(state))
        return;
    m_notice.ShowCountdown(
        kIdleNoticeSeconds, [this] { End(SessionEndReason::Idle); }, [] {});
}

LRESULT CustomerSession::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kGraceTimer)
            OnGraceTick();
        return 0;
    case kProgress:
        if (m_phase == Phase::Cleaning)
            ShowProgress(static_cast<long long>(wParam));
        return 0;
    case kCleaned:
        if (m_phase == Phase::Cleaning)
            OnCleaned();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}
