#include "text/utf8_text.h"

std::size_t utf8_length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
    };
    const unsigned lead = byte(i);
    const auto follows = [&](std::size_t k, unsigned lo, unsigned hi) {
        return byte(k) >= lo && byte(k) <= hi;
    };
    if (lead >= 0xC2 && lead <= 0xDF) return follows(i + 1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = lead == 0xED ? 0x9F : 0xBF;
        return follows(i + 1, lo, hi) && follows(i + 2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(i + 1, lo, hi) && follows(i + 2, 0x80, 0xBF) && follows(i + 3, 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
}

std::string clean_utf8(const std::string& text, char control) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            const bool is_control = c < 0x20 || c == 0x7F;
            out.push_back(is_control && control != 0 ? control : static_cast<char>(c));
            ++i;
        } else if (const std::size_t length = utf8_length(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}
