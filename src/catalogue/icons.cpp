#include "catalogue/icons.h"

#include "base/file_error.h"
#include "catalogue/atomic_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <vector>
#include <limits>
#include <stdexcept>

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

bool ReadInt32(ByteSource& in, std::int32_t& value) {
    unsigned char bytes[4];
    if (in.Read(bytes, sizeof bytes) != sizeof bytes)
        return false;
    value = DecodeInt32(bytes);
    return true;
}

// The open file, whose size is told once; a size that cannot be told counts as empty (the
// reader then reads no entries).
class FileSource final : public ByteSource {
public:
    explicit FileSource(std::ifstream& in) : m_in(in) {
        m_in.seekg(0, std::ios::end);
        const std::streamoff end = m_in.tellg();
        m_in.seekg(0, std::ios::beg);
        if (!m_in || end < 0) {
            m_in.clear();
            m_in.seekg(0, std::ios::beg);
            return;
        }
        m_size = static_cast<std::uint64_t>(end);
    }

    std::size_t Read(void* buffer, std::size_t size) override {
        m_in.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
        const auto n = static_cast<std::size_t>(m_in.gcount());
        m_position += n;
        return n;
    }
    std::uint64_t Remaining() const override {
        return m_size > m_position ? m_size - m_position : 0;
    }

private:
    std::ifstream& m_in;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
};

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
class BufferedFileSink final : public ByteSink {
public:
    explicit BufferedFileSink(AtomicFile& file) : m_file(file), m_buffer(kCapacity) {}

