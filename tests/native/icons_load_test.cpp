// Icons::Load against icons.bin files built by hand from the published byte layout,
// including damaged and foreign files.

#include "catalogue/icons.h"

#include "base/text.h"
#include "catalogue_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <filesystem>

// Under AddressSanitizer the test of a lying header also checks the size of every allocation.
#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_ASAN 1
#endif
#endif
#if defined(KORVANE_ASAN)
// From <sanitizer/allocator_interface.h>, which GCC does not ship although its libasan has it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
#define KORVANE_TRACK_ALLOCATIONS 1
#endif

using namespace catalogue_test;

namespace {

using Tabs = std::vector<std::string>;

class IconsLoadTest : public TempDirTest {
protected:
    // Loads `bytes` as icons.bin; counts the warnings.
    Icons& Load(const Bytes& bytes) {
        WriteBytes(File(), bytes);
        return LoadExisting();
    }
    Icons& LoadExisting() {
        m_icons = std::make_unique<Icons>(
            File(), [this](const std::string& text) { m_warnings.push_back(text); });
        return *m_icons;
    }
    std::string File() const { return PathOf("icons.bin"); }

    std::unique_ptr<Icons> m_icons;
    std::vector<std::string> m_warnings;
};

constexpr std::uint32_t kVersion1 = 0x10000;

TEST_F(IconsLoadTest, MissingFileGivesEmptyCatalogueWithDefaultTabAndCreatesNothing) {
    Icons& icons = LoadExisting();
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_entries, nullptr);
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
    EXPECT_EQ(icons.m_path, File());
    EXPECT_TRUE(m_warnings.empty());
    EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(IconsLoadTest, ShortHeaderGivesEmptyCatalogueWithDefaultTab) {
    for (std::size_t size : {0u, 1u, 3u}) {
        Icons& icons = Load(FileBuilder().U32(kVersion1 + 1).Cut(size).Get());
        EXPECT_EQ(icons.m_count, 0) << size;
        EXPECT_EQ(icons.m_tabs, Tabs{"Programs"}) << size;
    }
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(IconsLoadTest, OldFormatIsEmptiedWithOneWarning) {
    // Version 0 with any count, followed by whatever the old format held.
    for (std::uint32_t header : {0x0000u, 0x0003u, 0xFFFFu}) {
        m_warnings.clear();
        Icons& icons = Load(FileBuilder().U32(header).Entry(SampleEntry(1)).Tab("Old").Get());
        EXPECT_EQ(std::filesystem::file_size(File()), 0u) << header;
        EXPECT_EQ(m_warnings, Tabs{Icons::kOldFormatWarning}) << header;
        EXPECT_EQ(icons.m_count, 0);
        EXPECT_EQ(icons.m_entries, nullptr);
        EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
    }
    EXPECT_EQ(std::string(Icons::kOldFormatWarning),
              "Warning! This version of program contains new icon format, that is incompatible "
              "with previous. Old icons to be deleted, please add icons again.");
}

TEST_F(IconsLoadTest, OldFormatWithoutWarningSinkStillEmptiesTheFile) {
    WriteBytes(File(), FileBuilder().U32(7).Get());
    Icons icons(File());
    EXPECT_EQ(std::filesystem::file_size(File()), 0u);
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
}

TEST_F(IconsLoadTest, ReadOnlyOldFormatFileWarnsAndStartsEmptyWithoutChangingIt) {
    const Bytes old = FileBuilder().U32(2).Raw("old data").Get();
    WriteBytes(File(), old);
    std::filesystem::permissions(File(), std::filesystem::perms(0444));
    const std::string path = File();
    const int failed = RunUnprivileged([&] {
        int warnings = 0;
        Icons icons(path, [&](const std::string& text) {
            warnings += text == Icons::kOldFormatWarning ? 1 : 100;
        });
        if (warnings != 1)
            return 1;
        if (icons.m_count != 0 || icons.m_tabs != Tabs{"Programs"})
            return 2;
        return ReadBytes(path) == old ? 0 : 3;
    });
    EXPECT_EQ(failed, 0);
}

TEST_F(IconsLoadTest, VersionOneWithTabCountZeroHasNoEntriesAndNoTabs) {
    Icons& icons = Load(FileBuilder().U32(0x00010000).I32(0).Get());
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_entries, nullptr);
    EXPECT_TRUE(icons.m_tabs.empty());
}

TEST_F(IconsLoadTest, TwoEntriesWithoutTabSectionGetDefaultTab) {
    const EntrySpec first = SampleEntry(1), second = SampleEntry(2);
    Icons& icons = Load(FileBuilder().U32(0x00010002).Entry(first).Entry(second).Get());
    ASSERT_EQ(icons.m_count, 2);
    ExpectEntryIs(icons.m_entries[0], first);
    ExpectEntryIs(icons.m_entries[1], second);
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
}

TEST_F(IconsLoadTest, ReadsEntriesAndTabsInOrder) {
    Icons& icons = Load(FileBuilder()
                            .U32(kVersion1 + 3)
                            .Entry(SampleEntry(4))
                            .Entry(SampleEntry(5))
                            .Entry(SampleEntry(6))
                            .I32(3)
                            .Tab("Games")
                            .Tab("")
                            .Tab("Office tools")
                            .Get());
    ASSERT_EQ(icons.m_count, 3);
    for (int i = 0; i < 3; ++i)
        ExpectEntryIs(icons.m_entries[i], SampleEntry(4 + i));
    EXPECT_EQ(icons.m_tabs, (Tabs{"Games", "", "Office tools"}));
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(IconsLoadTest, VersionsOtherThanOneLoadLikeVersionOne) {
    for (std::uint32_t version : {2u, 0x7FFFu, 0xFFFFu /* -1 after sign extension */}) {
        Icons& icons = Load(
            FileBuilder().U32((version << 16) | 1).Entry(SampleEntry(9)).I32(1).Tab("T").Get());
        ASSERT_EQ(icons.m_count, 1) << version;
        ExpectEntryIs(icons.m_entries[0], SampleEntry(9));
        EXPECT_EQ(icons.m_tabs, Tabs{"T"});
    }
    EXPECT_TRUE(m_warnings.empty());
}

// A file ending inside the entry section keeps the complete entries before the cut and has
// no tab section.
struct TruncationCase {
    int claimed;
    std::size_t cutAfterEntries; // complete entries present
    std::size_t extraBytes;      // bytes of the next entry present
};

void PrintTo(const TruncationCase& c, std::ostream* os) {
    *os << "Claims" << c.claimed << "Has" << c.cutAfterEntries << "Plus" << c.extraBytes << "Bytes";
}

class IconsTruncatedEntriesTest : public IconsLoadTest,
                                  public ::testing::WithParamInterface<TruncationCase> {};

TEST_P(IconsTruncatedEntriesTest, KeepsCompleteEntriesOnly) {
    const TruncationCase c = GetParam();
    FileBuilder file;
    file.U32(kVersion1 + static_cast<std::uint32_t>(c.claimed));
    for (int i = 0; i < c.claimed; ++i)
        file.Entry(SampleEntry(i));
    file.I32(1).Tab("Never read");
    Icons& icons =
        Load(file.Cut(4 + c.cutAfterEntries * sizeof(ProgramEntry) + c.extraBytes).Get());
    ASSERT_EQ(icons.m_count, static_cast<int>(c.cutAfterEntries));
    EXPECT_EQ(icons.m_entries == nullptr, c.cutAfterEntries == 0);
    for (std::size_t i = 0; i < c.cutAfterEntries; ++i)
        ExpectEntryIs(icons.m_entries[i], SampleEntry(static_cast<int>(i)));
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
}

INSTANTIATE_TEST_SUITE_P(Cuts, IconsTruncatedEntriesTest,
                         ::testing::Values(TruncationCase{1, 0, 0}, TruncationCase{1, 0, 11},
                                           TruncationCase{1, 0, 9519}, TruncationCase{3, 1, 0},
                                           TruncationCase{3, 2, 12}, TruncationCase{3, 2, 5000},
                                           TruncationCase{3, 2, 9519}),
                         [](const auto& info) {
                             const TruncationCase& c = info.param;
                             return "Claims" + std::to_string(c.claimed) + "Has" +
                                    std::to_string(c.cutAfterEntries) + "Plus" +
                                    std::to_string(c.extraBytes) + "Bytes";
                         });

#ifdef KORVANE_TRACK_ALLOCATIONS
std::atomic<std::size_t> g_largestAllocation{0};

void RecordAllocation(const volatile void*, std::size_t size) {
    std::size_t seen = g_largestAllocation.load();
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
    }
}
void IgnoreFree(const volatile void*) {}
#endif

TEST_F(IconsLoadTest, HeaderClaimingMoreEntriesThanTheFileHoldsAllocatesOnlyWhatIsThere) {
#ifdef KORVANE_TRACK_ALLOCATIONS
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(RecordAllocation, IgnoreFree) != 0;
    ASSERT_TRUE(installed);
#endif
    struct Case {
        Bytes file;
        int entries;
    };
    const Case cases[] = {
        {FileBuilder().U32(kVersion1 + 0xFFFF).I32(1).Get(), 0}, // 8 foreign bytes
        {FileBuilder().U32(kVersion1 + 0xFFFF).Entry(SampleEntry(0)).I32(0).Get(), 1},
    };
    for (const Case& c : cases) {
        WriteBytes(File(), c.file);
#ifdef KORVANE_TRACK_ALLOCATIONS
        g_largestAllocation = 0;
#endif
        Icons icons(File());
        EXPECT_EQ(icons.m_count, c.entries);
        EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
#ifdef KORVANE_TRACK_ALLOCATIONS
        // A buffer for the claimed 65535 records would be 620 MB.
        EXPECT_LT(g_largestAllocation.load(), 1u << 20);
#endif
    }
}

TEST_F(IconsLoadTest, ShortTabCountGivesDefaultTab) {
    Icons& icons =
        Load(FileBuilder().U32(kVersion1 + 1).Entry(SampleEntry(3)).Raw("\x01\x00").Get());
    EXPECT_EQ(icons.m_count, 1);
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
}

// The tab section is read until its count, a length that is not positive, or a length the rest
// of the file cannot hold; tabs read before such a stop are kept, no default tab is added.
struct TabCase {
    const char* name;
    Bytes tabSection; // from the tab count on
    Tabs expected;
};

void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.name;
}

