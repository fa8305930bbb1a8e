// Editing the catalogue on the desktop, each result read back from icons.bin on disk.
#include "resource.h"
#include "support/test_desktop.h"
#include "support/test_dialog.h"

#include <commctrl.h>
#include <richedit.h>

namespace {

class EditingTest : public DesktopTest {
protected:
    // Reads icons.bin as the desktop would at its next start.
    std::unique_ptr<Icons> OnDisk() {
        return std::make_unique<Icons>(DataFolder() + "\\icons.bin");
    }
    void RightClick(POINT p) { ::SendMessageA(Hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
    void LeftClick(POINT p) { ::SendMessageA(Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
    // Chooses `id` from the menu a right-click on `p` opens.
    void MenuOn(POINT p, UINT id) {
        m_ui.menuAnswers.push_back(id);
        RightClick(p);
        PumpMessages(20);
    }
    void TabMenu(int tab, UINT id) {
        m_ui.menuAnswers.push_back(id);
        TabCtrl& strip = Frame().TabStrip();
        Frame().OnRButtonUp(&strip, strip.GetTab(tab), POINT{5, 5});
        PumpMessages(20);
    }
    void DeleteCatalogueFile() { ::DeleteFileA((DataFolder() + "\\icons.bin").c_str()); }
    bool CatalogueWritten() {
        return ::GetFileAttributesA((DataFolder() + "\\icons.bin").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }
};

std::vector<CatalogueEntryBytes> ProgramsInARow(int count, int tab = 0) {
    std::vector<CatalogueEntryBytes> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({i, 0, 0, "P" + std::to_string(i),
                           "{\\rtf1 about " + std::to_string(i) + "}", "", "", "",
                           "C:\\windows\\notepad.exe", 1, tab});
    return entries;
}

TEST_F(EditingTest, DeletingAProgramRenumbersTheRestAndTheShownOneFollowsOrGoes) {
    WriteCatalogue(ProgramsInARow(10), {"Office"});
    Start();
    EnterAdminMode();
    LeftClick(CellCentre(6, 0));
    ASSERT_EQ(Frame().m_shownEntry, 6);

    MenuOn(CellCentre(4, 0), command::kDeleteProgram);
    auto disk = OnDisk();
    ASSERT_EQ(disk->m_count, 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const int was = i < 4 ? i : i + 1;
        EXPECT_EQ(std::string(disk->m_entries[i].caption), "P" + std::to_string(was));
        EXPECT_EQ(disk->m_entries[i].column, was) << "cells do not change";
    }
    EXPECT_EQ(Frame().m_shownEntry, 5) << "still P6";
    EXPECT_TRUE(m_ui.shown.empty()) << "no question";

    MenuOn(CellCentre(6, 0), command::kDeleteProgram);
    EXPECT_EQ(Frame().m_shownEntry, -1);
    EXPECT_FALSE(::IsWindowVisible(Frame().Description().Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(Frame().ScreenshotHwnd()));
    EXPECT_EQ(OnDisk()->m_count, 8);
}

TEST_F(EditingTest, MoveModeEndsOnAFreeCellAnIconOrARightClickButNotOutsideTheGrid) {
    WriteCatalogue(ProgramsInARow(3), {"Office", "Games"});
    Start();
    EnterAdminMode();
    MenuOn(CellCentre(0, 0), command::kMoveIcon);
    EXPECT_TRUE(Frame().m_moveMode);
    LeftClick(POINT{10, 10}); // the description pane
    EXPECT_TRUE(Frame().m_moveMode);
    LeftClick(CellCentre(5, 2));
    EXPECT_FALSE(Frame().m_moveMode);
    auto disk = OnDisk();
    EXPECT_EQ(disk->m_entries[0].column, 5);
    EXPECT_EQ(disk->m_entries[0].row, 2);

    // Onto an icon: that icon's description is shown and nothing moves.
    DeleteCatalogueFile();
    MenuOn(CellCentre(1, 0), command::kMoveIcon);
    LeftClick(CellCentre(2, 0));
    EXPECT_FALSE(Frame().m_moveMode);
    EXPECT_EQ(Frame().m_shownEntry, 2);
    EXPECT_FALSE(CatalogueWritten());

    MenuOn(CellCentre(1, 0), command::kMoveIcon);
    RightClick(POINT{10, 10});
    EXPECT_FALSE(Frame().m_moveMode) << "a right-click cancels";
    EXPECT_FALSE(CatalogueWritten());

    // Moved after a switch to another tab: the program keeps its own tab.
    MenuOn(CellCentre(1, 0), command::kMoveIcon);
    TabCtrl& strip = Frame().TabStrip();
    strip.SetSel(strip.GetTab(1));
    LeftClick(CellCentre(7, 1));
    disk = OnDisk();
    EXPECT_EQ(disk->m_entries[1].tab, 0);
    EXPECT_EQ(disk->m_entries[1].column, 7);
    EXPECT_EQ(disk->m_entries[1].row, 1);
}

TEST_F(EditingTest, TabsAreAddedRenamedAndDeletedWithTheFirstTabSelectedAfterwards) {
    std::vector<CatalogueEntryBytes> entries = ProgramsInARow(2, 0);
    for (const auto& e : ProgramsInARow(3, 1))
        entries.push_back(e);
    entries.push_back({0, 0, 0, "On tab 2", "", "", "", "", "", 1, 2});
    WriteCatalogue(entries, {"Zero", "One", "Two"});
    Start();
    EnterAdminMode();
    LeftClick(CellCentre(1, 0)); // P1 of tab 0 is shown, entry 1

    // Deleting a tab needs a Yes.
    m_ui.answers = {IDNO};
    DeleteCatalogueFile();
    TabMenu(1, command::kDeleteTab);
    EXPECT_FALSE(CatalogueWritten());
    ASSERT_FALSE(m_ui.shown.empty());
    EXPECT_EQ(m_ui.shown.back().text,
              "Are you sure that you want to delete tab and all icons on it?");
    EXPECT_EQ(m_ui.shown.back().type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));

    Frame().TabStrip().SetSel(Frame().TabStrip().GetTab(2));
    m_ui.answers = {IDYES};
    TabMenu(1, command::kDeleteTab);
    auto disk = OnDisk();
    EXPECT_EQ(disk->m_tabs, (std::vector<std::string>{"Zero", "Two"}));
    ASSERT_EQ(disk->m_count, 3);
    EXPECT_EQ(std::string(disk->m_entries[2].caption), "On tab 2");
    EXPECT_EQ(disk->m_entries[2].tab, 1);
    EXPECT_EQ(Frame().CurrentTab(), 0);
    EXPECT_EQ(Frame().TabStrip().GetCount(), 2);
    EXPECT_EQ(Frame().m_shownEntry, 1) << "the shown program of tab 0 is kept";

    // Adding appends; an empty name is refused and nothing is written.
    m_ui.dialogScripts.push_back([](HWND d) {
        TypeText(::GetDlgItem(d, IDC_TAB_NAME), "Games");
        ClickButton(d, IDOK);
    });
    Command(command::kAddTab);
    EXPECT_EQ(OnDisk()->m_tabs, (std::vector<std::string>{"Zero", "Two", "Games"}));
    EXPECT_EQ(Frame().TabStrip().GetCount(), 3);
    EXPECT_EQ(Frame().CurrentTab(), 0);

    DeleteCatalogueFile();
    m_ui.shown.clear();
    m_ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDOK); });
    Command(command::kAddTab);
    m_ui.dialogScripts.push_back([](HWND d) {
        ClearText(::GetDlgItem(d, IDC_TAB_NAME));
        ClickButton(d, IDOK);
    });
    TabMenu(2, command::kRenameTab);
    ASSERT_EQ(m_ui.shown.size(), 2u);
    for (const ShownMessageBox& box : m_ui.shown) {
        EXPECT_EQ(box.text, "Empty tab name restricted");
        EXPECT_EQ(box.caption, ApplicationName());
        EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONERROR));
    }
    EXPECT_FALSE(CatalogueWritten());
    EXPECT_EQ(m_app->m_catalogue->m_tabs.size(), 3u);

