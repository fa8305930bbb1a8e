// korvane-catalogue: the desktop's icons.bin as reviewable JSON and back, and a check of what
// the desktop would make of either.

#include "base/file_error.h"
#include "catalogue/atomic_file.h"
#include "catalogue/catalogue_report.h"
#include "catalogue/icons.h"
#include "catalogue_check.h"
#include "catalogue_json.h"
#include "local_paths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr int kOk = 0;
constexpr int kFindings = 1; // problems found, or input refused
constexpr int kUsage = 2;    // bad command line, or a file that cannot be read or written

const char kUsageText[] =
    "usage: korvane-catalogue dump ICONS.BIN [-o CATALOGUE.JSON] [--codepage N]\n"
    "       korvane-catalogue build CATALOGUE.JSON -o ICONS.BIN [--codepage N] [--screen WxH]\n"
    "       korvane-catalogue check ICONS.BIN|CATALOGUE.JSON [--codepage N] [--screen WxH] "
    "[--paths]\n"
    "Texts are UTF-8 in the JSON and Windows-1252 in icons.bin unless --codepage says another\n"
    "(874, 1250-1258). --screen is the screen the desktop runs on (1024x768 by default): build\n"
    "places programs without a cell on its grid, check tells what would not fit it. --paths\n"
    "warns about program, icon and screenshot paths that exist only on this PC.\n";

struct Options {
    std::string command;
    std::string input;
    std::string output;
    const CodePage* codePage = CodePage::Find(1252);
    ScreenGrid grid = ScreenGrid::ForScreen(1024, 768);
    bool paths = false; // check: warn about paths only this PC has
};

// "1 tab, 6 programs"
std::string Counts(const CatalogueData& data) {
    const std::size_t tabs = data.tabs.size(), programs = data.entries.size();
    return std::to_string(tabs) + (tabs == 1 ? " tab, " : " tabs, ") + std::to_string(programs) +
           (programs == 1 ? " program" : " programs");
}

int Usage(const std::string& why) {
    std::cerr << "korvane-catalogue: " << why << "\n" << kUsageText;
    return kUsage;
}

std::optional<ScreenGrid> ParseScreen(const std::string& text) {
    int width = 0, height = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3 || x != 'x' ||
        width < 80 || height < 80 || width > 100000 || height > 100000)
        return std::nullopt;
    return ScreenGrid::ForScreen(width, height);
}

bool IsJsonName(const std::string& path) {
    const std::string ext = std::filesystem::path(path).extension().string();
    return ext.size() == 5 && (ext[1] | 0x20) == 'j' && (ext[2] | 0x20) == 's' &&
           (ext[3] | 0x20) == 'o' && (ext[4] | 0x20) == 'n';
}

// Icons reads its file in its constructor. A path below the input file (a file, not a folder)
// can neither be read nor created, so the catalogue starts empty and a save the desktop's layout
// pass attempts fails without writing anything.
std::string NowherePath(const std::string& input) {
    return (std::filesystem::path(input) / "icons.bin").string();
}

void Print(const std::string& file, const std::vector<Finding>& findings, int& problems,
           const char* problemLabel = "problem: ") {
    for (const Finding& f : findings) {
        std::cout << file << ": " << (f.problem ? problemLabel : "note: ") << f.text << "\n";
        problems += f.problem ? 1 : 0;
    }
}

// Reads icons.bin as the desktop would; nullopt (with the findings) when nothing can be read.
std::optional<CatalogueData> LoadBinary(const Options& o, std::vector<Finding>& findings,
                                        int& status) {
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!ReadWholeFile(o.input, bytes, reason)) {
        std::cerr << "korvane-catalogue: " << o.input << ": " << reason << "\n";
        status = kUsage;
        return std::nullopt;
    }
    const IconsFileReport report = InspectIconsFile(bytes.data(), bytes.size());
    CatalogueData data;
    if (!report.OldFormat()) {
        // Read from the bytes already in memory: the file is neither read twice nor touched.
        Icons icons;
        icons.Read(bytes.data(), bytes.size());
        data = DataOf(icons);
    }
    findings = DescribeFile(report, data, *o.codePage);
    if (report.OldFormat())
        return std::nullopt;
    return data;
}

int Dump(const Options& o) {
    std::vector<Finding> findings;
    int status = kOk;
    const auto data = LoadBinary(o, findings, status);
    int problems = 0;
    for (const Finding& f : findings) {
        std::cerr << o.input << ": " << (f.problem ? "damaged: " : "note: ") << f.text << "\n";
        problems += f.problem ? 1 : 0;
    }
    if (!data)
        return status != kOk ? status : kFindings;
    const std::string json = CatalogueToJson(*data, *o.codePage).dump(2) + "\n";
    if (o.output.empty()) {
        std::cout << json;
    } else {
        try {
            WriteFileAtomically(o.output, std::vector<unsigned char>(json.begin(), json.end()));
        } catch (const FileException& e) {
            std::cerr << "korvane-catalogue: " << e.what() << "\n";
            return kUsage;
        }
    }
    if (problems > 0)
        std::cerr << o.input << ": the JSON holds what could be read\n";
    return problems > 0 ? kFindings : kOk;
}

