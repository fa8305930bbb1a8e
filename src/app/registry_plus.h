#pragma once
// The settings store: single values of HKLM\Software\Korvane (64-bit view). A value that
// cannot be read is replaced by its default, which is written back at once.

#include "framework/unique_handle.h"

#include <windows.h>

#include <string>
#include <vector>

class CRegistryPlus {
public:
    static constexpr const char* kSubkey = "Software\\Korvane";

    CRegistryPlus();
    // For tests: another root or subkey with the same access.
    CRegistryPlus(HKEY root, const char* subkey);
    virtual ~CRegistryPlus();
    CRegistryPlus(const CRegistryPlus&) = delete;
    CRegistryPlus& operator=(const CRegistryPlus&) = delete;

    bool IsOpen() const { return static_cast<bool>(m_key); }

    void ReadDword(const char* name, int defaultValue, int& out);
    void ReadByte(const char* name, BYTE defaultValue, BYTE& out);
    void ReadString(const char* name, const std::string& defaultValue, std::string& out);
    bool TryReadString(const char* name, std::string& out);

    void WriteDword(const char* name, int value);
    void WriteByte(const char* name, BYTE value);
    void WriteString(const char* name, const std::string& text);

    void WriteSecret(const char* name, const std::string& text);
    bool ReadSecret(const char* name, std::string& out);

    // Names of the values written from now on, in order, appended to `log` (null: none). Lets
    // a caller check what a command stored without guessing the order from the registry.
    void SetWriteLog(std::vector<std::string>* log) { m_writeLog = log; }

private:
    void NoteWrite(const char* name);

    UniqueHkey m_key;
    std::vector<std::string>* m_writeLog = nullptr;
    // Values up to this size are read here; longer ones are read whole into a larger buffer.
    char m_buffer[200] = {};
};
