// The customer lockdown against the real registry: the profile written, the originals put back
// exactly, and the desktop applying and lifting it with its modes, settings and integration.
#include "app/lockdown.h"
#include "app/lockdown_session.h"
#include "framework/win_app.h"
#include "resource.h"
#include "support/test_desktop.h"
#include "support/test_dialog.h"
#include "support/test_saved_registry.h"

#include <map>
#include <set>

namespace {

const std::wstring kUserSystem = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kUserExplorer =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kUserCommand = L"Software\\Policies\\Microsoft\\Windows\\System";
const std::wstring kWinlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

class FakeAccessibility : public AccessibilityFlags {
public:
    FakeAccessibility() : m_previous(SetAccessibilityFlags(this)) {}
    ~FakeAccessibility() override { SetAccessibilityFlags(m_previous); }
    bool Read(AccessibilityFeature feature, std::uint32_t& value) override {
        value = flags[feature];
        return true;
    }
    bool Write(AccessibilityFeature feature, std::uint32_t value) override {
        flags[feature] = value;
        return true;
    }
    std::map<AccessibilityFeature, std::uint32_t> flags{{AccessibilityFeature::StickyKeys, 0x1FE},
                                                        {AccessibilityFeature::FilterKeys, 0x7E},
                                                        {AccessibilityFeature::ToggleKeys, 0x3A}};

private:
    AccessibilityFlags* m_previous;
};

// Every value of the profile's keys, "root\key\name=type:hex", and "root\key" for each key
// that exists: two equal snapshots are two equal registries as far as the lockdown goes.
std::set<std::string> Snapshot() {
    std::set<std::string> lines;
    for (const auto& [root, key] : LockdownKeys()) {
        const std::string prefix =
            std::string(root == PolicyRoot::User ? "HKCU\\" : "HKLM\\") + std::string(key);
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(root == PolicyRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                            std::string(key).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                            &opened) != ERROR_SUCCESS)
            continue;
        const UniqueHkey owned(opened);
        lines.insert(prefix);
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[256];
            DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
            if (::RegEnumValueA(opened, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
                ERROR_SUCCESS)
                break;
            std::string line = prefix + "\\" + name + "=" + std::to_string(type) + ":";
            for (DWORD b = 0; b < dataSize; ++b)
                line += "0123456789abcdef"[data[b] >> 4], line += "0123456789abcdef"[data[b] & 15];
            lines.insert(line);
        }
    }
    return lines;
}

std::string Dword(const char* root, std::wstring_view key, const char* name, DWORD value) {
    std::string line =
        std::string(root) + "\\" + std::string(key.begin(), key.end()) + "\\" + name + "=4:";
    for (int b = 0; b < 4; ++b) {
        const unsigned byte = (value >> (8 * b)) & 0xFF;
        line += "0123456789abcdef"[byte >> 4], line += "0123456789abcdef"[byte & 15];
    }
    return line;
}

// What restricted mode adds to a registry that had none of the profile's values.
std::set<std::string> ProfileLines(int isRestart) {
    std::set<std::string> lines;
    for (const PolicyValue& policy : kLockdownPolicies)
        if (PolicyWanted(policy, isRestart))
            lines.insert(Dword(policy.root == PolicyRoot::User ? "HKCU" : "HKLM",
                               std::wstring(policy.key.begin(), policy.key.end()),
                               std::string(policy.name).c_str(), policy.data));
    return lines;
}

bool KeyExists(const std::wstring& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(opened);
    return true;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::string> Without(std::set<std::string> lines, const std::string& prefix) {
    for (auto it = lines.begin(); it != lines.end();)
        it = it->rfind(prefix, 0) == 0 && it->find('=') != std::string::npos ? lines.erase(it)
                                                                             : std::next(it);
    return lines;
}

class LockdownTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        // Start from none of the profile's values; the saved keys put the prefix back.
        for (const auto& [root, key] : LockdownKeys())
            for (const PolicyValue& policy : kLockdownPolicies)
                if (policy.root == root && policy.key == key)
                    DeleteValue(root == PolicyRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                std::wstring(key.begin(), key.end()),
                                std::wstring(policy.name.begin(), policy.name.end()));
    }
    std::string JournalPath() { return DataFolder() + "\\lockdown.journal"; }
    // Integrated: the Winlogon shell names the running executable (here the test program).
    void Integrate() { WriteString(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", Widen(ModulePath())); }
    static std::wstring Widen(const std::string& text) {
        return std::wstring(text.begin(), text.end());
    }

    SavedRegistryKey m_userSystem{HKEY_CURRENT_USER, kUserSystem};
    SavedRegistryKey m_userExplorer{HKEY_CURRENT_USER, kUserExplorer};
    SavedRegistryKey m_userCommand{HKEY_CURRENT_USER, kUserCommand};
    SavedRegistryKey m_machineSystem{HKEY_LOCAL_MACHINE, kUserSystem};
    SavedRegistryValue m_shell{HKEY_LOCAL_MACHINE, kWinlogon, L"Shell"};
    FakeAccessibility m_access;
};

} // namespace

