#pragma once
// The settings store: single values of HKLM\Software\Korvane (64-bit view). A value that
// cannot be read is replaced by its default, which is written back at once. An account that
// may not write the key still reads it: the store then opens it for reading only, and every
// write fails, is counted and can be reported.

#include "framework/unique_handle.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CRegistryPlus {
public:
    static constexpr const char* kSubkey = "Software\\Korvane";

    // What the desktop tells the operator when a command's setting could not be written.
    static constexpr const char* kSettingNotStored =
        "The setting cannot be stored: Korvane Shell needs write access to "
        "HKLM\\Software\\Korvane (see Help)";

    // How the store opens its key: created with `access` when `create` is set, else opened.
    // Tests put another one in place to stand for an account that may not write HKLM.
    using OpenKeyFunction = LONG (*)(HKEY root, const char* subkey, REGSAM access, bool create,
                                     HKEY* key);
    static OpenKeyFunction SetOpenKeyFunction(OpenKeyFunction open); // returns the previous one
    static LONG OpenKeyForReal(HKEY root, const char* subkey, REGSAM access, bool create,
                               HKEY* key);

    CRegistryPlus();
    // For tests: another root or subkey with the same access.
    CRegistryPlus(HKEY root, const char* subkey);
    virtual ~CRegistryPlus();
    CRegistryPlus(const CRegistryPlus&) = delete;
    CRegistryPlus& operator=(const CRegistryPlus&) = delete;

    bool IsOpen() const { return static_cast<bool>(m_key); }
    // False when the key could only be opened for reading (or not at all).
    bool IsWritable() const { return m_writable; }

    void ReadDword(const char* name, int defaultValue, int& out);
    void ReadByte(const char* name, BYTE defaultValue, BYTE& out);
    void ReadString(const char* name, const std::string& defaultValue, std::string& out);
    bool TryReadString(const char* name, std::string& out);

    // The writes are true when the value was stored; a false one is also counted.
    bool WriteDword(const char* name, int value);
    bool WriteByte(const char* name, BYTE value);
    bool WriteString(const char* name, const std::string& text);
    // True when the value is gone, also when it was never there.
    bool DeleteValue(const char* name);

    // The older, reversible form of the administrator password (see password_store.h).
    bool WriteSecret(const char* name, const std::string& text);
    bool ReadSecret(const char* name, std::string& out);

    // How many writes and deletions failed since the last call, starting again from zero.
    int TakeFailedWrites() { return std::exchange(m_failedWrites, 0); }

    // Names of the values written from now on, in order, appended to `log` (null: none; a
    // deleted value is logged as "-name"). Lets
    // a caller check what a command stored without guessing the order from the registry.
    void SetWriteLog(std::vector<std::string>* log) { m_writeLog = log; }

private:
    void NoteWrite(const char* name);
    bool Written(LONG status);

    UniqueHkey m_key;
    bool m_writable = false;
    int m_failedWrites = 0;
    std::vector<std::string>* m_writeLog = nullptr;
    // Values up to this size are read here; longer ones are read whole into a larger buffer.
    char m_buffer[200] = {};
};
