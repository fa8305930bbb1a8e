#pragma once
// The customer-session settings: values of HKLM\Software\Korvane\Session, read through the
// settings store; the folder list is a REG_MULTI_SZ value, which this file reads and writes.

#include <windows.h>

#include <string>
#include <vector>

struct SessionSettings {
    static constexpr const char* kSubkey = "Software\\Korvane\\Session";

    bool enabled = false;
    int idleMinutes = 0;
    std::vector<std::string> folders; // as stored: environment references not expanded

    // Missing or unreadable values are replaced by their defaults, which are written back.
    static SessionSettings Read(HKEY root = HKEY_LOCAL_MACHINE, const char* subkey = kSubkey);
    void Write(HKEY root = HKEY_LOCAL_MACHINE, const char* subkey = kSubkey) const;
    // The record of the last session end.
    static void WriteLastSession(const std::string& text, HKEY root = HKEY_LOCAL_MACHINE,
                                 const char* subkey = kSubkey);
};

// A REG_MULTI_SZ value of an open key; false when it is missing or of another type.
bool ReadMultiString(HKEY key, const char* name, std::vector<std::string>& out);
void WriteMultiString(HKEY key, const char* name, const std::vector<std::string>& strings);
