#pragma once
// Paths in a catalogue that only the PC it was made on has: a catalogue shared by a room of
// PCs should name programs, icons and screenshots every PC has at the same place.

#include "catalogue_json.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Why a path (bytes of the catalogue's code page) exists only on this PC, or nothing: a path
// under a user profile or in a temporary folder. UNC paths, relative names and the system's and
// programs' folders are the same everywhere.
std::optional<std::string> LocalOnlyReason(std::string_view path);

// One warning per program, icon and screenshot path of `data` that LocalOnlyReason names.
std::vector<std::string> DescribeLocalPaths(const CatalogueData& data, const CodePage& codePage);