// The JSON catalogue as the file `build` would write; nullopt after printing its errors.
std::optional<CatalogueData> BuildFromJson(const Options& o, int& status) {
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!ReadWholeFile(o.input, bytes, reason)) {
        std::cerr << "korvane-catalogue: " << o.input << ": " << reason << "\n";
        status = kUsage;
        return std::nullopt;
    }
    BuildOptions options;
    options.codePage = o.codePage;
    options.grid = o.grid;
    options.baseFolder = std::filesystem::path(o.input).parent_path();
    const std::string text(bytes.begin(), bytes.end());
    BuildResult result = CatalogueFromJson(text, options);
    for (const std::string& error : result.errors)
        std::cout << o.input << ":" << error << "\n";
    if (!result.Ok()) {
        status = kFindings;
        return std::nullopt;
    }
    return std::move(result.data);
}

int Build(const Options& o) {
    int status = kOk;
    const auto data = BuildFromJson(o, status);
    if (!data) {
        std::cout << o.input << ": nothing written\n";
        return status;
    }
    // What the desktop would still move at this screen size is worth a word, not a refusal:
    // the catalogue may be meant for larger screens.
    int problems = 0;
    Print(o.input, DescribeLayout(*data, o.grid, *o.codePage, NowherePath(o.input)), problems,
          "warning: ");
    try {
        Icons icons(NowherePath(o.input));
        icons.m_tabs = data->tabs;
        icons.m_count = static_cast<int>(data->entries.size());
        if (icons.m_count > 0) {
            icons.m_entries.reset(new ProgramEntry[data->entries.size()]);
            std::copy(data->entries.begin(), data->entries.end(), icons.m_entries.get());
        }
        icons.m_path = o.output;
        icons.Save();
    } catch (const FileException& e) {
        std::cerr << "korvane-catalogue: " << e.what() << "\n";
        return kUsage;
    }
    std::cout << o.output << ": " << Counts(*data) << "\n";
    return kOk;
}

int Check(const Options& o) {
    int status = kOk;
    int problems = 0;
    std::optional<CatalogueData> data;
    if (IsJsonName(o.input)) {
        data = BuildFromJson(o, status);
        if (!data)
            return status;
        Print(o.input, DescribeLayout(*data, o.grid, *o.codePage, NowherePath(o.input)), problems);
    } else {
        std::vector<unsigned char> bytes;
        std::string reason;
        if (!ReadWholeFile(o.input, bytes, reason)) {
            std::cerr << "korvane-catalogue: " << o.input << ": " << reason << "\n";
            return kUsage;
        }
        Print(
            o.input,
            CheckIconsBytes(bytes.data(), bytes.size(), o.grid, *o.codePage, NowherePath(o.input)),
            problems);
        if (!InspectIconsFile(bytes.data(), bytes.size()).OldFormat()) {
            Icons icons;
            icons.Read(bytes.data(), bytes.size());
            data = DataOf(icons);
        }
    }
    // Paths only this PC has are worth a word, not a refusal: the file may be meant for it.
    if (o.paths && data)
        for (const std::string& warning : DescribeLocalPaths(*data, *o.codePage))
            std::cout << o.input << ": warning: " << warning << "\n";
    if (problems > 0) {
        std::cout << o.input << ": " << problems << (problems == 1 ? " problem" : " problems")
                  << " at " << o.grid.Name() << "\n";
        return kFindings;
    }
    std::cout << o.input << ": " << Counts(*data) << ": the desktop shows it as it is at "
              << o.grid.Name() << "\n";
    return kOk;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (argc < 2)
        return Usage("no command");
    o.command = argv[1];
    if (o.command == "-h" || o.command == "--help" || o.command == "help") {
        std::cout << kUsageText;
        return kOk;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue) {
            o.output = argv[++i];
        } else if (arg == "--codepage" && hasValue) {
            const std::string value = argv[++i];
            o.codePage = CodePage::Find(std::atoi(value.c_str()));
            if (!o.codePage || std::to_string(o.codePage->Number()) != value)
                return Usage("unknown code page " + value + " (known: " + CodePage::KnownNumbers() +
                             ")");
        } else if (arg == "--screen" && hasValue) {
            const auto grid = ParseScreen(argv[++i]);
            if (!grid)
                return Usage("--screen takes WIDTHxHEIGHT, for example 1024x768");
            o.grid = *grid;
        } else if (arg == "--paths") {
            o.paths = true;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsageText;
            return kOk;
        } else if (!arg.empty() && arg[0] != '-' && o.input.empty()) {
            o.input = arg;
        } else {
            return Usage("unexpected argument " + arg);
        }
    }
    if (o.input.empty())
        return Usage("no input file");
    std::error_code sameError;
    if (!o.output.empty() && std::filesystem::equivalent(o.input, o.output, sameError))
        return Usage("the output " + o.output + " is the input; write it to another file");
    if (o.command == "dump")
        return Dump(o);
    if (o.command == "build") {
        if (o.output.empty())
            return Usage("build needs -o ICONS.BIN");
        return Build(o);
    }
    if (o.command == "check")
        return Check(o);
    return Usage("unknown command " + o.command);
}
