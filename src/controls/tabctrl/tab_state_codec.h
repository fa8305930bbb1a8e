#pragma once
// The stored form of a tab strip's order and selection: little-endian 32-bit integers, the tab
// count, the selected index (only when there is more than one tab), then the control id of
// each tab's pane in visible order.

#include <cstdint>
#include <vector>

namespace tabstate {

std::vector<std::uint8_t> Encode(int selectedIndex, const std::vector<std::int32_t>& paneIds);

struct Decoded {
    int selectedIndex = -1;
    bool hasSelection = false;         // false for a single tab
    std::vector<std::int32_t> paneIds; // as many as could be read
    bool complete = false;             // false when the data ended early
};

Decoded Decode(const std::vector<std::uint8_t>& bytes);

// Reorders `current` (pane ids in visible order) so that the stored ids come first in their
// stored order. Returns the permutation applied (new position -> old position) and sets
// `allFound` false when a stored id names no pane; ids before it are still applied.
std::vector<int> ReorderByIds(const std::vector<std::int32_t>& current,
                              const std::vector<std::int32_t>& stored, bool& allFound);

} // namespace tabstate
