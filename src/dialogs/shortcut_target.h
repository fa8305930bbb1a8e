#pragma once
// The target of a shell shortcut (.lnk), as the shell's link object reads it.

#include <string>

// The raw target path of the shortcut at `linkPath`, or the empty text when any step fails
// (no such file, not a shortcut, a path longer than the system's 259 characters). COM is
// initialised on this thread for the time it takes, when nothing else has done so.
std::string ShortcutTarget(const std::string& linkPath);