TEST_F(LockdownTest, OriginalsComeBackExactlyWhateverTheirStateAndApplyingTwiceKeepsThem) {
    // An absent value, a DWORD of another value and a REG_SZ where a DWORD belongs.
    WriteDword(HKEY_CURRENT_USER, kUserExplorer, L"NoRun", 7);
    WriteString(HKEY_CURRENT_USER, kUserSystem, L"DisableTaskMgr", L"keep me");
    WriteDword(HKEY_CURRENT_USER, kUserSystem, L"Unrelated", 42);
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows");
    const std::set<std::string> before = Snapshot();
    const auto accessBefore = m_access.flags;

    PolicyLockdown lockdown(JournalPath());
    ASSERT_TRUE(lockdown.Apply(0));
    std::set<std::string> locked =
        Without(before, "HKCU\\" + std::string(kPolicySystemKey) + "\\DisableTaskMgr");
    locked.erase(Dword("HKCU", kUserExplorer, "NoRun", 7));
    for (const std::string& line : ProfileLines(0))
        locked.insert(line);
    for (const auto& [root, key] : LockdownKeys())
        locked.insert((root == PolicyRoot::User ? "HKCU\\" : "HKLM\\") + std::string(key));
    locked.insert(Dword("HKCU", kUserSystem, "Unrelated", 42));
    EXPECT_EQ(Snapshot(), locked);
    EXPECT_EQ(m_access.flags[AccessibilityFeature::StickyKeys], 0x1FAu);
    EXPECT_EQ(m_access.flags[AccessibilityFeature::ToggleKeys], 0x3Au);

    // A second desktop (a restart) applying again must not take our values for originals;
    // with isRestart 1 the customer's Shut down comes back.
    PolicyLockdown again(JournalPath());
    ASSERT_TRUE(again.Apply(1));
    locked.erase(Dword("HKCU", kUserExplorer, "NoClose", 1));
    EXPECT_EQ(Snapshot(), locked);
    EXPECT_EQ(again.Restore(), RestoreResult::Restored);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(m_access.flags, accessBefore);
    EXPECT_FALSE(lockdown.JournalExists());
    EXPECT_FALSE(KeyExists(L"Software\\Policies\\Microsoft\\Windows"))
        << "the keys made for DisableCMD go again";
}

TEST_F(LockdownTest, AKeyThatCannotBeWrittenIsSkippedAndTheRestApplies) {
    // Under a volatile key no lasting key can be made: the registry refuses DisableCMD's key.
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows");
    HKEY volatileKey = nullptr; // its parents lasting, or they would be made volatile too
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(volatileKey);
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows", 0,
                                nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey,
                                nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(volatileKey);
    const std::set<std::string> before = Snapshot();

    PolicyLockdown lockdown(JournalPath());
    ASSERT_TRUE(lockdown.Apply(0));
    std::set<std::string> locked = before;
    for (const std::string& line : ProfileLines(0))
        if (line.find("DisableCMD") == std::string::npos)
            locked.insert(line);
    for (const auto& [root, key] : LockdownKeys())
        if (key != kPolicyCommandKey)
            locked.insert((root == PolicyRoot::User ? "HKCU\\" : "HKLM\\") + std::string(key));
    EXPECT_EQ(Without(Snapshot(), "HKCU\\" + std::string(kPolicyCommandKey)), locked);
    EXPECT_EQ(lockdown.Restore(), RestoreResult::Restored);
    EXPECT_EQ(Snapshot(), before);
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows");
}

