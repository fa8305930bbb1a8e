#include "framework/modal_ui.h"

#include "framework/dialog.h"
#include "framework/win_app.h"

#include <commdlg.h>

namespace {

class SystemModalUi : public ModalUi {
public:
    int ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                       UINT type) override {
        return ::MessageBoxA(owner, text.c_str(), caption, type);
    }

    bool ChooseColour(HWND owner, COLORREF& colour, DWORD flags) override {
        // Custom colours are remembered for the whole run, as the system dialog expects.
        static COLORREF customColours[16] = {
            0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
            0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        CHOOSECOLORA cc{sizeof(cc)};
        cc.hwndOwner = owner;
        cc.rgbResult = colour;
        cc.lpCustColors = customColours;
        cc.Flags = flags | CC_RGBINIT;
        if (!::ChooseColorA(&cc))
            return false;
        colour = cc.rgbResult;
        return true;
    }

    bool ChooseTextFont(HWND owner, LOGFONTA& font, int& pointSizeTenths, DWORD flags) override {
        CHOOSEFONTA cf{sizeof(cf)};
        cf.hwndOwner = owner;
        cf.lpLogFont = &font;
        cf.Flags = flags | CF_INITTOLOGFONTSTRUCT;
        if (!::ChooseFontA(&cf))
            return false;
        pointSizeTenths = cf.iPointSize;
        return true;
    }

    bool ChooseFontAndColour(HWND owner, LOGFONTA& font, COLORREF& colour, DWORD flags) override {
        CHOOSEFONTA cf{sizeof(cf)};
        cf.hwndOwner = owner;
        cf.lpLogFont = &font;
        cf.rgbColors = colour;
        cf.Flags = flags | CF_INITTOLOGFONTSTRUCT;
        if (!::ChooseFontA(&cf))
            return false;
        colour = cf.rgbColors;
        return true;
    }

    bool ChooseOpenFile(HWND owner, std::string& path, const char* filter, DWORD flags) override {
        // The dialog wants the filter's parts separated by NULs, ending in two of them.
        std::string systemFilter = filter ? filter : "";
        for (char& c : systemFilter) {
            if (c == '|')
                c = '\0';
        }
        systemFilter.append(2, '\0');
        char file[MAX_PATH] = {};
        path.copy(file, MAX_PATH - 1);
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = systemFilter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = flags | OFN_EXPLORER;
        if (!::GetOpenFileNameA(&ofn))
            return false;
        path = file;
        return true;
    }

    BOOL TrackMenu(HMENU menu, UINT flags, POINT at, HWND owner) override {
        return ::TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
    }
};

SystemModalUi g_systemUi;
ModalUi* g_currentUi = &g_systemUi;

} // namespace

INT_PTR ModalUi::RunDialog(Dialog& dialog, HWND owner) {
    return dialog.RunSystemModal(owner);
}

bool ModalUi::ChooseColour(HWND, COLORREF&, DWORD) {
    return false;
}

bool ModalUi::ChooseTextFont(HWND, LOGFONTA&, int&, DWORD) {
    return false;
}

bool ModalUi::ChooseFontAndColour(HWND, LOGFONTA&, COLORREF&, DWORD) {
    return false;
}

bool ModalUi::ChooseOpenFile(HWND, std::string&, const char*, DWORD) {
    return false;
}

BOOL ModalUi::TrackMenu(HMENU, UINT, POINT, HWND) {
    return FALSE;
}

ModalUi& CurrentModalUi() {
    return *g_currentUi;
}

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
