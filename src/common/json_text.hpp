// The pieces of JSON text the JSON documents are written from.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON string literal, quotes included. Quote and backslash are escaped,
// and so is every control byte and every byte above 0x7F (as \u00XX, the
// byte read as Latin-1), so the literal is plain ASCII and valid UTF-8 for
// any input bytes.
std::string JsonString(std::string_view text);

// JsonString of the text, or null.
std::string JsonStringOrNull(const std::optional<std::string>& text);

// "true" or "false"; the second form gives null for an unknown value.
std::string JsonBool(bool value);
std::string JsonBoolOrNull(std::optional<bool> value);

// Builds one JSON object from keys and already-written values, in the order
// added; Text() gives it on one line.
class JsonObject {
  public:
    JsonObject& Add(const std::string& key, const std::string& value);
    std::string Text() const;
    // One member per line, each indented by two blanks more than indent.
    std::string Lines(const std::string& indent, const char* lineEnd) const;

  private:
    std::vector<std::pair<std::string, std::string>> members_;
};

// A JSON array of already-written values, on one line.
std::string JsonArray(const std::vector<std::string>& values);

// A JSON array of strings.
std::string JsonStringArray(const std::vector<std::string>& texts);

// A JSON array of one value per item, each written by toJson.
template <typename Items, typename ToJson> std::string JsonArrayOf(const Items& items, ToJson toJson) {
    std::vector<std::string> values;
    values.reserve(items.size());
    for (const auto& item : items) {
        values.push_back(toJson(item));
    }
    return JsonArray(values);
}
