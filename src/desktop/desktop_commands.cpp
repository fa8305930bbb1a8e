#include "desktop/desktop_commands.h"

const char* const kFontSettingNames[14] = {
    "fontheight",         "fontwidth",        "fontescapement",    "fontorientation",
    "fontweight",         "fontitalic",       "fontunderline",     "fontstrikeout",
    "fontcharset",        "fontoutprecision", "fontclipprecision", "fontquality",
    "fontpitchandfamily", "fontfacename"};

std::vector<MenuItem> MenuItems(DesktopMenu menu, int tabCount, bool catalogueSourceSet) {
    using namespace command;
    switch (menu) {
    case DesktopMenu::GridIcon:
        return {{kEditProgram, "Edit program"},
                {kDeleteProgram, "Delete program"},
                {kMoveIcon, "Move icon"}};
    case DesktopMenu::GridFreeCell:
        if (tabCount < 1)
            return {};
        return {{kAddProgram, "Add program"}};
    case DesktopMenu::Tab:
        if (tabCount != 1 && tabCount > 0)
            return {{kRenameTab, "Edit tab name"}, {kDeleteTab, "Delete tab"}};
        return {{kRenameTab, "Edit tab name"}};
    case DesktopMenu::Tools:
        return {{kExplorer, "Explorer (EXPLORER.EXE)"},
                {kRegistryEditor, "Registry editor (REGEDIT.EXE)"},
                {kNotepad, "Notepad (NOTEPAD.EXE)"},
                {kDesktopProperties, "Desktop properties (DESK.CPL)"},
                {kNetworkProperties, "Network properties (NETCPL.CPL, NCPA.CPL)"},
                {kProgramSetup, "Program setup"},
                {kHelp, "Help"},
                {kAbout, "About program"},
                {kEndCustomerSession, "End customer session"}};
    case DesktopMenu::ProgramSetup: {
        std::vector<MenuItem> items = {{kIconFont, "Select font for icons"},
                                       {kBackground, "Select background for desktop"},
                                       {kDescriptionColour, "Select program description color"},
                                       {kRestrictions, "Restrictions"},
                                       {kCustomerSessions, "Customer sessions"},
                                       {kIntegration, "Integration to system"},
                                       {kCatalogueSource, "Catalogue source"},
                                       {0, ""},
                                       {kPassword, "Change admin password"}};
        if (catalogueSourceSet)
            items.insert(items.begin() + 7, {kPublishCatalogue, "Publish catalogue to all PCs"});
        return items;
    }
    case DesktopMenu::Exit:
        return {{kShutdownChoice, "Standard Windows shutdown menu"},
                {kExit, "Exit program"},
                {kExitToExplorer, "Exit program and start explorer.exe"}};
    case DesktopMenu::Shutdown:
        return {{kShutdownPc, "Shutdown PC"}, {kRebootPc, "Reboot PC"}};
    }
    return {};
}

bool AllowedInRestrictedMode(unsigned id) {
    using namespace command;
    return id == kSwitchMode || id == kShutdownButton || id == kShutdownChoice ||
           id == kShutdownPc || id == kRebootPc;
}

bool ObeyedInRestrictedMode(unsigned id, int isRestart) {
    using namespace command;
    const bool shutdown = id == kShutdownChoice || id == kShutdownPc || id == kRebootPc;
    return AllowedInRestrictedMode(id) && (!shutdown || isRestart == 1);
}

bool IsDesktopCommand(unsigned id) {
    using namespace command;
    static constexpr unsigned kAll[] = {kSwitchMode,
                                        kSaveDescription,
                                        kToolsMenu,
                                        kShutdownButton,
                                        kAddProgram,
                                        kEditProgram,
                                        kDeleteProgram,
                                        kMoveIcon,
                                        kAddTab,
                                        kExplorer,
                                        kRegistryEditor,
                                        kNotepad,
                                        kDesktopProperties,
                                        kProgramSetup,
                                        kHelp,
                                        kAbout,
                                        kNetworkProperties,
                                        kEndCustomerSession,
                                        kIconFont,
                                        kBackground,
                                        kDescriptionColour,
                                        kPassword,
                                        kRestrictions,
                                        kIntegration,
                                        kCatalogueSource,
                                        kPublishCatalogue,
                                        kCustomerSessions,
                                        kShutdownChoice,
                                        kExit,
                                        kExitToExplorer,
                                        kEndMySession,
                                        kShutdownPc,
                                        kRebootPc,
                                        kRenameTab,
                                        kDeleteTab};
    for (unsigned known : kAll) {
        if (known == id)
            return true;
    }
    return false;
}

CloseAction DecideClose(bool adminMode, int isRestart, bool sessionsEnabled) {
    if (adminMode)
        return CloseAction::ExitMenu;
    return isRestart == 1 || sessionsEnabled ? CloseAction::ShutdownChoice : CloseAction::Nothing;
}

ShutdownOffer DecideShutdownOffer(unsigned majorVersion, bool shellDialogPresent) {
    return majorVersion < 6 && shellDialogPresent ? ShutdownOffer::ShellDialog
                                                  : ShutdownOffer::ShutdownMenu;
}

LaunchPlan PlanLaunch(const std::string& programPath, const std::string& parameters) {
    LaunchPlan plan;
    // The match is deliberately case-sensitive: "X.CPL" is started as a program.
    plan.shellExecute = programPath.find(".cpl") != std::string::npos ||
                        programPath.find(".url") != std::string::npos;
    plan.commandLine = programPath + " " + parameters;
    // A path without a backslash names no folder; the desktop's own is used then.
    const std::size_t slash = programPath.rfind('\\');
    if (slash != std::string::npos)
        plan.folder = programPath.substr(0, slash);
    return plan;
}

std::string ToolCommandLine(unsigned id, bool windows9x) {
    using namespace command;
    switch (id) {
    case kExplorer:
        return "explorer.exe /e,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    case kRegistryEditor:
        return "regedit.exe";
    case kNotepad:
        return "notepad.exe";
    case kDesktopProperties:
        return "rundll32.exe shell32.dll,Control_RunDLL desk.cpl";
    case kNetworkProperties:
        return windows9x ? "rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl"
                         : "rundll32.exe shell32.dll,Control_RunDLL ncpa.cpl";
    default:
        return {};
    }
}
