// The lockdown's portable half: its journal format, which journals are refused, the keyboard
// filter's decisions and the unlock argument.
#include "app/lockdown_profile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kSystem(kPolicySystemKey);
const std::string kExplorer(kPolicyExplorerKey);

LockdownJournal SampleJournal() {
    LockdownJournal journal;
    journal.userSid = "S-1-5-21-1-2-3-1001";
    journal.keys = {{PolicyRoot::User, kExplorer, 2}, {PolicyRoot::Machine, kSystem, 0}};
    journal.values = {
        {PolicyRoot::User, kSystem, "DisableTaskMgr", false},
        {PolicyRoot::User, kExplorer, "NoRun", true, 4, {7, 0, 0, 0}},
        {PolicyRoot::User, kSystem, "DisableRegistryTools", true, 1, {'o', 'f', 'f', 0}},
        {PolicyRoot::Machine, kSystem, "HideFastUserSwitching", true, 3, {}},
    };
    journal.accessibility = {{AccessibilityFeature::StickyKeys, 510},
                             {AccessibilityFeature::ToggleKeys, 0}};
    return journal;
}

} // namespace

TEST(LockdownJournal, RoundTripsEveryKindOfOriginal) {
    const LockdownJournal journal = SampleJournal();
    const std::string text = FormatJournal(journal);
    const auto parsed = ParseJournal(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->userSid, journal.userSid);
    ASSERT_EQ(parsed->keys.size(), 2u);
    EXPECT_EQ(parsed->keys[0].createdParts, 2);
    EXPECT_EQ(parsed->keys[1].root, PolicyRoot::Machine);
    ASSERT_EQ(parsed->values.size(), journal.values.size());
    for (std::size_t i = 0; i < journal.values.size(); ++i) {
        SCOPED_TRACE(journal.values[i].name);
        EXPECT_EQ(parsed->values[i].root, journal.values[i].root);
        EXPECT_EQ(parsed->values[i].key, journal.values[i].key);
        EXPECT_EQ(parsed->values[i].present, journal.values[i].present);
        EXPECT_EQ(parsed->values[i].type, journal.values[i].type);
        EXPECT_EQ(parsed->values[i].data, journal.values[i].data);
    }
    ASSERT_EQ(parsed->accessibility.size(), 2u);
    EXPECT_EQ(parsed->accessibility[0].flags, 510u);
    EXPECT_EQ(parsed->accessibility[1].feature, AccessibilityFeature::ToggleKeys);
    EXPECT_EQ(FormatJournal(*parsed), text);
}

TEST(LockdownJournal, RefusesDamageAndAnythingOutsideTheProfile) {
    const std::string good = FormatJournal(SampleJournal());
    const std::string header = "korvane lockdown journal 1\nuser\tS-1\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"cut short before its end", good.substr(0, good.size() - 4)},
        {"cut inside a line", good.substr(0, good.find("NoRun") + 3)},
        {"empty", ""},
        {"other header", "korvane lockdown journal 2" + good.substr(good.find('\n'))},
        {"no user", "korvane lockdown journal 1\nend\n"},
        {"lines after the end", good + "end\n"},
        {"value outside the profile's keys",
         header + "value\tHKLM\tSOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\t"
                  "Shell\t1\t6500\nend\n"},
        {"profile key, foreign name", header + "value\tHKCU\t" + kSystem + "\tEvil\tabsent\nend\n"},
        {"profile name under the other root",
         header + "value\tHKLM\t" + kExplorer + "\tNoRun\tabsent\nend\n"},
        {"key outside the profile", header + "key\tHKCU\tSoftware\\Classes\t1\nend\n"},
        {"more made parts than the key has", header + "key\tHKCU\t" + kSystem + "\t99\nend\n"},
        {"odd hex", header + "value\tHKCU\t" + kSystem + "\tDisableTaskMgr\t4\t010\nend\n"},
        {"not hex", header + "value\tHKCU\t" + kSystem + "\tDisableTaskMgr\t4\tzz\nend\n"},
        {"type not a number",
         header + "value\tHKCU\t" + kSystem + "\tDisableTaskMgr\tx\t00\nend\n"},
        {"value twice", header + "value\tHKCU\t" + kSystem + "\tDisableTaskMgr\tabsent\n" +
                            "value\tHKCU\t" + kSystem + "\tDisableTaskMgr\tabsent\nend\n"},
        {"unknown feature", header + "access\tMouseKeys\t1\nend\n"},
        {"unknown line", header + "delete\tHKCU\tSoftware\nend\n"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ParseJournal(c.text)) << c.what;
}