class IconsTabSectionTest : public IconsLoadTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(IconsTabSectionTest, ReadsTabs) {
    Icons& icons =
        Load(FileBuilder()
                 .U32(kVersion1)
                 .Raw(std::string_view(reinterpret_cast<const char*>(GetParam().tabSection.data()),
                                       GetParam().tabSection.size()))
                 .Get());
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_tabs, GetParam().expected);
}

// clang-format off
std::vector<TabCase> TabCases() {
    return {
        {"TwoTabs", FileBuilder().I32(2).Tab("One").Tab("Two").Get(), {"One", "Two"}},
        {"NameWithEarlyNul", FileBuilder().I32(1).I32(6).Raw(std::string_view("ab\0cd\0", 6)).Get(), {"ab"}},
        {"NameWithoutNul", FileBuilder().I32(1).I32(3).Raw("abc").Get(), {"abc"}},
        {"EmptyName", FileBuilder().I32(1).Tab("").Get(), {""}},
        {"LengthZeroStops", FileBuilder().I32(3).Tab("A").I32(0).Tab("C").Get(), {"A"}},
        {"NegativeLengthStops", FileBuilder().I32(3).Tab("A").I32(-5).Tab("C").Get(), {"A"}},
        {"LengthBeyondEndStops", FileBuilder().I32(2).Tab("A").I32(100).Raw("xyz").Get(), {"A"}},
        {"HugeLengthStops", FileBuilder().I32(2).Tab("A").I32(0x7FFFFFFF).Raw("xyz").Get(), {"A"}},
        {"ShortLengthStops", FileBuilder().I32(2).Tab("A").Raw("\x02").Get(), {"A"}},
        {"FewerTabsThanCounted", FileBuilder().I32(5).Tab("A").Tab("B").Get(), {"A", "B"}},
        {"HugeCount", FileBuilder().I32(0x7FFFFFFF).Tab("A").Tab("B").Get(), {"A", "B"}},
        {"NegativeCountReadsNone", FileBuilder().I32(-1).Tab("A").Get(), {}},
        {"CountBelowTabsPresent", FileBuilder().I32(1).Tab("A").Tab("B").Get(), {"A"}},
        {"ZeroCount", FileBuilder().I32(0).Tab("A").Get(), {}},
    };
}
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sections, IconsTabSectionTest, ::testing::ValuesIn(TabCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IconsLoadTest, UnterminatedTextFieldsOfAForeignFileEndAtTheirLastByte) {
    EntrySpec full = SampleEntry(1);
    full.caption.assign(500, 'c');
    full.description.assign(5000, 'd');
    full.screenshotPath.assign(1000, 's');
    full.programPath.assign(1000, 'p');
    full.parameters.assign(1000, 'a');
    full.iconFile.assign(1000, 'i');
    Icons& icons = Load(FileBuilder().U32(kVersion1 + 1).Entry(full).I32(1).Tab("T").Get());
    ASSERT_EQ(icons.m_count, 1);
    const ProgramEntry& e = icons.m_entries[0];
    EXPECT_EQ(FieldText(e.caption), std::string(499, 'c'));
    EXPECT_EQ(FieldText(e.description), std::string(4999, 'd'));
    EXPECT_EQ(FieldText(e.screenshotPath), std::string(999, 's'));
    EXPECT_EQ(FieldText(e.programPath), std::string(999, 'p'));
    EXPECT_EQ(FieldText(e.parameters), std::string(999, 'a'));
    EXPECT_EQ(FieldText(e.iconFile), std::string(999, 'i'));
    // The integers after the texts are untouched.
    EXPECT_EQ(e.showCommand, full.showCommand);
    EXPECT_EQ(e.tab, full.tab);
}

