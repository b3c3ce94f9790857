#include "formats/enzymeml_document.h"

#include "formats/dataset.h"

namespace formats {

namespace {

using nlohmann::json;

struct TooDeep {};

// The library's own document builder, counting the depth on the way: a parser callback would
// do the same at a fifth more time for a 10 MB document.
class DepthLimitedBuilder {
  public:
    explicit DepthLimitedBuilder(json& result) : dom_(result) {}
    bool null() { return dom_.null(); }
    bool boolean(bool v) { return dom_.boolean(v); }
    bool number_integer(json::number_integer_t v) { return dom_.number_integer(v); }
    bool number_unsigned(json::number_unsigned_t v) { return dom_.number_unsigned(v); }
    bool number_float(json::number_float_t v, const json::string_t& s) {
        return dom_.number_float(v, s);
    }
    bool string(json::string_t& v) { return dom_.string(v); }
    bool binary(json::binary_t& v) { return dom_.binary(v); }
    bool key(json::string_t& v) { return dom_.key(v); }
    bool start_object(std::size_t n) { return deeper() && dom_.start_object(n); }
    bool end_object() { return --depth_, dom_.end_object(); }
    bool start_array(std::size_t n) { return deeper() && dom_.start_array(n); }
    bool end_array() { return --depth_, dom_.end_array(); }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& last, const Exception& e) {
        return dom_.parse_error(position, last, e);  // throws e
    }

  private:
    bool deeper() {
        if (++depth_ > MAX_JSON_DEPTH) throw TooDeep{};
        return true;
    }
    nlohmann::detail::json_sax_dom_parser<json> dom_;
    int depth_ = 0;
};

}  // namespace

nlohmann::json parse_enzymeml(const std::string& text, const std::string& source) {
    try {
        json result;
        DepthLimitedBuilder builder(result);
        json::sax_parse(text, &builder);
        return result;
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
