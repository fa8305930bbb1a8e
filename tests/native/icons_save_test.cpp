// Icons::Save: the exact bytes of the published layout, round trips, and failures that must
// leave the old file and the catalogue in memory as they were.

#include "catalogue/icons.h"

#include "base/file_error.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

using namespace catalogue_test;

namespace {

class IconsSaveTest : public TempDirTest {
protected:
    std::string File() const { return PathOf("icons.bin"); }
    std::string Temp() const { return File() + ".tmp"; }
};

// Runs a save expected to fail; checks the exception names the file and gives a reason.
std::string ExpectSaveFails(Icons& icons) {
    try {
        icons.Save();
        ADD_FAILURE() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.Path(), icons.m_path);
        EXPECT_FALSE(e.Reason().empty());
        EXPECT_NE(std::string(e.what()).find(icons.m_path), std::string::npos);
        return e.Reason();
    }
    return {};
}

TEST_F(IconsSaveTest, EmptyCatalogueWithoutTabsIsEightBytes) {
    Icons icons(File());
    icons.m_tabs.clear();
    icons.Save();
    EXPECT_EQ(ReadBytes(File()), (Bytes{0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(std::filesystem::exists(Temp()));
}

TEST_F(IconsSaveTest, WritesThePublishedLayout) {
    const EntryFields first = SampleEntry(1);
    EntryFields second = SampleEntry(2);
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
    EXPECT_EQ(icons.ToBytes(), expected);
}

TEST_F(IconsSaveTest, CutsUnterminatedFieldsAndTabNamesAtTheirEnd) {
    Icons icons(File());
    ProgramEntry entry{};
    std::memset(entry.caption, 'x', sizeof entry.caption);
    std::memset(entry.iconFile, 'y', sizeof entry.iconFile);
    icons.AddEntry(entry);
    icons.m_tabs = {std::string("ab\0cd", 5)};
    icons.Save();

    EntryFields expected;
    expected.caption = std::string(499, 'x');
    expected.iconFile = std::string(999, 'y');
    expected.showCommand = 0;
    const Bytes file = FileBuilder().U32(0x00010001).Entry(expected).I32(1).Tab("ab").Get();
    EXPECT_EQ(ReadBytes(File()), file);
    EXPECT_EQ(icons.ToBytes(), file);
    EXPECT_EQ(icons.m_entries[0].caption[499], 'x'); // memory is not changed by the save
}

TEST_F(IconsSaveTest, RoundTripKeepsAllElevenFieldsAndTabOrder) {
    Icons icons(File());
    for (int i = 0; i < 5; ++i)
        icons.AddEntry(MakeEntry(SampleEntry(i)));
    EntryFields longest = FillTexts(SampleEntry(42), 1);
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
    icons.m_count = Icons::kMaxEntries + 1;
    const std::string reason = ExpectSaveFails(icons);
    EXPECT_THROW(icons.ToBytes(), std::length_error);
    icons.m_count = 1;
    EXPECT_NE(reason.find("65535"), std::string::npos) << reason;
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_FALSE(std::filesystem::exists(Temp()));
}

TEST_F(IconsSaveTest, SaveIntoMissingFolderOrBelowAFileThrows) {
    WriteBytes(PathOf("plain"), Bytes{1, 2, 3});
    for (const char* path : {"missing/icons.bin", "plain/icons.bin"}) {
        Icons icons(PathOf(path));
        icons.AddEntry(MakeEntry(SampleEntry(1)));
        ExpectSaveFails(icons);
        EXPECT_EQ(icons.m_count, 1) << path; // memory keeps the change
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));
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

TEST_F(IconsSaveFailureTest, ReadOnlyFolderOrFileThrowsAndLeavesOldFile) {
    const std::string path = File();
    for (const std::filesystem::path& readOnly : {m_dir, std::filesystem::path(path)}) {
        std::filesystem::permissions(readOnly, std::filesystem::perms(0555));
        EXPECT_EQ(RunUnprivileged([&] {
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
                      return icons.m_count == 2 ? 0 : 4; // memory keeps the change
                  }),
                  0)
            << readOnly;
        ExpectOldFileIntact();
        std::filesystem::permissions(readOnly, std::filesystem::perms(0755));
    }
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
