#include "support/json_check.hpp"

#include <cstddef>
#include <cstdint>

namespace {

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

bool IsWellFormedJson(std::string_view text) {
    return JsonChecker(text).Document();
}
