// Lab files come as UTF-8 or, from older instruments and spreadsheets, Latin-1 (ISO 8859-1).
// A text that is valid UTF-8 is kept (its byte-order mark dropped); any other is read as
// Latin-1, where every byte is a character, and converted.
#pragma once

#include <string>

namespace formats {

struct DecodedText {
    std::string text;  // UTF-8
    bool from_latin1 = false;
};

DecodedText to_utf8(const std::string& bytes);

}  // namespace formats
