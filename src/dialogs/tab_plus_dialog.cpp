#include "dialogs/tab_plus_dialog.h"

#include "resource.h"

CTabPlusDlg::CTabPlusDlg() : Dialog(IDD_TAB_NAME) {}

BOOL CTabPlusDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), m_isNewTab ? "Enter new tab name" : "Edit tab name");
    return TRUE;
}

void CTabPlusDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_TAB_NAME, m_tabName);
}
