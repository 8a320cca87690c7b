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
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    size_t first = 0;
    size_t end = text.size();
    while (first < end && blank(text[first])) {
        ++first;
    }
    while (end > first && blank(text[end - 1])) {
        --end;
    }
    return text.substr(first, end - first);
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
