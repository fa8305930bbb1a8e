#pragma once
// Where the catalogue's bytes come from and go to. The desktop reads and writes icons.bin
// through the file at the edge of Icons; tools and the fuzzer hand it memory instead (and take
// memory back from Icons::ToBytes).

#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to `size` bytes into `buffer` and returns how many it copied; fewer than asked
    // only when the source ends.
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // How many bytes are left. The reader trusts no stored count beyond it, so that a lying
    // header never makes it allocate more than the source holds.
    virtual std::uint64_t Remaining() const = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes all `size` bytes or throws.
    virtual void Write(const void* data, std::size_t size) = 0;
};

// Bytes the caller keeps alive while they are read.
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(data ? size : 0) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        const std::size_t n = size < m_size - m_position ? size : m_size - m_position;
        if (n > 0)
            std::memcpy(buffer, m_data + m_position, n);
        m_position += n;
        return n;
    }
    std::uint64_t Remaining() const override { return m_size - m_position; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};
