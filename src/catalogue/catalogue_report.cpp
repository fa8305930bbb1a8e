#include "catalogue/catalogue_report.h"

#include "catalogue/program_entry.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

struct TextField {
    const char* name;
    std::size_t offset;
    std::size_t size;
};

constexpr TextField kTextFields[] = {
    {"caption", offsetof(ProgramEntry, caption), sizeof ProgramEntry::caption},
    {"description", offsetof(ProgramEntry, description), sizeof ProgramEntry::description},
    {"screenshot", offsetof(ProgramEntry, screenshotPath), sizeof ProgramEntry::screenshotPath},
    {"program", offsetof(ProgramEntry, programPath), sizeof ProgramEntry::programPath},
    {"parameters", offsetof(ProgramEntry, parameters), sizeof ProgramEntry::parameters},
    {"icon file", offsetof(ProgramEntry, iconFile), sizeof ProgramEntry::iconFile},
};

std::int32_t Int32At(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                     (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24));
}

} // namespace

IconsFileReport InspectIconsFile(const unsigned char* bytes, std::size_t size) {
    IconsFileReport r;
    r.size = size;
    std::size_t at = 0;
    auto finish = [&] {
        r.unreadBytes = size - at;
        return r;
    };
    if (size < 4)
        return finish();
    const std::int32_t header = Int32At(bytes);
    at = 4;
    r.hasHeader = true;
    r.version = header >> 16;
    r.announcedEntries = header & 0xFFFF;
    if (r.version == 0)
        return finish(); // the loader empties such a file and reads nothing

    constexpr std::size_t kRecord = sizeof(ProgramEntry);
    const std::size_t fitting = (size - at) / kRecord;
    r.completeEntries = static_cast<int>(
        fitting < static_cast<std::size_t>(r.announcedEntries) ? fitting : r.announcedEntries);
    for (int i = 0; i < r.completeEntries; ++i) {
        const unsigned char* record = bytes + at + static_cast<std::size_t>(i) * kRecord;
        for (const TextField& field : kTextFields)
            if (std::memchr(record + field.offset, 0, field.size) == nullptr)
                r.unterminated.push_back({i, field.name});
    }
    at += static_cast<std::size_t>(r.completeEntries) * kRecord;
    if (r.completeEntries < r.announcedEntries) {
        r.partialEntryBytes = size - at; // less than one record
        at = size;
        return finish();
    }

    if (size - at < 4)
        return finish();
    r.hasTabSection = true;
    r.announcedTabs = Int32At(bytes + at);
    at += 4;
    for (std::int32_t j = 0; j < r.announcedTabs; ++j) {
        if (size - at < 4) {
            r.tabStop = IconsFileReport::TabStop::MissingLength;
            break;
        }
        const std::int32_t length = Int32At(bytes + at);
        if (length <= 0) {
            r.tabStop = IconsFileReport::TabStop::ZeroLength;
            r.stopLength = length;
            break;
        }
        if (static_cast<std::uint64_t>(length) > size - at - 4) {
            r.tabStop = IconsFileReport::TabStop::LengthPastEnd;
            r.stopLength = length;
            break;
        }
        at += 4;
        const void* nul = std::memchr(bytes + at, 0, static_cast<std::size_t>(length));
        if (nul != static_cast<const void*>(bytes + at + length - 1))
            r.paddedTabs.push_back(r.tabsRead);
        at += static_cast<std::size_t>(length);
        ++r.tabsRead;
    }
    return finish();
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes,
                   std::string& reason) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = errno != 0 ? std::generic_category().message(errno) : "cannot be opened";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        reason = "cannot be read";
        return false;
    }
    return true;
}
