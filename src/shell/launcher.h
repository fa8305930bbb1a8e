#pragma once
// Starting programs and documents for the log-on duties, and closing the keys they came from.

#include <windows.h>

// Starts `target` without waiting for it. An existing file, shortcut or folder is opened with
// its association. Any other text is a command line: a program, quoted or not, followed by
// its arguments, with environment references expanded. `parameters` (may be null or empty)
// are added to the arguments; `directory` (may be null) is the working folder; `showCommand`
// is an SW_ value. True exactly when the start succeeded.
bool ELExecute(const wchar_t* target, const wchar_t* parameters, int showCommand,
               const wchar_t* directory);

// Closes a key opened by the caller; true when it was closed.
bool ELCloseRegKey(HKEY key);