TEST_F(IconsLoadTest, TabOutOfRangeIsLoadedAsStored) {
    EntrySpec entry = SampleEntry(1);
    entry.tab = 7;
    entry.column = -3;
    Icons& icons = Load(FileBuilder().U32(kVersion1 + 1).Entry(entry).I32(1).Tab("Only").Get());
    ASSERT_EQ(icons.m_count, 1);
    EXPECT_EQ(icons.m_entries[0].tab, 7);
    EXPECT_EQ(icons.m_entries[0].column, -3);
}

TEST_F(IconsLoadTest, ReadOnlyFileLoadsItsPrograms) {
    WriteBytes(File(), FileBuilder()
                           .U32(kVersion1 + 2)
                           .Entry(SampleEntry(1))
                           .Entry(SampleEntry(2))
                           .I32(2)
                           .Tab("Games")
                           .Tab("Office")
                           .Get());
    std::filesystem::permissions(File(), std::filesystem::perms(0444));
    const std::string path = File();
    const int failed = RunUnprivileged([&] {
        Icons icons(path);
        if (icons.m_count != 2)
            return 1;
        if (std::string(icons.m_entries[1].caption) != SampleEntry(2).caption)
            return 2;
        return icons.m_tabs == Tabs{"Games", "Office"} ? 0 : 3;
    });
    EXPECT_EQ(failed, 0);
}

