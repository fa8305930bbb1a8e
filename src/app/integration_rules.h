#pragma once
// What the Winlogon shell value means for us, and where integration is offered at all.

#include <string>
#include <string_view>

inline constexpr const char* kStandardShell = "explorer.exe";

// Any shell other than the standard desktop (letter case and enclosing quotes aside) counts as
// integrated, not only this program.
bool ShellValueMeansIntegrated(std::string_view shellValue);

// The Shell value that makes the program at this path the log-on shell: the path in quotes.
std::string ShellValueFor(std::string_view programPath);

// Integration needs Windows 2000 (major version 5) or later.
bool IntegrationSupported(unsigned long majorVersion);

// The warning shown in the integration dialog: seven lines joined by CR LF.
std::string IntegrationWarningText();
