#include "dialogs/app_look.h"

#include "app/app.h"

namespace {

// Other application objects than the desktop's (test hosts) have no such settings.
const CApp* DesktopApp() {
    return dynamic_cast<const CApp*>(WinApp::Current());
}

} // namespace

COLORREF AppDesktopColour() {
    const CApp* app = DesktopApp();
    return app ? static_cast<COLORREF>(app->cvetfona) : RGB(0, 0, 0x60);
}

HFONT AppCaptionFont() {
    const CApp* app = DesktopApp();
    if (app && app->m_captionFont)
        return app->m_captionFont.Get();
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}
