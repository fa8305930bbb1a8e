#include "controls/tabctrl/tab_state_codec.h"

#include <algorithm>
#include <numeric>

namespace tabstate {

namespace {

void Put(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(u >> shift));
}

bool Get(const std::vector<std::uint8_t>& in, std::size_t& at, std::int32_t& value) {
    if (at > in.size() || in.size() - at < 4)
        return false;
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | in[at + static_cast<std::size_t>(i)];
    value = static_cast<std::int32_t>(u);
    at += 4;
    return true;
}

} // namespace

std::vector<std::uint8_t> Encode(int selectedIndex, const std::vector<std::int32_t>& paneIds) {
    std::vector<std::uint8_t> out;
    Put(out, static_cast<std::int32_t>(paneIds.size()));
    if (paneIds.size() > 1)
        Put(out, selectedIndex);
    for (std::int32_t id : paneIds)
        Put(out, id);
    return out;
}

Decoded Decode(const std::vector<std::uint8_t>& bytes) {
    Decoded d;
    std::size_t at = 0;
    std::int32_t count = 0;
    if (!Get(bytes, at, count) || count < 0)
        return d;
    if (count > 1) {
        std::int32_t selected = -1;
        if (!Get(bytes, at, selected))
            return d;
        d.selectedIndex = selected;
        d.hasSelection = true;
    }
    // The count comes from outside: read only what is really there.
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t id = 0;
        if (!Get(bytes, at, id))
            return d;
        d.paneIds.push_back(id);
    }
    d.complete = true;
    return d;
}

std::vector<int> ReorderByIds(const std::vector<std::int32_t>& current,
                              const std::vector<std::int32_t>& stored, bool& allFound) {
    std::vector<int> order(current.size());
    std::iota(order.begin(), order.end(), 0);
    allFound = true;
    std::size_t place = 0;
    for (std::int32_t id : stored) {
        if (place >= order.size()) {
            allFound = false;
            break;
        }
        const auto found = std::find_if(order.begin() + static_cast<std::ptrdiff_t>(place),
                                        order.end(), [&](int old) { return current[old] == id; });
        if (found == order.end()) {
            allFound = false;
            break;
        }
        std::rotate(order.begin() + static_cast<std::ptrdiff_t>(place), found, found + 1);
        ++place;
    }
    return order;
}

} // namespace tabstate
