#include "formats/text_encoding.h"

#include <iconv.h>

#include <stdexcept>

namespace formats {

namespace {

// Converts with the C library's iconv; false when the input is not valid in `from`.
bool convert(const std::string& in, const char* from, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert");
    out.assign(in.size() * 2 + 4, '\0');  // Latin-1 to UTF-8 at most doubles
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const bool ok = iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - dst_left);
    return ok && src_left == 0;
}

}  // namespace

DecodedText to_utf8(const std::string& bytes) {
    static const std::string BOM = "\xEF\xBB\xBF";
    const std::string body = bytes.rfind(BOM, 0) == 0 ? bytes.substr(BOM.size()) : bytes;
    DecodedText decoded;
    if (convert(body, "UTF-8", decoded.text)) return decoded;
    decoded.from_latin1 = true;
    if (!convert(body, "ISO-8859-1", decoded.text))
        throw std::runtime_error("Latin-1 conversion failed");  // every byte is Latin-1
    return decoded;
}

}  // namespace formats
