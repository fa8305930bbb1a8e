// libFuzzer target: any bytes as icons.bin must load without a memory error, give a catalogue
// that keeps the loader's promises, and survive Save and a second Load unchanged.

#include "catalogue/icons.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "icons_fuzz: %s\n", what);
        std::abort();
    }
}

// A fresh folder per input, in memory where possible (Save flushes to disk every time), removed
// again afterwards: libFuzzer ends without running exit handlers.
class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "korvane-fuzz-XXXXXX").string();
        Check(::mkdtemp(pattern.data()) != nullptr, "cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const char* name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Terminated(const ProgramEntry& e) {
    return e.caption[sizeof e.caption - 1] == 0 && e.description[sizeof e.description - 1] == 0 &&
           e.screenshotPath[sizeof e.screenshotPath - 1] == 0 &&
           e.programPath[sizeof e.programPath - 1] == 0 &&
           e.parameters[sizeof e.parameters - 1] == 0 && e.iconFile[sizeof e.iconFile - 1] == 0;
}

bool SameCatalogue(const Icons& a, const Icons& b) {
    if (a.m_count != b.m_count || a.m_tabs != b.m_tabs)
        return false;
    for (int i = 0; i < a.m_count; ++i)
        if (std::memcmp(&a.m_entries[i], &b.m_entries[i], sizeof(ProgramEntry)) != 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TempFolder folder;
    const std::filesystem::path input = folder / "icons.bin";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        Check(out.good(), "cannot write the input");
    }

    int warnings = 0;
    Icons icons(input.string(), [&](const std::string& text) {
        Check(text == Icons::kOldFormatWarning, "unexpected warning text");
        ++warnings;
    });
    Check(warnings <= 1, "more than one warning");
    Check(icons.m_count >= 0 && icons.m_count <= Icons::kMaxEntries, "count out of range");
    Check(static_cast<std::size_t>(icons.m_count) * sizeof(ProgramEntry) + 4 <= size ||
              icons.m_count == 0,
          "more entries than the input holds");
    Check((icons.m_entries == nullptr) == (icons.m_count == 0), "entry array and count disagree");
    for (int i = 0; i < icons.m_count; ++i)
        Check(Terminated(icons.m_entries[i]), "a text field is not terminated");
    for (const std::string& tab : icons.m_tabs)
        Check(tab.find('\0') == std::string::npos, "a tab name holds a NUL");
    if (warnings == 1)
        Check(icons.m_count == 0 && std::filesystem::file_size(input) == 0 &&
                  icons.m_tabs == std::vector<std::string>{Icons::kDefaultTab},
              "old format not emptied");

    // Whatever was loaded saves and loads back the same, and saves to the same bytes again.
    const std::filesystem::path first = folder / "first.bin";
    const std::filesystem::path second = folder / "second.bin";
    icons.m_path = first.string();
    icons.Save();
    Icons reloaded(first.string(), [](const std::string&) { Check(false, "warning on reload"); });
    Check(SameCatalogue(icons, reloaded), "round trip changed the catalogue");
    reloaded.m_path = second.string();
    reloaded.Save();
    Check(ReadAll(first) == ReadAll(second), "second save wrote other bytes");
    return 0;
}
