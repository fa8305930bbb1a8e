// Icons::Load against icons.bin files built by hand from the published byte layout,
// including damaged and foreign files; every file is also read from memory with Icons::Read,
// which must give the same catalogue.

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
constexpr std::uint32_t kVersion1 = 0x10000;
const Tabs kDefaultTabs{"Programs"};

class IconsLoadTest : public TempDirTest {
protected:
    // Loads `bytes` as icons.bin; counts the warnings.
    Icons& Load(const Bytes& bytes) {
        WriteBytes(File(), bytes);
        return LoadExisting();
    }
    // Loads the file as it is now, and reads its bytes from memory too: both must agree, and
    // only the file load may warn.
    Icons& LoadExisting() {
        const bool isFile = std::filesystem::is_regular_file(File());
        const Bytes bytes = isFile ? ReadBytes(File()) : Bytes{}; // an old-format load empties it
        const std::size_t warningsBefore = m_warnings.size();
        m_icons = std::make_unique<Icons>(
            File(), [this](const std::string& text) { m_warnings.push_back(text); });
        if (isFile) {
            Icons fromMemory;
            const Icons::ReadResult result = fromMemory.Read(bytes.data(), bytes.size());
            EXPECT_EQ(result == Icons::ReadResult::OldFormat, m_warnings.size() > warningsBefore);
            ExpectSameCatalogue(fromMemory, *m_icons);
            EXPECT_TRUE(fromMemory.m_path.empty());
        }
        return *m_icons;
    }
    std::string File() const { return PathOf("icons.bin"); }

    std::unique_ptr<Icons> m_icons;
    std::vector<std::string> m_warnings;
};

void ExpectEmpty(const Icons& icons, const std::string& what) {
    EXPECT_EQ(icons.m_count, 0) << what;
    EXPECT_EQ(icons.m_entries, nullptr) << what;
    EXPECT_EQ(icons.m_tabs, kDefaultTabs) << what;
}

TEST_F(IconsLoadTest, MissingShortOrFolderFileGivesEmptyCatalogueWithDefaultTab) {
    ExpectEmpty(LoadExisting(), "missing");
    EXPECT_EQ(m_icons->m_path, File());
    EXPECT_FALSE(std::filesystem::exists(File())); // creates nothing
    for (std::size_t size : {0u, 1u, 3u})
        ExpectEmpty(Load(FileBuilder().U32(kVersion1 + 1).Cut(size).Get()), std::to_string(size));
    std::filesystem::remove(File());
    std::filesystem::create_directory(File());
    ExpectEmpty(LoadExisting(), "folder");
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(IconsLoadTest, OldFormatIsEmptiedWithOneWarning) {
    // Version 0 with any count, followed by whatever the old format held.
    for (std::uint32_t header : {0x0000u, 0x0003u, 0xFFFFu}) {
        m_warnings.clear();
        ExpectEmpty(Load(FileBuilder().U32(header).Entry(SampleEntry(1)).Tab("Old").Get()),
                    std::to_string(header));
        EXPECT_EQ(std::filesystem::file_size(File()), 0u) << header;
        EXPECT_EQ(m_warnings, Tabs{Icons::kOldFormatWarning}) << header;
    }
    EXPECT_EQ(std::string(Icons::kOldFormatWarning),
              "Warning! This version of program contains new icon format, that is incompatible "
              "with previous. Old icons to be deleted, please add icons again.");
    // Without a warning sink the file is emptied all the same.
    WriteBytes(File(), FileBuilder().U32(7).Get());
    ExpectEmpty(Icons(File()), "no sink");
    EXPECT_EQ(std::filesystem::file_size(File()), 0u);
}

TEST_F(IconsLoadTest, ReadOnlyOldFormatFileWarnsAndStartsEmptyWithoutChangingIt) {
    const Bytes old = FileBuilder().U32(2).Raw("old data").Get();
    WriteBytes(File(), old);
    std::filesystem::permissions(File(), std::filesystem::perms(0444));
    const std::string path = File();
    EXPECT_EQ(RunUnprivileged([&] {
                  int warnings = 0;
                  Icons icons(path, [&](const std::string& text) {
                      warnings += text == Icons::kOldFormatWarning ? 1 : 100;
                  });
                  if (warnings != 1)
                      return 1;
                  if (icons.m_count != 0 || icons.m_tabs != kDefaultTabs)
                      return 2;
                  return ReadBytes(path) == old ? 0 : 3;
              }),
              0);
}

TEST_F(IconsLoadTest, ReadsEntriesAndTabsInOrderWhateverTheVersion) {
    EntryFields outOfRange = SampleEntry(6); // loaded as stored, not checked against the tabs
    outOfRange.tab = 7;
    outOfRange.column = -3;
    const EntryFields entries[] = {SampleEntry(4), SampleEntry(5), outOfRange};
    for (std::uint32_t version : {1u, 2u, 0x7FFFu, 0xFFFFu /* -1 after sign extension */}) {
        Icons& icons = Load(FileBuilder()
                                .U32((version << 16) | 3)
                                .Entry(entries[0])
                                .Entry(entries[1])
                                .Entry(entries[2])
                                .I32(3)
                                .Tab("Games")
                                .Tab("")
                                .Tab("Office tools")
                                .Get());
        ASSERT_EQ(icons.m_count, 3) << version;
        for (int i = 0; i < 3; ++i)
            ExpectEntryIs(icons.m_entries[i], entries[i]);
        EXPECT_EQ(icons.m_tabs, (Tabs{"Games", "", "Office tools"})) << version;
    }
    EXPECT_TRUE(m_warnings.empty());
}

#ifdef KORVANE_TRACK_ALLOCATIONS
std::atomic<std::size_t> g_largestAllocation{0};

void RecordAllocation(const volatile void*, std::size_t size) {
    std::size_t seen = g_largestAllocation.load();
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
    }
}
void IgnoreFree(const volatile void*) {}
#endif

