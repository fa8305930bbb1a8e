#include "app/integration_rules.h"

#include <array>

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool ShellValueMeansIntegrated(std::string_view shellValue) {
    // Quoted or not, it is the same program.
    if (shellValue.size() >= 2 && shellValue.front() == '"' && shellValue.back() == '"')
        shellValue = shellValue.substr(1, shellValue.size() - 2);
    const std::string_view standard = kStandardShell;
    if (shellValue.size() != standard.size())
        return true;
    for (std::size_t i = 0; i < standard.size(); ++i) {
        if (AsciiLower(shellValue[i]) != standard[i])
            return true;
    }
    return false;
}

std::string ShellValueFor(std::string_view programPath) {
    // Unquoted, a path with spaces reads as a shorter program and its arguments.
    return "\"" + std::string(programPath) + "\"";
}

bool IntegrationSupported(unsigned long majorVersion) {
    return majorVersion > 4;
}

std::string IntegrationWarningText() {
    static constexpr std::array<const char*, 7> kLines = {
        "Warning!",
        "Integration to system means changing standard Windows Desktop (explorer.exe) to "
        "'Shell'.",
        "It is done by changing registry key HKLM\\Software\\Microsoft\\Windows "
        "NT\\CurrentVersion\\Winlogon",
        "from 'explorer.exe' to 'installation_path\\korvane.exe'.",
        "UAC (User Access Control) will be disabled for your system.",
        "Set the following tick if you want to use 'Shell' instead of explorer.exe.",
        "You have to reboot PC to make actions active.",
    };
    std::string text;
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += kLines[i];
    }
    return text;
}
