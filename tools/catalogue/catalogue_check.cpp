#include "catalogue_check.h"

#include "base/text.h"
#include "catalogue/icons.h"
#include "desktop/grid_layout.h"

#include <algorithm>

namespace {

std::string Quoted(const CodePage& codePage, std::string_view bytes) {
    return nlohmann::ordered_json(codePage.ToUtf8(bytes)).dump();
}

std::string Program(const CodePage& codePage, const CatalogueData& data, std::size_t i) {
    return "program " + std::to_string(i) + " " +
           Quoted(codePage, FieldText(data.entries[i].caption));
}

std::string Cell(const ProgramEntry& e) {
    return "column " + std::to_string(e.column) + ", row " + std::to_string(e.row);
}

std::string Plural(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::vector<Finding> CheckIconsBytes(const unsigned char* bytes, std::size_t size,
                                     const ScreenGrid& grid, const CodePage& codePage,
                                     const std::string& scratchPath) {
    const IconsFileReport report = InspectIconsFile(bytes, size);
    CatalogueData data;
    if (!report.OldFormat()) {
        Icons icons;
        icons.Read(bytes, size);
        data = DataOf(icons);
    }
    std::vector<Finding> found = DescribeFile(report, data, codePage);
    if (report.OldFormat())
        return found;
    std::vector<Finding> layout = DescribeLayout(data, grid, codePage, scratchPath);
    found.insert(found.end(), layout.begin(), layout.end());
    return found;
}

CatalogueData DataOf(const Icons& icons) {
    CatalogueData data;
    data.tabs = icons.m_tabs;
    data.entries.assign(icons.m_entries.get(), icons.m_entries.get() + icons.m_count);
    return data;
}

std::vector<Finding> DescribeFile(const IconsFileReport& r, const CatalogueData& loaded,
                                  const CodePage& codePage) {
    std::vector<Finding> found;
    auto problem = [&](std::string text) { found.push_back({true, std::move(text)}); };
    if (!r.hasHeader) {
        problem("the file is " + Plural(r.size, "byte", "bytes") +
                " long, too short for a header: the desktop starts with an empty catalogue and "
                "the tab \"Programs\"");
        return found;
    }
    if (r.OldFormat()) {
        problem("the header holds version 0, the old incompatible format: the desktop empties "
                "the file and warns; all of it is lost");
        return found;
    }
    if (r.ForeignVersion())
        problem("the header holds version " + std::to_string(r.version) +
                ", not 1: not a catalogue Korvane Shell wrote; the desktop reads it as version 1 "
                "and rewrites it as version 1 at its next save");
    if (r.completeEntries < r.announcedEntries) {
        problem("the header announces " + Plural(r.announcedEntries, "program", "programs") +
                "; the file holds " +
                Plural(r.completeEntries, "complete program", "complete programs") + " and " +
                Plural(r.partialEntryBytes, "byte", "bytes") +
                " of the next: those bytes, the programs after them and the tab section are "
                "lost, and the desktop uses the single tab \"Programs\"");
    } else if (!r.hasTabSection) {
        problem("the file ends after its programs, without a tab section: the desktop uses the "
                "single tab \"Programs\"");
    }
    using Stop = IconsFileReport::TabStop;
    if (r.tabStop != Stop::None) {
        const std::string why =
            r.tabStop == Stop::MissingLength ? "the file ends where its length should be"
            : r.tabStop == Stop::ZeroLength ? "its stored length is " + std::to_string(r.stopLength)
                                            : "its stored length, " + std::to_string(r.stopLength) +
                                                  ", reaches past the end of the file";
        problem("the tab section announces " + Plural(r.announcedTabs, "tab", "tabs") +
                "; reading stops at tab " + std::to_string(r.tabsRead) + " because " + why + ": " +
                std::to_string(r.announcedTabs - r.tabsRead) + " are lost");
    }
    if (r.unreadBytes > 0 && r.partialEntryBytes == 0)
        problem(Plural(r.unreadBytes, "byte", "bytes") +
                " at the end of the file are not read and are lost at the next save");
    for (const int t : r.paddedTabs)
        if (static_cast<std::size_t>(t) < loaded.tabs.size())
            found.push_back({false, "tab " + std::to_string(t) + " " +
                                        Quoted(codePage, loaded.tabs[t]) +
                                        " is stored with bytes after its name's end; they carry "
                                        "no meaning and are dropped at the next save"});
    for (const auto& text : r.unterminated)
        if (static_cast<std::size_t>(text.entry) < loaded.entries.size())
            problem("the " + std::string(text.field) + " of " +
                    Program(codePage, loaded, static_cast<std::size_t>(text.entry)) +
                    " fills its field without an end: its last character is lost");
    return found;
}

std::vector<Finding> DescribeLayout(const CatalogueData& data, const ScreenGrid& grid,
                                    const CodePage& codePage, const std::string& scratchPath) {
    std::vector<Finding> found;
    auto problem = [&](std::string text) { found.push_back({true, std::move(text)}); };
    const std::size_t count = data.entries.size();
    for (std::size_t i = 0; i < count; ++i)
        if (!WindowName(data.entries[i].showCommand))
            found.push_back({false, Program(codePage, data, i) +
                                        " starts with window show "
                                        "command " +
                                        std::to_string(data.entries[i].showCommand) +
                                        ", which is not normal, maximized or minimized"});
    if (count == 0)
        return found;
    if (data.tabs.empty()) {
        problem("the catalogue has no tabs: the desktop shows none of its " +
                Plural(count, "program", "programs"));
        return found;
    }

    Icons scratch(scratchPath);
    scratch.m_tabs = data.tabs;
    scratch.m_entries.reset(new ProgramEntry[count]);
    std::copy(data.entries.begin(), data.entries.end(), scratch.m_entries.get());
    scratch.m_count = static_cast<int>(count);
    const PlacementResult placed = PlaceEntries(scratch, grid.columns, grid.rows);

    const auto tabName = [&](std::int32_t tab) { return Quoted(codePage, data.tabs[tab]); };
    const std::size_t limit =
        placed.placedLimit >= 0 ? static_cast<std::size_t>(placed.placedLimit) : count;
    for (std::size_t i = 0; i < limit; ++i) {
        const ProgramEntry& before = data.entries[i];
        const ProgramEntry& after = scratch.m_entries[i];
        if (before.tab == after.tab && before.column == after.column && before.row == after.row)
            continue;
        std::string why;
        if (before.tab < 0 || static_cast<std::size_t>(before.tab) >= data.tabs.size()) {
            why = "is on tab " + std::to_string(before.tab) + ", which does not exist";
        } else if (before.column < 0 || before.row < 0) {
            why = "has the cell " + Cell(before);
        } else if (before.column >= grid.columns || before.row >= grid.rows) {
            why = "at " + Cell(before) + " lies outside the " + std::to_string(grid.columns) +
                  " x " + std::to_string(grid.rows) + " grid of a " + grid.Name() + " screen";
        } else {
            why = "shares " + Cell(before) + " of tab " + tabName(before.tab);
            for (std::size_t j = 0; j < i; ++j) {
                const ProgramEntry& other = scratch.m_entries[j];
                if (other.tab == before.tab && other.column == before.column &&
                    other.row == before.row)
                    why += " with " + Program(codePage, data, j);
            }
        }
        problem(Program(codePage, data, i) + " " + why + ": the desktop moves it to " +
                Cell(after) + " of tab " + tabName(after.tab));
    }
    if (placed.placedLimit >= 0) {
        const ProgramEntry& e = scratch.m_entries[limit];
        problem(Program(codePage, data, limit) + " finds no free cell on tab " + tabName(e.tab) +
                " (" + std::to_string(grid.columns * grid.rows) + " cells at " + grid.Name() +
                "): the desktop warns \"No space for icons, please increase your screen "
                "resolution\" and does not show it" +
                (count - limit > 1 ? " or the " + Plural(count - limit - 1, "program", "programs") +
                                         " after it, on any tab"
                                   : std::string()));
    }
    return found;
}
