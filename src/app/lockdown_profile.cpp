#include "app/lockdown_profile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <tuple>

namespace {

constexpr std::string_view kJournalHeader = "korvane lockdown journal 1";
constexpr std::size_t kMaxValueBytes = 65536;

constexpr std::uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkEscape = 0x1B,
                        kVkLWin = 0x5B, kVkRWin = 0x5C, kVkApps = 0x5D, kVkLShift = 0xA0,
                        kVkRShift = 0xA1, kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4,
                        kVkRMenu = 0xA5;

const char* RootName(PolicyRoot root) {
    return root == PolicyRoot::User ? "HKCU" : "HKLM";
}

std::optional<PolicyRoot> ParseRoot(std::string_view text) {
    if (text == "HKCU")
        return PolicyRoot::User;
    if (text == "HKLM")
        return PolicyRoot::Machine;
    return std::nullopt;
}

const char* FeatureName(AccessibilityFeature feature) {
    switch (feature) {
    case AccessibilityFeature::StickyKeys:
        return "StickyKeys";
    case AccessibilityFeature::FilterKeys:
        return "FilterKeys";
    case AccessibilityFeature::ToggleKeys:
        return "ToggleKeys";
    }
    return "";
}

std::optional<AccessibilityFeature> ParseFeature(std::string_view text) {
    for (AccessibilityFeature feature : kAccessibilityFeatures)
        if (text == FeatureName(feature))
            return feature;
    return std::nullopt;
}

bool IsProfileKey(PolicyRoot root, std::string_view key) {
    const auto keys = LockdownKeys();
    return std::find(keys.begin(), keys.end(), std::make_pair(root, key)) != keys.end();
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

template <typename T> std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text) {
    if (text.size() % 2 != 0 || text.size() / 2 > kMaxValueBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        bytes.push_back(byte);
    }
    return bytes;
}

int PathParts(std::string_view key) {
    return static_cast<int>(std::count(key.begin(), key.end(), '\\')) + 1;
}

bool IsModifier(std::uint32_t vk, std::initializer_list<std::uint32_t> codes) {
    return std::find(codes.begin(), codes.end(), vk) != codes.end();
}

} // namespace

