#include "code_page.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

const std::vector<CodePage>& AllPages() {
    static const std::vector<CodePage> pages = [] {
        std::vector<CodePage> all;
        for (int i = 0; i < code_page_tables::kTableCount; ++i)
            all.emplace_back(&code_page_tables::kTables[i]);
        return all;
    }();
    return pages;
}

// Decodes one UTF-8 sequence at `at`; U+FFFD (and one byte) for a broken one.
char32_t NextCharacter(std::string_view s, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(s[at++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || (lead >= 0xF5))
        return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[at++]) & 0x3F);
    }
    return c;
}

} // namespace

const CodePage* CodePage::Find(int number) {
    for (const CodePage& page : AllPages())
        if (page.Number() == number)
            return &page;
    return nullptr;
}

std::string CodePage::KnownNumbers() {
    std::string list;
    for (const CodePage& page : AllPages())
        list += (list.empty() ? "" : ", ") + std::to_string(page.Number());
    return list;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DescribeCharacter(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string text = code;
    if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c != 0xFFFD) {
        text += " '";
        AppendUtf8(text, c);
        text += "'";
    }
    return text;
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        AppendUtf8(out, byte < 0x80 ? byte : m_table->upper[byte - 0x80]);
    }
    return out;
}

bool CodePage::FromUtf8(std::string_view utf8, std::string& bytes, char32_t& unfit) const {
    bytes.clear();
    bytes.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char32_t c = NextCharacter(utf8, at);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 128 && found < 0; ++i)
            if (c != 0xFFFD && m_table->upper[i] == c)
                found = i;
        if (found < 0) {
            unfit = c;
            return false;
        }
        bytes += static_cast<char>(0x80 + found);
    }
    return true;
}
