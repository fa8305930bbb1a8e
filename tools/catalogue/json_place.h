#pragma once
// Finds where a value sits in a JSON text, so that a message about a value of the right syntax
// but the wrong meaning can name its line and column as a syntax error does.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct JsonPlace {
    int line = 1;
    int column = 1;
};

// One step of the way to a value: a key of an object or an index of an array.
using JsonStep = std::variant<std::string, std::size_t>;
using JsonPath = std::vector<JsonStep>;

// The line and column of the value at `path` in `text` (a text the parser accepted). A step
// that is not there gives the place of the nearest enclosing value that is.
JsonPlace FindJsonPlace(std::string_view text, const JsonPath& path);

JsonPlace PlaceOfOffset(std::string_view text, std::size_t offset);

// Where the nesting of objects and lists first goes deeper than `limit`, or npos. The JSON
// library copies and destroys values recursively, so a text nested thousands deep is refused
// before it is parsed.
std::size_t FindNestingBeyond(std::string_view text, int limit);
