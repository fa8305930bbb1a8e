// The desktop's part in customer sessions: the settings dialog, ending a session from the
// tools menu or the customer's shutdown choice, and the desktop a new customer finds.
#include "app/app.h"
#include "desktop/main_frame.h"
#include "session/customer_session.h"
#include "session/sessions_dialog.h"

bool CMainFrame::SessionsEnabled() const {
    return m_app.m_session && m_app.m_session->Enabled();
}

void CMainFrame::EditCustomerSessions() {
    CustomerSession* session = m_app.m_session.get();
    if (!session)
        return;
    CSessionsDlg dialog(session->ProtectedFolders());
    const SessionSettings& current = session->Settings();
    dialog.m_folders = current.folders;
    dialog.m_idleMinutes = current.idleMinutes;
    dialog.m_enabled = current.enabled ? 1 : 0;
    const INT_PTR result = dialog.DoModal();
    if (result != IDOK && result != CSessionsDlg::kEndNow)
        return;
    SessionSettings changed = current;
    changed.folders = dialog.m_folders;
    changed.idleMinutes = dialog.m_idleMinutes;
    changed.enabled = dialog.m_enabled != 0;
    session->Save(changed);
    if (result == CSessionsDlg::kEndNow)
        session->End(SessionEndReason::Operator);
}

void CMainFrame::EndCustomerSession(bool byCustomer) {
    if (m_app.m_session)
        m_app.m_session->End(byCustomer ? SessionEndReason::Customer : SessionEndReason::Operator);
}

void CMainFrame::ResetForNextCustomer() {
    if (m_app.m_adminMode)
        LeaveAdminMode();
    m_moveMode = false;
    if (m_hoverTimer) {
        ::KillTimer(Hwnd(), m_hoverTimer);
        m_hoverTimer = 0;
    }
    m_hoverEntry = -1;
    SetShownEntry(-1);
    if (m_tabStrip.Hwnd() && m_tabStrip.GetCount() > 0) {
        m_tabStrip.SetSel(m_tabStrip.GetTab(0));
        m_tabStrip.Update(true);
    }
    ::EnableWindow(ButtonHwnd(kShutdownButtonId),
                   ShutdownButtonEnabled(m_app.isRestart, SessionsEnabled()));
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}