    // Renaming to the same text still rewrites the file.
    std::string shownName;
    m_ui.dialogScripts.push_back([&](HWND d) {
        shownName = ItemText(d, IDC_TAB_NAME);
        ClickButton(d, IDOK);
    });
    TabMenu(1, command::kRenameTab);
    EXPECT_EQ(shownName, "Two");
    EXPECT_TRUE(CatalogueWritten());
    EXPECT_EQ(OnDisk()->m_tabs, (std::vector<std::string>{"Zero", "Two", "Games"}));

    // The last tab cannot be deleted: its menu does not offer it.
    TabMenu(0, 0);
    EXPECT_EQ(m_ui.shownMenus.back().Ids(), (std::vector<UINT>{500, 501}));
}

// Loads `plain` characters of text and returns the length of the editor's RTF.
std::size_t RtfLengthWith(CMainFrame& frame, std::size_t plain) {
    frame.Description().SetRTF("{\\rtf1 " + std::string(plain, 'x') + "}");
    return frame.Description().GetRTF().size();
}

TEST_F(EditingTest, DescriptionsAreSavedBelowTheLimitAndTheMarkerShowsUnsavedEdits) {
    WriteCatalogue(ProgramsInARow(2), {"Office"});
    CMainFrame& frame = Start();
    EnterAdminMode();
    LeftClick(CellCentre(1, 0));
    EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE))
        << "showing a description is no edit";

    // Find how much text makes an RTF of exactly 4999 and 5000 characters.
    std::size_t plain = 4000;
    for (int tries = 0; tries < 20; ++tries) {
        const std::size_t length = RtfLengthWith(frame, plain);
        if (length == 4999)
            break;
        plain = length < 4999 ? plain + (4999 - length) : plain - (length - 4999);
    }
    ASSERT_EQ(RtfLengthWith(frame, plain), 4999u);
    EXPECT_EQ(frame.Description().GetRTF().back(), '}') << "nothing after the RTF's last brace";
    EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE_WARNING));
    Command(command::kSaveDescription);
    EXPECT_EQ(std::string(OnDisk()->m_entries[1].description), frame.Description().GetRTF());
    EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE));

    ASSERT_EQ(RtfLengthWith(frame, plain + 1), 5000u);
    DeleteCatalogueFile();
    m_ui.shown.clear();
    Command(command::kSaveDescription);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].text, "Program description wasn't saved as too long. Shorten the "
                                  "description and press save button once again.");
    EXPECT_EQ(m_ui.shown[0].caption, "Warning!");
    EXPECT_EQ(m_ui.shown[0].type, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_FALSE(CatalogueWritten());
    EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE_WARNING));
    EXPECT_EQ(frame.Description().GetRTF().size(), 5000u) << "the editor keeps its text";
}

