// libFuzzer target for the file edge of the catalogue: any bytes as icons.bin load from the
// file exactly as they read from memory, an old-format file is emptied with one warning, and
// Save writes what the in-memory writer gives. Slower than icons_fuzz: every input goes
// through files and a flushed, atomic save.

#include "catalogue_checks.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace fuzzcheck;

namespace {

// A fresh folder per input, in memory where possible, removed again afterwards: libFuzzer ends
// without running exit handlers.
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

std::vector<unsigned char> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    CheckRead(icons, size, warnings == 1);
    if (warnings == 1)
        Check(std::filesystem::file_size(input) == 0, "old-format file not emptied");

    Icons fromMemory;
    const bool oldFormat = fromMemory.Read(data, size) == Icons::ReadResult::OldFormat;
    Check(oldFormat == (warnings == 1), "file and memory disagree about the format");
    Check(SameCatalogue(icons, fromMemory), "file and memory read different catalogues");

    const std::filesystem::path saved = folder / "saved.bin";
    icons.m_path = saved.string();
    icons.Save();
    Check(ReadAll(saved) == icons.ToBytes(), "Save wrote other bytes than the memory writer");
    Icons reloaded(saved.string(), [](const std::string&) { Check(false, "warning on reload"); });
    Check(SameCatalogue(icons, reloaded), "round trip through the file changed the catalogue");
    return 0;
}