TEST(LockdownProfile, TheTableAndWhenItApplies) {
    EXPECT_EQ(LockdownKeys().size(), 4u) << "three keys of the account, one of the machine";
    const PolicyValue* noClose = FindPolicy(PolicyRoot::User, kPolicyExplorerKey, "NoClose");
    const PolicyValue* cmd = FindPolicy(PolicyRoot::User, kPolicyCommandKey, "DisableCMD");
    ASSERT_TRUE(noClose && cmd);
    EXPECT_TRUE(PolicyWanted(*noClose, 0));
    EXPECT_FALSE(PolicyWanted(*noClose, 1)) << "customers who may shut down keep Shut down";
    EXPECT_TRUE(PolicyWanted(*cmd, 1));
    EXPECT_EQ(cmd->data, 2u) << "batch programs of the catalogue keep working";
    EXPECT_TRUE(LockdownWanted(true, 1, false));
    EXPECT_FALSE(LockdownWanted(true, 1, true));
    EXPECT_FALSE(LockdownWanted(false, 1, false));
    EXPECT_FALSE(LockdownWanted(true, 0, false));
    EXPECT_EQ(LockedAccessibilityFlags(0x1FE), 0x1FAu);
}

TEST(LockdownProfile, UnlockArgument) {
    EXPECT_TRUE(HasUnlockArgument("/unlock"));
    EXPECT_TRUE(HasUnlockArgument("/S /UNLOCK"));
    EXPECT_FALSE(HasUnlockArgument(""));
    EXPECT_FALSE(HasUnlockArgument("/unlocked"));
    EXPECT_FALSE(HasUnlockArgument("/watch 12 34"));
}

TEST(KeyboardFilter, SwallowsTheWaysOutAndLetsTheRestThrough) {
    enum : std::uint32_t {
        Tab = 0x09,
        Esc = 0x1B,
        F4 = 0x73,
        LWin = 0x5B,
        RWin = 0x5C,
        Apps = 0x5D,
        R = 'R',
        LShift = 0xA0,
        LCtrl = 0xA2,
        RCtrl = 0xA3,
        LAlt = 0xA4
    };
    struct Event {
        std::uint32_t vk;
        bool down;
        bool swallowed;
    };
    const struct {
        const char* what;
        std::vector<Event> events;
        bool desktopInFront = false;
    } cases[] = {
        {"Win alone", {{LWin, true, true}, {LWin, false, true}}},
        {"right Win with R",
         {{RWin, true, true},
          {R, true, true},
          {R, false, true},
          {RWin, false, true},
          {R, true, false}}},
        {"Ctrl+Esc",
         {{LCtrl, true, false},
          {Esc, true, true},
          {Esc, false, true},
          {LCtrl, false, false},
          {Esc, true, false}}},
        {"Ctrl+Shift+Esc", {{RCtrl, true, false}, {LShift, true, false}, {Esc, true, true}}},
        {"Alt+Esc", {{LAlt, true, false}, {Esc, true, true}}},
        {"Alt+Tab", {{LAlt, true, false}, {Tab, true, false}, {Tab, false, false}}},
        {"Alt+F4", {{LAlt, true, false}, {F4, true, false}}},
        {"Apps over a customer's program", {{Apps, true, false}}},
        {"Apps over the desktop", {{Apps, true, true}}, true},
    };
    for (const auto& c : cases) {
        KeyFilter filter;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const Event& e = c.events[i];
            EXPECT_EQ(filter.Swallow(e.vk, e.down, false, c.desktopInFront), e.swallowed)
                << c.what << ", event " << i;
        }
    }
    KeyFilter altFlagOnly; // Alt held before the filter started: the event's own flag tells
    EXPECT_TRUE(altFlagOnly.Swallow(Esc, true, true, false));
}
