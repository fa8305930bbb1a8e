#include "controls/richedit/toolbar_template.h"

namespace richedit {

namespace {

struct Carrier {
    int index;
    int id;
    int width;
};
constexpr Carrier kCarriers[] = {
    {2, kCmdFontNameCombo, 128}, {4, kCmdFontSizeCombo, 48}, {6, kCmdColourButton, 64}};

int ReadWord(const std::uint8_t* data, std::size_t index) {
    return data[2 * index] | (data[2 * index + 1] << 8);
}

} // namespace

std::optional<ToolbarTemplate> ParseToolbarResource(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeaderWords = 4;
    if (!data || size < 2 * kHeaderWords || ReadWord(data, 0) != 1)
        return std::nullopt;
    const std::size_t count = ReadWord(data, 3);
    if (size < 2 * (kHeaderWords + count))
        return std::nullopt;
    ToolbarTemplate resource;
    resource.imageWidth = ReadWord(data, 1);
    resource.imageHeight = ReadWord(data, 2);
    resource.commands.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        resource.commands.push_back(ReadWord(data, kHeaderWords + i));
    return resource;
}

std::vector<ToolbarItem> ToolbarItems(const ToolbarTemplate& resource) {
    std::vector<ToolbarItem> items;
    int image = 0;
    for (std::size_t i = 0; i < resource.commands.size(); ++i) {
        ToolbarItem item;
        item.command = resource.commands[i];
        if (item.command != 0) {
            item.image = image++;
        } else {
            for (const Carrier& carrier : kCarriers)
                if (static_cast<std::size_t>(carrier.index) == i)
                    item.width = carrier.width;
        }
        items.push_back(item);
    }
    return items;
}

int CarrierIndex(int id) {
    for (const Carrier& carrier : kCarriers)
        if (carrier.id == id)
            return carrier.index;
    return -1;
}

} // namespace richedit
