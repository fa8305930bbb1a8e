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
    std::int64_t atMs; // wall clock; the boot is the same unless bootMs says otherwise
    bool logonShell;
    AfterExit expected;
    std::int64_t bootMs = 0;
};

TEST(CrashRecovery, RestartsUntilThreeCrashesFallWithinAMinuteAcrossWatchers) {
    using A = AfterExit;
    const std::vector<std::pair<const char*, std::vector<Ending>>> histories = {
        {"ordinary ends never restart, however many",
         {{0, 0, true, A::Finish},
          {1, 10, true, A::Finish},
          {9, 20, false, A::Finish},
          {0x40010004, 30, true, A::Finish}}},
        {"the third crash within 60 s gives up; the log-on shell hands over to explorer",
         {{kAccessViolation, 1000, true, A::Restart},
          {kHungExitCode, 2000, true, A::Restart},
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
        // The clock set back an hour between crashes of one boot: the time since boot decides.
        {"a clock set back does not make old crashes recent",
         {{kAccessViolation, 3600000, false, A::Restart, 0},
          {kAccessViolation, 3700000, false, A::Restart, 0},
          {kAccessViolation, 110000, false, A::Restart, -3600000}}},
        // A reboot in between: the wall clock decides.
        {"crashes before a quick reboot still count",
         {{kAccessViolation, 100000, true, A::Restart, 0},
          {kAccessViolation, 110000, true, A::Restart, 0},
          {kAccessViolation, 150000, true, A::GiveUpAndStartExplorer, 140000}}},
    };
    for (const auto& [what, endings] : histories) {
        SCOPED_TRACE(what);
        std::string stored; // each ending handled by a new watcher that reads the settings
        for (std::size_t i = 0; i < endings.size(); ++i) {
            const Ending& e = endings[i];
            CrashHistory history = CrashHistory::Parse(stored);
            EXPECT_EQ(history.OnDesktopEnded(e.exitCode, {e.atMs, e.bootMs}, e.logonShell,
                                             static_cast<std::uint32_t>(100 + i), CrashKind::Crash),
                      e.expected)
                << "ending " << i;
            stored = history.Format();
        }
    }
}

TEST(CrashRecovery, HistoryTextKeepsTheLastThreeAndTellsTheOperatorOnce) {
    CrashHistory history = CrashHistory::Parse(
        "1 0 11 c told;garbage;2 0 12 h;3 0 x c;4 0 14 q;5 0 15 c told extra;6 -1 16 c;7 0 17 c");
    EXPECT_EQ(history.Format(), "1 0 11 c told;2 0 12 h;7 0 17 c");
    history.OnDesktopEnded(kHungExitCode, {9000, 5}, false, 4242, CrashKind::Hang);
    EXPECT_EQ(history.Format(), "2 0 12 h;7 0 17 c;9000 5 4242 h");
    const auto last = history.TakeUntold();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->processId, 4242u);
    EXPECT_EQ(last->kind, CrashKind::Hang);
    EXPECT_EQ(last->at.wallMs, 9000);
    EXPECT_FALSE(CrashHistory::Parse(history.Format()).TakeUntold());
    EXPECT_FALSE(CrashHistory::Parse("").TakeUntold());
}

TEST(CrashRecovery, ADesktopSilentFor15SecondsAfterItsFirstSignIsHung) {
    HangWatch hang;
    // Never signed yet (still starting): not judged, however long.
    EXPECT_FALSE(hang.IsHung(1000000));
    EXPECT_EQ(hang.MsUntilDue(1000000), HangWatch::kNever);
    hang.Answered(1000);
    EXPECT_EQ(hang.MsUntilDue(1000), 15000u);
    hang.Answered(1200);
    EXPECT_FALSE(hang.IsHung(16199));
    EXPECT_TRUE(hang.IsHung(16200));
    hang.Answered(900); // a sign read late never moves the last one back
    EXPECT_TRUE(hang.IsHung(16200));
    EXPECT_EQ(hang.MsUntilDue(16200), 0u);
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
        std::uint64_t process, event, watcherProcess = 0, alive = 0;
    };
    for (const Case& c : {
             Case{"", true, false, false, 0, 0},
             Case{"/somethingelse", true, false, false, 0, 0},
             Case{"/desktopx", true, false, false, 0, 0},
             Case{"/desktop", false, false, false, 0, 0},
             Case{"/DESKTOP\t/restarted ", false, true, false, 0, 0},
             Case{"/desktop /restarted 40 44", false, true, false, 0, 44, 40},
             Case{"/desktop /restarted 40 44 48", false, true, false, 0, 44, 40, 48},
             Case{"/desktop /restarted 40 x", false, true, false, 0, 0, 0},
             Case{"/watch 123 456", false, false, true, 123, 456},
             Case{"/watch 123 456 789", false, false, true, 123, 456, 0, 789},
             Case{"/watch 123 456 0", false, false, true, 123, 456},
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
        EXPECT_EQ(role.watcherProcess, c.watcherProcess);
        EXPECT_EQ(role.aliveEvent, c.alive);
    }
    const LaunchRole round = ParseLaunchRole(WatchArguments(0x1F4, 36, 40));
    EXPECT_TRUE(round.watcher);
    EXPECT_EQ(round.desktopProcess, 0x1F4u);
    EXPECT_EQ(round.crashEvent, 36u);
    EXPECT_EQ(round.aliveEvent, 40u);
    const LaunchRole restarted = ParseLaunchRole(RestartArguments(0x2A, 7, 9));
    EXPECT_TRUE(restarted.restarted);
    EXPECT_EQ(restarted.watcherProcess, 0x2Au);
    EXPECT_EQ(restarted.crashEvent, 7u);
    EXPECT_EQ(restarted.aliveEvent, 9u);
}

} // namespace
