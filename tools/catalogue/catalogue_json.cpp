#include "catalogue_json.h"

#include "base/text.h"
#include "catalogue/catalogue_report.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"
#include "json_place.h"

#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

using Json = nlohmann::ordered_json;

namespace {

struct WindowSize {
    const char* name;
    std::int32_t showCommand;
};
constexpr WindowSize kWindowSizes[] = {
    {"normal", kShowNormal}, {"maximized", kShowMaximized}, {"minimized", kShowMinimized}};

std::string Quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A wrong value as a message shows it; a list or object is only named, however deep it goes.
std::string Shown(const Json& value) {
    if (value.is_array())
        return "a list";
    if (value.is_object())
        return "an object";
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Reads one JSON catalogue, collecting every fault with its place instead of stopping at the
// first, so that one run of `build` or `check` shows the operator all of them.
class Reader {
public:
    Reader(std::string_view text, const BuildOptions& options) : m_text(text), m_options(options) {}

    BuildResult Read() {
        // A catalogue nests four deep; anything far deeper is not one.
        constexpr int kNestingLimit = 32;
        if (const std::size_t deep = FindNestingBeyond(m_text, kNestingLimit);
            deep != std::string_view::npos) {
            const JsonPlace place = PlaceOfOffset(m_text, deep);
            m_result.errors.push_back(std::to_string(place.line) + ":" +
                                      std::to_string(place.column) + ": lists and objects nest " +
                                      "more than " + std::to_string(kNestingLimit) +
                                      " deep here; a catalogue needs four");
            return std::move(m_result);
        }
        Json root;
        try {
            root = Json::parse(m_text, nullptr, true, /*ignore_comments=*/true);
        } catch (const Json::parse_error& e) {
            // The library's text is "[json.exception.parse_error.N] parse error at line L,
            // column C: what"; the place is ours to put first.
            std::string what = e.what();
            const std::size_t colon = what.find(": ", what.find("parse error"));
            if (colon != std::string::npos)
                what = what.substr(colon + 2);
            const JsonPlace place = PlaceOfOffset(m_text, e.byte > 0 ? e.byte - 1 : 0);
            m_result.errors.push_back(std::to_string(place.line) + ":" +
                                      std::to_string(place.column) + ": " + what);
            return std::move(m_result);
        }
        if (!root.is_object()) {
            Fail({}, "the catalogue must be an object with \"tabs\" and \"programs\"");
            return std::move(m_result);
        }
        for (const auto& [key, value] : root.items())
            if (key != "tabs" && key != "programs")
                Fail({key}, "unknown field \"" + key +
                                "\" (a catalogue has \"tabs\" and "
                                "\"programs\")");
        ReadTabs(root);
        if (root.contains("programs")) {
            const Json& programs = root["programs"];
            if (!programs.is_array()) {
                Fail({"programs"}, "\"programs\" must be a list");
            } else {
                if (programs.size() > static_cast<std::size_t>(Icons::kMaxEntries))
                    Fail({"programs"}, "icons.bin holds at most " +
                                           std::to_string(Icons::kMaxEntries) + " programs, not " +
                                           std::to_string(programs.size()));
                for (std::size_t i = 0; i < programs.size(); ++i)
                    ReadProgram(programs[i], i);
            }
        }
        if (m_result.errors.empty())
            PlaceProgramsWithoutCell();
        return std::move(m_result);
    }

private:
    void Fail(const JsonPath& path, const std::string& message) {
        const JsonPlace place = FindJsonPlace(m_text, path);
        m_result.errors.push_back(std::to_string(place.line) + ":" + std::to_string(place.column) +
                                  ": " + message);
    }

    // A UTF-8 text in the code page, at most `limit` bytes (0: no limit).
    std::optional<std::string> Encode(const JsonPath& path, const std::string& what,
                                      const std::string& utf8, std::size_t limit) {
        std::string bytes;
        char32_t unfit = 0;
        if (!m_options.codePage->FromUtf8(utf8, bytes, unfit)) {
            Fail(path, what + " holds " + DescribeCharacter(unfit) + ", which " +
                           m_options.codePage->Name() +
                           " does not have (--codepage chooses another code page)");
            return std::nullopt;
        }
        if (bytes.find('\0') != std::string::npos) {
            Fail(path, what + " holds a NUL character, which would end it early");
            return std::nullopt;
        }
        if (limit > 0 && bytes.size() > limit) {
            Fail(path, what + " is " + std::to_string(bytes.size()) + " bytes long in " +
                           m_options.codePage->Name() + "; its field holds at most " +
                           std::to_string(limit));
            return std::nullopt;
        }
        return bytes;
    }

    void ReadTabs(const Json& root) {
        if (!root.contains("tabs")) {
            Fail({}, "the catalogue has no \"tabs\" list");
            return;
        }
        const Json& tabs = root["tabs"];
        if (!tabs.is_array()) {
            Fail({"tabs"}, "\"tabs\" must be a list of tab names");
            return;
        }
        for (std::size_t t = 0; t < tabs.size(); ++t) {
            if (!tabs[t].is_string()) {
                Fail({"tabs", t}, "a tab name must be a text");
                m_result.data.tabs.emplace_back();
                continue;
            }
            const std::string name = tabs[t].get<std::string>();
            const auto bytes = Encode({"tabs", t}, "tab name " + Quoted(name), name, 0);
            m_result.data.tabs.push_back(bytes.value_or(std::string()));
            m_tabIndex.emplace(name, t); // a second tab of one name makes the name ambiguous
            ++m_tabNameUses[name];
        }
    }

    std::optional<std::string> Text(const Json& program, const JsonPath& at, const char* key,
                                    const std::string& who, std::size_t fieldSize,
                                    const std::string& fallback) {
        if (!program.contains(key))
            return fallback;
        JsonPath path = at;
        path.emplace_back(std::string(key));
        const Json& value = program[key];
        std::string what(1, '"');
        what.append(key).append("\" of ").append(who);
        if (!value.is_string()) {
            Fail(path, what + " must be a text");
            return std::nullopt;
        }
        return Encode(path, what, value.get<std::string>(), fieldSize - 1);
    }

    std::optional<std::int32_t> Integer(const Json& value, const JsonPath& path,
                                        const std::string& what, std::int64_t lowest) {
        if (!value.is_number_integer() ||
            (value.is_number_unsigned() &&
             value.get<std::uint64_t>() >
                 static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) ||
            (!value.is_number_unsigned() &&
             (value.get<std::int64_t>() < lowest ||
              value.get<std::int64_t>() > std::numeric_limits<std::int32_t>::max()))) {
            Fail(path, what + " must be a whole number from " + std::to_string(lowest) + " to " +
                           std::to_string(std::numeric_limits<std::int32_t>::max()) + ", not " +
                           Shown(value));
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value.get<std::int64_t>());
    }

    void ReadProgram(const Json& program, std::size_t index) {
        const JsonPath at{"programs", index};
        std::string who = "programs[" + std::to_string(index) + "]";
        if (!program.is_object()) {
            Fail(at, who + " must be an object");
            return;
        }
        if (program.contains("caption") && program["caption"].is_string())
            who = "program " + Quoted(program["caption"].get<std::string>());

        static const char* const kKeys[] = {"tab",     "column",     "row",  "caption",
                                            "program", "parameters", "icon", "screenshot",
                                            "window",  "description"};
        for (const auto& [key, value] : program.items())
            if (std::find_if(std::begin(kKeys), std::end(kKeys),
                             [&](const char* k) { return key == k; }) == std::end(kKeys))
                Fail({"programs", index, key}, "unknown field \"" + key + "\" in " + who);

        bool ok = true;
        ProgramEntry entry{};
        for (const char* key : {"caption", "program"})
            if (!program.contains(key)) {
                Fail(at, who + " has no \"" + key + "\"");
                ok = false;
            }
        const auto caption = Text(program, at, "caption", who, sizeof entry.caption, "");
        const auto path = Text(program, at, "program", who, sizeof entry.programPath, "");
        const auto parameters = Text(program, at, "parameters", who, sizeof entry.parameters, "");
        const auto screenshot =
            Text(program, at, "screenshot", who, sizeof entry.screenshotPath, "");
        ok = ok && caption && path && parameters && screenshot;
        if (ok) {
            CopyText(entry.caption, *caption);
            CopyText(entry.programPath, *path);
            CopyText(entry.parameters, *parameters);
            CopyText(entry.screenshotPath, *screenshot);
        }
        ok = ReadTab(program, at, who, entry) && ok;
        ok = ReadCell(program, at, who, entry, index) && ok;
        ok = ReadIcon(program, at, who, entry, path.value_or("")) && ok;
        ok = ReadWindow(program, at, who, entry) && ok;
        ok = ReadDescription(program, at, who, entry) && ok;
        if (ok)
            m_result.data.entries.push_back(entry);
    }

    bool ReadTab(const Json& program, const JsonPath& at, const std::string& who,
                 ProgramEntry& entry) {
        const std::size_t tabs = m_result.data.tabs.size();
        if (!program.contains("tab")) {
            if (tabs == 0) {
                Fail(at, who + " has no \"tab\" and the catalogue has no tabs");
                return false;
            }
            entry.tab = 0;
            return true;
        }
        JsonPath path = at;
        path.emplace_back(std::string("tab"));
        const Json& tab = program["tab"];
        if (tab.is_string()) {
            const std::string name = tab.get<std::string>();
            const auto found = m_tabIndex.find(name);
            if (found == m_tabIndex.end()) {
                Fail(path, who + " is on tab " + Quoted(name) + ", which is not in \"tabs\"");
                return false;
            }
            if (m_tabNameUses[name] > 1) {
                Fail(path, "two tabs are named " + Quoted(name) + ": give " + who +
                               "'s tab as its number in \"tabs\" (from 0)");
                return false;
            }
            entry.tab = static_cast<std::int32_t>(found->second);
            return true;
        }
        if (tab.is_number_integer() && !tab.is_number_unsigned() && tab.get<std::int64_t>() < 0) {
            Fail(path, who + " is on tab " + Shown(tab) + ": tab numbers start at 0");
            return false;
        }
        if (tab.is_number_integer()) {
            if (tab.get<std::uint64_t>() >= tabs) {
                Fail(path, who + " is on tab " + Shown(tab) + ", but \"tabs\" has " +
                               std::to_string(tabs) + " (numbered from 0)");
                return false;
            }
            entry.tab = static_cast<std::int32_t>(tab.get<std::uint64_t>());
            return true;
        }
        Fail(path, "\"tab\" of " + who + " must be a tab name or a tab number, not " + Shown(tab));
        return false;
    }

    bool ReadCell(const Json& program, const JsonPath& at, const std::string& who,
                  ProgramEntry& entry, std::size_t index) {
        const bool hasColumn = program.contains("column");
        const bool hasRow = program.contains("row");
        if (!hasColumn && !hasRow) {
            m_withoutCell.push_back(m_result.data.entries.size());
            return true;
        }
        if (hasColumn != hasRow) {
            Fail(at, who + " has a \"" + (hasColumn ? "column" : "row") + "\" but no \"" +
                         (hasColumn ? "row" : "column") +
                         "\": give both, or neither for the next free cell");
            return false;
        }
        const auto column =
            Integer(program["column"], {"programs", index, "column"}, "\"column\" of " + who, 0);
        const auto row =
            Integer(program["row"], {"programs", index, "row"}, "\"row\" of " + who, 0);
        if (!column || !row)
            return false;
        entry.column = *column;
        entry.row = *row;
        m_cellPaths.push_back({m_result.data.entries.size(), index});
        return true;
    }

    bool ReadIcon(const Json& program, const JsonPath& at, const std::string& who,
                  ProgramEntry& entry, const std::string& programPath) {
        CopyText(entry.iconFile, programPath);
        entry.iconIndex = 0;
        if (!program.contains("icon"))
            return true;
        JsonPath path = at;
        path.emplace_back(std::string("icon"));
        const Json& icon = program["icon"];
        if (icon.is_string()) {
            const auto file = Encode(path, "\"icon\" of " + who, icon.get<std::string>(),
                                     sizeof entry.iconFile - 1);
            if (file)
                CopyText(entry.iconFile, *file);
            return file.has_value();
        }
        if (!icon.is_object()) {
            Fail(path,
                 "\"icon\" of " + who + " must be a file name or {\"file\": ..., \"index\": ...}");
            return false;
        }
        bool ok = true;
        for (const auto& [key, value] : icon.items())
            if (key != "file" && key != "index") {
                JsonPath inner = path;
                inner.emplace_back(key);
                Fail(inner, "unknown field \"" + key + "\" in the icon of " + who);
                ok = false;
            }
        if (icon.contains("file")) {
            JsonPath inner = path;
            inner.emplace_back(std::string("file"));
            if (!icon["file"].is_string()) {
                Fail(inner, "the icon file of " + who + " must be a text");
                return false;
            }
            const auto file = Encode(inner, "the icon file of " + who,
                                     icon["file"].get<std::string>(), sizeof entry.iconFile - 1);
            if (!file)
                return false;
            CopyText(entry.iconFile, *file);
        }
        if (icon.contains("index")) {
            JsonPath inner = path;
            inner.emplace_back(std::string("index"));
            const auto number = Integer(icon["index"], inner, "the icon index of " + who,
                                        std::numeric_limits<std::int32_t>::min());
            if (!number)
                return false;
            entry.iconIndex = *number;
        }
        return ok;
    }

    bool ReadWindow(const Json& program, const JsonPath& at, const std::string& who,
                    ProgramEntry& entry) {
        entry.showCommand = kShowNormal;
        if (!program.contains("window"))
            return true;
        JsonPath path = at;
        path.emplace_back(std::string("window"));
        const Json& window = program["window"];
        if (window.is_number_integer()) { // a show command without a name, as dump writes it
            const auto number = Integer(window, path, "\"window\" of " + who,
                                        std::numeric_limits<std::int32_t>::min());
            if (number)
                entry.showCommand = *number;
            return number.has_value();
        }
        if (window.is_string())
            for (const WindowSize& size : kWindowSizes)
                if (window.get<std::string>() == size.name) {
                    entry.showCommand = size.showCommand;
                    return true;
                }
        Fail(path, "\"window\" of " + who +
                       " must be \"normal\", \"maximized\" or \"minimized\", not " + Shown(window));
        return false;
    }

    // The RTF text as one string or as a list of lines joined as they are.
    std::optional<std::string> Lines(const Json& value, const JsonPath& path,
                                     const std::string& what) {
        if (value.is_string())
            return value.get<std::string>();
        if (value.is_array()) {
            std::string joined;
            for (const Json& line : value) {
                if (!line.is_string())
                    break;
                joined += line.get<std::string>();
            }
            if (std::all_of(value.begin(), value.end(),
                            [](const Json& line) { return line.is_string(); }))
                return joined;
        }
        Fail(path, what + " must be a text or a list of texts");
        return std::nullopt;
    }

    bool ReadDescription(const Json& program, const JsonPath& at, const std::string& who,
                         ProgramEntry& entry) {
        if (!program.contains("description"))
            return true;
        JsonPath path = at;
        path.emplace_back(std::string("description"));
        const Json& value = program["description"];
        const std::string what = "the description of " + who;
        std::optional<std::string> rtf;
        if (value.is_object()) {
            if (value.size() != 1 || (!value.contains("text") && !value.contains("file"))) {
                Fail(path, what + " must be RTF, {\"text\": ...} or {\"file\": ...}");
                return false;
            }
            if (value.contains("text")) {
                path.emplace_back(std::string("text"));
                const auto text = Lines(value["text"], path, what);
                const auto bytes = text ? Encode(path, what, *text, 0) : std::nullopt;
                if (!bytes)
                    return false;
                rtf = PlainTextToRtf(*bytes, m_options.codePage->Number());
            } else {
                path.emplace_back(std::string("file"));
                rtf = ReadRtfFile(value["file"], path, what);
            }
        } else {
            const auto text = Lines(value, path, what);
            rtf = text ? Encode(path, what, *text, 0) : std::nullopt;
        }
        if (!rtf)
            return false;
        if (rtf->size() >= sizeof entry.description) {
            Fail(path, what + " is " + std::to_string(rtf->size()) +
                           " bytes of RTF; its field holds at most " +
                           std::to_string(sizeof entry.description - 1));
            return false;
        }
        CopyText(entry.description, *rtf);
        return true;
    }

    std::optional<std::string> ReadRtfFile(const Json& name, const JsonPath& path,
                                           const std::string& what) {
        if (!name.is_string()) {
            Fail(path, "the description file of " + what + " must be a file name");
            return std::nullopt;
        }
        std::filesystem::path file = std::filesystem::u8path(name.get<std::string>());
        if (file.is_relative())
            file = m_options.baseFolder / file;
        std::vector<unsigned char> bytes;
        std::string reason;
        if (!ReadWholeFile(file.string(), bytes, reason)) {
            Fail(path, what + ": " + file.string() + ": " + reason);
            return std::nullopt;
        }
        std::string rtf(bytes.begin(), bytes.end());
        if (rtf.rfind("{\\rtf", 0) != 0) {
            Fail(path, what + ": " + file.string() + " is not an RTF file");
            return std::nullopt;
        }
        if (rtf.find('\0') != std::string::npos) {
            Fail(path, what + ": " + file.string() + " holds a NUL byte");
            return std::nullopt;
        }
        return rtf;
    }

    // Programs with a cell keep it; the others take, in catalogue order, the first free cell of
    // their tab, row by row, as the desktop's layout would.
    void PlaceProgramsWithoutCell() {
        auto& entries = m_result.data.entries;
        const ScreenGrid& grid = m_options.grid;
        Occupancy taken(static_cast<int>(m_result.data.tabs.size()), grid.columns, grid.rows);
        std::map<std::tuple<int, int, int>, std::size_t> owner;
        for (const auto& [entryIndex, jsonIndex] : m_cellPaths) {
            const ProgramEntry& e = entries[entryIndex];
            const auto [it, fresh] =
                owner.emplace(std::make_tuple(e.tab, e.column, e.row), jsonIndex);
            if (!fresh) {
                Fail({"programs", jsonIndex},
                     "program " + Quoted(m_options.codePage->ToUtf8(FieldText(e.caption))) +
                         " is on column " + std::to_string(e.column) + ", row " +
                         std::to_string(e.row) + " of tab " +
                         Quoted(m_options.codePage->ToUtf8(m_result.data.tabs[e.tab])) +
                         ", as programs[" + std::to_string(it->second) +
                         "] is: the desktop would move it");
                continue;
            }
            taken.Mark(e.column, e.row, e.tab);
        }
        for (const std::size_t i : m_withoutCell) {
            ProgramEntry& e = entries[i];
            bool placed = false;
            for (int row = 0; row < grid.rows && !placed; ++row)
                for (int column = 0; column < grid.columns && !placed; ++column)
                    if (!taken.IsOccupied(column, row, e.tab)) {
                        e.column = column;
                        e.row = row;
                        taken.Mark(column, row, e.tab);
                        placed = true;
                    }
            if (!placed)
                Fail({"programs", i},
                     "program " + Quoted(m_options.codePage->ToUtf8(FieldText(e.caption))) +
                         " has no cell and tab " +
                         Quoted(m_options.codePage->ToUtf8(m_result.data.tabs[e.tab])) +
                         " has no free one at " + grid.Name() + " (" +
                         std::to_string(grid.columns) + " x " + std::to_string(grid.rows) +
                         " cells)");
        }
    }

    std::string_view m_text;
    const BuildOptions& m_options;
    BuildResult m_result;
    std::map<std::string, std::size_t> m_tabIndex;
    std::map<std::string, int> m_tabNameUses;
    std::vector<std::size_t> m_withoutCell;                       // entry indices
    std::vector<std::pair<std::size_t, std::size_t>> m_cellPaths; // entry index, JSON index
};

} // namespace

ScreenGrid ScreenGrid::ForScreen(int width, int height) {
    const DesktopLayout layout = DesktopLayout::Compute(width, height, false);
    return {width, height, layout.columns, layout.rows};
}

std::string ScreenGrid::Name() const {
    return std::to_string(width) + "x" + std::to_string(height);
}

BuildResult CatalogueFromJson(std::string_view text, const BuildOptions& options) {
    return Reader(text, options).Read();
}

const char* WindowName(std::int32_t showCommand) {
    for (const WindowSize& size : kWindowSizes)
        if (size.showCommand == showCommand)
            return size.name;
    return nullptr;
}

std::string PlainTextToRtf(std::string_view text, int codePageNumber) {
    // White is the desktop's description colour until the operator chooses another; without a
    // colour of its own the text would be black on the pane's dark blue.
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePageNumber) +
        "\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green255\\blue255;}"
        "\\f0\\cf1\\fs22 ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the '\n' makes the paragraph
        if (c == '\n' || c == '\r') {
            rtf += "\\par\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c >= 0x80) {
            static const char kHex[] = "0123456789abcdef";
            rtf += "\\'";
            rtf += kHex[c >> 4];
            rtf += kHex[c & 15];
        } else {
            rtf += static_cast<char>(c);
        }
    }
    return rtf + "}";
}