TEST_F(EditingTest, CtrlSSavesInAdminModeOnly) {
    WriteCatalogue(ProgramsInARow(1), {"Office"});
    CMainFrame& frame = Start();
    HWND edit = frame.Description().GetRichEditCtrl().Hwnd();
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    const auto pressCtrlS = [&] {
        frame.Description().SetRTF("{\\rtf1 typed by the operator}");
        ::SendMessageA(edit, WM_KEYDOWN, 'S', 1);
        PumpMessages(20);
    };
    LeftClick(CellCentre(0, 0));
    DeleteCatalogueFile();
    pressCtrlS();
    EXPECT_FALSE(CatalogueWritten()) << "restricted user mode";

    EnterAdminMode();
    pressCtrlS();
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    ASSERT_TRUE(CatalogueWritten());
    EXPECT_NE(std::string(OnDisk()->m_entries[0].description).find("typed by the operator"),
              std::string::npos);
}

TEST_F(EditingTest, AFailedSaveIsReportedOnceAndTheDesktopKeepsTheChange) {
    WriteCatalogue(ProgramsInARow(3), {"Office"});
    Start();
    EnterAdminMode();
    const std::string path = DataFolder() + "\\icons.bin";
    const std::string before = Catalogue();
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    m_ui.shown.clear();
    MenuOn(CellCentre(0, 0), command::kDeleteProgram);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(m_ui.shown.size(), 1u) << "one report";
    EXPECT_NE(m_ui.shown[0].text.find("icons.bin"), std::string::npos) << m_ui.shown[0].text;
    EXPECT_EQ(Catalogue(), before);
    EXPECT_EQ(m_app->m_catalogue->m_count, 2);
    EXPECT_TRUE(::IsWindow(Hwnd()));

    // The next edit that can be saved writes the whole catalogue, the earlier change with it.
    MenuOn(CellCentre(1, 0), command::kMoveIcon);
    LeftClick(CellCentre(6, 3));
    auto disk = OnDisk();
    ASSERT_EQ(disk->m_count, 2);
    EXPECT_EQ(disk->m_entries[0].column, 6);
}

} // namespace

