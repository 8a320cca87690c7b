#include "database/processor_db.hpp"

#include "common/text_format.hpp"
#include "database/ini_file.hpp"
#include "platform/platform.hpp"
#include "probe/record.hpp"

namespace {

const char kDatabaseFileName[] = "veldrix.dat";

IniFile gDatabase;
std::string gLocationOverride;

// No name the file can hold is longer than a value, so a wider column only
// pads with blanks; a width far beyond that (an edited file) would make every
// row gigabytes long, and is treated like one that does not read.
constexpr int32_t kWidestColumn = static_cast<int32_t>(kIniValueLimit);

int32_t ReadWidth(const std::string& key, int32_t fallback) {
    int32_t value = 0;
    if (ParseInteger(ReadIniValue(gDatabase, "TextWidth", key, ""), value) && value <= kWidestColumn) {
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

bool OpenDatabase() {
    return OpenDatabaseAt(DatabasePath());
}

bool OpenDatabaseAt(const std::string& path) {
    bool read = LoadIniFile(path, gDatabase);
    ReadTextWidths();
    return read;
}

void CloseDatabase() {
    gDatabase = IniFile{};
}

void ReadTextWidths() {
    gRecord.StandardFeaturesWidth = ReadWidth("StandardFeatures", kDefaultStandardFeaturesWidth);
    gRecord.ExtendedFeaturesWidth = ReadWidth("ExtendedFeatures", kDefaultExtendedFeaturesWidth);
    gRecord.PowerManagementWidth = ReadWidth("EnhancedPowerManagement", kDefaultPowerManagementWidth);
}

std::string ReadDatabaseVersion() {
    return ReadIniValue(gDatabase, "DATInfo", "Version", "UNKNOWN");
}

std::string LookupVendorKey(const std::string& vendorId) {
    return ReadIniValue(gDatabase, "Vendor", vendorId, "");
}

std::string MatchSignature(const std::string& section, const std::string& signatureBits) {
    std::string result;
    for (const std::string& key : ListIniKeys(gDatabase, section)) {
        if (PatternMatches(StripTabs(key), signatureBits)) {
            result = ReadIniValue(gDatabase, section, key, "");
        }
    }
    return result;
}

int32_t ReadNumberedNames(const std::string& section, FeatureNameTable& names) {
    int32_t count = -1;
    for (const std::string& key : ListIniKeys(gDatabase, section)) {
        int32_t bit = 0;
        if (!ParseInteger(key, bit, HexPrefixes::AlsoBareX) || bit < 0 || bit > 31) {
            continue;
        }
        names[static_cast<size_t>(bit)] = ReadIniValue(gDatabase, section, key, "");
        ++count;
    }
    return count;
}

void LookupDescriptorName(uint8_t descriptor, std::string& name) {
    const IniSection* section = FindIniSection(gDatabase, "CacheSizeTLB");
    if (section == nullptr || section->entries.empty()) {
        return; // no such section: the name stays as it was
    }
    name = ReadIniValue(gDatabase, "CacheSizeTLB", ByteToHex(descriptor), "");
}

std::vector<std::string> ListDatabaseKeys(const std::string& section) {
    return ListIniKeys(gDatabase, section);
}

std::string ReadDatabaseValue(const std::string& section, const std::string& key,
                              const std::string& fallback) {
    return ReadIniValue(gDatabase, section, key, fallback);
}
