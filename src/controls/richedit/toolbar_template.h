#pragma once
// The tool-bar resource (type 241): a version word (1), the image width and height, the item
// count, then one command per item, 0 for a separator. Read here without the window system so
// that damaged resources can be tried natively.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace richedit {

// Commands of the tool bar and the ids of the controls it carries.
enum ToolbarCommand : int {
    kCmdFontDialog = 20,
    kCmdColourButton = 21,
    kCmdBold = 22,
    kCmdItalic = 23,
    kCmdUnderline = 24,
    kCmdAlignLeft = 25,
    kCmdAlignCentre = 26,
    kCmdAlignRight = 27,
    kCmdIndent = 28,
    kCmdOutdent = 29,
    kCmdBullets = 30,
    kCmdFontNameCombo = 31,
    kCmdFontSizeCombo = 32,
};

struct ToolbarTemplate {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<int> commands; // 0 for a separator
};

// Nothing when the bytes are too short for what they announce or the version is unknown.
std::optional<ToolbarTemplate> ParseToolbarResource(const std::uint8_t* data, std::size_t size);

struct ToolbarItem {
    int command = 0; // 0 for a separator
    int image = -1;  // index in the strip; -1 for a separator
    int width = 0;   // of a separator; 0 = the tool bar's own
    friend bool operator==(const ToolbarItem&, const ToolbarItem&) = default;
};

// Items in resource order: buttons take the images in turn; the separators at 2, 4 and 6 are
// widened to carry the font-name list (128), the size list (48) and the colour button (64).
std::vector<ToolbarItem> ToolbarItems(const ToolbarTemplate& resource);

// Index of the separator that carries the control with `id` (31, 32 or 21), -1 for others.
int CarrierIndex(int id);

} // namespace richedit
