// Shows one of the program's small dialogs for a while, so it can be looked at (screenshots).
// Usage: dialog_gallery <password|restrictions|tabname|rename|about|integration> [milliseconds]
#include "app/integration_dialog.h"
#include "dialogs/about_program.h"
#include "dialogs/password_dialog.h"
#include "dialogs/restrictions_dialog.h"
#include "dialogs/tab_plus_dialog.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

UINT g_showFor = 3000;
Dialog* g_dialog = nullptr;
const char* g_typed = nullptr;
int g_typedInto = 0;

void CALLBACK Close(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    g_dialog->EndDialog(IDCANCEL);
}

void CALLBACK Type(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND edit = ::GetDlgItem(g_dialog->Hwnd(), g_typedInto);
    ::SetFocus(edit);
    for (const char* c = g_typed; *c; ++c)
        ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::string which = argc > 1 ? argv[1] : "about";
    if (argc > 2)
        g_showFor = static_cast<UINT>(std::atoi(argv[2]));

    std::unique_ptr<Dialog> dialog;
    if (which == "password") {
        dialog = std::make_unique<CPasswordDialog>();
        g_typed = "secret";
        g_typedInto = IDC_PASSWORD;
    } else if (which == "restrictions") {
        auto restrictions = std::make_unique<CRestrictionsDlg>();
        restrictions->m_disableExit = 1;
        dialog = std::move(restrictions);
    } else if (which == "tabname" || which == "rename") {
        auto tab = std::make_unique<CTabPlusDlg>();
        if (which == "rename") {
            tab->m_isNewTab = false;
            tab->m_tabName = "Office";
        }
        dialog = std::move(tab);
    } else if (which == "integration") {
        auto integration = std::make_unique<IntegrationDlg>();
        integration->m_integrate = 1;
        dialog = std::move(integration);
    } else {
        dialog = std::make_unique<AboutProgram>();
    }
    g_dialog = dialog.get();
    if (g_typed)
        ::SetTimer(nullptr, 0, 200, &Type);
    ::SetTimer(nullptr, 0, g_showFor, &Close);
    return static_cast<int>(dialog->RunSystemModal(nullptr));
}
