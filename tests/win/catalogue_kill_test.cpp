// The desktop killed at random moments during a burst of edits: icons.bin is always one of the
// catalogues that existed, whole, never a mixture or a truncated file.
#include "support/test_app.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string HelperPath(const char* name) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\')) + "\\" + name;
}

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool WrittenSince(const std::string& path, const FILETIME& before) {
    const FILETIME now = WriteTime(path);
    return ::CompareFileTime(&before, &now) != 0;
}

std::int32_t Int32At(const std::string& bytes, std::size_t offset) {
    std::int32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

TEST(CatalogueKill, AKillDuringABurstOfSavesLeavesOneWholeCatalogue) {
    ScopedRegistryKeyReset settings{"Software\\Korvane"};
    DeleteTree(DataFolder());
    MakeDataFolder();
    const std::string path = DataFolder() + "\\icons.bin";
    const std::string original =
        CatalogueFileBytes({{0, 0, 0, "Moving", "{\\rtf1 moves}", "", "", "", ""},
                            {0, 2, 0, "Still one", "", "", "", "", ""},
                            {3, 2, 0, "Still two", "", "", "", "", ""},
                            {5, 3, 0, "Still three", "", "", "", "", ""}},
                           {"Office"});
    WriteWholeFile(path, original);

    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    const int columns = (screen.right - screen.left - 4) / 75;
    unsigned seed = 12345;
    int killedAfterSaves = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const FILETIME before = WriteTime(path);
        STARTUPINFOA startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        std::string commandLine = "\"" + HelperPath("edit_burst.exe") + "\"";
        ASSERT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &process));
        // Once the burst is under way, kill it somewhere between 0 and 250 ms later.
        for (int wait = 0; wait < 400 && !WrittenSince(path, before); ++wait)
            ::Sleep(25);
        seed = seed * 1103515245u + 12345u;
        ::Sleep((seed >> 16) % 250);
        ::TerminateProcess(process.hProcess, 9);
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);

        const std::string now = ReadWholeFile(path);
        ASSERT_EQ(now.size(), original.size()) << "a whole catalogue of the same shape";
        // Everything but the moving program's cell is what it was.
        EXPECT_EQ(now.substr(8), original.substr(8));
        EXPECT_EQ(now.substr(0, 4), original.substr(0, 4));
        const std::int32_t column = Int32At(now, 4), row = Int32At(now, 8);
        EXPECT_EQ(row, 0);
        EXPECT_GE(column, 0);
        EXPECT_LT(column, columns);
        killedAfterSaves += WrittenSince(path, before);
    }
    EXPECT_GE(killedAfterSaves, 10) << "the kills must land inside bursts of saves";
    DeleteTree(DataFolder());
}

} // namespace
