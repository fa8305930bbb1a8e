#pragma once
// Real program starts in tests: the marker-writing helper program, shortcuts to it, and
// waiting for its marker file.

#include <windows.h>

#include <string>

std::wstring Wide(const std::string& ascii);
// Copies the marker writer to `folder`\`fileName` (the name may contain blanks).
std::wstring CopyMarkerWriter(const std::wstring& folder, const std::wstring& fileName);
bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                    const std::wstring& arguments);
// Waits up to `timeoutMs` for the marker file and returns its content; "<none>" if it never
// appeared. The timeout only bounds the wait; nothing is asserted about speed.
std::string WaitForMarker(const std::wstring& path, DWORD timeoutMs = 20000);
