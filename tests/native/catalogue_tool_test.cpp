// korvane-catalogue run as a user runs it: icons.bin files built by hand from the byte layout
// go through dump and build and come back byte for byte; check and build name each fault.

#include "catalogue_test_support.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>

namespace {

using namespace catalogue_test;

struct ToolRun {
    int status;
    std::string output; // standard output and error together
};

ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string(KORVANE_CATALOGUE_TOOL) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> chunk{};
    std::size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        run.output.append(chunk.data(), n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return run;
}

std::string Latin1(std::string_view text) { // the test's UTF-8 literals in Windows-1252
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xE2 && text.substr(i, 3) == "\xE2\x82\xAC") { // the euro sign
            bytes += '\x80';
            i += 2;
        } else if (c >= 0xC2 && c <= 0xC3) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (text[++i] & 0x3F));
        } else {
            bytes += static_cast<char>(c);
        }
    }
    return bytes;
}

class CatalogueToolTest : public TempDirTest {
protected:
    void WriteText(const std::string& name, const std::string& text) {
        WriteBytes(m_dir / name, Bytes(text.begin(), text.end()));
    }
    nlohmann::json Dumped(const std::string& name) {
        const ToolRun run = Tool("dump " + PathOf(name));
        EXPECT_EQ(run.status, 0) << run.output;
        return nlohmann::json::parse(run.output, nullptr, false);
    }
};

