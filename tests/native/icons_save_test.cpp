// Icons::Save: the exact bytes of the published layout, round trips, and failures that must
// leave the old file and the catalogue in memory as they were.

#include "catalogue/icons.h"

#include "base/file_error.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace catalogue_test;

namespace {

using Tabs = std::vector<std::string>;

class IconsSaveTest : public TempDirTest {
protected:
    std::string File() const { return PathOf("icons.bin"); }
    std::string Temp() const { return File() + ".tmp"; }
};

TEST_F(IconsSaveTest, EmptyCatalogueWithoutTabsIsEightBytes) {
    Icons icons(File());
    icons.m_tabs.clear();
    icons.Save();
    EXPECT_EQ(ReadBytes(File()), (Bytes{0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(std::filesystem::exists(Temp()));
}

TEST_F(IconsSaveTest, WritesThePublishedLayout) {
    EntrySpec first = SampleEntry(1);
    EntrySpec second = SampleEntry(2);
    second.column = -1;
    second.showCommand = kShowMinimized;
    second.tab = 1;
    Icons icons(File());
    icons.AddEntry(MakeEntry(first));
    icons.AddEntry(MakeEntry(second));
    icons.m_tabs = {"Programs", "Games"};
    icons.Save();

    const Bytes expected = FileBuilder()
                               .U32(0x00010002)
                               .Entry(first)
                               .Entry(second)
                               .I32(2)
                               .I32(9)
                               .Raw(std::string_view("Programs\0", 9))
                               .I32(6)
                               .Raw(std::string_view("Games\0", 6))
                               .Get();
    ASSERT_EQ(expected.size(), 8 + 2 * 9520 + (4 + 9) + (4 + 6));
    EXPECT_EQ(ReadBytes(File()), expected);
}

TEST_F(IconsSaveTest, CutsUnterminatedFieldsAndTabNamesAtTheirEnd) {
    Icons icons(File());
    ProgramEntry entry{};
    std::memset(entry.caption, 'x', sizeof entry.caption);
    std::memset(entry.iconFile, 'y', sizeof entry.iconFile);
    icons.AddEntry(entry);
    icons.m_tabs = {std::string("ab\0cd", 5)};
    icons.Save();

    EntrySpec expected;
    expected.caption = std::string(499, 'x');
    expected.iconFile = std::string(999, 'y');
    expected.showCommand = 0;
    EXPECT_EQ(ReadBytes(File()),
              FileBuilder().U32(0x00010001).Entry(expected).I32(1).Tab("ab").Get());
    // Memory is not changed by the save.
    EXPECT_EQ(icons.m_entries[0].caption[499], 'x');
}

TEST_F(IconsSaveTest, RoundTripKeepsAllElevenFieldsAndTabOrder) {
    Icons icons(File());
    for (int i = 0; i < 5; ++i)
        icons.AddEntry(MakeEntry(SampleEntry(i)));
    EntrySpec longest = SampleEntry(42);
    longest.caption.assign(499, 'C');
    longest.description.assign(4999, 'D');
    longest.screenshotPath.assign(999, 'S');
    longest.programPath.assign(999, 'P');
    longest.parameters.assign(999, 'A');
    longest.iconFile.assign(999, 'I');
    longest.column = -7;
    longest.row = 0x7FFFFFFF;
    longest.iconIndex = -1;
    longest.showCommand = kShowMinimized;
    longest.tab = 2;
    icons.AddEntry(MakeEntry(longest));
    icons.m_tabs = {"Zeta", "Alpha", "", "Middle name"};
    icons.Save();

    Icons reloaded(File());
    ASSERT_EQ(reloaded.m_count, icons.m_count);
    for (int i = 0; i < icons.m_count; ++i)
        EXPECT_EQ(std::memcmp(&reloaded.m_entries[i], &icons.m_entries[i], sizeof(ProgramEntry)), 0)
            << "entry " << i;
    ExpectEntryIs(reloaded.m_entries[5], longest);
    EXPECT_EQ(reloaded.m_tabs, icons.m_tabs);
}

TEST_F(IconsSaveTest, ReplacesTheWholeOldFile) {
    Icons icons(File());
    for (int i = 0; i < 3; ++i)
        icons.AddEntry(MakeEntry(SampleEntry(i)));
    icons.Save();
    icons.RemoveEntry(0);
    icons.RemoveEntry(0);
    icons.Save();
    EXPECT_EQ(std::filesystem::file_size(File()), 8u + 9520u + 4u + 9u);
    EXPECT_FALSE(std::filesystem::exists(Temp()));
}

TEST_F(IconsSaveTest, MoreEntriesThanTheHeaderCanHoldThrowAndLeaveTheFile) {
    Icons icons(File());
    icons.AddEntry(MakeEntry(SampleEntry(1)));
    icons.Save();
    const Bytes before = ReadBytes(File());

    // Only the count matters: the check comes before any entry is touched.
    const int realCount = icons.m_count;
    icons.m_count = Icons::kMaxEntries + 1;
    try {
        icons.Save();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.Path(), File());
        EXPECT_NE(e.Reason().find("65535"), std::string::npos) << e.Reason();
    }
    icons.m_count = realCount;
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_FALSE(std::filesystem::exists(Temp()));
}

// Runs a save expected to fail; checks the exception names the file and gives a reason.
void ExpectSaveFails(Icons& icons) {
    try {
        icons.Save();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.Path(), icons.m_path);
        EXPECT_FALSE(e.Reason().empty());
        EXPECT_NE(std::string(e.what()).find(icons.m_path), std::string::npos);
    }
}

TEST_F(IconsSaveTest, SaveIntoMissingFolderThrows) {
    const std::string path = PathOf("missing/icons.bin");
    Icons icons(path);
    icons.AddEntry(MakeEntry(SampleEntry(1)));
    ExpectSaveFails(icons);
    EXPECT_EQ(icons.m_count, 1); // memory keeps the change
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));
}