namespace {

TEST_F(EditingTest, AddingAndEditingAProgramThroughTheEditor) {
    WriteCatalogue(ProgramsInARow(2, 2), {"Zero", "One", "Two"});
    CMainFrame& frame = Start();
    EnterAdminMode();
    frame.TabStrip().SetSel(frame.TabStrip().GetTab(2));
    ASSERT_EQ(frame.CurrentTab(), 2);

    // A cancelled editor adds nothing.
    DeleteCatalogueFile();
    m_ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDCANCEL); });
    MenuOn(CellCentre(3, 1), command::kAddProgram);
    EXPECT_FALSE(CatalogueWritten());

    std::string shownCaption;
    m_ui.dialogScripts.push_back([&](HWND d) {
        shownCaption = ItemText(d, IDC_CAPTION);
        TypeText(::GetDlgItem(d, IDC_PROGRAM_PATH), "C:\\windows\\notepad.exe");
        ClickButton(d, IDC_SHOW_MAXIMIZED);
        ClickButton(d, IDOK);
    });
    MenuOn(CellCentre(3, 1), command::kAddProgram);
    EXPECT_EQ(shownCaption, "Icon description");
    auto disk = OnDisk();
    ASSERT_EQ(disk->m_count, 3);
    const ProgramEntry& added = disk->m_entries[2];
    EXPECT_EQ(added.column, 3);
    EXPECT_EQ(added.row, 1);
    EXPECT_EQ(added.tab, 2);
    EXPECT_STREQ(added.caption, "Icon description");
    EXPECT_STREQ(added.description, "Program description");
    EXPECT_STREQ(added.programPath, "C:\\windows\\notepad.exe");
    EXPECT_EQ(added.showCommand, 3);

    // The default caption is drawn under the new icon.
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages(50);
    WindowPixels shot(Hwnd());
    const GridRect caption = frame.Layout().CaptionRect(3, 1);
    int text = 0;
    for (int y = caption.top; y < caption.bottom; ++y)
        for (int x = caption.left; x < caption.right; ++x)
            text += shot.At(x, y) == RGB(255, 255, 255);
    EXPECT_GT(text, 20) << "'Icon description' under the new icon";

    // Editing changes the seven fields and keeps description, cell and tab.
    std::string editedCaption;
    m_ui.dialogScripts.push_back([&](HWND d) {
        editedCaption = ItemText(d, IDC_CAPTION);
        ClearText(::GetDlgItem(d, IDC_CAPTION));
        TypeText(::GetDlgItem(d, IDC_CAPTION), "Editor");
        ClickButton(d, IDC_SHOW_MINIMIZED);
        ClickButton(d, IDOK);
    });
    MenuOn(CellCentre(1, 0), command::kEditProgram);
    EXPECT_EQ(editedCaption, "P1");
    disk = OnDisk();
    ASSERT_EQ(disk->m_count, 3);
    EXPECT_STREQ(disk->m_entries[1].caption, "Editor");
    EXPECT_EQ(disk->m_entries[1].showCommand, 6);
    EXPECT_STREQ(disk->m_entries[1].description, "{\\rtf1 about 1}");
    EXPECT_EQ(disk->m_entries[1].column, 1);
    EXPECT_EQ(disk->m_entries[1].tab, 2);
}

