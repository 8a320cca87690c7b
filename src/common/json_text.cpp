#include "common/json_text.hpp"

#include <cstddef>
#include <cstdint>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

std::string EscapedByte(unsigned char byte) {
    switch (byte) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        break;
    }
    if (byte < 0x20 || byte >= 0x7F) {
        return std::string("\\u00") + kHexDigits[byte >> 4] + kHexDigits[byte & 0xF];
    }
    return std::string(1, static_cast<char>(byte));
}

// A strict recursive-descent reader that only says whether the text is JSON.
class JsonChecker {
  public:
    explicit JsonChecker(std::string_view text) : text_(text) {}

    bool Document() {
        SkipBlanks();
        if (!Value(0)) {
            return false;
        }
        SkipBlanks();
        return pos_ == text_.size();
    }

  private:
    static constexpr int kMaxDepth = 64;

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++pos_;
        }
    }

    bool Take(char c) {
        if (Peek() != c || AtEnd()) {
            return false;
        }
        ++pos_;
        return true;
    }

    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            return false;
        }
        pos_ += word.size();
        return true;
    }

    bool Value(int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        switch (Peek()) {
        case '{':
            return Object(depth + 1);
        case '[':
            return Array(depth + 1);
        case '"':
            return String();
        case 't':
            return Word("true");
        case 'f':
            return Word("false");
        case 'n':
            return Word("null");
        default:
            return Number();
        }
    }

    bool Object(int depth) {
        ++pos_; // '{'
        SkipBlanks();
        if (Take('}')) {
            return true;
        }
        do {
            SkipBlanks();
            if (!String()) {
                return false;
            }
            SkipBlanks();
            if (!Take(':')) {
                return false;
            }
            SkipBlanks();
            if (!Value(depth)) {
                return false;
            }
            SkipBlanks();
        } while (Take(','));
        return Take('}');
    }

    bool Array(int depth) {
        ++pos_; // '['
        SkipBlanks();
        if (Take(']')) {
            return true;
        }
        do {
            SkipBlanks();
            if (!Value(depth)) {
                return false;
            }
            SkipBlanks();
        } while (Take(','));
        return Take(']');
    }

    bool HexDigits(int count) {
        for (int i = 0; i < count; ++i) {
            char c = Peek();
            bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!hex || AtEnd()) {
                return false;
            }
            ++pos_;
        }
        return true;
    }

    bool Escape() {
        const std::string_view kSimple = "\"\\/bfnrt";
        char c = Peek();
        if (AtEnd()) {
            return false;
        }
        ++pos_;
        if (c == 'u') {
            return HexDigits(4);
        }
        return kSimple.find(c) != std::string_view::npos;
    }

    bool String() {
        if (!Take('"')) {
            return false;
        }
        while (!AtEnd()) {
            unsigned char c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\' && !Escape()) {
                return false;
            }
        }
        return false;
    }

    size_t Digits() {
        size_t start = pos_;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            ++pos_;
        }
        return pos_ - start;
    }

    bool Number() {
        Take('-');
        if (Take('0')) {
            // a leading zero stands alone
        } else if (Digits() == 0) {
            return false;
        }
        if (Take('.') && Digits() == 0) {
            return false;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                Take('-');
            }
            return Digits() > 0;
        }
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

std::string JsonString(std::string_view text) {
    std::string literal = "\"";
    for (char c : text) {
        literal += EscapedByte(static_cast<unsigned char>(c));
    }
    return literal + "\"";
}

std::string JsonStringOrNull(const std::optional<std::string>& text) {
    return text ? JsonString(*text) : "null";
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string JsonBoolOrNull(std::optional<bool> value) {
    return value ? JsonBool(*value) : "null";
}

bool IsWellFormedJson(std::string_view text) {
    return JsonChecker(text).Document();
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& value) {
    members_.emplace_back(key, value);
    return *this;
}

std::string JsonObject::Text() const {
    std::string text = "{";
    for (size_t i = 0; i < members_.size(); ++i) {
        text += (i == 0 ? "" : ", ") + JsonString(members_[i].first) + ": " + members_[i].second;
    }
    return text + "}";
}

std::string JsonObject::Lines(const std::string& indent, const char* lineEnd) const {
    std::string text = std::string("{") + lineEnd;
    for (size_t i = 0; i < members_.size(); ++i) {
        text += indent + "  " + JsonString(members_[i].first) + ": " + members_[i].second;
        text += (i + 1 < members_.size() ? "," : "") + std::string(lineEnd);
    }
    return text + indent + "}";
}

std::string JsonArray(const std::vector<std::string>& values) {
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        text += (i == 0 ? "" : ", ") + values[i];
    }
    return text + "]";
}

std::string JsonStringArray(const std::vector<std::string>& texts) {
    return JsonArrayOf(texts, [](const std::string& text) { return JsonString(text); });
}
