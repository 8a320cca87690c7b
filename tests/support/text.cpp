#include "support/text.hpp"

#include <fstream>
#include <sstream>

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (file) {
        content << file.rdbuf();
    }
    return content.str();
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

bool HasLine(const std::string& output, const std::string& line) {
    return output.find("\r\n" + line + "\r\n") != std::string::npos;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

namespace {

std::string ReplacedAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start).append(to);
        start = at + from.size();
    }
    return result.append(text, start, std::string::npos);
}

} // namespace

std::string WithLineEnds(const std::string& lfText, const std::string& end) {
    return ReplacedAll(lfText, "\n", end);
}

std::string WithLfLines(const std::string& text, const std::string& end) {
    return ReplacedAll(text, end, "\n");
}

bool EveryLineEndsWith(const std::string& text, const std::string& end) {
    std::string lf = WithLfLines(text, end);
    return EndsWith(text, end) && lf.find('\r') == std::string::npos && WithLineEnds(lf, end) == text;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}
