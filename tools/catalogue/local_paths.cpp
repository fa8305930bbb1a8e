#include "local_paths.h"

#include "base/text.h"

#include <cctype>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The path's folder names, lower case, without the drive or the server and share.
std::vector<std::string> Folders(const std::string& lower) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= lower.size(); ++i) {
        if (i == lower.size() || lower[i] == '\\' || lower[i] == '/') {
            if (i > start)
                parts.push_back(lower.substr(start, i - start));
            start = i + 1;
        }
    }
    if (!parts.empty())
        parts.pop_back(); // the file's own name
    return parts;
}

std::string Quoted(const CodePage& codePage, std::string_view bytes) {
    return nlohmann::ordered_json(codePage.ToUtf8(bytes)).dump();
}

} // namespace

std::optional<std::string> LocalOnlyReason(std::string_view path) {
    const std::string lower = Lower(path);
    if (lower.size() >= 2 && (lower[0] == '\\' || lower[0] == '/') &&
        (lower[1] == '\\' || lower[1] == '/'))
        return std::nullopt; // \\server\share\...: the same for every PC of the room
    const bool hasDrive =
        lower.size() >= 2 && std::isalpha(static_cast<unsigned char>(lower[0])) && lower[1] == ':';
    if (lower.find('%') != std::string::npos &&
        (lower.find("%userprofile%") != std::string::npos ||
         lower.find("%appdata%") != std::string::npos ||
         lower.find("%localappdata%") != std::string::npos ||
         lower.find("%temp%") != std::string::npos || lower.find("%tmp%") != std::string::npos ||
         lower.find("%homepath%") != std::string::npos))
        return "names a folder of the user who runs it";
    if (!hasDrive)
        return std::nullopt; // a bare name is looked up on each PC's own search path
    const std::vector<std::string> folders = Folders(lower.substr(2));
    if (!folders.empty() && (folders[0] == "users" || folders[0] == "documents and settings"))
        return "lies under a user profile";
    for (const std::string& folder : folders)
        if (folder == "temp" || folder == "tmp")
            return "lies in a temporary folder";
    return std::nullopt;
}

std::vector<std::string> DescribeLocalPaths(const CatalogueData& data, const CodePage& codePage) {
    std::vector<std::string> warnings;
    for (std::size_t i = 0; i < data.entries.size(); ++i) {
        const ProgramEntry& e = data.entries[i];
        const struct {
            const char* what;
            std::string_view path;
        } paths[] = {{"program", FieldText(e.programPath)},
                     {"icon file", FieldText(e.iconFile)},
                     {"screenshot", FieldText(e.screenshotPath)}};
        for (const auto& p : paths) {
            const auto reason = LocalOnlyReason(p.path);
            if (!reason)
                continue;
            warnings.push_back("the " + std::string(p.what) + " of program " + std::to_string(i) +
                               " " + Quoted(codePage, FieldText(e.caption)) + ", " +
                               Quoted(codePage, p.path) + ", " + *reason +
                               ": it exists only on this PC");
        }
    }
    return warnings;
}
