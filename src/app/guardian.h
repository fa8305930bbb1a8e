#pragma once
// The guardian: the process the user or Winlogon starts. It runs the desktop as a child process
// and starts it again after a crash, until crashes come too fast; then, when we are the log-on
// shell, it starts explorer.exe so that nobody is left in front of an empty screen.

// Returns this process's exit code: the desktop's when it ended without crashing. Sets
// desktopStarted to false when not even the first desktop process could be started; the caller
// then runs the desktop in this process instead.
int RunGuardian(bool& desktopStarted);
