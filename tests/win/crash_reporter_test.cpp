// The crash reporter in a process that really crashes: a minidump must appear.
#include "app/crash_recovery.h"
#include "app/crash_reporter.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(folder + "\\" + data.cFileName);
    while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return names;
}

// Kills the victim after killAfterMs when that is not zero.
DWORD RunVictim(const std::string& folder, const char* how, DWORD killAfterMs = 0) {
    std::string command =
        std::string("\"") + KORVANE_TEST_BIN_DIR + "/crash_victim.exe\" \"" + folder + "\" " + how;
    STARTUPINFOA si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return 0xFFFFFFFF;
    if (::WaitForSingleObject(pi.hProcess, killAfterMs ? killAfterMs : 60000) == WAIT_TIMEOUT &&
        killAfterMs) {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 10000);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

TEST(CrashReporter, WritesAMinidumpAndADescriptionForEachKindOfCrashAndEndsTheProcess) {
    // A crash on a second thread ends the whole process too, with the exception's code; Wine
    // alone would end only that thread and let the victim sleep on and end normally. A stack
    // overflow leaves no stack to write the dump with: another thread writes it.
    const std::pair<const char*, DWORD> kinds[] = {{"access", EXCEPTION_ACCESS_VIOLATION},
                                                   {"thread", EXCEPTION_ACCESS_VIOLATION},
                                                   {"overflow", EXCEPTION_STACK_OVERFLOW},
                                                   {"throw", kFatalExitCode}};
    for (const auto& [how, expectedCode] : kinds) {
        SCOPED_TRACE(how);
        TempFolder temp;
        const std::string crashes = temp.Path() + "\\Quillmoran\\Shell\\Crashes";
        EXPECT_EQ(RunVictim(crashes, how), expectedCode);

        const auto dumps = FilesIn(crashes, "korvane.exe-*.dmp");
        ASSERT_EQ(dumps.size(), 1u);
        EXPECT_EQ(ReadWholeFile(dumps[0]).substr(0, 4), "MDMP");
        const auto notes = FilesIn(crashes, "korvane.exe-*.txt");
        ASSERT_EQ(notes.size(), 1u);
        const std::string note = ReadWholeFile(notes[0]);
        EXPECT_NE(note.find("Version: 1.23-EN"), std::string::npos);
        EXPECT_NE(note.find("korvane.exe - crash report"), std::string::npos);
        EXPECT_NE(note.find("E-mail: crashes@example.invalid"), std::string::npos);
    }
}

int VictimProcesses() {
    int count = 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry))
        count += _stricmp(entry.szExeFile, "crash_victim.exe") == 0;
    ::CloseHandle(snapshot);
    return count;
}

// The desktop's watcher waits suspended: a crash lets it run and outlive the crashed process (it
// sees the crash event and the exit code); a desktop that ends, or is killed, without letting it
// go takes it along.
TEST(CrashReporter, ASuspendedWatcherRunsOnlyAfterACrashAndOutlivesIt) {
    const struct {
        const char* how;
        DWORD killAfterMs;
        DWORD exitCode;
        const char* mark; // what the watcher wrote; null: it never ran
    } cases[] = {{"watched-access", 0, EXCEPTION_ACCESS_VIOLATION, "C0000005 1"},
                 {"watched-exit", 0, 0, nullptr},
                 {"watched-sleep", 1500, 1, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TempFolder temp;
        const std::string mark = temp.Path() + "\\watcher.txt";
        ::SetEnvironmentVariableA("KORVANE_TEST_WATCH_MARK", mark.c_str());
        EXPECT_EQ(RunVictim(temp.Path() + "\\Crashes", c.how, c.killAfterMs), c.exitCode);
        for (int i = 0; i < 100 && VictimProcesses() > 0; ++i)
            ::Sleep(100);
        EXPECT_EQ(VictimProcesses(), 0) << "a watcher was left behind";
        if (c.mark)
            EXPECT_EQ(ReadWholeFile(mark), c.mark);
        else
            EXPECT_EQ(::GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    ::SetEnvironmentVariableA("KORVANE_TEST_WATCH_MARK", nullptr);
}

TEST(CrashReporter, AVictimThatDoesNotCrashLeavesNoReport) {
    TempFolder temp;
    const std::string crashes = temp.Path() + "\\Crashes";
    EXPECT_EQ(RunVictim(crashes, "none"), 0u);
    EXPECT_TRUE(FilesIn(crashes, "*").empty());
}

TEST(CrashReporter, InstallRefusesBadRecordsAndSecondInstalls) {
    char text[256];
    EXPECT_NE(crInstall(nullptr), 0);
    CrInstallInfo wrongSize;
    wrongSize.cb = 104;
    EXPECT_NE(crInstall(&wrongSize), 0);
    EXPECT_GT(crGetLastErrorMsg(text, sizeof(text)), 0);
    CrInstallInfo noFolder; // the reporter never guesses where the data lives
    EXPECT_NE(crInstall(&noFolder), 0);
    EXPECT_NE(std::string(text, crGetLastErrorMsg(text, sizeof(text))).find("folder"),
              std::string::npos);

    TempFolder temp;
    CrInstallInfo info;
    info.crashFolder = temp.Path().c_str();
    ASSERT_EQ(crInstall(&info), 0);
    EXPECT_EQ(crCrashFolder(), temp.Path());
    EXPECT_NE(crInstall(&info), 0);
    EXPECT_NE(std::string(text, crGetLastErrorMsg(text, sizeof(text))).find("already"),
              std::string::npos);
    EXPECT_EQ(crUninstall(), 0);
    EXPECT_TRUE(crCrashFolder().empty());
    EXPECT_NE(crUninstall(), 0);

    char tiny[4];
    EXPECT_EQ(crGetLastErrorMsg(tiny, sizeof(tiny)), 3);
    EXPECT_EQ(tiny[3], '\0');
}

} // namespace
