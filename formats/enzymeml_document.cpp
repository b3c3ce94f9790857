#include "formats/enzymeml_document.h"

#include "formats/dataset.h"

namespace formats {

namespace {

struct TooDeep {};

}  // namespace

nlohmann::json parse_enzymeml(const std::string& text, const std::string& source) {
    using nlohmann::json;
    const json::parser_callback_t depth_check = [](int depth, json::parse_event_t, json&) {
        if (depth > MAX_JSON_DEPTH) throw TooDeep{};
        return true;
    };
    try {
        return json::parse(text, depth_check);
    } catch (const TooDeep&) {
        throw InputError(source + ": JSON nested deeper than " + std::to_string(MAX_JSON_DEPTH) +
                         " levels");
    } catch (const json::parse_error& e) {
        // e.byte is where the parser stopped; a line number is what a person can look up.
        std::size_t line = 1;
        const std::size_t end = std::min<std::size_t>(e.byte, text.size());
        for (std::size_t i = 0; i < end; ++i)
            line += text[i] == '\n';
        throw InputError(source + ":" + std::to_string(line) + ": not valid JSON (" + e.what() +
                         ")");
    } catch (const json::exception& e) {  // a number too large for a double
        throw InputError(source + ": not readable JSON (" + std::string(e.what()) + ")");
    }
}

}  // namespace formats
