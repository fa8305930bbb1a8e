// Writes the seed corpus of the catalogue fuzz targets, kept in fuzz/corpus: small icons.bin
// files built byte by byte from the published byte layout, valid ones and the damaged kinds
// the reader must survive.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

class Builder {
public:
    Builder& I32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<char>(value >> shift));
        return *this;
    }
    Builder& Raw(std::string_view text) {
        m_bytes.append(text);
        return *this;
    }
    Builder& Text(std::string_view text, std::size_t width) {
        m_bytes.append(text.substr(0, width));
        m_bytes.append(width - std::min(width, text.size()), '\0');
        return *this;
    }
    Builder& Entry(int column, int row, int tab, std::string_view caption) {
        I32(column).I32(row).I32(0);
        Text(caption, 500).Text("{\\rtf1 description}", 5000).Text("C:\\shot.png", 1000);
        Text("C:\\game.exe", 1000).Text("-x", 1000).Text("C:\\game.exe", 1000);
        return I32(1).I32(tab);
    }
    Builder& Tab(std::string_view name) {
        I32(static_cast<std::uint32_t>(name.size() + 1)).Raw(name);
        m_bytes.push_back('\0');
        return *this;
    }
    Builder& Cut(std::size_t size) {
        m_bytes.resize(size);
        return *this;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icons_fuzz_corpus FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::pair<const char*, Builder> seeds[] = {
        {"empty_with_tabs", Builder().I32(0x10000).I32(2).Tab("Programs").Tab("Games")},
        {"no_tabs", Builder().I32(0x10000).I32(0)},
        {"old_format", Builder().I32(0x00000003).Raw("old")},
        {"header_only", Builder().I32(0x10000)},
        {"one_entry", Builder().I32(0x10001).Entry(0, 0, 0, "Game").I32(1).Tab("Programs")},
        {"two_entries_no_tab_section",
         Builder().I32(0x10002).Entry(1, 0, 0, "One").Entry(2, 1, 1, "Two\r\nlines")},
        {"truncated_entry",
         Builder().I32(0x10002).Entry(0, 0, 0, "Kept").Entry(1, 0, 0, "Cut").Cut(4 + 9520 + 700)},
        {"lying_count", Builder().I32(0x1FFFF).I32(1)},
        {"tab_with_early_nul",
         Builder().I32(0x10000).I32(1).I32(6).Raw(std::string_view("ab\0cd\0", 6))},
        {"tab_length_beyond_end", Builder().I32(0x10000).I32(2).Tab("A").I32(100).Raw("xyz")},
        {"negative_counts", Builder().I32(0xFFFF0000).I32(0xFFFFFFFF).Tab("A")},
    };
    for (const auto& [name, builder] : seeds) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(builder.Bytes().data(), static_cast<std::streamsize>(builder.Bytes().size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", name);
            return 1;
        }
    }
    return 0;
}
