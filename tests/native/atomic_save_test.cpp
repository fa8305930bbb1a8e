// Icons::Save under fault: a helper process saving two different catalogues in turn is killed
// with SIGKILL at many different moments; icons.bin must then always load as one of the two
// complete catalogues, never as a truncated or mixed file.

#include "catalogue/icons.h"

#include "catalogue_test_support.h"
#include "helpers/saver_catalogues.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace catalogue_test;

namespace {

class AtomicSaveTest : public TempDirTest {
protected:
    std::string File() const { return PathOf("icons.bin"); }

    // Starts the helper; its standard output comes to m_notices.
    pid_t Start(std::vector<std::string> args) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        args.insert(args.begin(), KORVANE_CATALOGUE_SAVER);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_notices = fds[0];
        return pid;
    }

    // Waits for `saves` completed saves; false when the helper ended first.
    bool WaitForSaves(int saves) {
        char byte;
        for (int i = 0; i < saves; ++i)
            if (::read(m_notices, &byte, 1) != 1)
                return false;
        return true;
    }

    void TearDown() override {
        if (m_notices >= 0)
            ::close(m_notices);
        TempDirTest::TearDown();
    }

    int m_notices = -1;
};

TEST_F(AtomicSaveTest, KilledSaverLeavesOneCompleteCatalogue) {
    {
        const pid_t seeder = Start({File(), "once"});
        int status = 0;
        ASSERT_EQ(::waitpid(seeder, &status, 0), seeder);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ::close(m_notices);
        m_notices = -1;
    }
    ASSERT_EQ(saver::Identify(Icons(File())), 0);

    constexpr int kKills = 40;
    int found[2] = {0, 0};
    int interruptedMidSave = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t saver = Start({File()});
        ASSERT_GT(saver, 0);
        // Kill after 0, 1 or 2 completed saves, then 0 to 5 ms into the next one.
        ASSERT_TRUE(WaitForSaves(kill % 3)) << "helper ended early at kill " << kill;
        std::this_thread::sleep_for(std::chrono::microseconds((kill * 37 % 41) * 125));
        ASSERT_EQ(::kill(saver, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "helper ended on its own at kill " << kill;
        ::close(m_notices);
        m_notices = -1;

        if (std::filesystem::exists(File() + ".tmp"))
            ++interruptedMidSave;
        std::vector<std::string> warnings;
        Icons loaded(File(), [&](const std::string& text) { warnings.push_back(text); });
        const int which = saver::Identify(loaded);
        ASSERT_NE(which, -1) << "kill " << kill << ": " << loaded.m_count << " entries, "
                             << std::filesystem::file_size(File()) << " bytes";
        ASSERT_TRUE(warnings.empty());
        ++found[which];
    }
    std::printf("%d kills: small catalogue %d times, large %d times, %d kills during a save\n",
                kKills, found[0], found[1], interruptedMidSave);
    // The kills must really have hit saves in progress, or the test proves nothing.
    EXPECT_GT(interruptedMidSave, 0);
}

} // namespace
