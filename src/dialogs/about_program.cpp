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
    return TRUE;
}