TEST_F(IconsLoadTest, UnreadableFileLoadsLikeAMissingOne) {
    const Bytes bytes =
        FileBuilder().U32(kVersion1 + 1).Entry(SampleEntry(1)).I32(1).Tab("T").Get();
    WriteBytes(File(), bytes);
    std::filesystem::permissions(File(), std::filesystem::perms(0200));
    const std::string path = File();
    const int failed = RunUnprivileged([&] {
        Icons icons(path);
        return icons.m_count == 0 && icons.m_tabs == Tabs{"Programs"} ? 0 : 1;
    });
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(ReadBytes(File()), bytes);
}

TEST_F(IconsLoadTest, AFolderInPlaceOfTheFileLoadsLikeAMissingFile) {
    std::filesystem::create_directory(File());
    Icons& icons = LoadExisting();
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_tabs, Tabs{"Programs"});
}

TEST_F(IconsLoadTest, LoadingAgainReplacesEverything) {
    Icons& icons =
        Load(FileBuilder().U32(kVersion1 + 1).Entry(SampleEntry(1)).I32(2).Tab("A").Tab("B").Get());
    WriteBytes(File(), FileBuilder().U32(kVersion1).I32(1).Tab("C").Get());
    icons.Load();
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_entries, nullptr);
    EXPECT_EQ(icons.m_tabs, Tabs{"C"});
}

} // namespace
