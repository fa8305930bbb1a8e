#include "framework/reflect.h"

#include "framework/subclass.h"

namespace {

HWND SendingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Menus and accelerators have no window.
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(wParam))
                                                 : nullptr;
    }
    default:
        return nullptr;
    }
}

} // namespace

bool ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND control = SendingControl(parent, message, wParam, lParam);
    SubclassedWindow* child = control ? SubclassedWindow::FromHandle(control) : nullptr;
    return child && child->OnChildNotify(message, wParam, lParam, result);
}
