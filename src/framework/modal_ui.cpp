#include "framework/modal_ui.h"

#include "framework/win_app.h"

namespace {

class SystemModalUi : public ModalUi {
public:
    int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                       UINT type) override {
        return ::MessageBoxA(owner, text.c_str(), caption, type);
    }
};

SystemModalUi g_systemUi;
ModalUi* g_currentUi = &g_systemUi;

} // namespace

ModalUi& CurrentModalUi() { return *g_currentUi; }

ModalUi* SetModalUi(ModalUi* ui) {
    ModalUi* previous = g_currentUi;
    g_currentUi = ui ? ui : &g_systemUi;
    return previous;
}

int AppMessageBox(HWND owner, const std::string& text, const char* caption, UINT type) {
    const std::string appName = ApplicationName();
    const char* shownCaption = (caption && *caption) ? caption : appName.c_str();
    return CurrentModalUi().ShowMessageBox(owner, text, shownCaption, type);
}
