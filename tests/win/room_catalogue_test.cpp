// The room's catalogue taken from a share: a checked copy replaces icons.bin whole and keeps the
// one before, a bad or vanishing source changes nothing, the desktop shows a taken catalogue at
// once in restricted mode and only after admin mode, and publishing never overwrites another
// PC's catalogue.
#include "room/room_catalogue.h"

#include "app/registry_plus.h"
#include "desktop/grid_layout.h"
#include "resource.h"
#include "room/room_copy.h"
#include "room/sha256_win.h"
#include "support/test_desktop.h"
#include "support/test_dialog.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::string Programs(const std::vector<std::string>& captions, const std::string& tab) {
    std::vector<CatalogueEntryBytes> entries;
    for (std::size_t i = 0; i < captions.size(); ++i)
        entries.push_back({static_cast<int>(i), 0, 0, captions[i], "{\\rtf1 " + captions[i] + "}",
                           "", "C:\\windows\\notepad.exe", "", "C:\\windows\\notepad.exe"});
    return CatalogueFileBytes(entries, {tab});
}

std::string Setting(const char* name) {
    CRegistryPlus settings;
    std::string value;
    settings.TryReadString(name, value);
    return value;
}

// Waits up to 20 s for `done`, pumping this thread's messages meanwhile.
bool Eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
        if (done())
            return true;
        PumpMessages(50);
    }
    return done();
}

std::vector<std::string> NextReports(RoomCatalogue& room) {
    std::vector<std::string> reports;
    Eventually([&] { return !(reports = room.TakeReports()).empty(); });
    return reports;
}