// A file ending inside the entry section or the tab count keeps the complete entries before
// the cut and has the default tab; memory is allocated only for what the file holds.
struct TruncationCase {
    int claimed;
    std::size_t cutAfterEntries; // complete entries present
    std::size_t extraBytes;      // bytes of the next entry (or of the tab count) present
};

void PrintTo(const TruncationCase& c, std::ostream* os) {
    *os << "Claims" << c.claimed << "Has" << c.cutAfterEntries << "Plus" << c.extraBytes << "Bytes";
}

class IconsTruncatedEntriesTest : public IconsLoadTest,
                                  public ::testing::WithParamInterface<TruncationCase> {};

TEST_P(IconsTruncatedEntriesTest, KeepsCompleteEntriesOnly) {
#ifdef KORVANE_TRACK_ALLOCATIONS
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(RecordAllocation, IgnoreFree) != 0;
    ASSERT_TRUE(installed);
#endif
    const TruncationCase c = GetParam();
    FileBuilder file;
    file.U32(kVersion1 + static_cast<std::uint32_t>(c.claimed));
    for (std::size_t i = 0; i <= c.cutAfterEntries; ++i)
        file.Entry(SampleEntry(static_cast<int>(i)));
    if (static_cast<int>(c.cutAfterEntries) == c.claimed) // the next bytes are the tab count
        file.Cut(file.Size() - sizeof(ProgramEntry)).I32(1).Tab("Never read");
    WriteBytes(File(), file.Cut(4 + c.cutAfterEntries * sizeof(ProgramEntry) + c.extraBytes).Get());
#ifdef KORVANE_TRACK_ALLOCATIONS
    g_largestAllocation = 0;
#endif
    Icons& icons = LoadExisting();
#ifdef KORVANE_TRACK_ALLOCATIONS
    // A buffer for the claimed 65535 records would be 620 MB.
    EXPECT_LT(g_largestAllocation.load(), 1u << 20);
#endif
    ASSERT_EQ(icons.m_count, static_cast<int>(c.cutAfterEntries));
    EXPECT_EQ(icons.m_entries == nullptr, c.cutAfterEntries == 0);
    for (std::size_t i = 0; i < c.cutAfterEntries; ++i)
        ExpectEntryIs(icons.m_entries[i], SampleEntry(static_cast<int>(i)));
    EXPECT_EQ(icons.m_tabs, kDefaultTabs);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cuts, IconsTruncatedEntriesTest,
                         ::testing::Values(TruncationCase{1, 0, 0}, TruncationCase{1, 0, 11},
                                           TruncationCase{1, 0, 9519}, TruncationCase{3, 1, 0},
                                           TruncationCase{3, 2, 12}, TruncationCase{3, 2, 5000},
                                           TruncationCase{3, 2, 9519},
                                           TruncationCase{2, 2, 0},  // no tab section at all
                                           TruncationCase{1, 1, 2},  // a short tab count
                                           // Headers claiming far more than the file holds.
                                           TruncationCase{0xFFFF, 0, 4},
                                           TruncationCase{0xFFFF, 1, 4}),
                         [](const auto& info) {
                             const TruncationCase& c = info.param;
                             return "Claims" + std::to_string(c.claimed) + "Has" +
                                    std::to_string(c.cutAfterEntries) + "Plus" +
                                    std::to_string(c.extraBytes) + "Bytes";
                         });