TEST_F(LockdownTest, AJournalNamingAnythingOutsideTheProfileIsRefusedAndWritesNothing) {
    const std::wstring shellBefore = L"explorer.exe";
    WriteString(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", shellBefore);
    const std::set<std::string> before = Snapshot();
    WriteWholeFile(JournalPath(),
                   "korvane lockdown journal 1\nuser\t" + CurrentUserSid() + "\nvalue\tHKCU\t" +
                       std::string(kPolicySystemKey) +
                       "\tDisableTaskMgr\tabsent\nvalue\tHKLM\tSOFTWARE\\Microsoft\\Windows "
                       "NT\\CurrentVersion\\Winlogon\tShell\t1\t636d642e65786500\nend\n");
    PolicyLockdown lockdown(JournalPath());
    EXPECT_EQ(lockdown.Restore(), RestoreResult::Refused);
    std::wstring shell;
    ASSERT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kWinlogon, L"Shell", shell));
    EXPECT_EQ(shell, shellBefore);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(lockdown.JournalExists());
    EXPECT_NE(ReadWholeFile(JournalPath() + ".damaged").find("Winlogon"), std::string::npos);
}

TEST_F(LockdownTest, TheDesktopLocksInUserModeAndUnlocksForTheOperatorTheExitsAndUnintegration) {
    WriteDword(HKEY_CURRENT_USER, kUserExplorer, L"NoRun", 7);
    const std::set<std::string> before = Snapshot();
    auto locked = [&](int isRestart) {
        std::set<std::string> lines =
            Without(before, "HKCU\\" + std::string(kPolicyExplorerKey) + "\\NoRun");
        for (const std::string& line : ProfileLines(isRestart))
            lines.insert(line);
        for (const auto& [root, key] : LockdownKeys())
            lines.insert((root == PolicyRoot::User ? "HKCU\\" : "HKLM\\") + std::string(key));
        return lines;
    };
    Integrate();
    // A journal left by a killed desktop that had isRestart 0: put back first, then this
    // start's own state (isRestart 1, so no NoClose).
    ASSERT_TRUE(PolicyLockdown(JournalPath()).Apply(0));
    WriteCatalogue({}, {"Office"});
    Start();
    EXPECT_EQ(Snapshot(), locked(1));
    EXPECT_TRUE(m_app->m_lockdown->FilterRunning());

    EnterAdminMode();
    EXPECT_EQ(Snapshot(), before) << "the operator's tools must work";
    EXPECT_FALSE(m_app->m_lockdown->FilterRunning());
    EXPECT_FALSE(FileExists(JournalPath()));

    // Restrictions in admin mode: exit disabled for customers; lockdown stays on.
    m_ui.dialogScripts.push_back([](HWND d) {
        EXPECT_TRUE(IsItemChecked(d, IDC_LOCKDOWN));
        EXPECT_EQ(ItemText(d, IDC_LOCKDOWN), "Lock Windows' own ways out for customers (Task "
                                             "Manager, Windows keys, Ctrl+Alt+Del choices)");
        ClickButton(d, IDC_DISABLE_EXIT);
        ClickButton(d, IDOK);
    });
    Command(command::kRestrictions);
    EXPECT_EQ(Snapshot(), before);
    Command(command::kSwitchMode);
    EXPECT_EQ(Snapshot(), locked(0));
    EXPECT_TRUE(m_app->m_lockdown->FilterRunning());

    // The timer's renewal swaps the hook without stopping the filter (the end-to-end test sends
    // its keys long after several renewals).
    m_app->m_lockdown->OnTimer();
    EXPECT_TRUE(m_app->m_lockdown->FilterRunning());

    // Unticked, the lockdown stays off in user mode.
    EnterAdminMode("pw");
    m_ui.dialogScripts.push_back([](HWND d) {
        ClickButton(d, IDC_LOCKDOWN);
        ClickButton(d, IDOK);
    });
    Command(command::kRestrictions);
    Command(command::kSwitchMode);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(RawSetting("lockdown"), std::string("\0\0\0\0", 4));
    m_app->lockdown = 1;
    m_app->UpdateLockdown();
    EXPECT_EQ(Snapshot(), locked(0));

    // Integration off from admin mode, then back to user mode: nothing is locked any more.
    EnterAdminMode("pw");
    m_ui.dialogScripts.push_back([](HWND d) {
        ClickButton(d, IDC_INTEGRATE);
        ClickButton(d, IDOK);
    });
    Command(command::kIntegration);
    Command(command::kSwitchMode);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(m_app->m_lockdown->FilterRunning());

    // Integrated again, "Exit program" puts everything back.
    Integrate();
    m_app->UpdateLockdown();
    EXPECT_EQ(Snapshot(), locked(0));
    // The exits are reached from admin mode, where the lockdown is lifted already; they lift
    // it again whatever happened since.
    m_app->m_adminMode = 1;
    Command(command::kExit);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(FileExists(JournalPath()));
}
