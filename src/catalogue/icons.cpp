#include "catalogue/icons.h"

#include "base/file_error.h"
#include "catalogue/atomic_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <limits>

// Records are read straight into memory: the record layout is pinned by program_entry.h and
// every platform we build for is little-endian, as the file is.
static_assert(std::endian::native == std::endian::little, "icons.bin is little-endian");

namespace {

constexpr std::size_t kRecordSize = sizeof(ProgramEntry);
constexpr std::int32_t kVersionBits = 0x10000; // version 1 in bits 16-31

std::int32_t DecodeInt32(const unsigned char* bytes) {
    const std::uint32_t value = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                                (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(value);
}

// Reads exactly `size` bytes; false when the file ends first.
bool ReadExactly(std::istream& in, void* buffer, std::size_t size) {
    in.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

bool ReadInt32(std::istream& in, std::int32_t& value) {
    unsigned char bytes[4];
    if (!ReadExactly(in, bytes, sizeof bytes))
        return false;
    value = DecodeInt32(bytes);
    return true;
}

// Size of the open file, or 0 when it cannot be told (the loader then reads no entries).
std::uint64_t SizeOf(std::ifstream& in) {
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || end < 0) {
        in.clear();
        in.seekg(0, std::ios::beg);
        return 0;
    }
    return static_cast<std::uint64_t>(end);
}

// A foreign file may carry texts without a terminating NUL; the last byte of every text field
// becomes NUL so that no reader of a field can run past it.
void TerminateTexts(ProgramEntry& entry) {
    entry.caption[sizeof entry.caption - 1] = '\0';
    entry.description[sizeof entry.description - 1] = '\0';
    entry.screenshotPath[sizeof entry.screenshotPath - 1] = '\0';
    entry.programPath[sizeof entry.programPath - 1] = '\0';
    entry.parameters[sizeof entry.parameters - 1] = '\0';
    entry.iconFile[sizeof entry.iconFile - 1] = '\0';
}

// Collects the file's bytes in a buffer of about a megabyte between writes to the file.
class BufferedWriter {
public:
    explicit BufferedWriter(AtomicFile& file) : m_file(file), m_buffer(kCapacity) {}

    void Int32(std::int32_t value) {
        Reserve(4);
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            m_buffer[m_used++] = static_cast<unsigned char>(bits >> shift);
    }

    // A text field at its full width; its last byte is always written as NUL.
    void Field(const char* field, std::size_t size) {
        Bytes(field, size - 1);
        Bytes("", 1);
    }

    void Bytes(const void* data, std::size_t size) {
        if (size > kCapacity) {
            Flush();
            m_file.Write(data, size);
            return;
        }
        Reserve(size);
        std::memcpy(m_buffer.data() + m_used, data, size);
        m_used += size;
    }

    void Flush() {
        if (m_used > 0)
            m_file.Write(m_buffer.data(), m_used);
        m_used = 0;
    }

private:
    static constexpr std::size_t kCapacity = 1 << 20;

    void Reserve(std::size_t size) {
        if (m_used + size > kCapacity)
            Flush();
    }

    AtomicFile& m_file;
    std::vector<unsigned char> m_buffer;
    std::size_t m_used = 0;
};

} // namespace

Icons::Icons(std::string path, WarningSink warn)
    : m_path(std::move(path)), m_warn(std::move(warn)) {
    Load();
}

Icons::~Icons() = default;

void Icons::Load() {
    m_count = 0;
    m_entries.reset();
    m_tabs.clear();

    // Read access is enough to load: a read-only catalogue shows its programs (the original
    // opened for reading and writing and so showed such a file as empty).
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        ResetTabs();
        return;
    }
    const std::uint64_t fileSize = SizeOf(in);

    std::int32_t header = 0;
    if (!ReadInt32(in, header)) {
        ResetTabs();
        return;
    }
    const std::int32_t version = header >> 16;
    const int count = header & 0xFFFF;

    if (version == 0) {
        // The older, incompatible format: empty the file (the next save fills it again) and
        // tell the user once. A file we may not write stays as it is; the catalogue starts
        // empty all the same.
        in.close();
        std::ofstream truncate(m_path, std::ios::binary | std::ios::trunc);
        truncate.close();
        if (m_warn)
            m_warn(kOldFormatWarning);
        ResetTabs();
        return;
    }

    // Never allocate more records than the file can hold, whatever the header claims.
    std::uint64_t position = 4;
    const std::uint64_t fitting = fileSize > position ? (fileSize - position) / kRecordSize : 0;
    const int wanted = static_cast<int>(std::min<std::uint64_t>(count, fitting));
    int complete = 0;
    if (wanted > 0) {
        m_entries.reset(new ProgramEntry[wanted]());
        in.read(reinterpret_cast<char*>(m_entries.get()),
                static_cast<std::streamsize>(wanted * kRecordSize));
        complete = static_cast<int>(static_cast<std::size_t>(in.gcount()) / kRecordSize);
        if (complete < wanted) { // the file shrank while we read it
            std::unique_ptr<ProgramEntry[]> exact;
            if (complete > 0) {
                exact.reset(new ProgramEntry[complete]());
                std::copy_n(m_entries.get(), complete, exact.get());
            }
            m_entries = std::move(exact);
        }
        for (int i = 0; i < complete; ++i)
            TerminateTexts(m_entries[i]);
    }
    m_count = complete;
    position += static_cast<std::uint64_t>(complete) * kRecordSize;

