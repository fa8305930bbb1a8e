#pragma once
// What the desktop would do with a catalogue: what its loader could not read, and which
// programs its layout would move or leave out at one screen size.

#include "catalogue/catalogue_report.h"
#include "catalogue_json.h"

#include <string>
#include <vector>

struct Finding {
    bool problem; // something would be lost or moved; otherwise a note
    std::string text;
};

// The account of a file's bytes: damage, foreign versions, texts cut by the loader.
std::vector<Finding> DescribeFile(const IconsFileReport& report, const CatalogueData& loaded,
                                  const CodePage& codePage);

// Runs the desktop's own layout pass over a copy of the catalogue. `scratchPath` is where that
// pass would save its moves: it must be a path no file can be created at, so nothing is written.
std::vector<Finding> DescribeLayout(const CatalogueData& data, const ScreenGrid& grid,
                                    const CodePage& codePage, const std::string& scratchPath);

// What `check` says of an icons.bin held in memory at one screen size: the account of its bytes
// and then of the desktop's layout pass, or only the former when nothing could be read. The
// desktop refuses a catalogue from a share on the same findings. `scratchPath`: as above.
std::vector<Finding> CheckIconsBytes(const unsigned char* bytes, std::size_t size,
                                     const ScreenGrid& grid, const CodePage& codePage,
                                     const std::string& scratchPath);

// The catalogue as Icons::Load left it in `icons`.
class Icons;
CatalogueData DataOf(const Icons& icons);
