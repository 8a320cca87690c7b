#include "common/plain_text.hpp"

std::string WithoutControlBytes(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return clean;
}

std::string_view TrimmedView(std::string_view text) {
    const char kBlanks[] = " \t";
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string TrimBlanks(std::string_view text) {
    return std::string(TrimmedView(text));
}

std::string JoinedWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}
