#include "names/ini_file.hpp"

#include "common/bounded_file.hpp"
#include "common/plain_text.hpp"

#include <algorithm>
#include <string_view>

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

bool SameName(std::string_view a, std::string_view b) {
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

// FNV-1a over the name folded to lower case: names that SameName calls equal
// hash alike.
uint64_t FoldedHash(std::string_view name) {
    uint64_t hash = 14695981039346656037u;
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211u;
    }
    return hash;
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

// Splits a text into lines at LF, CR LF or a lone CR. The next CR and the
// next LF are each searched for once and remembered until a line passes them,
// so a text with one kind of line end costs one search per line.
class LineSplitter {
  public:
    explicit LineSplitter(std::string_view text)
        : text_(text), nextCr_(text.find('\r')), nextLf_(text.find('\n')) {}

    bool Next(std::string_view& line) {
        if (start_ >= text_.size()) {
            return false;
        }
        if (nextCr_ < start_) {
            nextCr_ = text_.find('\r', start_);
        }
        if (nextLf_ < start_) {
            nextLf_ = text_.find('\n', start_);
        }
        size_t end = std::min(std::min(nextCr_, nextLf_), text_.size());
        line = std::string_view(text_.data() + start_, end - start_);
        start_ = end + (end == nextCr_ && end + 1 == nextLf_ ? 2 : 1);
        return true;
    }

  private:
    std::string_view text_;
    size_t start_ = 0;
    size_t nextCr_;
    size_t nextLf_;
};

} // namespace

// The text is kept once and read in place: every key and value is a view
// into it. The data file is parsed on every start, so this is much of what a
// short command costs.
IniFile ParseIniText(std::string text) {
    IniFile ini;
    ini.text = std::make_shared<const std::string>(std::move(text));
    IniSection* current = nullptr;
    LineSplitter lines(*ini.text);
    std::string_view raw;
    while (lines.Next(raw)) {
        std::string_view line = TrimmedView(raw);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            size_t close = line.find(']');
            if (close != std::string_view::npos) {
                current = FindOrAddSection(ini, TrimBlanks(line.substr(1, close - 1)));
            }
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos || current == nullptr) {
            continue;
        }
        std::string_view key = TrimmedView(line.substr(0, equals));
        if (key.empty()) {
            continue;
        }
        current->entries.emplace_back(key, TrimmedView(line.substr(equals + 1)));
    }
    return ini;
}

bool LoadIniFile(const std::string& path, IniFile& ini) {
    ini = IniFile{};
    std::string content;
    if (!ReadBoundedFile(path, content)) {
        return false;
    }
    ini = ParseIniText(std::move(content));
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
        keys.emplace_back(entry.first);
    }
    return keys;
}

std::vector<IniEntryView> ListIniEntries(const IniFile& ini, const std::string& section) {
    std::vector<IniEntryView> listed;
    const IniSection* found = FindIniSection(ini, section);
    if (found == nullptr) {
        return listed;
    }
    size_t count = 0;
    size_t used = 1; // the list's closing NUL
    while (count < found->entries.size() &&
           (used += found->entries[count].first.size() + 1) <= kIniKeyListLimit) {
        ++count;
    }
    // A repeated key gives the value of its first entry. The first entry of
    // each name is kept in an open-addressed table of its folded hash.
    size_t mask = 1;
    while (mask < 2 * count) {
        mask <<= 1;
    }
    --mask;
    std::vector<uint64_t> hashes(count);
    std::vector<size_t> slots(mask + 1, 0); // position + 1 of a first entry, 0 when free
    listed.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string_view key = found->entries[i].first;
        hashes[i] = FoldedHash(key);
        size_t slot = hashes[i] & mask;
        size_t first = i;
        while (slots[slot] != 0) {
            size_t known = slots[slot] - 1;
            if (hashes[known] == hashes[i] && SameName(found->entries[known].first, key)) {
                first = known;
                break;
            }
            slot = (slot + 1) & mask;
        }
        if (first == i) {
            slots[slot] = i + 1;
        }
        listed.push_back(IniEntryView{key, found->entries[first].second.substr(0, kIniValueLimit)});
    }
    return listed;
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
            return std::string(entry.second.substr(0, kIniValueLimit));
        }
    }
    return fallback;
}
