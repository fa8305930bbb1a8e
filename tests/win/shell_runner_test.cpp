// The startup runner's walk over folders and keys, with every start recorded instead of made.
#include "shell/shell.h"
#include "support/test_launch_support.h"
#include "support/test_saved_registry.h"
#include "support/test_support.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class RecordingShell : public Shell {
public:
    std::vector<std::wstring> started;
    bool startSucceeds = true;

protected:
    bool Start(const std::wstring& target) override {
        started.push_back(target);
        return startSucceeds;
    }
};

void Touch(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
    std::sort(items.begin(), items.end());
    return items;
}

TEST(StartupFolder, OnlyVisibleItemsAreStartedWithOneBackslash) {
    TempFolder folder;
    const std::wstring base = Wide(folder.Path());
    Touch(base + L"\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Touch(base + L"\\a.lnk");
    Touch(base + L"\\b.lnk", FILE_ATTRIBUTE_HIDDEN);
    Touch(base + L"\\readme.txt", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(::CreateDirectoryW((base + L"\\Tools").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((base + L"\\Secret").c_str(), nullptr));
    ::SetFileAttributesW((base + L"\\Secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::vector<std::wstring> expected = {base + L"\\Tools", base + L"\\a.lnk",
                                                base + L"\\readme.txt"};

    for (const std::wstring& given : {base, base + L"\\"}) {
        RecordingShell shell;
        shell.StartFolderItems(given);
        EXPECT_EQ(Sorted(shell.started), expected);
    }
    ::SetFileAttributesW((base + L"\\readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(StartupFolder, MissingOrEmptyFoldersStartNothing) {
    TempFolder folder;
    RecordingShell shell;
    shell.StartFolderItems(Wide(folder.Path()));
    shell.StartFolderItems(Wide(folder.Path()) + L"\\does-not-exist");
    shell.StartFolderItems(L"");
    EXPECT_TRUE(shell.started.empty());
}

// A key of the test's own under HKCU, removed afterwards.
class RunKeyTest : public testing::Test {
protected:
    static constexpr const wchar_t* kKey = L"Software\\KorvaneTests\\RunKeyValues";

    HKEY OpenKey(REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, access, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    void Put(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
        WriteString(HKEY_CURRENT_USER, kKey, name, text, type);
    }
    std::vector<std::wstring> Names() { return ValueNames(HKEY_CURRENT_USER, kKey); }

    SavedRegistryKey m_saved{HKEY_CURRENT_USER, L"Software\\KorvaneTests"};
};

TEST_F(RunKeyTest, RunOnceStartsInOrderAndEmptiesTheKeyRunKeepsItsValues) {
    const std::vector<std::wstring> names{L"1 first", L"2 second", L"3 third"};
    const std::vector<std::wstring> commands{L"first.exe /a",
                                             LR"("C:\Program Files\second.exe" -b)", L"third.exe"};
    const struct {
        bool deleteStarted, startSucceeds;
        REGSAM access;
    } cases[] = {
        {true, true, KEY_ALL_ACCESS}, {true, false, KEY_ALL_ACCESS}, {false, true, KEY_READ}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "delete " << c.deleteStarted << ", starts succeed " << c.startSucceeds);
        for (std::size_t i = 0; i < names.size(); ++i)
            Put(names[i], commands[i]);
        ASSERT_EQ(Names(), names);
        RecordingShell shell;
        shell.startSucceeds = c.startSucceeds;
        shell.RunKeyValues(OpenKey(c.access), c.deleteStarted);
        EXPECT_EQ(shell.started, commands);
        EXPECT_EQ(Names(), c.deleteStarted ? std::vector<std::wstring>{} : names);
    }
}

TEST_F(RunKeyTest, OnlyStringsAreStartedAndOtherValuesStay) {
    Put(L"a", L"one.exe");
    WriteDword(HKEY_CURRENT_USER, kKey, L"b", 7);
    Put(L"c", L"%SystemRoot%\\two.exe", REG_EXPAND_SZ);
    const wchar_t multi[] = L"x.exe\0y.exe\0";
    WriteRaw(HKEY_CURRENT_USER, kKey, L"d", REG_MULTI_SZ, multi, sizeof(multi));
    Put(L"e", L"three.exe");

    RecordingShell shell;
    shell.RunKeyValues(OpenKey(), true);
    // Expandable data is passed on as stored; the launcher expands it.
    EXPECT_EQ(shell.started,
              (std::vector<std::wstring>{L"one.exe", L"%SystemRoot%\\two.exe", L"three.exe"}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"b", L"d"}));
}

TEST_F(RunKeyTest, AValueTooLargeForTheBuffersEndsTheWalkOfItsKey) {
    const std::wstring fits(2047, L'f'); // 4096 bytes with its terminator: just fits
    const std::wstring tooLong(2048, L'x');
    const std::wstring longName(4096, L'n'); // one more than the 4095 characters that fit
    const struct {
        const wchar_t* what;
        std::wstring name;
        std::wstring data;
    } cases[] = {
        {L"data", L"b", tooLong},
        {L"name", longName, L"b.exe"},
    };
    for (const auto& c : cases) {
        for (const bool deleteStarted : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "too long " << c.what << ", delete " << deleteStarted);
            DeleteKeyTree(HKEY_CURRENT_USER, kKey);
            Put(L"a", fits);
            Put(c.name, c.data);
            // Named to come after the long one in any enumeration order.
            Put(std::wstring(4094, L'z'), L"c.exe");
            RecordingShell shell;
            shell.RunKeyValues(OpenKey(), deleteStarted);
            EXPECT_EQ(shell.started, std::vector<std::wstring>{fits});
            EXPECT_EQ(Names().size(), deleteStarted ? 2u : 3u);
        }
    }
}

// Ends a runaway walk by emptying the key behind its back, so a regression fails, not hangs.
class RunawayGuardShell : public RecordingShell {
protected:
    bool Start(const std::wstring& target) override {
        if (started.size() == 10)
            DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\KorvaneTests\\RunKeyValues");
        return RecordingShell::Start(target);
    }
};

TEST_F(RunKeyTest, ValuesThatCannotBeDeletedAreStartedOnceAndTheWalkEnds) {
    Put(L"a", L"one.exe");
    Put(L"b", L"two.exe");
    RunawayGuardShell shell;
    // Read-only access: every delete fails. The walk must neither stop nor repeat.
    shell.RunKeyValues(OpenKey(KEY_READ), true);
    EXPECT_EQ(shell.started, (std::vector<std::wstring>{L"one.exe", L"two.exe"}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST_F(RunKeyTest, TheWalkClosesTheKeyItWasGiven) {
    HKEY key = OpenKey();
    RecordingShell shell;
    shell.RunKeyValues(key, false);
    DWORD values = 0;
    EXPECT_NE(::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                 nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

// The six real keys of the prefix, emptied for the test and put back afterwards.
class RealRunKeysTest : public testing::Test {
protected:
    RealRunKeysTest() {
        for (const Shell::RunKey& key : Shell::RunKeys()) {
            m_saved.push_back(std::make_unique<SavedRegistryKey>(key.root, key.subkey));
            for (const std::wstring& name : ValueNames(key.root, key.subkey))
                DeleteValue(key.root, key.subkey, name);
        }
    }
    std::vector<std::unique_ptr<SavedRegistryKey>> m_saved;
};

TEST_F(RealRunKeysTest, RunKeysThenRunOnceKeysAndOnlyRunOnceIsEmptied) {
    const auto& keys = Shell::RunKeys();
    std::vector<std::wstring> expected;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::wstring command = L"program" + std::to_wstring(i) + L".exe";
        WriteString(keys[i].root, keys[i].subkey, L"korvane test", command);
        expected.push_back(command);
    }
    RecordingShell shell;
    shell.RunRegistryKeys();
    EXPECT_EQ(shell.started, expected);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(ValueNames(keys[i].root, keys[i].subkey).size(), keys[i].deleteStarted ? 0u : 1u)
            << "key " << i;
    }
}

TEST_F(RealRunKeysTest, AKeyThatCannotBeOpenedIsSkipped) {
    const auto& keys = Shell::RunKeys();
    // Key 5, the user's RunOnce, is missing altogether.
    DeleteKeyTree(keys[4].root, keys[4].subkey);
    WriteString(keys[1].root, keys[1].subkey, L"user run", L"user-run.exe");
    WriteString(keys[3].root, keys[3].subkey, L"machine once", L"machine-once.exe");
    WriteString(keys[5].root, keys[5].subkey, L"wow once", L"wow-once.exe");
    RecordingShell shell;
    shell.RunRegistryKeys();
    EXPECT_EQ(shell.started,
              (std::vector<std::wstring>{L"user-run.exe", L"machine-once.exe", L"wow-once.exe"}));
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                  path)))
        return {};
    return path;
}

TEST(StartupFolders, AllUsersFolderComesBeforeTheUsersOwn) {
    const std::wstring common = SpecialFolder(CSIDL_COMMON_STARTUP);
    const std::wstring user = SpecialFolder(CSIDL_STARTUP);
    ASSERT_FALSE(common.empty());
    ASSERT_FALSE(user.empty());
    ASSERT_NE(common, user);
    const std::wstring commonItem = common + L"\\korvane test common.lnk";
    const std::wstring userItem = user + L"\\korvane test user.lnk";
    Touch(commonItem);
    Touch(userItem);

    RecordingShell shell;
    shell.RunStartupFolders();
    ::DeleteFileW(commonItem.c_str());
    ::DeleteFileW(userItem.c_str());

    const auto commonAt = std::find(shell.started.begin(), shell.started.end(), commonItem);
    const auto userAt = std::find(shell.started.begin(), shell.started.end(), userItem);
    ASSERT_NE(commonAt, shell.started.end());
    ASSERT_NE(userAt, shell.started.end());
    EXPECT_LT(commonAt, userAt);
}

} // namespace
