// An EnzymeML v2 document as JSON, parsed once and kept whole (unknown keys included) so that
// a writer can hand it back with only its own additions.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace formats {

// Nesting deeper than this is refused: no real document comes near it, and copying or
// printing a deeper one would recurse that deep.
constexpr int MAX_JSON_DEPTH = 64;

// Throws InputError naming `source` when the text is not JSON or nests too deep.
nlohmann::json parse_enzymeml(const std::string& text, const std::string& source);

}  // namespace formats