std::vector<std::pair<PolicyRoot, std::string_view>> LockdownKeys() {
    std::vector<std::pair<PolicyRoot, std::string_view>> keys;
    for (const PolicyValue& value : kLockdownPolicies) {
        const auto key = std::make_pair(value.root, value.key);
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    return keys;
}

const PolicyValue* FindPolicy(PolicyRoot root, std::string_view key, std::string_view name) {
    for (const PolicyValue& value : kLockdownPolicies)
        if (value.root == root && value.key == key && value.name == name)
            return &value;
    return nullptr;
}

bool PolicyWanted(const PolicyValue& value, int isRestart) {
    return !value.onlyWhenExitDisabled || isRestart == 0;
}

bool LockdownWanted(bool logonShell, int lockdownSetting, bool adminMode) {
    return logonShell && lockdownSetting == 1 && !adminMode;
}

std::string FormatJournal(const LockdownJournal& journal) {
    static const char* const kHex = "0123456789abcdef";
    std::string text(kJournalHeader);
    text += "\nuser\t" + journal.userSid + "\n";
    for (const OriginalKey& key : journal.keys)
        text += std::string("key\t") + RootName(key.root) + "\t" + key.key + "\t" +
                std::to_string(key.createdParts) + "\n";
    for (const OriginalValue& value : journal.values) {
        text += std::string("value\t") + RootName(value.root) + "\t" + value.key + "\t" +
                value.name + "\t";
        if (!value.present) {
            text += "absent\n";
            continue;
        }
        text += std::to_string(value.type) + "\t";
        for (std::uint8_t byte : value.data) {
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
        text += "\n";
    }
    for (const OriginalFlags& flags : journal.accessibility)
        text += std::string("access\t") + FeatureName(flags.feature) + "\t" +
                std::to_string(flags.flags) + "\n";
    return text + "end\n";
}

std::optional<LockdownJournal> ParseJournal(std::string_view text) {
    LockdownJournal journal;
    bool header = false, user = false, ended = false;
    std::set<std::tuple<PolicyRoot, std::string, std::string>> seenValues;
    std::set<std::pair<PolicyRoot, std::string>> seenKeys;
    std::set<AccessibilityFeature> seenFeatures;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos || ended)
            return std::nullopt; // cut short, or something after the end
        const std::string_view line = text.substr(start, newline - start);
        start = newline + 1;
        const std::vector<std::string_view> f = SplitFields(line);
        if (!header) {
            if (line != kJournalHeader)
                return std::nullopt;
            header = true;
        } else if (f[0] == "user" && f.size() == 2 && !user) {
            journal.userSid = std::string(f[1]);
            user = true;
        } else if (f[0] == "key" && f.size() == 4) {
            const auto root = ParseRoot(f[1]);
            const auto created = ParseNumber<int>(f[3]);
            if (!root || !IsProfileKey(*root, f[2]) || !created || *created < 0 ||
                *created > PathParts(f[2]) || !seenKeys.emplace(*root, f[2]).second)
                return std::nullopt;
            journal.keys.push_back({*root, std::string(f[2]), *created});
        } else if (f[0] == "value" && (f.size() == 5 || f.size() == 6)) {
            const auto root = ParseRoot(f[1]);
            if (!root || !FindPolicy(*root, f[2], f[3]) ||
                !seenValues.emplace(*root, f[2], f[3]).second)
                return std::nullopt;
            OriginalValue value{*root, std::string(f[2]), std::string(f[3])};
            if (f.size() == 5) {
                if (f[4] != "absent")
                    return std::nullopt;
            } else {
                const auto type = ParseNumber<std::uint32_t>(f[4]);
                auto data = ParseHex(f[5]);
                if (!type || !data)
                    return std::nullopt;
                value.present = true;
                value.type = *type;
                value.data = std::move(*data);
            }
            journal.values.push_back(std::move(value));
        } else if (f[0] == "access" && f.size() == 3) {
            const auto feature = ParseFeature(f[1]);
            const auto flags = ParseNumber<std::uint32_t>(f[2]);
            if (!feature || !flags || !seenFeatures.insert(*feature).second)
                return std::nullopt;
            journal.accessibility.push_back({*feature, *flags});
        } else if (line == "end") {
            ended = true;
        } else {
            return std::nullopt;
        }
    }
    if (!ended || !user)
        return std::nullopt;
    return journal;
}

bool HasUnlockArgument(std::string_view commandLine) {
    std::size_t start = 0;
    while (start < commandLine.size()) {
        const std::size_t space = commandLine.find_first_of(" \t", start);
        const std::string_view word = commandLine.substr(start, space - start);
        if (word.size() == 7 && std::equal(word.begin(), word.end(), "/unlock", [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == b;
            }))
            return true;
        if (space == std::string_view::npos)
            break;
        start = space + 1;
    }
    return false;
}

bool KeyFilter::Swallow(std::uint32_t vk, bool down, bool altFlag, bool desktopInFront) {
    if (IsModifier(vk, {kVkControl, kVkLControl, kVkRControl}))
        m_ctrl = down;
    else if (IsModifier(vk, {kVkMenu, kVkLMenu, kVkRMenu}))
        m_alt = down;
    if (vk == kVkLWin || vk == kVkRWin) {
        m_win = down;
        return true;
    }
    // Whatever is pressed while a Windows key is held belongs to the swallowed combination.
    if (m_win && !IsModifier(vk, {kVkShift, kVkLShift, kVkRShift, kVkControl, kVkLControl,
                                  kVkRControl, kVkMenu, kVkLMenu, kVkRMenu}))
        return true;
    if (vk == kVkEscape)
        return m_ctrl || m_alt || altFlag; // Ctrl+Esc, Ctrl+Shift+Esc, Alt+Esc
    if (vk == kVkApps)
        return desktopInFront;
    return false; // Alt+Tab, Alt+F4 and everything else
}
