#pragma once
// The single-byte Windows ANSI code pages: icons.bin holds its texts in one of them, the JSON
// form of the catalogue in UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

struct CodePageTable {
    int number;
    const char* name;
    std::uint16_t upper[128]; // the characters of bytes 0x80-0xFF
};

class CodePage {
public:
    // nullptr when the number is not a single-byte Windows code page we know.
    static const CodePage* Find(int number);
    static std::string KnownNumbers(); // "874, 1250, ..."

    int Number() const { return m_table->number; }
    const char* Name() const { return m_table->name; }

    // Every byte has a character, so reading never fails.
    std::string ToUtf8(std::string_view bytes) const;
    // False when a character has no byte in this code page (or the UTF-8 is broken); `unfit` is
    // then that character (U+FFFD for broken UTF-8).
    bool FromUtf8(std::string_view utf8, std::string& bytes, char32_t& unfit) const;

    explicit CodePage(const CodePageTable* table) : m_table(table) {}

private:
    const CodePageTable* m_table;
};

// "U+00E9 'é'" for messages.
std::string DescribeCharacter(char32_t c);
void AppendUtf8(std::string& out, char32_t c);

namespace code_page_tables {
extern const CodePageTable kTables[];
extern const int kTableCount;
} // namespace code_page_tables
