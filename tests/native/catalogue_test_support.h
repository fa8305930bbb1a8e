#pragma once
// Helpers of the catalogue tests: icons.bin bytes built by hand from the published layout
// (never through Icons::Save), temporary folders, and running a check as an unprivileged user.

#include "base/text.h"
#include "catalogue/icons.h"
#include "catalogue/program_entry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace catalogue_test {

using Bytes = std::vector<unsigned char>;

// One entry as it is written into a file: texts at any length (the builder pads with NULs,
// or, for a text as long as its field, writes it without a NUL as a foreign file might).
struct EntryFields {
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t iconIndex = 0;
    std::string caption;
    std::string description;
    std::string screenshotPath;
    std::string programPath;
    std::string parameters;
    std::string iconFile;
    std::int32_t showCommand = 1;
    std::int32_t tab = 0;
};

class FileBuilder {
public:
    FileBuilder& U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<unsigned char>(value >> shift));
        return *this;
    }
    FileBuilder& I32(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
    FileBuilder& Raw(std::string_view text) {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    FileBuilder& Raw(const Bytes& bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // `text` followed by NULs up to `width` bytes; a text of exactly `width` bytes has no NUL.
    FileBuilder& Text(std::string_view text, std::size_t width) {
        EXPECT_LE(text.size(), width) << "test data does not fit its field";
        Raw(text.substr(0, width));
        m_bytes.insert(m_bytes.end(), width - std::min(width, text.size()), 0);
        return *this;
    }
    FileBuilder& Entry(const EntryFields& e) {
        I32(e.column).I32(e.row).I32(e.iconIndex);
        Text(e.caption, 500).Text(e.description, 5000).Text(e.screenshotPath, 1000);
        Text(e.programPath, 1000).Text(e.parameters, 1000).Text(e.iconFile, 1000);
        return I32(e.showCommand).I32(e.tab);
    }
    // A tab as the writer stores it: L = length + 1, then the name and one NUL.
    FileBuilder& Tab(std::string_view name) {
        I32(static_cast<std::int32_t>(name.size() + 1)).Raw(name);
        m_bytes.push_back(0);
        return *this;
    }
    FileBuilder& Cut(std::size_t size) {
        m_bytes.resize(size);
        return *this;
    }
    std::size_t Size() const { return m_bytes.size(); }
    const Bytes& Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

inline EntryFields SampleEntry(int seed) {
    const std::string s = std::to_string(seed);
    EntryFields e;
    e.column = seed;
    e.row = seed + 1;
    e.iconIndex = seed + 2;
    e.caption = "Caption " + s + "\r\nsecond line";
    e.description = "{\\rtf1\\ansi Description " + s + "}";
    e.screenshotPath = "C:\\Shots\\shot" + s + ".png";
    e.programPath = "C:\\Games\\game" + s + ".exe";
    e.parameters = "-level " + s;
    e.iconFile = "C:\\Games\\icons" + s + ".dll";
    e.showCommand = kShowMaximized;
    e.tab = seed % 3;
    return e;
}

// `e` with every text `width - shorten` bytes long, each of its own letter (`shorten` 0 fills
// the fields without a NUL, 1 gives the longest text an entry can hold).
inline EntryFields FillTexts(EntryFields e, std::size_t shorten) {
    e.caption.assign(500 - shorten, 'c');
    e.description.assign(5000 - shorten, 'd');
    e.screenshotPath.assign(1000 - shorten, 's');
    e.programPath.assign(1000 - shorten, 'p');
    e.parameters.assign(1000 - shorten, 'a');
    e.iconFile.assign(1000 - shorten, 'i');
    return e;
}

// The same entry as an in-memory record (texts cut to their fields).
inline ProgramEntry MakeEntry(const EntryFields& e) {
    ProgramEntry entry{};
    entry.column = e.column;
    entry.row = e.row;
    entry.iconIndex = e.iconIndex;
    CopyText(entry.caption, e.caption);
    CopyText(entry.description, e.description);
    CopyText(entry.screenshotPath, e.screenshotPath);
    CopyText(entry.programPath, e.programPath);
    CopyText(entry.parameters, e.parameters);
    CopyText(entry.iconFile, e.iconFile);
    entry.showCommand = e.showCommand;
    entry.tab = e.tab;
    return entry;
}

// Texts are compared up to their first NUL without reading past their field.
inline void ExpectEntryIs(const ProgramEntry& actual, const EntryFields& expected) {
    EXPECT_EQ(actual.column, expected.column);
    EXPECT_EQ(actual.row, expected.row);
    EXPECT_EQ(actual.iconIndex, expected.iconIndex);
    EXPECT_EQ(FieldText(actual.caption), expected.caption);
    EXPECT_EQ(FieldText(actual.description), expected.description);
    EXPECT_EQ(FieldText(actual.screenshotPath), expected.screenshotPath);
    EXPECT_EQ(FieldText(actual.programPath), expected.programPath);
    EXPECT_EQ(FieldText(actual.parameters), expected.parameters);
    EXPECT_EQ(FieldText(actual.iconFile), expected.iconFile);
    EXPECT_EQ(actual.showCommand, expected.showCommand);
    EXPECT_EQ(actual.tab, expected.tab);
}

// Same entries (every byte of every record) and the same tabs in the same order.
inline void ExpectSameCatalogue(const Icons& actual, const Icons& expected) {
    ASSERT_EQ(actual.m_count, expected.m_count);
    for (int i = 0; i < expected.m_count; ++i)
        EXPECT_EQ(std::memcmp(&actual.m_entries[i], &expected.m_entries[i], sizeof(ProgramEntry)),
                  0)
            << "entry " << i;
    EXPECT_EQ(actual.m_tabs, expected.m_tabs);
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder per test, removed afterwards (permissions are restored first).
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        // Reachable by the unprivileged user of RunUnprivileged.
        std::filesystem::permissions(m_dir, std::filesystem::perms(0755));
    }
    void TearDown() override {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(m_dir, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

// Runs `check` with the rights of an ordinary user, where permissions mean something: in a
// child that drops to "nobody" when the tests run as root (as CI does), in process otherwise.
// `check` returns 0 for success or a small number saying which expectation failed.
inline int RunUnprivileged(const std::function<int()>& check) {
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(100);
        ::_exit(check());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 101;
    return WEXITSTATUS(status);
}

} // namespace catalogue_test