    // A file that ends inside its entry section keeps the entries before the incomplete one;
    // it has no tab section.
    if (complete < count) {
        ResetTabs();
        return;
    }

    std::int32_t tabCount = 0;
    if (!ReadInt32(in, tabCount)) {
        ResetTabs();
        return;
    }
    position += 4;

    // A negative or absurd count needs no check of its own: the loop ends at the first
    // length that is not positive or that the rest of the file cannot hold.
    for (std::int32_t j = 0; j < tabCount; ++j) {
        std::int32_t length = 0;
        if (!ReadInt32(in, length) || length <= 0)
            break;
        position += 4;
        if (static_cast<std::uint64_t>(length) > fileSize - std::min(fileSize, position))
            break;
        std::string name(static_cast<std::size_t>(length), '\0');
        if (!ReadExactly(in, name.data(), name.size()))
            break;
        position += static_cast<std::uint64_t>(length);
        name.resize(std::strlen(name.c_str()));
        m_tabs.push_back(std::move(name));
    }
}

void Icons::Save() {
    if (m_count < 0 || m_count > kMaxEntries)
        throw FileException(m_path, "the catalogue holds " + std::to_string(m_count) +
                                        " programs; icons.bin can store at most " +
                                        std::to_string(kMaxEntries));
    if (m_tabs.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw FileException(m_path, "too many tabs");
    for (const std::string& tab : m_tabs)
        if (std::strlen(tab.c_str()) >=
            static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw FileException(m_path, "a tab name is too long");

    AtomicFile file(m_path);
    BufferedWriter out(file);
    out.Int32(m_count + kVersionBits);
    for (int i = 0; i < m_count; ++i) {
        const ProgramEntry& entry = m_entries[i];
        out.Int32(entry.column);
        out.Int32(entry.row);
        out.Int32(entry.iconIndex);
        out.Field(entry.caption, sizeof entry.caption);
        out.Field(entry.description, sizeof entry.description);
        out.Field(entry.screenshotPath, sizeof entry.screenshotPath);
        out.Field(entry.programPath, sizeof entry.programPath);
        out.Field(entry.parameters, sizeof entry.parameters);
        out.Field(entry.iconFile, sizeof entry.iconFile);
        out.Int32(entry.showCommand);
        out.Int32(entry.tab);
    }
    out.Int32(static_cast<std::int32_t>(m_tabs.size()));
    for (const std::string& tab : m_tabs) {
        // The name ends at its first NUL, as the loader will read it.
        const std::size_t length = std::strlen(tab.c_str());
        out.Int32(static_cast<std::int32_t>(length + 1));
        out.Bytes(tab.c_str(), length + 1);
    }
    out.Flush();
    file.Commit();
}

void Icons::AddEntry(const ProgramEntry& entry) {
    std::unique_ptr<ProgramEntry[]> grown(
        new ProgramEntry[static_cast<std::size_t>(m_count) + 1]());
    if (m_count > 0)
        std::copy_n(m_entries.get(), m_count, grown.get());
    grown[m_count] = entry;
    m_entries = std::move(grown);
    ++m_count;
}

void Icons::RemoveEntry(int index) {
    if (index < 0 || index >= m_count)
        return;
    std::unique_ptr<ProgramEntry[]> shrunk;
    if (m_count > 1) {
        shrunk.reset(new ProgramEntry[static_cast<std::size_t>(m_count) - 1]());
        std::copy_n(m_entries.get(), index, shrunk.get());
        std::copy(m_entries.get() + index + 1, m_entries.get() + m_count, shrunk.get() + index);
    }
    m_entries = std::move(shrunk);
    --m_count;
}

int Icons::FindEntry(int column, int row, int tab) const {
    for (int i = 0; i < m_count; ++i) {
        const ProgramEntry& entry = m_entries[i];
        if (entry.column == column && entry.row == row && entry.tab == tab)
            return i;
    }
    return -1;
}

bool Icons::PlaceInFreeCell(int index, int tab, const std::uint8_t* occupancy, int columns,
                            int rows) {
    if (index < 0 || index >= m_count || tab < 0 || columns <= 0 || rows <= 0 ||
        occupancy == nullptr)
        return false;
    const std::size_t cellsPerTab =
        static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    const std::uint8_t* cells = occupancy + static_cast<std::size_t>(tab) * cellsPerTab;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            if (cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(x)] == 0) {
                m_entries[index].column = x;
                m_entries[index].row = y;
                Save();
                return true;
            }
        }
    }
    return false;
}

void Icons::RemoveTab(int tab) {
    if (tab < 0 || static_cast<std::size_t>(tab) >= m_tabs.size())
        return;
    m_tabs.erase(m_tabs.begin() + tab);

    // The same result as removing the tab's entries one by one from the last, with one copy.
    int kept = 0;
    for (int i = 0; i < m_count; ++i)
        if (m_entries[i].tab != tab)
            ++kept;
    std::unique_ptr<ProgramEntry[]> remaining;
    if (kept > 0) {
        remaining.reset(new ProgramEntry[static_cast<std::size_t>(kept)]());
        int next = 0;
        for (int i = 0; i < m_count; ++i) {
            if (m_entries[i].tab == tab)
                continue;
            remaining[next] = m_entries[i];
            if (remaining[next].tab > tab)
                --remaining[next].tab;
            ++next;
        }
    }
    m_entries = std::move(remaining);
    m_count = kept;
}

void Icons::ResetTabs() {
    m_tabs.assign(1, kDefaultTab);
}
