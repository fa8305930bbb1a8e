// Shows one of the program's small dialogs for a while, so it can be looked at (screenshots).
// Usage: dialog_gallery <password|restrictions|tabname|rename|about|integration|editor|chooser|
//                        background|source|about-records> [milliseconds]
#include "app/integration_dialog.h"
#include "dialogs/about_program.h"
#include "dialogs/add_edit_icon.h"
#include "dialogs/change_icon_dialog.h"
#include "dialogs/select_background.h"
#include "dialogs/password_dialog.h"
#include "dialogs/restrictions_dialog.h"
#include "dialogs/tab_plus_dialog.h"
#include "resource.h"
#include "room/catalogue_source_dialog.h"
#include "support/test_pictures.h"

#include <windows.h>
#include <commctrl.h>

#include <fstream>

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

// A picture for the thumbnails, in the temporary folder.
std::string GalleryPicture() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "gallery_quadrants.bmp";
    std::ofstream(path, std::ios::binary) << QuadrantBmp(64);
    return path;
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
    } else if (which == "editor") {
        auto editor = std::make_unique<AddEditIcon>();
        editor->m_name = "Notepad\r\nfor notes";
        editor->m_programPath = "C:\\windows\\notepad.exe";
        editor->m_parameters = "C:\\notes.txt";
        editor->m_iconFile = editor->m_programPath;
        editor->m_screenshotPath = GalleryPicture();
        editor->m_showCommand = 3;
        dialog = std::move(editor);
    } else if (which == "chooser") {
        auto chooser = std::make_unique<ChangeIconDialog>();
        chooser->m_filePath = "C:\\windows\\system32\\shell32.dll";
        chooser->m_iconCount = static_cast<int>(
            ::ExtractIconExA(chooser->m_filePath.c_str(), -1, nullptr, nullptr, 0));
        dialog = std::move(chooser);
    } else if (which == "background") {
        auto background = std::make_unique<SelectBackground>();
        background->m_picturePath = GalleryPicture();
        background->m_desktopColor = RGB(0, 0, 0x60);
        background->m_captionBackColor = RGB(0xC0, 0x80, 0);
        background->m_descriptionBackColor = RGB(0x20, 0x90, 0x40);
        background->m_fullScreen = 1;
        dialog = std::move(background);
    } else if (which == "source") {
        auto source = std::make_unique<CatalogueSourceDialog>();
        source->m_source = "\\\\roomsrv\\room1\\icons.bin";
        source->m_status =
            "Catalogue taken: 2024-05-07 08:03:09 SHA-256 0123456789abcdef0123456789"
            "abcdef0123456789abcdef0123456789abcdef from \\\\roomsrv\\room1\\icons.bin"
            "\r\nCatalogue refused: never";
        dialog = std::move(source);
    } else if (which == "about-records") {
        auto about = std::make_unique<AboutProgram>();
        about->m_recordLines = {"Catalogue taken: 2024-05-07 08:03:09 SHA-256 0123456789abcdef0123"
                                "456789abcdef0123456789abcdef0123456789abcdef from S:\\icons.bin",
                                "Catalogue refused: 2024-05-07 09:00:00 S:\\icons.bin refused: "
                                "program 65 \"P65\" finds no free cell on tab \"full\""};
        dialog = std::move(about);
    } else {
        dialog = std::make_unique<AboutProgram>();
    }
    GdiplusSession gdiplus; // the thumbnails decode their pictures with it
    g_dialog = dialog.get();
    if (g_typed)
        ::SetTimer(nullptr, 0, 200, &Type);
    ::SetTimer(nullptr, 0, g_showFor, &Close);
    return static_cast<int>(dialog->RunSystemModal(nullptr));
}
