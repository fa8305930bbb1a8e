#pragma once
// The catalogue as JSON: what `dump` writes from an icons.bin and what `build` turns back into
// one. Texts are UTF-8 in the JSON and bytes of a Windows code page in the catalogue.

#include "catalogue/program_entry.h"
#include "code_page.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A catalogue as the file holds it: tab names and records, texts in the code page.
struct CatalogueData {
    std::vector<std::string> tabs;
    std::vector<ProgramEntry> entries;
};

// The grid the desktop has at one screen size, for programs whose cell is left out.
struct ScreenGrid {
    int width = 1024;
    int height = 768;
    int columns = 0;
    int rows = 0;
    static ScreenGrid ForScreen(int width, int height);
    std::string Name() const; // "1024x768"
};

struct BuildOptions {
    const CodePage* codePage = nullptr;
    ScreenGrid grid;
    std::filesystem::path baseFolder; // description files are found relative to it
};

struct BuildResult {
    CatalogueData data;
    std::vector<std::string> errors; // "LINE:COLUMN: text", in the order met
    bool Ok() const { return errors.empty(); }
};

BuildResult CatalogueFromJson(std::string_view text, const BuildOptions& options);

nlohmann::ordered_json CatalogueToJson(const CatalogueData& data, const CodePage& codePage);

// Plain text as the smallest RTF the description pane shows well: 11-point Arial in the pane's
// default text colour (white), paragraphs at line breaks, characters beyond ASCII as code-page
// escapes.
std::string PlainTextToRtf(std::string_view codePageText, int codePageNumber);

const char* WindowName(std::int32_t showCommand); // nullptr for a number without a name
