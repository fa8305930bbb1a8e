// Editing the catalogue from the desktop: programs and tabs.
#include "app/app.h"
#include "desktop/main_frame.h"

bool CMainFrame::OnEditCommand(UINT id) {
    using namespace command;
    switch (id) {
    case kSaveDescription:
    case kAddProgram:
    case kEditProgram:
    case kDeleteProgram:
    case kMoveIcon:
    case kAddTab:
    case kRenameTab:
    case kDeleteTab:
        return true; // the editing commands arrive with the editing of the catalogue
    default:
        return false;
    }
}
