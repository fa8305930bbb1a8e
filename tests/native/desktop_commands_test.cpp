// The desktop's menus, what closing the window leads to, and how programs are started.
#include "desktop/desktop_commands.h"

#include <gtest/gtest.h>

namespace {

std::vector<unsigned> Ids(const std::vector<MenuItem>& items) {
    std::vector<unsigned> ids;
    for (const MenuItem& item : items)
        ids.push_back(item.id);
    return ids;
}

TEST(DesktopMenusTest, EachMenuHoldsItsItemsInOrder) {
    const struct {
        DesktopMenu menu;
        int tabs;
        std::vector<unsigned> ids;
    } cases[] = {
        {DesktopMenu::GridIcon, 1, {108, 109, 110}},
        {DesktopMenu::GridFreeCell, 1, {106}},
        {DesktopMenu::GridFreeCell, 0, {}}, // a program needs a tab to belong to
        {DesktopMenu::Tab, 1, {500}},
        {DesktopMenu::Tab, 2, {500, 501}},
        {DesktopMenu::Tab, 40, {500, 501}},
        {DesktopMenu::Tools, 1, {150, 151, 152, 153, 157, 154, 155, 156, 158}},
        {DesktopMenu::ProgramSetup, 1, {200, 201, 202, 204, 206, 205, 207, 0, 203}},
        {DesktopMenu::Exit, 1, {300, 301, 302}},
        {DesktopMenu::Shutdown, 1, {400, 401}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        EXPECT_EQ(Ids(MenuItems(c.menu, c.tabs)), c.ids);
    }
    // Texts a user reads; the separator has none.
    EXPECT_EQ(MenuItems(DesktopMenu::Tab, 3)[1], (MenuItem{501, "Delete tab"}));
    EXPECT_EQ(MenuItems(DesktopMenu::ProgramSetup)[7], (MenuItem{0, ""}));
    EXPECT_EQ(MenuItems(DesktopMenu::ProgramSetup)[8], (MenuItem{203, "Change admin password"}));
    // Publishing is offered only while a shared catalogue source is set.
    EXPECT_EQ(Ids(MenuItems(DesktopMenu::ProgramSetup, 1, true)),
              (std::vector<unsigned>{200, 201, 202, 204, 206, 205, 207, 208, 0, 203}));
    EXPECT_EQ(MenuItems(DesktopMenu::ProgramSetup, 1, true)[7],
              (MenuItem{208, "Publish catalogue to all PCs"}));
    EXPECT_EQ(MenuItems(DesktopMenu::Tools)[4],
              (MenuItem{157, "Network properties (NETCPL.CPL, NCPA.CPL)"}));
    EXPECT_EQ(MenuItems(DesktopMenu::Exit)[2],
              (MenuItem{302, "Exit program and start explorer.exe"}));
}

TEST(DesktopMenusTest, ClosingAndShuttingDownFollowModeVersionAndRestriction) {
    EXPECT_EQ(DecideClose(true, 0), CloseAction::ExitMenu);
    EXPECT_EQ(DecideClose(true, 1), CloseAction::ExitMenu);
    EXPECT_EQ(DecideClose(false, 1), CloseAction::ShutdownChoice);
    EXPECT_EQ(DecideClose(false, 0), CloseAction::Nothing);
    EXPECT_EQ(DecideClose(false, 7), CloseAction::Nothing) << "only 1 allows it";
    EXPECT_EQ(DecideClose(false, 0, true), CloseAction::ShutdownChoice) << "End my session";
    EXPECT_EQ(DecideClose(true, 0, true), CloseAction::ExitMenu);

    EXPECT_EQ(DecideShutdownOffer(5, true), ShutdownOffer::ShellDialog);
    EXPECT_EQ(DecideShutdownOffer(5, false), ShutdownOffer::ShutdownMenu);
    EXPECT_EQ(DecideShutdownOffer(6, true), ShutdownOffer::ShutdownMenu);
    EXPECT_EQ(DecideShutdownOffer(10, false), ShutdownOffer::ShutdownMenu);

    // A customer reaches the mode switch and the shutdown choice, nothing else of ours.
    std::vector<unsigned> allowed;
    for (unsigned id = 0; id < 1000; ++id) {
        if (AllowedInRestrictedMode(id))
            allowed.push_back(id);
        EXPECT_TRUE(!AllowedInRestrictedMode(id) || IsDesktopCommand(id)) << id;
    }
    EXPECT_EQ(allowed, (std::vector<unsigned>{102, 105, 300, 400, 401}));
    // Any program can post them: the shutdown commands only while the operator allows it.
    for (int isRestart : {0, 1, 7}) {
        std::vector<unsigned> obeyed;
        for (unsigned id = 0; id < 1000; ++id)
            if (ObeyedInRestrictedMode(id, isRestart))
                obeyed.push_back(id);
        EXPECT_EQ(obeyed, (isRestart == 1 ? allowed : std::vector<unsigned>{102, 105}))
            << isRestart;
    }
    for (unsigned id : {103u, 106u, 154u, 157u, 205u, 301u, 302u, 501u})
        EXPECT_TRUE(IsDesktopCommand(id)) << id;
    for (unsigned id : {0u, 1u, 107u, 113u, 1023u})
        EXPECT_FALSE(IsDesktopCommand(id)) << id;
}

TEST(LaunchPlanTest, CommandLineFolderAndTheShellExecuteChoice) {
    const struct {
        const char* path;
        const char* parameters;
        bool shell;
        const char* commandLine;
        const char* folder;
    } cases[] = {
        {"C:\\Games\\run.exe", "-x", false, "C:\\Games\\run.exe -x", "C:\\Games"},
        {"C:\\Games\\run.exe", "", false, "C:\\Games\\run.exe ", "C:\\Games"},
        {"C:\\Tools\\net.cpl", "", true, "C:\\Tools\\net.cpl ", "C:\\Tools"},
        {"C:\\Tools\\NET.CPL", "", false, "C:\\Tools\\NET.CPL ", "C:\\Tools"},
        {"C:\\Web\\site.url", "a b", true, "C:\\Web\\site.url a b", "C:\\Web"},
        {"C:\\x.urlaub\\go.exe", "", true, "C:\\x.urlaub\\go.exe ", "C:\\x.urlaub"},
        {"notepad.exe", "a.txt", false, "notepad.exe a.txt", ""},
        {"C:\\run.exe", "", false, "C:\\run.exe ", "C:"},
        {"", "", false, " ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const LaunchPlan plan = PlanLaunch(c.path, c.parameters);
        EXPECT_EQ(plan.shellExecute, c.shell);
        EXPECT_EQ(plan.commandLine, c.commandLine);
        EXPECT_EQ(plan.folder, c.folder);
    }
    // Texts at their field limits make a command line of both whole.
    const std::string longPath = "C:\\" + std::string(995, 'p') + "\\";
    const LaunchPlan plan = PlanLaunch(longPath, std::string(999, 'a'));
    EXPECT_EQ(plan.commandLine.size(), longPath.size() + 1 + 999);
    EXPECT_EQ(plan.folder.size(), longPath.size() - 1);
}

TEST(ToolCommandLineTest, NetworkPropertiesDependOnTheSystemFamily) {
    EXPECT_EQ(ToolCommandLine(157, true), "rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl");
    EXPECT_EQ(ToolCommandLine(157, false), "rundll32.exe shell32.dll,Control_RunDLL ncpa.cpl");
    EXPECT_EQ(ToolCommandLine(150, false),
              "explorer.exe /e,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    EXPECT_EQ(ToolCommandLine(154, false), "") << "not a tool";
}

} // namespace
