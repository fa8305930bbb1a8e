#include "dialogs/restrictions_dialog.h"

#include "resource.h"

CRestrictionsDlg::CRestrictionsDlg() : Dialog(IDD_RESTRICTIONS) {}

BOOL CRestrictionsDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "Restrictions");
    SetItemText(IDC_DISABLE_EXIT, "Disable 'exit' button for user");
    SetItemText(IDC_LOCKDOWN, "Lock Windows' own ways out for customers (Task Manager, "
                              "Windows keys, Ctrl+Alt+Del choices)");
    SetItemText(IDOK, "OK");
    SetItemText(IDCANCEL, "Cancel");
    return TRUE;
}

void CRestrictionsDlg::DoDataExchange(DataExchange& dx) {
    dx.Check(IDC_DISABLE_EXIT, m_disableExit);
    dx.Check(IDC_LOCKDOWN, m_lockdown);
}