TEST_F(IconsSaveTest, SaveBelowAFileThrows) {
    WriteBytes(PathOf("plain"), Bytes{1, 2, 3});
    Icons icons(PathOf("plain/icons.bin"));
    ExpectSaveFails(icons);
}

class IconsSaveFailureTest : public IconsSaveTest {
protected:
    void SetUp() override {
        IconsSaveTest::SetUp();
        Icons icons(File());
        icons.AddEntry(MakeEntry(SampleEntry(1)));
        icons.Save();
        m_before = ReadBytes(File());
    }
    // The old file is intact and no temporary file is left behind.
    void ExpectOldFileIntact() {
        EXPECT_EQ(ReadBytes(File()), m_before);
        EXPECT_FALSE(std::filesystem::is_regular_file(Temp()));
    }
    Bytes m_before;
};

TEST_F(IconsSaveFailureTest, ReadOnlyFolderThrowsAndLeavesOldFile) {
    std::filesystem::permissions(m_dir, std::filesystem::perms(0555));
    const std::string path = File();
    const int failed = RunUnprivileged([&] {
        Icons icons(path);
        if (icons.m_count != 1)
            return 1;
        icons.AddEntry(MakeEntry(SampleEntry(2)));
        try {
            icons.Save();
            return 2;
        } catch (const FileException& e) {
            if (e.Path() != path || e.Reason().empty())
                return 3;
        }
        return icons.m_count == 2 ? 0 : 4;
    });
    EXPECT_EQ(failed, 0);
    ExpectOldFileIntact();
}

TEST_F(IconsSaveFailureTest, ReadOnlyFileIsNotReplaced) {
    std::filesystem::permissions(File(), std::filesystem::perms(0444));
    const std::string path = File();
    const int failed = RunUnprivileged([&] {
        Icons icons(path);
        icons.m_tabs.push_back("New");
        try {
            icons.Save();
            return 1;
        } catch (const FileException&) {
            return 0;
        }
    });
    EXPECT_EQ(failed, 0);
    ExpectOldFileIntact();
}

TEST_F(IconsSaveFailureTest, TemporaryPathTakenByAFolderThrows) {
    std::filesystem::create_directory(Temp());
    Icons icons(File());
    icons.AddEntry(MakeEntry(SampleEntry(2)));
    ExpectSaveFails(icons);
    EXPECT_EQ(ReadBytes(File()), m_before);
    EXPECT_TRUE(std::filesystem::is_directory(Temp()));
}

TEST_F(IconsSaveFailureTest, FailedReplaceRemovesTheTemporaryFile) {
    // A folder in the target's place: the temporary file is written, the rename fails.
    const std::string path = PathOf("folder");
    std::filesystem::create_directory(path);
    WriteBytes(path + "/inside", Bytes{7});
    Icons icons(path);
    ExpectSaveFails(icons);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(IconsSaveFailureTest, SaveKeepsPermissionBitsOfTheReplacedFile) {
    std::filesystem::permissions(File(), std::filesystem::perms(0640));
    Icons icons(File());
    icons.Save();
    EXPECT_EQ(std::filesystem::status(File()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
}

} // namespace
