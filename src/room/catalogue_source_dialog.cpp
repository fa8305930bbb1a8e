#include "room/catalogue_source_dialog.h"

#include "framework/modal_ui.h"
#include "resource.h"

#include <commdlg.h>

#include <cstdlib>

CatalogueSourceDialog::CatalogueSourceDialog() : Dialog(IDD_CATALOGUE_SOURCE) {}

BOOL CatalogueSourceDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "Catalogue source");
    SetItemText(IDC_SOURCE_LABEL, "Shared catalogue (icons.bin) for all PCs of the room: a path "
                                  "like \\\\server\\share\\icons.bin, a mapped drive or a local "
                                  "path. Empty: this PC keeps its own catalogue.");
    SetItemText(IDC_SOURCE_PATH, m_source);
    SetItemText(IDC_SOURCE_BROWSE, "Browse...");
    SetItemText(IDC_SOURCE_MINUTES_LABEL, "Look for a newer catalogue every");
    SetItemText(IDC_SOURCE_MINUTES, std::to_string(m_minutes));
    SetItemText(IDC_SOURCE_MINUTES_UNIT, "minutes");
    SetItemText(IDC_SOURCE_TAKE_NOW, "Take now");
    SetItemText(IDC_SOURCE_STATUS, m_status);
    SetItemText(IDOK, "OK");
    SetItemText(IDCANCEL, "Cancel");
    ::SendDlgItemMessageA(Hwnd(), IDC_SOURCE_PATH, EM_LIMITTEXT, 1023, 0);
    ::SendDlgItemMessageA(Hwnd(), IDC_SOURCE_MINUTES, EM_LIMITTEXT, 4, 0);
    return TRUE;
}

bool CatalogueSourceDialog::ReadFields() {
    const std::string source = ItemText(IDC_SOURCE_PATH);
    const std::string minutesText = ItemText(IDC_SOURCE_MINUTES);
    char* end = nullptr;
    const long minutes = std::strtol(minutesText.c_str(), &end, 10);
    if (minutesText.empty() || *end != '\0' || minutes < 1 || minutes > 1440) {
        AppMessageBox(Hwnd(), kBadMinutes, "Warning!", MB_OK);
        ::SetFocus(::GetDlgItem(Hwnd(), IDC_SOURCE_MINUTES));
        return false;
    }
    // Spaces around a pasted path are never part of it.
    const std::size_t first = source.find_first_not_of(" \t");
    const std::size_t last = source.find_last_not_of(" \t");
    m_source = first == std::string::npos ? std::string() : source.substr(first, last - first + 1);
    m_minutes = static_cast<int>(minutes);
    return true;
}

void CatalogueSourceDialog::OnOK() {
    if (ReadFields())
        EndDialog(IDOK);
}

void CatalogueSourceDialog::Browse() {
    std::string path = ItemText(IDC_SOURCE_PATH);
    if (CurrentModalUi().ChooseOpenFile(Hwnd(), path, kFilter,
                                        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST))
        SetItemText(IDC_SOURCE_PATH, path);
}

INT_PTR CatalogueSourceDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_SOURCE_BROWSE:
        Browse();
        return TRUE;
    case IDC_SOURCE_TAKE_NOW:
        if (!ReadFields())
            return TRUE;
        if (m_source.empty()) {
            AppMessageBox(Hwnd(), kTakeNowNeedsSource, "Warning!", MB_OK);
            return TRUE;
        }
        m_takeNow = true;
        EndDialog(IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}