namespace {

// A multi-line RTF text as its lines, each with its own line end, so that a change shows as a
// changed line in a diff and the bytes come back unchanged.
Json RtfToJson(const std::string& utf8) {
    if (utf8.find('\n') == std::string::npos)
        return utf8;
    Json lines = Json::array();
    std::size_t start = 0;
    while (start < utf8.size()) {
        const std::size_t end = utf8.find('\n', start);
        const std::size_t next = end == std::string::npos ? utf8.size() : end + 1;
        lines.push_back(utf8.substr(start, next - start));
        start = next;
    }
    return lines;
}

} // namespace

Json CatalogueToJson(const CatalogueData& data, const CodePage& codePage) {
    std::map<std::string, int> uses;
    for (const std::string& tab : data.tabs)
        ++uses[tab];
    Json tabs = Json::array();
    for (const std::string& tab : data.tabs)
        tabs.push_back(codePage.ToUtf8(tab));
    Json programs = Json::array();
    for (const ProgramEntry& e : data.entries) {
        Json program;
        const bool named = e.tab >= 0 && static_cast<std::size_t>(e.tab) < data.tabs.size() &&
                           uses[data.tabs[e.tab]] == 1;
        program["tab"] = named ? Json(codePage.ToUtf8(data.tabs[e.tab])) : Json(e.tab);
        program["column"] = e.column;
        program["row"] = e.row;
        program["caption"] = codePage.ToUtf8(FieldText(e.caption));
        program["program"] = codePage.ToUtf8(FieldText(e.programPath));
        program["parameters"] = codePage.ToUtf8(FieldText(e.parameters));
        program["icon"] = {{"file", codePage.ToUtf8(FieldText(e.iconFile))},
                           {"index", e.iconIndex}};
        program["screenshot"] = codePage.ToUtf8(FieldText(e.screenshotPath));
        const char* window = WindowName(e.showCommand);
        program["window"] = window ? Json(window) : Json(e.showCommand);
        program["description"] = RtfToJson(codePage.ToUtf8(FieldText(e.description)));
        programs.push_back(std::move(program));
    }
    Json root;
    root["tabs"] = std::move(tabs);
    root["programs"] = std::move(programs);
    return root;
}
