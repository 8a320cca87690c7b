#include "outputs/html_page.hpp"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at text[at], or 0.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    unsigned char second = static_cast<unsigned char>(text[at + 1]);
    bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    bool surrogateOrBeyond = (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
    return overlong || surrogateOrBeyond ? 0 : length;
}

const char* ReferenceFor(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

} // namespace

std::string HtmlText(const std::string& text) {
    std::string safe;
    safe.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            size_t length = Utf8SequenceLength(text, at);
            safe += length == 0 ? kReplacement : text.substr(at, length);
            at += length == 0 ? 1 : length;
            continue;
        }
        if (const char* reference = ReferenceFor(text[at])) {
            safe += reference;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            safe += kReplacement;
        } else {
            safe += text[at];
        }
        ++at;
    }
    return safe;
}
