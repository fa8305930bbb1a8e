#include "app/lockdown_session.h"

#include "app/crash_recovery.h"
#include "app/integration.h"
#include "framework/win_app.h"

bool DesktopIsLogonShell() {
    const std::optional<std::string> shell = ReadWinlogonShell();
    return shell && ShellValueNamesProgram(*shell, ModulePath());
}

DesktopLockdown::DesktopLockdown(HWND desktop, std::string journalPath)
    : m_desktop(desktop), m_policies(std::move(journalPath)) {}

void DesktopLockdown::Start(bool adminMode, int isRestart, int lockdownSetting) {
    m_policies.Restore();
    Update(adminMode, isRestart, lockdownSetting);
}

void DesktopLockdown::Update(bool adminMode, int isRestart, int lockdownSetting) {
    if (!LockdownWanted(DesktopIsLogonShell(), lockdownSetting, adminMode)) {
        Lift();
        return;
    }
    m_policies.Apply(isRestart);
    if (!m_filter)
        m_filter = std::make_unique<KeyboardFilter>(m_desktop);
}

void DesktopLockdown::Lift() {
    m_filter.reset();
    m_policies.Restore();
}

void DesktopLockdown::OnTimer() {
    if (m_filter)
        m_filter->Renew();
}
