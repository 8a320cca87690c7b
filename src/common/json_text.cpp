#include "common/json_text.hpp"

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
