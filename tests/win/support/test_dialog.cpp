#include "support/test_dialog.h"

#include "framework/dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <exception>
#include <utility>

namespace {

struct PendingScript {
    Dialog* dialog;
    DialogScript script;
    UINT_PTR scriptTimer = 0;
    UINT_PTR watchdogTimer = 0;
};

PendingScript* g_pending = nullptr;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
    PendingScript* pending = g_pending;
    if (!pending || timer != pending->scriptTimer)
        return;
    HWND dialog = pending->dialog->Hwnd();
    if (!dialog || !::IsWindowVisible(dialog))
        return; // not up yet: the timer comes again
    ::KillTimer(nullptr, timer);
    pending->scriptTimer = 0;
    const DialogScript script = std::move(pending->script);
    try {
        script(dialog);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "dialog script threw: " << e.what();
        ::EndDialog(dialog, kDialogWatchdogResult);
    }
}

void CALLBACK EndForgottenDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    PendingScript* pending = g_pending;
    if (!pending || timer != pending->watchdogTimer)
        return;
    ADD_FAILURE() << "dialog " << pending->dialog->TemplateId() << " was left open by its script";
    if (HWND dialog = pending->dialog->Hwnd())
        ::EndDialog(dialog, kDialogWatchdogResult);
}

} // namespace

INT_PTR ScriptedModalUi::RunDialog(Dialog& dialog, HWND owner) {
    if (dialogScripts.empty()) {
        shownDialogs.push_back({owner, dialog.TemplateId(), IDCANCEL, false});
        return IDCANCEL;
    }
    PendingScript pending{&dialog, std::move(dialogScripts.front())};
    dialogScripts.pop_front();
    PendingScript* const outer = std::exchange(g_pending, &pending);
    pending.scriptTimer = ::SetTimer(nullptr, 0, 10, &RunScript);
    pending.watchdogTimer = ::SetTimer(nullptr, 0, 10000, &EndForgottenDialog);
    const INT_PTR result = dialog.RunSystemModal(owner);
    if (pending.scriptTimer)
        ::KillTimer(nullptr, pending.scriptTimer);
    ::KillTimer(nullptr, pending.watchdogTimer);
    g_pending = outer;
    shownDialogs.push_back({owner, dialog.TemplateId(), result, true});
    return result;
}

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(::GetDlgItem(dialog, id));
}

bool IsItemChecked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void TypeText(HWND control, std::string_view text) {
    ::SetFocus(control);
    for (const char c : text)
        ::SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void ClearText(HWND control) {
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
    ::SendMessageA(control, WM_CHAR, VK_BACK, 1);
}

void PressKey(HWND dialog, UINT virtualKey) {
    HWND target = ::GetFocus();
    if (!target || (target != dialog && !::IsChild(dialog, target)))
        target = dialog;
    const UINT scan = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    ::PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void ClickButton(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
