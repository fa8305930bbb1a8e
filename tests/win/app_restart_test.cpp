// A desktop started again after a crash: the mutex the crashed desktop leaves does not refuse it
// (it is still owned while the dump is written), and the log-on programs the first desktop
// started are not started twice.
#include "app/app.h"
#include "support/test_app.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class RestartTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(DataFolder()); }
    void TearDown() override { DeleteTree(DataFolder()); }

    static void Finish(CApp& app) {
        FinishApp(app);
        PumpMessages();
    }

    ScopedRegistryKeyReset m_settingsReset{"Software\\Korvane"};
    ScriptedModalUi m_ui;
};

TEST_F(RestartTest, ComesUpBesideTheDyingDesktopsMutexAndSkipsTheLogOnPrograms) {
    // Owned by a thread that is still alive, as in a desktop whose reporter writes its dump.
    UniqueKernelHandle dying, quit(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        created(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread owner([&] {
        dying.Reset(::CreateMutexA(nullptr, TRUE, CApp::kMutexName));
        ::SetEvent(created.Get());
        ::WaitForSingleObject(quit.Get(), 30000);
    });
    ::WaitForSingleObject(created.Get(), 10000);
    EXPECT_TRUE(dying); // no ASSERT: the owner thread must be joined

    TestApp ordinary; // an ordinary second start is still refused by it
    ordinary.taskbar = false;
    EXPECT_FALSE(ordinary.InitInstance());
    ordinary.ExitInstance();

    TestApp restarted;
    restarted.taskbar = false;
    restarted.m_restartedAfterCrash = true;
    EXPECT_TRUE(restarted.InitInstance());
    EXPECT_TRUE(restarted.MainHwnd());
    EXPECT_EQ(restarted.m_taskbarFound, 0);
    EXPECT_TRUE(restarted.shellCalls.empty()) << "the first desktop already did the log-on duties";
    EXPECT_EQ(restarted.m_adminMode, 0);
    EXPECT_TRUE(m_ui.shown.empty());
    Finish(restarted);

    // Once the dying one is gone, the restarted desktop's handle keeps refusing ordinary starts.
    ::SetEvent(quit.Get());
    owner.join();
    dying.Reset();
    TestApp later;
    EXPECT_FALSE(later.InitInstance());
    later.ExitInstance();
}

} // namespace
