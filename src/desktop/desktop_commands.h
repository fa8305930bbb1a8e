#pragma once
// What the desktop's commands and menus are, independent of the window system: the command
// identifiers, the items of every pop-up menu, what closing the window leads to, and how a
// program's command line and folder are made from its entry.

#include <string>
#include <vector>

namespace command {
inline constexpr unsigned kSwitchMode = 102;
inline constexpr unsigned kSaveDescription = 103;
inline constexpr unsigned kToolsMenu = 104;
inline constexpr unsigned kShutdownButton = 105;
inline constexpr unsigned kAddProgram = 106;
inline constexpr unsigned kEditProgram = 108;
inline constexpr unsigned kDeleteProgram = 109;
inline constexpr unsigned kMoveIcon = 110;
inline constexpr unsigned kAddTab = 114;
inline constexpr unsigned kExplorer = 150;
inline constexpr unsigned kRegistryEditor = 151;
inline constexpr unsigned kNotepad = 152;
inline constexpr unsigned kDesktopProperties = 153;
inline constexpr unsigned kProgramSetup = 154;
inline constexpr unsigned kHelp = 155;
inline constexpr unsigned kAbout = 156;
inline constexpr unsigned kNetworkProperties = 157;
inline constexpr unsigned kEndCustomerSession = 158;
inline constexpr unsigned kIconFont = 200;
inline constexpr unsigned kBackground = 201;
inline constexpr unsigned kDescriptionColour = 202;
inline constexpr unsigned kPassword = 203;
inline constexpr unsigned kRestrictions = 204;
inline constexpr unsigned kIntegration = 205;
inline constexpr unsigned kCatalogueSource = 207;
inline constexpr unsigned kPublishCatalogue = 208;
inline constexpr unsigned kCustomerSessions = 206;
inline constexpr unsigned kShutdownChoice = 300;
inline constexpr unsigned kExit = 301;
inline constexpr unsigned kExitToExplorer = 302;
inline constexpr unsigned kEndMySession = 303;
inline constexpr unsigned kShutdownPc = 400;
inline constexpr unsigned kRebootPc = 401;
inline constexpr unsigned kRenameTab = 500;
inline constexpr unsigned kDeleteTab = 501;
} // namespace command

// Whether the customer's restricted user mode may run the command: the mode switch and the
// shutdown choice only. Every other command comes from an admin-mode button or menu; one that
// arrives otherwise (a stale menu, a message from outside) is ignored.
bool AllowedInRestrictedMode(unsigned id);
// Whether restricted user mode obeys the command now. Any program can post a command to the
// desktop window, so the shutdown commands are obeyed only while the operator allows the
// customer to shut down (`isRestart` 1), the rule the shutdown button follows.
bool ObeyedInRestrictedMode(unsigned id, int isRestart);
// Whether `id` is one of the commands above.
bool IsDesktopCommand(unsigned id);

// One item of a pop-up menu; id 0 is a separator.
struct MenuItem {
    unsigned id;
    std::string text;
    bool operator==(const MenuItem&) const = default;
};

enum class DesktopMenu { GridIcon, GridFreeCell, Tab, Tools, ProgramSetup, Exit, Shutdown };

// The items of `menu` in order; the tab menu offers "Delete tab" only while more than one tab
// exists, so the last tab can never be deleted; a free cell offers "Add program" only while
// there is a tab for the program to belong to; the setup menu offers publishing the catalogue
// only while a shared catalogue source is set.
std::vector<MenuItem> MenuItems(DesktopMenu menu, int tabCount = 1,
                                bool catalogueSourceSet = false);

// What the shutdown button and every request to close the window lead to.
// While customer sessions are enabled the customer always has the choice ("End my session").
enum class CloseAction { ExitMenu, ShutdownChoice, Nothing };
CloseAction DecideClose(bool adminMode, int isRestart, bool sessionsEnabled = false);

// How the shutdown choice is offered: the shell's own dialog before Windows 6.0 when the
// system has one, otherwise the two-item shutdown menu.
enum class ShutdownOffer { ShellDialog, ShutdownMenu };
ShutdownOffer DecideShutdownOffer(unsigned majorVersion, bool shellDialogPresent);

// How a program entry is started.
struct LaunchPlan {
    bool shellExecute = false; // control-panel items and internet shortcuts
    std::string commandLine;   // "<program> <parameters>", the program not quoted
    std::string folder;        // working folder; empty: the desktop's own
};
LaunchPlan PlanLaunch(const std::string& programPath, const std::string& parameters);

// The command line a system tool of the tools menu runs; empty for any other command.
// `windows9x`: the top bit of the system version is set.
std::string ToolCommandLine(unsigned id, bool windows9x);

// Settings the icon font command writes, in order.
extern const char* const kFontSettingNames[14];
