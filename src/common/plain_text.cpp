#include "common/plain_text.hpp"

namespace {

bool IsC0OrDelete(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

bool IsC1Byte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F;
}

unsigned char ByteAt(std::string_view text, size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence that starts at the given
// position (no overlong form, no surrogate, nothing above U+10FFFF), or 0
// when none starts there.
size_t Utf8SequenceLength(std::string_view text, size_t at) {
    unsigned char lead = ByteAt(text, at);
    unsigned char second = ByteAt(text, at + 1);
    size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || second < secondLow || second > secondHigh) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!IsContinuation(ByteAt(text, at + i))) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string WithoutControlBytes(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (IsC0OrDelete(static_cast<unsigned char>(c))) {
            c = '?';
        }
    }
    return clean;
}

std::string WithoutTerminalControls(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        unsigned char byte = ByteAt(text, at);
        size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text, at);
        bool utf8C1 = length == 2 && byte == 0xC2 && IsC1Byte(ByteAt(text, at + 1));
        if (length == 0) {
            // A byte outside any UTF-8 sequence: a C1 control, or a letter of another code page.
            clean.push_back(IsC1Byte(byte) ? '?' : static_cast<char>(byte));
            ++at;
            continue;
        }
        if (utf8C1 || (length == 1 && IsC0OrDelete(byte))) {
            clean.push_back('?');
        } else {
            clean.append(text.substr(at, length));
        }
        at += length;
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
