#pragma once
// Where a control keeps small pieces of state between runs: named binary entries grouped in
// sections. The memory profile serves tests and programs that keep nothing.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class Profile {
public:
    virtual ~Profile() = default;
    virtual bool WriteProfileBinary(const std::string& section, const std::string& entry,
                                    const std::vector<std::uint8_t>& data) = 0;
    // False when the entry does not exist.
    virtual bool GetProfileBinary(const std::string& section, const std::string& entry,
                                  std::vector<std::uint8_t>& data) = 0;
};

class MemoryProfile : public Profile {
public:
    bool WriteProfileBinary(const std::string& section, const std::string& entry,
                            const std::vector<std::uint8_t>& data) override {
        m_entries[{section, entry}] = data;
        return true;
    }
    bool GetProfileBinary(const std::string& section, const std::string& entry,
                          std::vector<std::uint8_t>& data) override {
        const auto found = m_entries.find({section, entry});
        if (found == m_entries.end())
            return false;
        data = found->second;
        return true;
    }

private:
    std::map<std::pair<std::string, std::string>, std::vector<std::uint8_t>> m_entries;
};
