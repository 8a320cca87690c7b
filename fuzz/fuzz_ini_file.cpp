// libFuzzer target for the data-file reader. Any bytes must parse without a
// sanitizer report, and every lookup on the result must keep the reader's
// rules: keys found again by name, no blanks around keys and values, values
// within the length limit, key lists within the buffer size.
#include "common/text_format.hpp"
#include "names/ini_file.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool HasOuterBlank(const std::string& text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void CheckSection(const IniFile& ini, const IniSection& section) {
    Check(FindIniSection(ini, section.name) != nullptr);
    size_t listed = 1;
    for (const std::string& key : ListIniKeys(ini, section.name)) {
        Check(!key.empty() && !HasOuterBlank(key));
        listed += key.size() + 1;
        // A line end never ends up in a value, so it marks a key not found.
        std::string value = ReadIniValue(ini, section.name, key, "\n");
        Check(value != "\n" && value.size() <= kIniValueLimit);
        Check(value.size() == kIniValueLimit || !HasOuterBlank(value)); // a cut value may end in a blank
        int32_t number = 0;
        ParseInteger(key, number); // numbered feature names are read this way
    }
    Check(listed <= kIniKeyListLimit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini = ParseIniText(std::string(reinterpret_cast<const char*>(data), size));
    for (const IniSection& section : ini.sections) {
        CheckSection(ini, section);
    }
    return 0;
}
