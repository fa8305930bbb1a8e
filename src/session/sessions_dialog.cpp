#include "session/sessions_dialog.h"

#include "framework/modal_ui.h"
#include "resource.h"
#include "session/session_folders.h"

#include <shlobj.h>

#include <algorithm>

namespace {
constexpr const char* kCaption = "Customer sessions";
}

CSessionsDlg::CSessionsDlg(std::vector<ProtectedFolder> protectedFolders)
    : Dialog(IDD_SESSIONS), m_protected(std::move(protectedFolders)) {}

BOOL CSessionsDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), kCaption);
    SetItemText(IDC_SESSION_FOLDERS_LABEL, "Folders emptied at every session end:");
    SetItemText(IDC_SESSION_ADD, "Add...");
    SetItemText(IDC_SESSION_REMOVE, "Remove");
    SetItemText(IDC_SESSION_DEFAULTS, "Reset to defaults");
    SetItemText(IDC_SESSION_NOTE,
                "Their files and subfolders go; the folders stay. Never emptied: drive and "
                "share roots, Windows, Program Files, ProgramData, the desktop's own folders "
                "and any folder holding one of them. Links are removed, never entered.");
    SetItemText(IDC_SESSION_IDLE_LABEL, "End the session after this many minutes without "
                                        "input (0 = never):");
    SetItemText(IDC_SESSION_IDLE, std::to_string(m_idleMinutes));
    SetItemText(IDC_SESSION_ENABLED, "Enable customer sessions");
    ::CheckDlgButton(Hwnd(), IDC_SESSION_ENABLED, m_enabled ? BST_CHECKED : BST_UNCHECKED);
    SetItemText(IDC_SESSION_END_NOW, "End customer session now");
    SetItemText(IDOK, "OK");
    SetItemText(IDCANCEL, "Cancel");
    ::SendDlgItemMessageA(Hwnd(), IDC_SESSION_IDLE, EM_LIMITTEXT, 5, 0);
    FillList();
    return TRUE;
}

void CSessionsDlg::FillList() {
    HWND list = ::GetDlgItem(Hwnd(), IDC_SESSION_FOLDERS);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& folder : m_folders)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    ::SendMessageA(list, LB_SETHORIZONTALEXTENT, 1200, 0);
}

std::string CSessionsDlg::Refusal(const std::string& folder) const {
    const ResolvedFolder resolved = ResolveSessionFolder(folder, m_protected);
    return resolved.verdict.Accepted() ? std::string() : RefusalMessage(folder, resolved.verdict);
}

bool CSessionsDlg::ChooseFolder(std::string& folder) {
    char path[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = Hwnd();
    info.pszDisplayName = path;
    info.lpszTitle = "Folder to empty at every session end";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
    if (!chosen)
        return false;
    const bool ok = ::SHGetPathFromIDListA(chosen, path) != FALSE;
    ::CoTaskMemFree(chosen);
    folder = path;
    return ok && !folder.empty();
}

void CSessionsDlg::AddFolder() {
    std::string folder;
    if (!ChooseFolder(folder))
        return;
    const std::string refusal = Refusal(folder);
    if (!refusal.empty()) {
        AppMessageBox(Hwnd(), refusal, kCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    if (std::find_if(m_folders.begin(), m_folders.end(),
                     [&](const std::string& f) { return SamePath(f, folder); }) == m_folders.end())
        m_folders.push_back(folder);
    FillList();
}

void CSessionsDlg::RemoveFolder() {
    const LRESULT selected = ::SendDlgItemMessageA(Hwnd(), IDC_SESSION_FOLDERS, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= static_cast<LRESULT>(m_folders.size()))
        return;
    m_folders.erase(m_folders.begin() + selected);
    FillList();
    const LRESULT next = std::min<LRESULT>(selected, static_cast<LRESULT>(m_folders.size()) - 1);
    ::SendDlgItemMessageA(Hwnd(), IDC_SESSION_FOLDERS, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

bool CSessionsDlg::SaveFields() {
    const std::string idle = ItemText(IDC_SESSION_IDLE);
    const bool digits =
        !idle.empty() && idle.size() <= 5 &&
        std::all_of(idle.begin(), idle.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int minutes = digits ? std::stoi(idle) : -1;
    if (minutes < 0 || minutes > kMaxIdleMinutes) {
        AppMessageBox(Hwnd(),
                      "Idle minutes: enter a number from 0 (never) to " +
                          std::to_string(kMaxIdleMinutes) + ".",
                      kCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    // A list that came from the registry may hold a folder no session end would empty.
    for (const std::string& folder : m_folders) {
        const std::string refusal = Refusal(folder);
        if (!refusal.empty()) {
            AppMessageBox(Hwnd(), refusal + " Remove it from the list.", kCaption,
                          MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    m_idleMinutes = minutes;
    m_enabled = ::IsDlgButtonChecked(Hwnd(), IDC_SESSION_ENABLED) == BST_CHECKED ? 1 : 0;
    return true;
}

void CSessionsDlg::OnOK() {
    if (SaveFields())
        EndDialog(IDOK);
}

INT_PTR CSessionsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_SESSION_ADD:
        AddFolder();
        return TRUE;
    case IDC_SESSION_REMOVE:
        RemoveFolder();
        return TRUE;
    case IDC_SESSION_DEFAULTS:
        m_folders = DefaultSessionFolders();
        FillList();
        return TRUE;
    case IDC_SESSION_END_NOW:
        if (SaveFields())
            EndDialog(kEndNow);
        return TRUE;
    default:
        return FALSE;
    }
}
