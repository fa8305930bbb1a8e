#pragma once
// The customer lockdown without platform calls: which policy values it writes, when it is on,
// which keys the keyboard filter swallows, and the journal of the original state that lets
// every change be put back, even by another process after a crash or a kill.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PolicyRoot { User, Machine };

struct PolicyValue {
    PolicyRoot root;
    std::string_view key;
    std::string_view name;
    std::uint32_t data; // written as REG_DWORD
    // Written only while the customer may not shut down (isRestart 0).
    bool onlyWhenExitDisabled;
};

inline constexpr std::string_view kPolicySystemKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr std::string_view kPolicyExplorerKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr std::string_view kPolicyCommandKey =
    "Software\\Policies\\Microsoft\\Windows\\System";

inline constexpr std::array<PolicyValue, 10> kLockdownPolicies{{
    {PolicyRoot::User, kPolicySystemKey, "DisableTaskMgr", 1, false},
    {PolicyRoot::User, kPolicySystemKey, "DisableLockWorkstation", 1, false},
    {PolicyRoot::User, kPolicySystemKey, "DisableChangePassword", 1, false},
    {PolicyRoot::User, kPolicySystemKey, "DisableRegistryTools", 2, false},
    {PolicyRoot::User, kPolicyExplorerKey, "NoRun", 1, false},
    {PolicyRoot::User, kPolicyExplorerKey, "NoWinKeys", 1, false},
    {PolicyRoot::User, kPolicyExplorerKey, "NoLogoff", 1, false},
    {PolicyRoot::User, kPolicyExplorerKey, "NoClose", 1, true},
    // 2 leaves batch files working: the catalogue may start .bat and .cmd programs.
    {PolicyRoot::User, kPolicyCommandKey, "DisableCMD", 2, false},
    {PolicyRoot::Machine, kPolicySystemKey, "HideFastUserSwitching", 1, false},
}};

// The distinct keys of the profile, in table order.
std::vector<std::pair<PolicyRoot, std::string_view>> LockdownKeys();
const PolicyValue* FindPolicy(PolicyRoot root, std::string_view key, std::string_view name);
bool PolicyWanted(const PolicyValue& value, int isRestart);

// On while the desktop is the log-on shell, the setting allows it and no operator is logged in.
bool LockdownWanted(bool logonShell, int lockdownSetting, bool adminMode);

// The accessibility features whose hotkeys (Shift five times, holding the right Shift, holding
// Num Lock) lead out through their settings links.
enum class AccessibilityFeature { StickyKeys, FilterKeys, ToggleKeys };
inline constexpr std::array<AccessibilityFeature, 3> kAccessibilityFeatures{
    AccessibilityFeature::StickyKeys, AccessibilityFeature::FilterKeys,
    AccessibilityFeature::ToggleKeys};
// SKF_HOTKEYACTIVE, FKF_HOTKEYACTIVE and TKF_HOTKEYACTIVE share this bit.
inline constexpr std::uint32_t kHotkeyActiveFlag = 0x4;
inline std::uint32_t LockedAccessibilityFlags(std::uint32_t flags) {
    return flags & ~kHotkeyActiveFlag;
}

// The state before the first change.
struct OriginalKey {
    PolicyRoot root;
    std::string key;
    // How many of the key's last path parts did not exist: the keys we made, removed again
    // when they are empty.
    int createdParts = 0;
};
struct OriginalValue {
    PolicyRoot root;
    std::string key;
    std::string name;
    bool present = false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};
struct OriginalFlags {
    AccessibilityFeature feature;
    std::uint32_t flags;
};
struct LockdownJournal {
    // The account whose HKEY_CURRENT_USER was changed, as a string SID.
    std::string userSid;
    std::vector<OriginalKey> keys;
    std::vector<OriginalValue> values;
    std::vector<OriginalFlags> accessibility;
};

inline constexpr std::string_view kJournalFileName = "lockdown.journal";
std::string FormatJournal(const LockdownJournal& journal);
// Nothing for a damaged journal, or one naming anything outside the profile.
std::optional<LockdownJournal> ParseJournal(std::string_view text);

// Whether the command line asks to put the journal back and end ("/unlock", any letter case).
bool HasUnlockArgument(std::string_view commandLine);

// The keyboard filter's decisions. Fed every key event in order; remembers which modifiers
// are down.
class KeyFilter {
public:
    // vk: the virtual-key code of the event; altFlag: the event's own Alt flag;
    // desktopInFront: the desktop's own window is the foreground window.
    bool Swallow(std::uint32_t vk, bool down, bool altFlag, bool desktopInFront);

private:
    bool m_ctrl = false;
    bool m_alt = false;
    bool m_win = false;
};