// clang-format on

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
    Icons& icons = Load(FileBuilder().U32(kVersion1).Raw(GetParam().tabSection).Get());
    EXPECT_EQ(icons.m_count, 0);
    EXPECT_EQ(icons.m_entries, nullptr);
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
        {"ZeroCountAtEnd", FileBuilder().I32(0).Get(), {}},
    };
}
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sections, IconsTabSectionTest, ::testing::ValuesIn(TabCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IconsLoadTest, UnterminatedTextFieldsOfAForeignFileEndAtTheirLastByte) {
    const EntryFields full = FillTexts(SampleEntry(1), 0);
    Icons& icons = Load(FileBuilder().U32(kVersion1 + 1).Entry(full).I32(1).Tab("T").Get());
    ASSERT_EQ(icons.m_count, 1);
    // Each text loses its last byte; the integers after the texts are untouched.
    ExpectEntryIs(icons.m_entries[0], FillTexts(SampleEntry(1), 1));
}

TEST_F(IconsLoadTest, ReadOnlyFileLoadsAndUnreadableFileLoadsLikeAMissingOne) {
    const Bytes bytes = FileBuilder()
                            .U32(kVersion1 + 2)
                            .Entry(SampleEntry(1))
                            .Entry(SampleEntry(2))
                            .I32(2)
                            .Tab("Games")
                            .Tab("Office")
                            .Get();
    WriteBytes(File(), bytes);
    const std::string path = File();
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    EXPECT_EQ(RunUnprivileged([&] {
                  Icons icons(path);
                  if (icons.m_count != 2)
                      return 1;
                  if (std::string(icons.m_entries[1].caption) != SampleEntry(2).caption)
                      return 2;
                  return icons.m_tabs == Tabs{"Games", "Office"} ? 0 : 3;
              }),
              0);
    std::filesystem::permissions(path, std::filesystem::perms(0200));
    EXPECT_EQ(RunUnprivileged([&] {
                  Icons icons(path);
                  return icons.m_count == 0 && icons.m_tabs == kDefaultTabs ? 0 : 1;
              }),
              0);
    EXPECT_EQ(ReadBytes(File()), bytes);
}

TEST_F(IconsLoadTest, ReadingMemoryTouchesNoFileAndShowsNoWarning) {
    const Bytes old = FileBuilder().U32(3).Raw("old data").Get();
    WriteBytes(File(), old);
    Icons icons(PathOf("other.bin"),
                [this](const std::string& text) { m_warnings.push_back(text); });
    icons.AddEntry(MakeEntry(SampleEntry(1)));
    EXPECT_EQ(icons.Read(old.data(), old.size()), Icons::ReadResult::OldFormat);
    ExpectEmpty(icons, "old format");
    EXPECT_EQ(icons.m_path, PathOf("other.bin"));
    EXPECT_TRUE(m_warnings.empty());
    EXPECT_EQ(ReadBytes(File()), old);
    EXPECT_FALSE(std::filesystem::exists(PathOf("other.bin")));
    EXPECT_EQ(icons.Read(nullptr, 0), Icons::ReadResult::Ok);
    ExpectEmpty(icons, "nothing");
    ExpectEmpty(Icons(), "tied to no file");
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