TEST(RoomCatalogueTest, ShaIsThePublishedOne) {
    EXPECT_EQ(Sha256::Of("abc", 3),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(RoomCatalogueTest, TakesACheckedCopyAndChangesNothingForABadOrVanishingSource) {
    ScopedRegistryKeyReset reset{"Software\\Korvane"};
    TempFolder share, data;
    const std::string catalogue = data.File("icons.bin"), source = share.File("icons.bin");
    const std::string local = Programs({"Local"}, "Mine"), shared = Programs({"Room"}, "Room");
    WriteWholeFile(catalogue, local);
    WriteWholeFile(source, shared);
    CRegistryPlus settings;
    settings.WriteString("cataloguesource", source);

    RoomCatalogue room(catalogue);
    room.Start(settings);
    ASSERT_TRUE(room.WaitForFirstPass(20000));
    ASSERT_TRUE(room.HasPending());
    EXPECT_TRUE(ReadWholeFile(catalogue) == local) << "only the desktop's thread replaces it";
    ASSERT_TRUE(room.InstallPending(settings));
    EXPECT_TRUE(ReadWholeFile(catalogue) == shared);
    EXPECT_TRUE(ReadWholeFile(data.File("icons.prev.bin")) == local);
    EXPECT_EQ(room::DigestOfTaken(Setting("cataloguetaken")),
              Sha256::Of(shared.data(), shared.size()));
    EXPECT_EQ(ReadWholeFile(catalogue + ".room"), "") << "no copy left behind";

    // Files `check` finds fault with are refused and named; icons.bin stays byte for byte.
    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    const DesktopLayout grid = DesktopLayout::Compute(screen.right, screen.bottom, false);
    std::vector<CatalogueEntryBytes> full;
    for (int i = 0; i <= grid.columns * grid.rows; ++i) // every cell, and one more on (0, 0)
        full.push_back(
            {i % grid.columns, i / grid.columns % grid.rows, 0, "P" + std::to_string(i)});
    std::string foreign = shared, old = shared, longCaption = shared;
    foreign[2] = 7;
    old[2] = 0;
    longCaption.replace(4 + 12, 500, std::string(500, 'x'));
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } bad[] = {
        {"cut short", shared.substr(0, 5000), "the file holds 0 complete programs"},
        {"foreign", foreign, "version 7, not 1"},
        {"old format", old, "version 0, the old incompatible format"},
        {"over-long text", longCaption, "fills its field without an end"},
        {"two on one cell", CatalogueFileBytes({{2, 1, 0, "One"}, {2, 1, 0, "Two"}}, {"T"}),
         "shares column 2, row 1 of tab \"T\" with program 0 \"One\""},
        {"over-full", CatalogueFileBytes(full, {"T"}), "finds no free cell on tab \"T\""},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.what);
        WriteWholeFile(source, b.bytes);
        room.Start(settings, true);
        const auto reports = NextReports(room);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find("refused"), std::string::npos) << reports[0];
        EXPECT_NE(Setting("cataloguerefused").find(b.reason), std::string::npos)
            << Setting("cataloguerefused");
        EXPECT_FALSE(room.HasPending());
        EXPECT_TRUE(ReadWholeFile(catalogue) == shared);
    }

    // The source removed, or cut short, while it is copied.
    std::string large;
    {
        std::vector<std::string> captions(12, "Big");
        large = Programs(captions, "Big");
    }
    const std::function<void(const std::string&)> midCopy[] = {
        [](const std::string& path) { ::DeleteFileA(path.c_str()); },
        [](const std::string& path) {
            HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
            ::SetFilePointer(file, 100000, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file);
            ::CloseHandle(file);
        },
    };
    for (const auto& spoil : midCopy) {
        WriteWholeFile(source, large);
        bool spoiled = false;
        room.SetCopyProgress([&](std::uint64_t) {
            if (!std::exchange(spoiled, true))
                spoil(source);
        });
        room.Start(settings, true);
        const auto reports = NextReports(room);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find("changed or went away while it was copied"), std::string::npos)
            << reports[0];
        EXPECT_TRUE(spoiled);
        EXPECT_FALSE(room.HasPending());
        EXPECT_TRUE(ReadWholeFile(catalogue) == shared);
        EXPECT_EQ(::GetFileAttributesA((catalogue + ".room").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    room.SetCopyProgress({});
    ::DeleteFileA(source.c_str());
    room.Start(settings, true);
    EXPECT_EQ(NextReports(room),
              std::vector<std::string>{"The shared catalogue " + source + " cannot be reached."});
    EXPECT_TRUE(ReadWholeFile(catalogue) == shared);
}

class RoomDesktopTest : public DesktopTest {
protected:
    // The catalogue the desktop holds in memory, as its tab names.
    std::vector<std::string> Tabs() { return m_app->m_catalogue->m_tabs; }
    // The texts of the message boxes shown since the last call.
    std::vector<std::string> NewMessages() {
        std::vector<std::string> texts;
        for (std::size_t i = m_seen; i < m_ui.shown.size(); ++i)
            texts.push_back(m_ui.shown[i].text);
        m_seen = m_ui.shown.size();
        return texts;
    }
    std::vector<std::string> WaitForMessages() {
        std::vector<std::string> texts;
        Eventually([&] { return !(texts = NewMessages()).empty(); });
        return texts;
    }
    std::size_t m_seen = 0;
};

TEST_F(RoomDesktopTest, TakenAtStartWaitingForAdminModeAndPublishedOnlyOverItsOwn) {
    const std::string source = m_files.File("icons.bin");
    WriteCatalogue({{0, 0, 0, "Local"}}, {"Mine"});
    WriteWholeFile(source, Programs({"Room"}, "Room"));
    CRegistryPlus(HKEY_LOCAL_MACHINE, "Software\\Korvane").WriteString("cataloguesource", source);

    Start();
    EXPECT_EQ(Tabs(), std::vector<std::string>{"Room"}) << "taken before the catalogue is read";
    EXPECT_TRUE(Catalogue() == ReadWholeFile(source));

    // In admin mode a newer shared catalogue is checked at "Take now" but waits.
    EnterAdminMode();
    m_seen = m_ui.shown.size();
    const std::string newer = Programs({"Newer", "Second"}, "Newer");
    WriteWholeFile(source, newer);
    m_ui.dialogScripts.push_back([](HWND d) { ClickButton(d, IDC_SOURCE_TAKE_NOW); });
    Command(command::kCatalogueSource);
    EXPECT_EQ(m_ui.shownDialogs.back().templateId, static_cast<UINT>(IDD_CATALOGUE_SOURCE));
    EXPECT_EQ(WaitForMessages(), std::vector<std::string>{"The shared catalogue is checked. It "
                                                          "is shown when you leave admin mode."});
    EXPECT_EQ(Tabs(), std::vector<std::string>{"Room"});
    Command(command::kSwitchMode);
    EXPECT_EQ(Tabs(), std::vector<std::string>{"Newer"});
    EXPECT_EQ(m_app->m_catalogue->m_count, 2);
    EXPECT_TRUE(Catalogue() == newer);

    // The setup menu offers publishing now that a source is set; the about box tells what was
    // taken and refused.
    EnterAdminMode();
    m_ui.menuAnswers = {0};
    Command(command::kProgramSetup);
    EXPECT_EQ(m_ui.shownMenus.back().Ids(),
              (std::vector<UINT>{200, 201, 202, 204, 206, 205, 207, 208, 0, 203}));
    std::string takenLine;
    m_ui.dialogScripts.push_back([&](HWND d) {
        takenLine = ItemText(d, IDC_ABOUT_TAKEN);
        ClickButton(d, IDOK);
    });
    Command(command::kAbout);
    EXPECT_EQ(takenLine.rfind("Catalogue taken: ", 0), 0u) << takenLine;
    EXPECT_NE(takenLine.find(Sha256::Of(newer.data(), newer.size())), std::string::npos);

    // Publishing over the file this PC took; then over one another PC published meanwhile.
    const std::string edited = Programs({"Edited"}, "Newer");
    WriteWholeFile(DataFolder() + "\\icons.bin", edited);
    m_seen = m_ui.shown.size();
    Command(command::kPublishCatalogue);
    EXPECT_EQ(WaitForMessages(),
              std::vector<std::string>{"The catalogue is published to " + source + "."});
    EXPECT_TRUE(ReadWholeFile(source) == edited);
    const std::string theirs = Programs({"Theirs"}, "Other PC");
    WriteWholeFile(source, theirs);
    Command(command::kPublishCatalogue);
    EXPECT_EQ(WaitForMessages(), std::vector<std::string>{room::kPublishRefused});
    EXPECT_TRUE(ReadWholeFile(source) == theirs);
}

} // namespace

