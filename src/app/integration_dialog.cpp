#include "app/integration_dialog.h"

#include "app/integration.h"
#include "app/integration_rules.h"
#include "framework/modal_ui.h"
#include "resource.h"

IntegrationDlg::IntegrationDlg() : Dialog(IDD_INTEGRATION) {}

BOOL IntegrationDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "Integration to system");
    SetItemText(IDC_INTEGRATE, "Integration to system");
    SetItemText(IDC_INTEGRATION_WARNING, IntegrationWarningText());
    return TRUE;
}

void IntegrationDlg::DoDataExchange(DataExchange& dx) {
    dx.Check(IDC_INTEGRATE, m_integrate);
}

void RunIntegrationCommand(HWND owner) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    // Unknown counts as new enough: every system this program runs on is.
    if (!::GetVersionExA(&version))
        version.dwMajorVersion = 6;
    RunIntegrationCommand(owner, version.dwMajorVersion);
}

void RunIntegrationCommand(HWND owner, unsigned long majorVersion) {
    if (!IntegrationSupported(majorVersion)) {
        AppMessageBox(owner, "For Windows 2000/XP/Vista only", nullptr, MB_OK);
        return;
    }
    IntegrationDlg dialog;
    dialog.m_integrate = IsIntegrated() ? 1 : 0;
    if (dialog.DoModal(owner) == IDOK)
        SetIntegration(dialog.m_integrate != 0);
}
