// After a desktop ends: restart, give up, or give up and start the standard shell; which dumps
// go; which Shell values name us; what our arguments make of a process.
#include "app/crash_recovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kAccessViolation = 0xC0000005;

struct Ending {
    std::uint32_t exitCode;
    std::uint64_t atMs;
    bool logonShell;
    AfterExit expected;
};

TEST(CrashRecovery, RestartsUntilThreeCrashesFallWithinAMinute) {
    using A = AfterExit;
    const std::vector<std::pair<const char*, std::vector<Ending>>> histories = {
        {"ordinary ends never restart, however many",
         {{0, 0, true, A::Finish},
          {1, 10, true, A::Finish},
          {9, 20, false, A::Finish},
          {0x40010004, 30, true, A::Finish}}},
        {"the third crash within 60 s gives up; the log-on shell hands over to explorer",
         {{kAccessViolation, 1000, true, A::Restart},
          {kFatalExitCode, 2000, true, A::Restart},
          {0xE06D7363, 61000, true, A::GiveUpAndStartExplorer}}},
        {"an ordinary program just stops",
         {{kAccessViolation, 0, false, A::Restart},
          {kAccessViolation, 5, false, A::Restart},
          {kAccessViolation, 10, false, A::GiveUp}}},
        {"a crash older than 60 s no longer counts",
         {{kAccessViolation, 0, true, A::Restart},
          {kAccessViolation, 30000, true, A::Restart},
          {kAccessViolation, 60001, true, A::Restart},
          {kAccessViolation, 90000, true, A::GiveUpAndStartExplorer}}},
        {"clean ends between crashes do not reset the count",
         {{kAccessViolation, 0, false, A::Restart},
          {0, 100, false, A::Finish},
          {kAccessViolation, 200, false, A::Restart},
          {kAccessViolation, 300, false, A::GiveUp}}},
    };
    for (const auto& [what, endings] : histories) {
        SCOPED_TRACE(what);
        CrashRecovery recovery;
        for (std::size_t i = 0; i < endings.size(); ++i) {
            const Ending& e = endings[i];
            EXPECT_EQ(recovery.OnDesktopEnded(e.exitCode, e.atMs, e.logonShell), e.expected)
                << "ending " << i;
        }
    }
}

TEST(CrashRecovery, ShellValuesThatNameThisProgram) {
    const std::string us = "C:\\Program Files\\Korvane\\korvane.exe";
    const std::vector<std::pair<std::string, bool>> values = {
        {us, true},
        {"c:\\program files\\KORVANE\\Korvane.EXE", true},
        {"  " + us + "  ", true},
        {"\"" + us + "\"", true},
        {"\"" + us + "\" /x", true},
        {us + " /x", true},
        {"korvane.exe", true},
        {"korvane", true},
        {"explorer.exe", false},
        {"C:\\Other\\korvane.exe", false},
        {us + "x", false},
        {"\"C:\\Program Files\\Korvane\\korvane.exe.bak\"", false},
        {"", false},
    };
    for (const auto& [value, names] : values)
        EXPECT_EQ(ShellValueNamesProgram(value, us), names) << value;
    EXPECT_FALSE(ShellValueNamesProgram(us, ""));
}

TEST(CrashRecovery, KeepsTheNewestDumpsAndDeletesTheOldestFirst) {
    std::vector<DumpFile> dumps; // listed out of age order, as a folder listing may be
    for (int i = 0; i < 25; ++i)
        dumps.push_back({"d" + std::to_string(i) + ".dmp", static_cast<std::uint64_t>(i * 7 % 25)});
    std::vector<std::string> oldestFive;
    for (std::uint64_t age = 0; age < 5; ++age)
        for (const DumpFile& d : dumps)
            if (d.writeTime == age)
                oldestFive.push_back(d.name);
    EXPECT_EQ(DumpsToDelete(dumps), oldestFive);
    dumps.resize(20);
    EXPECT_TRUE(DumpsToDelete(dumps).empty());
    // Same time: the name decides, so a folder of equal times still loses a stable choice.
    EXPECT_EQ(DumpsToDelete({{"b.dmp", 5}, {"a.dmp", 5}, {"c.dmp", 1}}, 1),
              (std::vector<std::string>{"c.dmp", "a.dmp"}));
}

TEST(CrashRecovery, LaunchArgumentsChooseFirstDesktopWatcherOrRestartedDesktop) {
    struct Case {
        const char* commandLine;
        bool first, restarted, watcher;
        std::uint64_t process, event;
    };
    for (const Case& c : {
             Case{"", true, false, false, 0, 0},
             Case{"/somethingelse", true, false, false, 0, 0},
             Case{"/desktopx", true, false, false, 0, 0},
             Case{"/desktop", false, false, false, 0, 0},
             Case{"/DESKTOP\t/restarted ", false, true, false, 0, 0},
             Case{"/watch 123 456", false, false, true, 123, 456},
             Case{" /WATCH\t18446744073709551615 7 /desktop", false, false, true,
                  18446744073709551615ull, 7},
             // Malformed handles make no watcher: the process is an ordinary first desktop.
             Case{"/watch 123", true, false, false, 0, 0},
             Case{"/watch 0 5", true, false, false, 0, 0},
             Case{"/watch 12a 5", true, false, false, 0, 0},
             Case{"/watch -1 5", true, false, false, 0, 0},
             Case{"/watch 18446744073709551616 5", true, false, false, 0, 0},
         }) {
        const LaunchRole role = ParseLaunchRole(c.commandLine);
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(role.first, c.first);
        EXPECT_EQ(role.restarted, c.restarted);
        EXPECT_EQ(role.watcher, c.watcher);
        EXPECT_EQ(role.desktopProcess, c.process);
        EXPECT_EQ(role.crashEvent, c.event);
    }
    const LaunchRole round = ParseLaunchRole(WatchArguments(0x1F4, 36));
    EXPECT_TRUE(round.watcher);
    EXPECT_EQ(round.desktopProcess, 0x1F4u);
    EXPECT_EQ(round.crashEvent, 36u);
}

} // namespace
