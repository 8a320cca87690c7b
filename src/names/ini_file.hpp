// A small reader for INI text: sections in brackets, key=value lines, each
// line ended by LF, CR LF or a lone CR.
// Names match without regard to ASCII case; blanks around keys and values
// are dropped; keys are kept in file order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct IniSection {
    std::string name;
    // key, value, in file order: views into the file's text
    std::vector<std::pair<std::string_view, std::string_view>> entries;
};

struct IniFile {
    // The text the entries point into, shared by every copy of the file.
    std::shared_ptr<const std::string> text;
    std::vector<IniSection> sections;
    // Position in sections of each name folded to lower case, so that reading
    // and looking up a section costs the same however many sections there are.
    std::unordered_map<std::string, size_t> index;
    // True when the text came from a file that could be read.
    bool loaded = false;
};

// Longest value a lookup returns; longer values are cut.
constexpr size_t kIniValueLimit = 2047;
// Bytes available for one section's key list (each key plus a NUL, and a final NUL).
constexpr size_t kIniKeyListLimit = 16384;

// Largest file LoadIniFile reads; the shipped data file is far smaller.
constexpr std::uintmax_t kIniFileLimit = 4u << 20;

IniFile ParseIniText(std::string text);

// False when the file cannot be read; ini is then empty. Only a regular file
// of at most kIniFileLimit bytes is read: a device, a pipe or a folder under
// that name could block or never end, and is treated as a missing file.
bool LoadIniFile(const std::string& path, IniFile& ini);

// The section of that name, or nullptr. Repeated sections are merged.
const IniSection* FindIniSection(const IniFile& ini, const std::string& name);

// The keys of a section in file order, as far as the key-list buffer holds them.
std::vector<std::string> ListIniKeys(const IniFile& ini, const std::string& section);

// The keys of a section as ListIniKeys lists them, each with the value
// ReadIniValue gives for it; the views last as long as ini.
struct IniEntryView {
    std::string_view key;
    std::string_view value;
};
std::vector<IniEntryView> ListIniEntries(const IniFile& ini, const std::string& section);

// The value of the first key of that name, cut to the value limit, or fallback.
std::string ReadIniValue(const IniFile& ini, const std::string& section, const std::string& key,
                         const std::string& fallback);