namespace {

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

std::string HelperPath(const char* name) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\')) + "\\" + name;
}

TEST(RoomCatalogueKill, AKillWhilePublishingLeavesAWholeFileOnTheShare) {
    TempFolder share, pcs;
    std::vector<std::string> many(300, "A"), fewer(200, "B");
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] += std::to_string(i);
    const std::string a = Programs(many, "A"), b = Programs(fewer, "B");
    WriteWholeFile(pcs.File("a.bin"), a);
    WriteWholeFile(pcs.File("b.bin"), b);
    const std::string shared = share.File("icons.bin");
    WriteWholeFile(shared, b);
    unsigned seed = 4242;
    int published = 0;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const FILETIME before = WriteTime(shared);
        STARTUPINFOA startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        std::string commandLine = "\"" + HelperPath("publish_burst.exe") + "\" " +
                                  pcs.File("a.bin") + " " + pcs.File("b.bin") + " " + shared;
        ASSERT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &process));
        seed = seed * 1103515245u + 12345u;
        ::Sleep(300 + (seed >> 16) % 700);
        ::TerminateProcess(process.hProcess, 9);
        ::WaitForSingleObject(process.hProcess, 10000);
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        EXPECT_EQ(code, 9u) << "the burst ended on its own";
        const std::string now = ReadWholeFile(shared);
        EXPECT_TRUE(now == a || now == b) << now.size() << " bytes on the share";
        const FILETIME after = WriteTime(shared);
        published += ::CompareFileTime(&before, &after) != 0;
    }
    EXPECT_GE(published, 2) << "the kills must land among publications";
}

} // namespace