    void Write(const void* data, std::size_t size) override {
        if (size > kCapacity) {
            Flush();
            m_file.Write(data, size);
            return;
        }
        if (m_used + size > kCapacity)
            Flush();
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

    AtomicFile& m_file;
    std::vector<unsigned char> m_buffer;
    std::size_t m_used = 0;
};

// The bytes of a catalogue whose size is known beforehand, copied into place.
class FixedBufferSink final : public ByteSink {
public:
    FixedBufferSink(unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    void Write(const void* data, std::size_t size) override {
        if (size > m_size - m_used)
            throw std::logic_error("the catalogue wrote more bytes than its layout holds");
        std::memcpy(m_data + m_used, data, size);
        m_used += size;
    }
    std::size_t Used() const { return m_used; }

private:
    unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

void WriteInt32(ByteSink& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
    out.Write(bytes, sizeof bytes);
}

// A text field at its full width; its last byte is always written as NUL.
void WriteField(ByteSink& out, const char* field, std::size_t size) {
    out.Write(field, size - 1);
    out.Write("", 1);
}

} // namespace

Icons::Icons(std::string path, WarningSink warn)
    : m_path(std::move(path)), m_warn(std::move(warn)) {
    Load();
}

Icons::Icons() {
    ResetTabs();
}

Icons::~Icons() = default;

void Icons::Load() {
    // Read access is enough to load: a read-only catalogue shows its programs (the original
    // opened for reading and writing and so showed such a file as empty).
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        m_count = 0;
        m_entries.reset();
        ResetTabs();
        return;
    }
    if (ReadWhole(in) == ReadResult::Ok)
        return;
    // The older, incompatible format: empty the file (the next save fills it again) and tell
    // the user once. A file we may not write stays as it is; the catalogue starts empty all
    // the same.
    in.close();
    std::ofstream truncate(m_path, std::ios::binary | std::ios::trunc);
    truncate.close();
    if (m_warn)
        m_warn(kOldFormatWarning);
}

Icons::ReadResult Icons::ReadWhole(std::ifstream& in) {
    // A catalogue of ordinary size is read in one go: field by field through the stream's buffer
    // it takes a read call for every few records. A huge (damaged) file is read as it goes, so
    // that its size never decides how much memory is asked for.
    constexpr std::uint64_t kWholeFileLimit = 64u << 20;
    FileSource source(in);
    if (source.Remaining() == 0 || source.Remaining() > kWholeFileLimit)
        return Read(source);
    std::vector<char> bytes(static_cast<std::size_t>(source.Remaining()));
    bytes.resize(source.Read(bytes.data(), bytes.size()));
    return Read(bytes.data(), bytes.size());
}

Icons::ReadResult Icons::Read(const void* data, std::size_t size) {
    MemorySource source(data, size);
    return Read(source);
}

Icons::ReadResult Icons::Read(ByteSource& in) {
    m_count = 0;
    m_entries.reset();
    m_tabs.clear();

    std::int32_t header = 0;
    if (!ReadInt32(in, header)) {
        ResetTabs();
        return ReadResult::Ok;
    }
    const std::int32_t version = header >> 16;
    const int count = header & 0xFFFF;
    if (version == 0) {
        ResetTabs();
        return ReadResult::OldFormat;
    }

    // Never allocate more records than the source can hold, whatever the header claims.
    const int wanted =
        static_cast<int>(std::min<std::uint64_t>(count, in.Remaining() / kRecordSize));
    int complete = 0;
    if (wanted > 0) {
        // Not zeroed first: the read fills every record that is kept.
        m_entries.reset(new ProgramEntry[wanted]);
        complete = static_cast<int>(in.Read(m_entries.get(), wanted * kRecordSize) / kRecordSize);
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

    // A source that ends inside its entry section keeps the entries before the incomplete one;
    // it has no tab section.
    std::int32_t tabCount = 0;
    if (complete < count || !ReadInt32(in, tabCount)) {
        ResetTabs();
        return ReadResult::Ok;
    }

    // A negative or absurd count needs no check of its own: the loop ends at the first
    // length that is not positive or that the rest of the source cannot hold.
    for (std::int32_t j = 0; j < tabCount; ++j) {
        std::int32_t length = 0;
        if (!ReadInt32(in, length) || length <= 0 ||
            static_cast<std::uint64_t>(length) > in.Remaining())
            break;
        std::string name(static_cast<std::size_t>(length), '\0');
        if (in.Read(name.data(), name.size()) != name.size())
            break;
        name.resize(std::strlen(name.c_str()));
        m_tabs.push_back(std::move(name));
    }
    return ReadResult::Ok;
}

std::string Icons::StorageProblem() const {
    if (m_count < 0 || m_count > kMaxEntries)
        return "the catalogue holds " + std::to_string(m_count) +
               " programs; icons.bin can store at most " + std::to_string(kMaxEntries);
    if (m_tabs.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return "too many tabs";
    for (const std::string& tab : m_tabs)
        if (std::strlen(tab.c_str()) >=
            static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            return "a tab name is too long";
    return {};
}

void Icons::Write(ByteSink& out) const {
    if (const std::string problem = StorageProblem(); !problem.empty())
        throw std::length_error(problem);
    WriteInt32(out, m_count + kVersionBits);
    for (int i = 0; i < m_count; ++i) {
        const ProgramEntry& entry = m_entries[i];
        WriteInt32(out, entry.column);
        WriteInt32(out, entry.row);
        WriteInt32(out, entry.iconIndex);
        WriteField(out, entry.caption, sizeof entry.caption);
        WriteField(out, entry.description, sizeof entry.description);
        WriteField(out, entry.screenshotPath, sizeof entry.screenshotPath);
        WriteField(out, entry.programPath, sizeof entry.programPath);
        WriteField(out, entry.parameters, sizeof entry.parameters);
        WriteField(out, entry.iconFile, sizeof entry.iconFile);
        WriteInt32(out, entry.showCommand);
        WriteInt32(out, entry.tab);
    }
    WriteInt32(out, static_cast<std::int32_t>(m_tabs.size()));
    for (const std::string& tab : m_tabs) {
        // The name ends at its first NUL, as the reader will read it.
        const std::size_t length = std::strlen(tab.c_str());
        WriteInt32(out, static_cast<std::int32_t>(length + 1));
        out.Write(tab.c_str(), length + 1);
    }
}

std::vector<unsigned char> Icons::ToBytes() const {
    if (const std::string problem = StorageProblem(); !problem.empty())
        throw std::length_error(problem);
    std::size_t size = 8 + static_cast<std::size_t>(m_count) * kRecordSize;
    for (const std::string& tab : m_tabs)
        size += 4 + std::strlen(tab.c_str()) + 1;
    // One allocation and plain copies: the fuzzer runs this for every input.
    std::vector<unsigned char> bytes(size);
    FixedBufferSink sink(bytes.data(), bytes.size());
    Write(sink);
    if (sink.Used() != size)
        throw std::logic_error("the catalogue wrote fewer bytes than its layout holds");
    return bytes;
}

void Icons::Save() {
    // Refused before the temporary file exists, so that nothing is left behind.
    if (const std::string problem = StorageProblem(); !problem.empty())
        throw FileException(m_path, problem);
    AtomicFile file(m_path);
    BufferedFileSink sink(file);
    Write(sink);
    sink.Flush();
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
