#include "dialogs/password_dialog.h"

#include "resource.h"

CPasswordDialog::CPasswordDialog() : Dialog(IDD_PASSWORD) {}

BOOL CPasswordDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "Enter password");
    return TRUE;
}

void CPasswordDialog::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PASSWORD, m_password);
}
