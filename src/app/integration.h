#pragma once
// Making this program the Windows log-on shell in place of the standard desktop, or undoing
// it, through the Winlogon "Shell" value (64-bit registry view). Takes effect at the next
// log-on.

#include <optional>
#include <string>

// The Winlogon "Shell" value, up to its first NUL; nothing when it cannot be read.
std::optional<std::string> ReadWinlogonShell();

// True when the Winlogon shell is anything but "explorer.exe"; false when it cannot be read.
bool IsIntegrated();

// Integrating writes this executable's full path, quoted, as the shell and switches User Account
// Control off; undoing writes "explorer.exe" and leaves User Account Control as it is.
// Without the rights to write the Winlogon key nothing at all changes.
void SetIntegration(bool integrate);
