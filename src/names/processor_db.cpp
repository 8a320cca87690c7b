#include "names/processor_db.hpp"

#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "platform/platform.hpp"

namespace {

const char kDatabaseFileName[] = "veldrix.dat";
const char kDescriptorSection[] = "CacheSizeTLB";

// A signature pattern has one character per bit of leaf 1 EAX.
constexpr size_t kSignaturePatternLength = 32;

std::string gLocationOverride;

// No name the file can hold is longer than a value, so a wider column only
// pads with blanks; a width far beyond that (an edited file) would make every
// row gigabytes long, and is treated like one that does not read.
constexpr int32_t kWidestColumn = static_cast<int32_t>(kIniValueLimit);

int32_t ReadWidth(const IniFile& database, const std::string& key, int32_t fallback) {
    int32_t value = 0;
    if (ParseInteger(ReadIniValue(database, "TextWidth", key, ""), value) && value <= kWidestColumn) {
        return value;
    }
    return fallback;
}

bool PatternMatches(const std::string& pattern, const std::string& signature) {
    if (pattern.size() > signature.size()) {
        return false;
    }
    for (size_t j = 0; j < pattern.size(); ++j) {
        if (pattern[j] != '?' && pattern[j] != signature[j]) {
            return false;
        }
    }
    return true;
}

// PatternMatches of the pattern SplitSignatureKey takes from the key, read in
// place: tabs are skipped, and the pattern ends after its length.
bool KeyPatternMatches(std::string_view key, const std::string& signature) {
    size_t length = 0;
    for (char c : key) {
        if (length == kSignaturePatternLength) {
            break;
        }
        if (c == '\t') {
            continue;
        }
        if (length >= signature.size() || (c != '?' && c != signature[length])) {
            return false;
        }
        ++length;
    }
    return true;
}

} // namespace

std::string DatabasePath() {
    if (!gLocationOverride.empty()) {
        return gLocationOverride;
    }
    return PathDirectory(ExecutablePath()) + kDatabaseFileName;
}

void SetDatabaseLocation(const std::string& path) {
    gLocationOverride = path;
}

IniFile OpenDatabase() {
    return OpenDatabaseAt(DatabasePath());
}

IniFile OpenDatabaseAt(const std::string& path) {
    IniFile database;
    LoadIniFile(path, database);
    return database;
}

bool DatabaseUsable(const IniFile& database) {
    return database.loaded && !database.sections.empty();
}

void CloseDatabase(IniFile& database) {
    database = IniFile{};
}

TextWidths ReadTextWidths(const IniFile& database) {
    TextWidths widths;
    widths.standardFeatures = ReadWidth(database, "StandardFeatures", widths.standardFeatures);
    widths.extendedFeatures = ReadWidth(database, "ExtendedFeatures", widths.extendedFeatures);
    widths.powerManagement = ReadWidth(database, "EnhancedPowerManagement", widths.powerManagement);
    return widths;
}

std::string ReadDatabaseVersion(const IniFile& database) {
    return ReadIniValue(database, "DATInfo", "Version", "UNKNOWN");
}

std::string LookupVendorKey(const IniFile& database, const std::string& vendorId) {
    return ReadIniValue(database, "Vendor", vendorId, "");
}

SignatureKey SplitSignatureKey(const std::string& key) {
    SignatureKey parts;
    size_t at = 0;
    for (; at < key.size() && parts.pattern.size() < kSignaturePatternLength; ++at) {
        if (key[at] != '\t') {
            parts.pattern += key[at];
        }
    }
    parts.condition = TrimBlanks(key.substr(at));
    return parts;
}

std::string MatchSignature(const IniFile& database, const std::string& section,
                           const std::string& signatureBits, const SignatureFacts& facts) {
    std::string result;
    for (const IniEntryView& entry : ListIniEntries(database, section)) {
        if (!KeyPatternMatches(entry.key, signatureBits)) {
            continue; // most rows: decided without splitting the key
        }
        SignatureKey parts = SplitSignatureKey(std::string(entry.key));
        if (PatternMatches(parts.pattern, signatureBits) && SignatureConditionHolds(parts.condition, facts)) {
            result = std::string(entry.value);
        }
    }
    return result;
}

int32_t ReadNumberedNames(const IniFile& database, const std::string& section,
                          std::array<std::string, 32>& names) {
    int32_t count = -1;
    for (const IniEntryView& entry : ListIniEntries(database, section)) {
        int32_t bit = 0;
        if (!ParseInteger(std::string(entry.key), bit, HexPrefixes::AlsoBareX) || bit < 0 || bit > 31) {
            continue;
        }
        names[static_cast<size_t>(bit)] = std::string(entry.value);
        ++count;
    }
    return count;
}

void LookupDescriptorName(const IniFile& database, uint8_t descriptor, std::string& name) {
    const IniSection* section = FindIniSection(database, kDescriptorSection);
    if (section == nullptr || section->entries.empty()) {
        return; // no such section: the name stays as it was
    }
    name = ReadIniValue(database, kDescriptorSection, ByteToHex(descriptor), "");
}

std::array<std::string, 256> ReadDescriptorNames(const IniFile& database) {
    std::array<std::string, 256> names;
    std::array<bool, 256> seen{};
    const IniSection* section = FindIniSection(database, kDescriptorSection);
    for (size_t i = 0; section != nullptr && i < section->entries.size(); ++i) {
        const auto& entry = section->entries[i];
        int high = entry.first.size() == 2 ? HexDigitValue(entry.first[0]) : -1;
        int low = entry.first.size() == 2 ? HexDigitValue(entry.first[1]) : -1;
        if (high < 0 || low < 0 || seen[high * 16 + low]) {
            continue; // not a descriptor key, or one an earlier key already named
        }
        seen[high * 16 + low] = true;
        names[high * 16 + low] = entry.second.substr(0, kIniValueLimit);
    }
    return names;
}

std::vector<std::string> ListDatabaseKeys(const IniFile& database, const std::string& section) {
    return ListIniKeys(database, section);
}

std::string ReadDatabaseValue(const IniFile& database, const std::string& section, const std::string& key,
                              const std::string& fallback) {
    return ReadIniValue(database, section, key, fallback);
}