// Files a foreign writer could have made from the published layout, every one of which must
// survive dump and build unchanged.
TEST_F(CatalogueToolTest, DumpThenBuildGivesTheSameBytes) {
    EntryFields limits = FillTexts(SampleEntry(1), 1); // every text at its longest
    limits.tab = 0;
    limits.caption = Latin1("Caf\xC3\xA9 \xE2\x82\xAC") + std::string(493, 'c');
    EntryFields rich = SampleEntry(2);
    rich.description = "{\\rtf1\\ansi\r\n{\\fonttbl{\\f0 Arial;}}\r\n\\f0 \\'e9t\\'e9\\par\n}";
    rich.caption = Latin1("Gr\xC3\xBC\xC3\x9F"
                          "e\r\nzweite Zeile");
    rich.parameters = "-x \x81\x9d\x7f"; // bytes Windows-1252 leaves undefined, and DEL
    rich.showCommand = 5;                // a number without a name
    rich.iconIndex = -104;
    EntryFields onTwin = SampleEntry(3);
    onTwin.tab = 2; // the second of two tabs named "Games"
    EntryFields cyrillic = SampleEntry(4);
    cyrillic.tab = 0;
    cyrillic.caption = "\xC1\xEB\xEE\xEA\xED\xEE\xF2"; // "Блокнот" in Windows-1251

    const struct {
        const char* name;
        FileBuilder file;
        const char* options;
    } cases[] = {
        {"limits", FileBuilder().U32(0x10001).Entry(limits).I32(1).Tab(Latin1("B\xC3\xBCro")), ""},
        {"tabs",
         FileBuilder().U32(0x10002).Entry(rich).Entry(onTwin).I32(3).Tab("Office").Tab("Games").Tab(
             "Games"),
         ""},
        {"no_tabs", FileBuilder().U32(0x10000).I32(0), ""},
        {"cp1251", FileBuilder().U32(0x10001).Entry(cyrillic).I32(1).Tab("\xCF\xF0\xEE"),
         "--codepage 1251"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bin = PathOf(std::string(c.name) + ".bin");
        const std::string json = PathOf(std::string(c.name) + ".json");
        const std::string rebuilt = PathOf(std::string(c.name) + "-rebuilt.bin");
        WriteBytes(bin, c.file.Get());
        const ToolRun dump = Tool("dump " + bin + " -o " + json + " " + c.options);
        ASSERT_EQ(dump.status, 0) << dump.output;
        const ToolRun build = Tool("build " + json + " -o " + rebuilt + " " + c.options);
        ASSERT_EQ(build.status, 0) << build.output;
        EXPECT_EQ(ReadBytes(rebuilt), c.file.Get());
    }
    const nlohmann::json tabs = Dumped("tabs.bin");
    EXPECT_EQ(tabs["programs"][0]["caption"], "Grüße\r\nzweite Zeile");
    EXPECT_EQ(tabs["programs"][0]["window"], 5);
    EXPECT_EQ(tabs["programs"][0]["parameters"], "-x \u0081\u009d\x7f");
    EXPECT_EQ(tabs["programs"][0]["description"][1], "{\\fonttbl{\\f0 Arial;}}\r\n");
    EXPECT_EQ(tabs["programs"][1]["tab"], 2); // a name two tabs share is no name
    EXPECT_EQ(Tool("dump " + PathOf("cp1251.bin") + " --codepage 1251").output.find("Блокнот") !=
                  std::string::npos,
              true);
}

TEST_F(CatalogueToolTest, BuildFillsFreeCellsTurnsTextIntoRtfAndDumpsItBack) {
    WriteText("notes.rtf", "{\\rtf1 From a file}");
    WriteText("c.json", R"({
  "tabs": ["Office", "Games"],
  "programs": [
    {"caption": "First", "program": "a.exe", "description": {"text": "Line {1}\nCafé"}},
    {"caption": "Fixed", "program": "b.exe", "column": 0, "row": 0},
    {"caption": "Second", "program": "c.exe", "tab": "Games", "description": {"file": "notes.rtf"}},
    {"caption": "Third", "program": "d.exe", "icon": "shell32.dll", "window": "minimized"}
  ]
})");
    const ToolRun build = Tool("build " + PathOf("c.json") + " -o " + PathOf("icons.bin"));
    ASSERT_EQ(build.status, 0) << build.output;
    const nlohmann::json j = Dumped("icons.bin");
    const auto& p = j["programs"];
    const std::pair<int, int> cells[] = {{1, 0}, {0, 0}, {0, 0}, {2, 0}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(std::make_pair(p[i]["column"].get<int>(), p[i]["row"].get<int>()), cells[i]);
    EXPECT_EQ(p[0]["description"][0],
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss "
              "Arial;}}{\\colortbl;\\red255\\green255\\blue255;}\\f0\\cf1\\fs22 "
              "Line \\{1\\}\\par\n");
    EXPECT_EQ(p[0]["description"][1], "Caf\\'e9}");
    EXPECT_EQ(p[0]["icon"]["file"], "a.exe"); // the program's own icon when none is given
    EXPECT_EQ(p[2]["description"], "{\\rtf1 From a file}");
    EXPECT_EQ(p[3]["icon"]["file"], "shell32.dll");
    EXPECT_EQ(p[3]["window"], "minimized");
}

// Each fault names its place, and nothing is written: an existing output stays as it was.
TEST_F(CatalogueToolTest, BuildRefusesFaultsNamingTheirPlace) {
    const std::string caption500(500, 'x');
    const struct {
        std::string json;
        std::string message; // expected after "c.json:"
    } cases[] = {
        {"{\"tabs\": [\"A\"],\n \"programs\": [}", "2:15: syntax error"},
        {"{\"tabs\": \"A\"}", "1:10: \"tabs\" must be a list"},
        {"{\"tabs\": " + std::string(40, '[') + std::string(40, ']') + "}",
         "1:41: lists and objects nest more than 32 deep"},
        {"{\"tabs\": [\"A\"], \"programs\": [\n {\"caption\": 5, \"program\": \"p\"}]}",
         "2:14: \"caption\" of programs[0] must be a text"},
        {"{\"tabs\": [\"A\"], \"programs\": [\n {\"caption\": \"N\", \"program\": \"p\",\n"
         "  \"window\": \"huge\"}]}",
         "3:13: \"window\" of program \"N\" must be \"normal\", \"maximized\" or \"minimized\""},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"" + caption500 +
             "\", \"program\": \"p\"}]}",
         "1:42: \"caption\" of program \"" + caption500 + "\" is 500 bytes long"},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"Ω\", \"program\": \"p\"}]}",
         "1:42: \"caption\" of program \"Ω\" holds U+03A9 'Ω', which Windows-1252 does not have"},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"N\", \"program\": \"p\", \"tab\": "
         "\"B\"}]}",
         "1:70: program \"N\" is on tab \"B\", which is not in \"tabs\""},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"N\", \"program\": \"p\", \"row\": "
         "-1, \"column\": 0}]}",
         "1:70: \"row\" of program \"N\" must be a whole number from 0"},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"N\", \"program\": \"p\", \"colour\": "
         "1}]}",
         "1:73: unknown field \"colour\""},
        {"{\"tabs\": [\"A\"], \"programs\": [{\"caption\": \"N\", \"program\": \"p\"},\n"
         " {\"caption\": \"M\", \"program\": \"q\", \"column\": 0, \"row\": 0},\n"
         " {\"caption\": \"L\", \"program\": \"r\", \"column\": 0, \"row\": 0}]}",
         "3:2: program \"L\" is on column 0, row 0 of tab \"A\", as programs[1] is"},
    };
    const Bytes before = {1, 2, 3};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        WriteText("c.json", c.json);
        WriteBytes(m_dir / "icons.bin", before);
        const ToolRun run = Tool("build " + PathOf("c.json") + " -o " + PathOf("icons.bin"));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(PathOf("c.json") + ":" + c.message), std::string::npos)
            << run.output;
        EXPECT_EQ(ReadBytes(m_dir / "icons.bin"), before);
        EXPECT_FALSE(std::filesystem::exists(m_dir / "icons.bin.tmp"));
        EXPECT_EQ(Tool("check " + PathOf("c.json")).status, 1);
    }
}

