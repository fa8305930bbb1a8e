#include "dialogs/about_program.h"

#include "resource.h"

#include <cstdio>

AboutProgram::AboutProgram() : Dialog(IDD_ABOUT) {}

BOOL AboutProgram::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "About program");
    char version[64];
    std::snprintf(version, sizeof(version), "'%s' %s %s", "Shell", "Version", "1.23");
    SetItemText(IDC_ABOUT_VERSION, version);
    SetItemText(IDC_ABOUT_NOTICE, kNotice);
    ShowRecordLines();
    return TRUE;
}

void AboutProgram::ShowRecordLines() {
    if (m_recordLines.empty())
        return;
    const int ids[2] = {IDC_ABOUT_TAKEN, IDC_ABOUT_REFUSED};
    for (std::size_t i = 0; i < 2 && i < m_recordLines.size(); ++i) {
        SetItemText(ids[i], m_recordLines[i]);
        ::ShowWindow(::GetDlgItem(Hwnd(), ids[i]), SW_SHOW);
    }
    // The OK button goes below the lines and the box grows by as much.
    RECT shift{0, 0, 0, 62};
    ::MapDialogRect(Hwnd(), &shift);
    HWND ok = ::GetDlgItem(Hwnd(), IDOK);
    RECT button;
    ::GetWindowRect(ok, &button);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&button), 2);
    ::SetWindowPos(ok, nullptr, button.left, button.top + shift.bottom, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT box;
    ::GetWindowRect(Hwnd(), &box);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, box.right - box.left, box.bottom - box.top + shift.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
