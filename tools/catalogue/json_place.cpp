#include "json_place.h"

#include "code_page.h"

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    std::size_t at = 0;

    // Comments are allowed in our catalogues, as the parser is told.
    void SkipSpace() {
        while (at < m_text.size()) {
            const char c = m_text[at];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++at;
            } else if (m_text.substr(at, 2) == "//") {
                const std::size_t end = m_text.find('\n', at);
                at = end == std::string_view::npos ? m_text.size() : end;
            } else if (m_text.substr(at, 2) == "/*") {
                const std::size_t end = m_text.find("*/", at + 2);
                at = end == std::string_view::npos ? m_text.size() : end + 2;
            } else {
                return;
            }
        }
    }
    char Peek() const { return at < m_text.size() ? m_text[at] : '\0'; }

    // A string token, unescaped; `at` is on its opening quote.
    std::string String() {
        std::string value;
        ++at;
        while (at < m_text.size() && m_text[at] != '"') {
            char c = m_text[at++];
            if (c != '\\' || at >= m_text.size()) {
                value += c;
                continue;
            }
            c = m_text[at++];
            switch (c) {
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            case 't':
                value += '\t';
                break;
            case 'b':
                value += '\b';
                break;
            case 'f':
                value += '\f';
                break;
            case 'u': {
                const std::string hex(m_text.substr(at, 4));
                at += 4;
                AppendUtf8(value, static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
                break;
            }
            default:
                value += c; // \" \\ \/
            }
        }
        ++at;
        return value;
    }

    // Skips one value without recursion, so that no nesting depth can exhaust the stack.
    void SkipValue() {
        SkipSpace();
        if (Peek() == '"') {
            String();
            return;
        }
        if (Peek() != '{' && Peek() != '[') {
            while (at < m_text.size() &&
                   std::string_view(",]} \t\r\n/").find(Peek()) == std::string_view::npos)
                ++at;
            return;
        }
        int depth = 0;
        do {
            const char c = Peek();
            if (c == '"') {
                String();
                continue;
            }
            if (c == '/') {
                SkipSpace();
                continue;
            }
            if (c == '{' || c == '[')
                ++depth;
            else if (c == '}' || c == ']')
                --depth;
            ++at;
        } while (depth > 0 && at < m_text.size());
    }

    // Moves to the start of member `key` (object) or element `index` (array) of the value at
    // `at`; false when there is none.
    bool Enter(const JsonStep& step) {
        SkipSpace();
        const char open = Peek();
        if (open != '{' && open != '[')
            return false;
        if ((open == '{') != std::holds_alternative<std::string>(step))
            return false;
        ++at;
        for (std::size_t index = 0;; ++index) {
            SkipSpace();
            if (at >= m_text.size() || Peek() == '}' || Peek() == ']')
                return false;
            bool match = false;
            if (open == '{') {
                match = String() == std::get<std::string>(step);
                SkipSpace();
                ++at; // ':'
            } else {
                match = index == std::get<std::size_t>(step);
            }
            SkipSpace();
            if (match)
                return true;
            SkipValue();
            SkipSpace();
            if (Peek() == ',')
                ++at;
        }
    }

private:
    std::string_view m_text;
};

} // namespace

namespace {

// Editors on Windows like to start a UTF-8 file with a byte order mark; the parser skips it.
std::size_t AfterByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

} // namespace

JsonPlace PlaceOfOffset(std::string_view text, std::size_t offset) {
    JsonPlace place;
    for (std::size_t i = AfterByteOrderMark(text); i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++place.line;
            place.column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++place.column; // columns count characters, not bytes
        }
    }
    return place;
}

JsonPlace FindJsonPlace(std::string_view text, const JsonPath& path) {
    Scanner scanner(text);
    scanner.at = AfterByteOrderMark(text);
    scanner.SkipSpace();
    std::size_t found = scanner.at;
    for (const JsonStep& step : path) {
        if (!scanner.Enter(step))
            break;
        found = scanner.at;
    }
    return PlaceOfOffset(text, found);
}

std::size_t FindNestingBeyond(std::string_view text, int limit) {
    Scanner scanner(text);
    scanner.at = AfterByteOrderMark(text);
    int depth = 0;
    while (scanner.at < text.size()) {
        const char c = scanner.Peek();
        if (c == '"') {
            scanner.String();
            continue;
        }
        if (c == '/') {
            const std::size_t before = scanner.at;
            scanner.SkipSpace();
            if (scanner.at == before)
                ++scanner.at; // a lone slash; the parser reports it
            continue;
        }
        if (c == '{' || c == '[') {
            if (++depth > limit)
                return scanner.at;
        } else if (c == '}' || c == ']') {
            --depth;
        }
        ++scanner.at;
    }
    return std::string_view::npos;
}