TEST_F(CatalogueToolTest, CheckReportsWhatTheDesktopWouldLoseOrMove) {
    EntryFields a = SampleEntry(0), b = SampleEntry(0);
    a.column = a.row = b.column = b.row = a.tab = b.tab = 0;
    b.caption = "Later";
    EntryFields lost = SampleEntry(0);
    lost.tab = 4;
    EntryFields far = SampleEntry(0);
    far.column = 20;
    far.tab = 0;
    const EntryFields full = FillTexts(SampleEntry(0), 0); // no NUL in any text
    FileBuilder manyOnOneTab;
    manyOnOneTab.U32(0x10000 + 31);
    for (int i = 0; i < 31; ++i) {
        EntryFields e = SampleEntry(0);
        e.tab = 0;
        e.column = i % 10;
        e.row = i / 10;
        manyOnOneTab.Entry(e);
    }
    manyOnOneTab.I32(1).Tab("Office");
    const struct {
        const char* name;
        FileBuilder file;
        const char* options;
        std::string message;
    } cases[] = {
        {"shared", FileBuilder().U32(0x10002).Entry(a).Entry(b).I32(1).Tab("A"), "",
         "program 1 \"Later\" shares column 0, row 0 of tab \"A\" with program 0"},
        {"missing_tab", FileBuilder().U32(0x10001).Entry(lost).I32(1).Tab("A"), "",
         "is on tab 4, which does not exist: the desktop moves it to column 0, row 0 of tab "
         "\"A\""},
        {"outside", FileBuilder().U32(0x10001).Entry(far).I32(1).Tab("A"), "",
         "at column 20, row 1 lies outside the 13 x 5 grid of a 1024x768 screen"},
        {"too_many", manyOnOneTab, "--screen 800x600",
         "program 30 \"Caption 0\\r\\nsecond line\" finds no free cell on tab \"Office\" (30 "
         "cells at 800x600)"},
        {"unterminated", FileBuilder().U32(0x10001).Entry(full).I32(1).Tab("A"), "",
         "the caption of program 0"},
        {"cut_entry", FileBuilder().U32(0x10002).Entry(a).Entry(b).Cut(4 + 9520 + 100), "",
         "the file holds 1 complete program and 100 bytes of the next"},
        {"foreign", FileBuilder().U32(0x20000).I32(1).Tab("A"), "", "holds version 2"},
        {"old_format", FileBuilder().U32(0x00000002).Raw("old"), "", "the old incompatible"},
        {"no_tab_section", FileBuilder().U32(0x10001).Entry(a), "", "without a tab section"},
        {"tab_past_end", FileBuilder().U32(0x10000).I32(2).Tab("A").I32(90).Raw("xy"), "",
         "reading stops at tab 1 because its stored length, 90, reaches past the end"},
        {"trailing", FileBuilder().U32(0x10000).I32(1).Tab("A").Raw("junk"), "",
         "4 bytes at the end of the file are not read"},
        {"short", FileBuilder().Raw("ab"), "", "too short for a header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bin = PathOf(std::string(c.name) + ".bin");
        WriteBytes(bin, c.file.Get());
        const ToolRun run = Tool("check " + bin + " " + c.options);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(ReadBytes(bin), c.file.Get()); // checking never writes
    }
    const ToolRun clean = Tool("check " + PathOf("shared.bin") + "x 2>/dev/null");
    EXPECT_EQ(clean.status, 2); // a missing file is not a catalogue
    WriteBytes(m_dir / "fine.bin", FileBuilder().U32(0x10001).Entry(a).I32(1).Tab("A").Get());
    EXPECT_EQ(Tool("check " + PathOf("fine.bin")).status, 0);
}

// Damaged and foreign files, as the fuzzer starts from: dump reports and never crashes.
TEST_F(CatalogueToolTest, DumpSurvivesTheFuzzCorpus) {
    ASSERT_EQ(
        std::system((std::string(KORVANE_FUZZ_CORPUS_MAKER) + " " + PathOf("corpus")).c_str()), 0);
    int files = 0;
    for (const auto& file : std::filesystem::directory_iterator(m_dir / "corpus")) {
        SCOPED_TRACE(file.path().string());
        const Bytes before = ReadBytes(file.path());
        const ToolRun run = Tool("dump " + file.path().string() + " -o " + PathOf("out.json"));
        EXPECT_TRUE(run.status == 0 || run.status == 1) << run.output;
        if (run.status == 1) {
            EXPECT_NE(run.output.find("damaged: "), std::string::npos) << run.output;
        }
        if (file.path().filename() != "old_format") {
            std::ifstream in(m_dir / "out.json");
            EXPECT_FALSE(nlohmann::json::parse(in, nullptr, false).is_discarded());
        }
        EXPECT_EQ(ReadBytes(file.path()), before);
        std::filesystem::remove(m_dir / "out.json");
        ++files;
    }
    EXPECT_GE(files, 10);
}

} // namespace
