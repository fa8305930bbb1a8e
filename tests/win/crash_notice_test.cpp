// The operator hears of the desktop's last crash once, at the next entry into admin mode: when it
// happened and which dump belongs to it.
#include "app/crash_notice.h"
#include "app/registry_plus.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(CrashNotice, NamesTheLastCrashAndItsDumpOnce) {
    ScopedRegistryKeyReset reset{"Software\\Korvane"};
    ScriptedModalUi ui;
    TempFolder crashes;
    CRegistryPlus settings;
    TellOfLastCrash(nullptr, settings, crashes.Path());
    EXPECT_TRUE(ui.shown.empty()) << "no crash, no message";

    // Dumps of our process and of one whose number merely ends in the same digits.
    const std::string ours = crashes.File("korvane.exe-20251209-101012-4242.dmp");
    std::ofstream(ours) << "MDMP";
    std::ofstream(crashes.File("korvane.exe-20251209-101011-14242.dmp")) << "MDMP";
    // 2025-12-09 10:10:10 UTC, a hang of process 4242, after a crash the operator was told of.
    settings.WriteString("crashes", "1000 0 77 c told;1765275010000 1765270000000 4242 h");
    TellOfLastCrash(nullptr, settings, crashes.Path());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, "Warning!");
    const std::string& text = ui.shown[0].text;
    EXPECT_NE(text.find("stopped answering on 2025-12-09 "), std::string::npos) << text;
    EXPECT_NE(text.find("Crash report: " + ours + "\n"), std::string::npos) << text;

    TellOfLastCrash(nullptr, settings, crashes.Path());
    EXPECT_EQ(ui.shown.size(), 1u) << "told twice";
    std::string stored;
    ASSERT_TRUE(settings.TryReadString("crashes", stored));
    EXPECT_EQ(stored, "1000 0 77 c told;1765275010000 1765270000000 4242 h told");

    // A crash whose dump is gone (or was never written).
    settings.WriteString("crashes", stored + ";1765275070000 1765270000000 4343 c");
    TellOfLastCrash(nullptr, settings, crashes.Path());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[1].text.find("crashed on 2025-12-09 "), std::string::npos);
    EXPECT_NE(ui.shown[1].text.find("No crash report"), std::string::npos);
}

} // namespace
