#include "database/ini_file.hpp"

#include "common/bounded_file.hpp"
#include "common/plain_text.hpp"

#include <sstream>

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldCase(std::string text) {
    for (char& c : text) {
        c = LowerAscii(c);
    }
    return text;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

IniSection* FindOrAddSection(IniFile& ini, const std::string& name) {
    auto [entry, added] = ini.index.emplace(FoldCase(name), ini.sections.size());
    if (added) {
        ini.sections.push_back(IniSection{name, {}});
    }
    return &ini.sections[entry->second];
}

// The whole file when it is a regular file within the size limit. The size
// is counted while reading, so a file that grows past the limit meanwhile is
// refused too.
bool ReadBoundedFile(const std::string& path, std::string& content) {
    return RegularFileSize(path) && ReadFileUpTo(path, kIniFileLimit, content) == FileRead::Whole;
}

} // namespace

IniFile ParseIniText(const std::string& text) {
    IniFile ini;
    IniSection* current = nullptr;
    std::istringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        std::string line = TrimBlanks(raw);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            size_t close = line.find(']');
            if (close != std::string::npos) {
                current = FindOrAddSection(ini, TrimBlanks(line.substr(1, close - 1)));
            }
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || current == nullptr) {
            continue;
        }
        std::string key = TrimBlanks(line.substr(0, equals));
        if (key.empty()) {
            continue;
        }
        current->entries.emplace_back(key, TrimBlanks(line.substr(equals + 1)));
    }
    return ini;
}

bool LoadIniFile(const std::string& path, IniFile& ini) {
    ini = IniFile{};
    std::string content;
    if (!ReadBoundedFile(path, content)) {
        return false;
    }
    ini = ParseIniText(content);
    ini.loaded = true;
    return true;
}

const IniSection* FindIniSection(const IniFile& ini, const std::string& name) {
    auto found = ini.index.find(FoldCase(TrimBlanks(name)));
    return found == ini.index.end() ? nullptr : &ini.sections[found->second];
}

std::vector<std::string> ListIniKeys(const IniFile& ini, const std::string& section) {
    std::vector<std::string> keys;
    const IniSection* found = FindIniSection(ini, section);
    if (found == nullptr) {
        return keys;
    }
    size_t used = 1; // the list's closing NUL
    for (const auto& entry : found->entries) {
        used += entry.first.size() + 1;
        if (used > kIniKeyListLimit) {
            break;
        }
        keys.push_back(entry.first);
    }
    return keys;
}

std::string ReadIniValue(const IniFile& ini, const std::string& section, const std::string& key,
                         const std::string& fallback) {
    const IniSection* found = FindIniSection(ini, section);
    if (found == nullptr) {
        return fallback;
    }
    std::string wanted = TrimBlanks(key);
    for (const auto& entry : found->entries) {
        if (SameName(entry.first, wanted)) {
            return entry.second.substr(0, kIniValueLimit);
        }
    }
    return fallback;
}
