#include "shell/startup_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(StartupRules, FolderGetsExactlyOneTrailingBackslash) {
    EXPECT_EQ(WithTrailingBackslash(LR"(C:\Startup)"), LR"(C:\Startup\)");
    EXPECT_EQ(WithTrailingBackslash(LR"(C:\Startup\)"), LR"(C:\Startup\)");
    EXPECT_EQ(WithTrailingBackslash(LR"(C:\)"), LR"(C:\)");
    EXPECT_EQ(WithTrailingBackslash(L""), L"\\");
}

TEST(StartupRules, HiddenSystemAndDotEntriesAreNotStarted) {
    constexpr std::uint32_t kReadOnly = 0x1, kDirectory = 0x10, kArchive = 0x20;
    const struct {
        const wchar_t* name;
        std::uint32_t attributes;
        bool started;
    } cases[] = {
        {L"a.lnk", kArchive, true},
        {L"notes.txt", kReadOnly | kArchive, true},
        {L"Tools", kDirectory, true},
        {L"b.lnk", kArchive | kAttributeHidden, false},
        {L"desktop.ini", kArchive | kAttributeHidden | kAttributeSystem, false},
        {L"system.lnk", kAttributeSystem, false},
        {L".", kDirectory, false},
        {L"..", kDirectory, false},
        {L"...lnk", kArchive, true},
        {L"", kArchive, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsStartableEntry(c.name, c.attributes), c.started) << "entry " << &c - cases;
}

TEST(StartupRules, ItemPathsLongerThanThePathBufferAreRefused) {
    const std::wstring base = LR"(C:\Startup\)";
    EXPECT_EQ(FolderItemPath(base, L"a.lnk"), std::wstring(LR"(C:\Startup\a.lnk)"));
    const std::wstring fits(kMaxItemPathLength - base.size(), L'x');
    ASSERT_TRUE(FolderItemPath(base, fits).has_value());
    EXPECT_EQ(FolderItemPath(base, fits)->size(), kMaxItemPathLength);
    EXPECT_FALSE(FolderItemPath(base, fits + L"x").has_value());
}

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(StartupRules, RegistryTextEndsAtTheFirstNulOrTheReturnedSize) {
    auto bytes = Utf16Bytes(u"run.exe -x");
    EXPECT_EQ(RegistryDataText(bytes.data(), bytes.size()), L"run.exe -x");

    // Terminated, with stray data after the terminator.
    bytes = Utf16Bytes(std::u16string(u"a.exe\0junk", 10));
    EXPECT_EQ(RegistryDataText(bytes.data(), bytes.size()), L"a.exe");

    // An odd byte count: the half unit is dropped, never read past.
    bytes = Utf16Bytes(u"ab");
    bytes.push_back(0x41);
    EXPECT_EQ(RegistryDataText(bytes.data(), bytes.size()), L"ab");

    // Non-ASCII units are kept whole.
    bytes = Utf16Bytes(u"C:\\\u00e9t\u00e9\\\u0434.exe");
    const std::wstring expected = L"C:\\\u00e9t\u00e9\\\u0434.exe";
    EXPECT_EQ(RegistryDataText(bytes.data(), bytes.size()), expected);

    EXPECT_EQ(RegistryDataText(bytes.data(), 0), L"");
    EXPECT_EQ(RegistryDataText(bytes.data(), 1), L"");
}

} // namespace
