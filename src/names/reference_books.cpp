#include "names/reference_books.hpp"

#include "names/processor_db.hpp"

#include <cstdlib>
#include <sstream>

namespace {

const char kLinuxFlags[] = "LinuxFlags";
const char kLinuxSyntheticFlags[] = "LinuxSyntheticFlags";
const char kArchspecTargets[] = "ArchspecTargets";
const char kArchspecCompilers[] = "ArchspecCompilers";
const char* const kRegisterNames[] = {"EAX", "EBX", "ECX", "EDX"};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

// A whole number in the base, within limit; false on anything else.
bool ParseNumber(const std::string& text, int base, unsigned long limit, uint32_t& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    unsigned long number = std::strtoul(text.c_str(), &end, base);
    if (*end != '\0' || number > limit || text[0] == '-' || text[0] == '+') {
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

int RegisterIndex(const std::string& name) {
    for (int i = 0; i < 4; ++i) {
        if (name == kRegisterNames[i]) {
            return i;
        }
    }
    return -1;
}

bool ParseCompilerKey(const std::string& key, std::string& target, std::string& compiler) {
    std::vector<std::string> parts = Split(key, '.');
    if (parts.size() != 3 || parts[0].empty() || parts[1].empty()) {
        return false;
    }
    target = parts[0];
    compiler = parts[1];
    return true;
}

// Adds every [ArchspecCompilers] line to its target; false on a line that
// does not read or names no target.
bool ReadCompilers(const IniFile& database, ArchspecBook& book) {
    for (const IniEntryView& entry : ListIniEntries(database, kArchspecCompilers)) {
        std::string target;
        std::string compiler;
        std::vector<std::string> parts = Split(std::string(entry.value), '|');
        if (!ParseCompilerKey(std::string(entry.key), target, compiler) || parts.size() != 2 ||
            parts[1].empty()) {
            return false;
        }
        std::optional<size_t> found = FindArchspecTarget(book, target);
        if (!found) {
            return false;
        }
        book[*found].compilers.push_back(CompilerFlagRange{compiler, parts[0], parts[1]});
    }
    return true;
}

} // namespace

bool ParseDataFileBit(const std::string& text, FeatureBit& bit) {
    std::vector<std::string> parts = Split(text, '.');
    uint32_t leaf = 0;
    uint32_t subleaf = 0;
    uint32_t number = 0;
    if (parts.size() != 4 || parts[0].size() != 8 || !ParseNumber(parts[0], 16, 0xFFFFFFFFul, leaf) ||
        !ParseNumber(parts[1], 10, 0xFFFFFFFFul, subleaf) || !ParseNumber(parts[3], 10, 31, number)) {
        return false;
    }
    int reg = RegisterIndex(parts[2]);
    if (reg < 0) {
        return false;
    }
    bit = FeatureBit{FeatureWord{leaf, subleaf, reg}, static_cast<int>(number)};
    return true;
}

std::optional<LinuxFlagBook> ReadLinuxFlagBook(const IniFile& database) {
    LinuxFlagBook book;
    for (const IniEntryView& entry : ListIniEntries(database, kLinuxFlags)) {
        LinuxFlagRule rule{std::string(entry.key), {}};
        for (const std::string& word : Words(std::string(entry.value))) {
            FeatureBit bit{};
            if (!ParseDataFileBit(word, bit)) {
                return std::nullopt;
            }
            rule.sources.push_back(bit);
        }
        if (rule.sources.empty()) {
            return std::nullopt;
        }
        book.push_back(rule);
    }
    return book.empty() ? std::nullopt : std::optional<LinuxFlagBook>(book);
}

std::vector<std::string> ReadLinuxSyntheticFlags(const IniFile& database) {
    return ListDatabaseKeys(database, kLinuxSyntheticFlags);
}

std::optional<ArchspecBook> ReadArchspecBook(const IniFile& database) {
    ArchspecBook book;
    for (const IniEntryView& entry : ListIniEntries(database, kArchspecTargets)) {
        std::vector<std::string> parts = Split(std::string(entry.value), '|');
        if (parts.size() != 3 || parts[0].empty()) {
            return std::nullopt;
        }
        ArchspecTarget target{std::string(entry.key), parts[0], Words(parts[1]), Words(parts[2]), {}};
        // Parents come first: a parent not yet read is a damaged section.
        for (const std::string& parent : target.parents) {
            if (!FindArchspecTarget(book, parent)) {
                return std::nullopt;
            }
        }
        book.push_back(target);
    }
    if (!FindArchspecTarget(book, kArchspecRoot) || !ReadCompilers(database, book)) {
        return std::nullopt;
    }
    return book;
}