TEST_F(EditingTest, AFullCatalogueRefusesAnotherProgramWithAMessage) {
    WriteCatalogue(ProgramsInARow(1), {"Office"});
    Start();
    EnterAdminMode();
    Icons& catalogue = *m_app->m_catalogue;
    std::unique_ptr<ProgramEntry[]> few = std::move(catalogue.m_entries);
    const int fewCount = catalogue.m_count;
    catalogue.m_entries.reset(new ProgramEntry[Icons::kMaxEntries]());
    catalogue.m_count = Icons::kMaxEntries;
    DeleteCatalogueFile();
    m_ui.shown.clear();
    Frame().m_menuCell = {5, 2};
    ::SendMessageA(Hwnd(), WM_COMMAND, command::kAddProgram, 0);
    const int countAfter = catalogue.m_count;
    catalogue.m_entries = std::move(few);
    catalogue.m_count = fewCount;

    EXPECT_EQ(countAfter, Icons::kMaxEntries);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_NE(m_ui.shown[0].text.find("65535"), std::string::npos) << m_ui.shown[0].text;
    EXPECT_EQ(m_ui.shownDialogs.size(), 1u) << "only the password dialog: no editor";
    EXPECT_FALSE(CatalogueWritten());
}

TEST_F(EditingTest, WithoutTabsNoProgramCanBeAdded) {
    WriteCatalogue({}, {});
    Start();
    EnterAdminMode();
    const std::string before = Catalogue();
    const POINT free = CellCentre(2, 1);
    RightClick(free);
    PumpMessages(20);
    for (const ShownMenu& menu : m_ui.shownMenus)
        EXPECT_EQ(menu.Ids(), std::vector<UINT>{}) << "no 'Add program'";
    // Nor from a stale menu or another program: the entry would belong to no tab.
    m_ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDOK); });
    Command(command::kAddProgram);
    EXPECT_EQ(m_app->m_catalogue->m_count, 0);
    EXPECT_TRUE(Catalogue() == before) << "icons.bin rewritten";
}

TEST_F(EditingTest, AnEditorThatGivesNoTextSavesNothingAndKeepsTheMarker) {
    WriteCatalogue(ProgramsInARow(1), {"Office"});
    CMainFrame& frame = Start();
    EnterAdminMode();
    LeftClick(CellCentre(0, 0));
    frame.Description().SetRTF("{\\rtf1 edited}");
    ASSERT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE_WARNING));
    // The control streams nothing out, as a failing rich edit does.
    const SUBCLASSPROC silent = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) -> LRESULT {
        return message == EM_STREAMOUT ? 0 : ::DefSubclassProc(hwnd, message, wParam, lParam);
    };
    HWND edit = frame.Description().GetRichEditCtrl().Hwnd();
    ASSERT_TRUE(::SetWindowSubclass(edit, silent, 1, 0));
    ASSERT_EQ(frame.Description().GetRTF(), "");
    const std::string before = Catalogue();
    m_ui.shown.clear();
    Command(command::kSaveDescription);
    ::RemoveWindowSubclass(edit, silent, 1);
    EXPECT_TRUE(Catalogue() == before) << "icons.bin rewritten";
    EXPECT_STREQ(m_app->m_catalogue->m_entries[0].description, "{\\rtf1 about 0}");
    EXPECT_TRUE(ButtonShowsIcon(frame, CMainFrame::kSaveButtonId, IDI_SAVE_WARNING));
    ASSERT_EQ(m_ui.shown.size(), 1u) << "the operator learns it was not saved";
    EXPECT_EQ(m_ui.shown[0].caption, "Warning!");
}

} // namespace
