#include "framework/dialog.h"

#include "framework/guarded_call.h"
#include "framework/modal_ui.h"
#include "framework/reflect.h"
#include "framework/win_app.h"

namespace {

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

} // namespace

void DataExchange::Text(int id, std::string& value) {
    HWND control = ::GetDlgItem(m_dialog, id);
    if (!control)
        return;
    if (m_saving)
        value = WindowText(control);
    else
        ::SetWindowTextA(control, value.c_str());
}

void DataExchange::Check(int id, int& value) {
    if (m_saving)
        value = static_cast<int>(::IsDlgButtonChecked(m_dialog, id));
    else
        ::CheckDlgButton(m_dialog, id,
                         value == 1   ? BST_CHECKED
                         : value == 2 ? BST_INDETERMINATE
                                      : BST_UNCHECKED);
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (!owner) {
        if (WinApp* app = WinApp::Current())
            owner = app->MainHwnd();
    }
    return CurrentModalUi().RunDialog(*this, owner);
}

INT_PTR Dialog::RunSystemModal(HWND owner) {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                             &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
    if (m_hwnd)
        ::EndDialog(m_hwnd, result);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM) {
    return FALSE;
}

void Dialog::UpdateData(bool saving) {
    DataExchange exchange(m_hwnd, saving);
    DoDataExchange(exchange);
}

void Dialog::SetItemText(int id, const std::string& text) {
    ::SetDlgItemTextA(m_hwnd, id, text.c_str());
}

std::string Dialog::ItemText(int id) const {
    return WindowText(::GetDlgItem(m_hwnd, id));
}

void Dialog::CenterOverOwner() {
    RECT area{};
    HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT self{};
    ::GetWindowRect(m_hwnd, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR Dialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const BOOL focusByManager = OnInitDialog();
        CenterOverOwner();
        return focusByManager;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
        }
        break;
    default:
        break;
    }
    return OnMessage(message, wParam, lParam);
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        if (self)
            self->m_hwnd = hwnd;
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;

    const INT_PTR result = CallReportingErrors<INT_PTR>(
        hwnd, FALSE,
        [&]() -> INT_PTR {
            // Owner-drawn controls of ours draw and answer for themselves.
            LRESULT reflected = 0;
            if (ReflectToChild(hwnd, message, wParam, lParam, reflected)) {
                ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, reflected);
                return TRUE;
            }
            return self->DialogProc(message, wParam, lParam);
        },
        [hwnd] { ::EndDialog(hwnd, -1); });
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}
