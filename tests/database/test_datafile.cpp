// Checks of the shipped processor database, data/veldrix.dat, read through the
// program's own reader: the shape of every section, the names that real
// processor signatures get, and the bytes of the file itself.
#include "common/text_format.hpp"
#include "decode/feature_words.hpp"
#include "names/field_table.hpp"
#include "names/processor_db.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataFile = VELDRIX_SOURCE_DIR "/data/veldrix.dat";

// " -> Model     : 7 [" plus "]" leaves 58 columns for a name on an 80-column console.
constexpr size_t kMaxProcessorName = 58;
// " -> " before a descriptor text leaves 75 columns.
constexpr size_t kMaxDescriptorText = 75;
// " -> " + name + " : " + "Yes" must stay inside 79 columns.
constexpr int kMaxFeatureWidth = 69;

// The twelve characters of a vendor identification from leaf 0 EBX, EDX, ECX.
std::string VendorFromRegisters(uint32_t ebx, uint32_t edx, uint32_t ecx) {
    std::string id;
    for (uint32_t reg : {ebx, edx, ecx}) {
        for (int shift = 0; shift < 32; shift += 8) {
            id += static_cast<char>((reg >> shift) & 0xFF);
        }
    }
    return id;
}

std::string NameForSignature(const IniFile& db, const std::string& vendorId, uint32_t eax,
                             const SignatureFacts& facts = {}) {
    std::string key = LookupVendorKey(db, vendorId);
    return key.empty() ? "" : MatchSignature(db, "Vendor" + key, DwordToBits(eax), facts);
}

std::string NameForExtSignature(const IniFile& db, const std::string& vendorId, uint32_t eax,
                                const SignatureFacts& facts = {}) {
    std::string key = LookupVendorKey(db, vendorId);
    return key.empty() ? "" : MatchSignature(db, "ExtVendor" + key, DwordToBits(eax), facts);
}

// True when every signature matched by `specific` is matched by `general` too.
bool Covers(const std::string& general, const std::string& specific) {
    if (general.size() != specific.size()) {
        return false;
    }
    for (size_t i = 0; i < general.size(); ++i) {
        if (general[i] != '?' && general[i] != specific[i]) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, '\t')) {
        parts.push_back(part);
    }
    return parts;
}

// Every vendor identification the database should know, as leaf 0 spells it.
// The Elbrus one ends in a NUL byte that the probe cuts off, or in a blank.
const std::vector<std::string> kVendorIds = {
    "GenuineIntel", "GenuineIotel", "AuthenticAMD", "AMDisbetter!", "AMD ISBETTER", "CyrixInstead",
    "CentaurHauls", "VIA VIA VIA ", "  Shanghai  ", "NexGenDriven", "GenuineTMx86", "TransmetaCPU",
    "RiseRiseRise", "UMC UMC UMC ", "SiS SiS SiS ", "Geode by NSC", "HygonGenuine", "Vortex86 SoC",
    "Genuine  RDC", "GenuineAO486", "MiSTer AO486", "E2K MACHINE",  "E2K MACHINE ", "Compaq FX!32",
    "ConnectixCPU", "Insignia 586", "Neko Project", "PowerVM Lx86", "MicrosoftXTA", "Virtual CPU ",
    "VirtualApple",
};

class DataFile : public ::testing::Test {
  protected:
    IniFile db = OpenDatabaseAt(kDataFile);

    // The distinct VendorKeys of [Vendor], in file order.
    std::vector<std::string> VendorKeys() const {
        std::vector<std::string> keys;
        for (const std::string& id : ListDatabaseKeys(db, "Vendor")) {
            std::string key = ReadDatabaseValue(db, "Vendor", id, "");
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                keys.push_back(key);
            }
        }
        return keys;
    }

    // Every signature section that exists: Vendor<Key> and, where present, ExtVendor<Key>.
    std::vector<std::string> SignatureSections() const {
        std::vector<std::string> sections;
        for (const std::string& key : VendorKeys()) {
            sections.push_back("Vendor" + key);
            if (!ListDatabaseKeys(db, "ExtVendor" + key).empty()) {
                sections.push_back("ExtVendor" + key);
            }
        }
        return sections;
    }
};

// ---------------------------------------------------------------- file bytes

TEST(DataFileBytes, PlainAsciiWithCrLfOnEveryLine) {
    std::string text = ReadWholeFile(kDataFile);
    ASSERT_FALSE(text.empty()) << "cannot read " << kDataFile;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool allowed = (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n';
        ASSERT_TRUE(allowed) << "byte " << static_cast<int>(c) << " at offset " << i;
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at offset " << i;
        }
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at offset " << i;
        }
    }
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "the last line needs its CR LF too";
}

// A section written twice would be merged silently, and a section no lookup
// asks for is dead data (a misspelt vendor key, say).
TEST_F(DataFile, EverySectionIsWrittenOnceAndIsOneTheProgramReads) {
    std::set<std::string> known = {"datinfo",           "textwidth",        "vendor",
                                   "standardfeatures",  "extendedfeatures", "enhancedpowermanagement",
                                   "transmetafeatures", "cachesizetlb"};
    for (const FeatureWord& word : FeatureWords()) {
        known.insert(LowerAscii(FeatureWordSection(word)));
    }
    known.insert("hypervisor");
    known.insert("compilerflags");
    FieldTable fields = ReadFieldTable(OpenDatabaseAt(kDataFile));
    for (const FieldLayout& layout : fields.fields) {
        known.insert("fields." + LowerAscii(DwordToHex(layout.leaf)));
    }
    for (const HypervisorFieldLayouts& layouts : fields.hypervisorFields) {
        known.insert("fields.40000001." + LowerAscii(layouts.signature));
    }
    for (const char* reference :
         {"linuxflags", "linuxsyntheticflags", "archspectargets", "archspeccompilers"}) {
        known.insert(reference);
    }
    for (const std::string& key : VendorKeys()) {
        known.insert(LowerAscii("Vendor" + key));
        known.insert(LowerAscii("ExtVendor" + key));
        known.insert(LowerAscii("Generations" + key));
    }
    std::istringstream lines(ReadWholeFile(kDataFile));
    std::string line;
    std::set<std::string> seen;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '[') {
            continue;
        }
        std::string name = LowerAscii(line.substr(1, line.find(']') - 1));
        EXPECT_TRUE(seen.insert(name).second) << "section written twice: " << line;
        EXPECT_EQ(known.count(name), 1u) << "section nobody reads: " << line;
    }
}

// The reader lists a section's keys through a 16384-byte buffer; a longer
// list would silently lose its last (most specific) patterns.
TEST_F(DataFile, EveryKeyLineReachesTheReader) {
    std::map<std::string, size_t> keyLines;
    std::string section;
    std::istringstream lines(ReadWholeFile(kDataFile));
    std::string line;
    while (std::getline(lines, line)) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') {
            continue;
        }
        if (line[first] == '[') {
            section = line.substr(first + 1, line.find(']') - first - 1);
        } else if (line.find('=') != std::string::npos) {
            ++keyLines[section];
        }
    }
    ASSERT_FALSE(keyLines.empty());
    for (const auto& [name, count] : keyLines) {
        std::vector<std::string> keys = ListDatabaseKeys(db, name);
        EXPECT_EQ(keys.size(), count) << "section [" << name << "]";
        size_t bytes = 1;
        for (const std::string& key : keys) {
            bytes += key.size() + 1;
        }
        EXPECT_LT(bytes, 16384u) << "section [" << name << "]";
    }
}

// ---------------------------------------------------------------- shape

TEST_F(DataFile, VersionIsDated) {
    std::string version = ReadDatabaseVersion(db);
    EXPECT_NE(version, "UNKNOWN");
    EXPECT_TRUE(std::regex_search(version, std::regex("^20[0-9]{2}\\.[01][0-9]\\.[0-3][0-9]"))) << version;
}

TEST_F(DataFile, NoSectionHoldsTheSameKeyTwice) {
    std::vector<std::string> sections = {"DATInfo",           "TextWidth",        "Vendor",
                                         "StandardFeatures",  "ExtendedFeatures", "EnhancedPowerManagement",
                                         "TransmetaFeatures", "CacheSizeTLB",     "CompilerFlags"};
    for (const std::string& s : SignatureSections()) {
        sections.push_back(s);
    }
    for (const std::string& section : sections) {
        std::set<std::string> seen;
        for (const std::string& key : ListDatabaseKeys(db, section)) {
            EXPECT_TRUE(seen.insert(LowerAscii(key)).second) << "[" << section << "] repeats " << key;
        }
    }
}

TEST_F(DataFile, EveryVendorIdHasAKeyAndEveryKeyHasItsSection) {
    for (const std::string& id : kVendorIds) {
        std::string key = LookupVendorKey(db, id);
        EXPECT_FALSE(key.empty()) << "no VendorKey for '" << id << "'";
    }
    std::vector<std::string> keys = VendorKeys();
    ASSERT_GE(keys.size(), 15u);
    for (const std::string& key : keys) {
        EXPECT_FALSE(ListDatabaseKeys(db, "Vendor" + key).empty()) << "no section [Vendor" << key << "]";
    }
}

// Patterns are written as tab-separated groups reserved(4) ext.family(8)
// ext.model(4) reserved(2) type(2) family(4) model(4) stepping(4); the
// reserved groups stay open, and the type group is fixed only to 01 (OverDrive).
// A ninth group, when present, is a condition the program knows.
TEST_F(DataFile, EveryPatternIsEightGroupsOf32Bits) {
    const std::vector<size_t> widths = {4, 8, 4, 2, 2, 4, 4, 4};
    const std::regex condition("L3|Hypervisor\\+LongMode|Brand:.+");
    for (const std::string& section : SignatureSections()) {
        for (const std::string& key : ListDatabaseKeys(db, section)) {
            SignatureKey parts = SplitSignatureKey(key);
            std::string bits = parts.pattern;
            EXPECT_EQ(bits.size(), 32u) << "[" << section << "] " << key;
            EXPECT_EQ(bits.find_first_not_of("01?"), std::string::npos) << "[" << section << "] " << key;
            std::vector<std::string> groups = SplitTabs(key);
            if (!parts.condition.empty()) {
                EXPECT_TRUE(std::regex_match(parts.condition, condition)) << "[" << section << "] " << key;
                ASSERT_EQ(groups.back(), parts.condition) << "[" << section << "] " << key;
                groups.pop_back();
            }
            ASSERT_EQ(groups.size(), widths.size()) << "[" << section << "] " << key;
            for (size_t g = 0; g < widths.size(); ++g) {
                EXPECT_EQ(groups[g].size(), widths[g]) << "[" << section << "] group " << g << " of " << key;
            }
            EXPECT_EQ(groups[0], "????") << "[" << section << "] " << key;
            EXPECT_EQ(groups[3], "??") << "[" << section << "] " << key;
            EXPECT_TRUE(groups[4] == "??" || groups[4] == "01") << "[" << section << "] " << key;
        }
    }
}

// The last match wins, so a pattern followed by one that covers it (or by
// the same pattern again) could never be shown: the block is out of order. A
// later row with a condition hides only rows with that same condition.
TEST_F(DataFile, NoPatternIsHiddenByALaterOne) {
    for (const std::string& section : SignatureSections()) {
        std::vector<std::string> keys = ListDatabaseKeys(db, section);
        for (size_t i = 0; i < keys.size(); ++i) {
            SignatureKey earlier = SplitSignatureKey(keys[i]);
            for (size_t j = i + 1; j < keys.size(); ++j) {
                SignatureKey later = SplitSignatureKey(keys[j]);
                bool always = later.condition.empty() || later.condition == earlier.condition;
                EXPECT_FALSE(always && Covers(later.pattern, earlier.pattern))
                    << "[" << section << "] " << keys[i] << " is hidden by the later " << keys[j];
            }
        }
    }
}

// Every Vendor<Key> section opens with a catch-all row, so a processor of a
// known vendor always gets a name; no ExtVendor section has one, because an
// extended signature of 0 means "none" and must stay unnamed.
TEST_F(DataFile, VendorSectionsCatchAllAndExtSectionsLeaveZeroUnnamed) {
    const std::string open(32, '?');
    for (const std::string& key : VendorKeys()) {
        std::vector<std::string> keys = ListDatabaseKeys(db, "Vendor" + key);
        ASSERT_FALSE(keys.empty()) << key;
        EXPECT_EQ(StripTabs(keys.front()), open) << "[Vendor" << key << "] starts with " << keys.front();
        for (uint32_t eax : {0x00000000u, 0xFFFFFFFFu, 0x00000E00u}) {
            EXPECT_FALSE(MatchSignature(db, "Vendor" + key, DwordToBits(eax)).empty()) << key << " " << eax;
        }
        EXPECT_EQ(MatchSignature(db, "ExtVendor" + key, DwordToBits(0)), "") << "[ExtVendor" << key << "]";
    }
}

TEST_F(DataFile, ProcessorNamesAreFilledAndFitTheModelLine) {
    for (const std::string& section : SignatureSections()) {
        for (const std::string& key : ListDatabaseKeys(db, section)) {
            std::string name = ReadDatabaseValue(db, section, key, "");
            EXPECT_FALSE(name.empty()) << "[" << section << "] " << key;
            EXPECT_LE(name.size(), kMaxProcessorName) << "[" << section << "] " << name;
        }
    }
}

// ---------------------------------------------------------------- feature names

struct FeatureList {
    const char* section;
    const char* widthKey;     // nullptr: the list is written without padding
    std::vector<int> unnamed; // bits no vendor documents: no row at all
};

const std::vector<FeatureList> kFeatureLists = {
    {"StandardFeatures", "StandardFeatures", {}},
    {"ExtendedFeatures", "ExtendedFeatures", {18, 21, 28}},
    {"EnhancedPowerManagement",
     "EnhancedPowerManagement",
     {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}},
    {"TransmetaFeatures", nullptr, {2,  4,  5,  6,  9,  10, 11, 13, 14, 15, 16, 17, 18,
                                    19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}},
};

TEST_F(DataFile, EveryDocumentedFeatureBitHasANameAndNoOtherDoes) {
    for (const FeatureList& list : kFeatureLists) {
        FeatureNameTable names{};
        int32_t count = ReadNumberedNames(db, list.section, names);
        int expected = 32 - static_cast<int>(list.unnamed.size());
        EXPECT_EQ(count, expected - 1) << list.section;
        for (int bit = 0; bit < 32; ++bit) {
            bool reserved = std::find(list.unnamed.begin(), list.unnamed.end(), bit) != list.unnamed.end();
            EXPECT_EQ(names[static_cast<size_t>(bit)].empty(), reserved) << list.section << " bit " << bit;
        }
        // Plain decimal keys only: "5" and "05" would both land on bit 5.
        for (const std::string& key : ListDatabaseKeys(db, list.section)) {
            EXPECT_TRUE(std::regex_match(key, std::regex("0|[1-9][0-9]?"))) << list.section << " key " << key;
        }
    }
}

TEST_F(DataFile, EveryFeatureNameFitsItsColumn) {
    for (const FeatureList& list : kFeatureLists) {
        if (list.widthKey == nullptr) {
            continue;
        }
        std::string text = ReadDatabaseValue(db, "TextWidth", list.widthKey, "");
        ASSERT_TRUE(std::regex_match(text, std::regex("[0-9]+"))) << list.widthKey << "=" << text;
        int width = std::atoi(text.c_str());
        EXPECT_LE(width, kMaxFeatureWidth) << list.widthKey;
        FeatureNameTable names{};
        ReadNumberedNames(db, list.section, names);
        size_t longest = 0;
        for (const std::string& name : names) {
            longest = std::max(longest, name.size());
        }
        EXPECT_LE(longest, static_cast<size_t>(width)) << list.section;
    }
}

// One extended list serves every vendor, so the bits vendors use differently
// say both meanings.
TEST_F(DataFile, SharedExtendedBitsNameEveryMeaning) {
    struct Row {
        int bit;
        std::vector<std::string> fragments;
    };
    const std::vector<Row> rows = {
        {16, {"PAT", "FCMOV"}},
        {20, {"NX", "XD"}},
        {24, {"FXSR", "Cyrix"}},
        {29, {"Long Mode", "Intel 64"}},
    };
    FeatureNameTable names{};
    ReadNumberedNames(db, "ExtendedFeatures", names);
    for (const Row& row : rows) {
        for (const std::string& fragment : row.fragments) {
            EXPECT_NE(names[static_cast<size_t>(row.bit)].find(fragment), std::string::npos)
                << "bit " << row.bit << ": " << names[static_cast<size_t>(row.bit)];
        }
    }
}

// ---------------------------------------------------------------- descriptors

TEST_F(DataFile, DescriptorKeysAreTwoUpperCaseHexDigits) {
    std::vector<std::string> keys = ListDatabaseKeys(db, "CacheSizeTLB");
    ASSERT_FALSE(keys.empty());
    for (const std::string& key : keys) {
        EXPECT_TRUE(std::regex_match(key, std::regex("[0-9A-F]{2}"))) << key;
        EXPECT_NE(key, "00") << "the null descriptor is never looked up";
        std::string text = ReadDatabaseValue(db, "CacheSizeTLB", key, "");
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_LE(text.size(), kMaxDescriptorText) << key << "=" << text;
    }
}

// Every descriptor byte Intel has defined (current and older documents) has a
// description, and the undefined ones have none.
TEST_F(DataFile, EveryDefinedDescriptorIsDescribed) {
    const std::string defined =
        "01 02 03 04 05 06 08 09 0A 0B 0C 0D 0E 10 15 1A 1D 21 22 23 24 25 29 2C 30 39 3A 3B 3C 3D 3E 3F "
        "40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 55 56 57 59 5A 5B 5C 5D 60 61 63 64 66 "
        "67 68 6A 6B 6C 6D 70 71 72 73 74 76 77 78 79 7A 7B 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89 8A "
        "8D 90 96 9B A0 B0 B1 B2 B3 B4 B5 B6 BA C0 C1 C2 C3 C4 CA D0 D1 D2 D6 D7 D8 DC DD DE E2 E3 E4 EA "
        "EB EC F0 F1 FE FF";
    std::set<std::string> wanted;
    std::istringstream in(defined);
    for (std::string byte; in >> byte;) {
        wanted.insert(byte);
    }
    for (int value = 1; value <= 0xFF; ++value) {
        std::string name;
        LookupDescriptorName(db, static_cast<uint8_t>(value), name);
        std::string hex = ByteToHex(static_cast<uint8_t>(value));
        EXPECT_EQ(name.empty(), wanted.count(hex) == 0) << "descriptor " << hex << ": '" << name << "'";
    }
}

TEST_F(DataFile, DescriptorTextsCarryTheirFigures) {
    struct Row {
        uint8_t byte;
        std::vector<std::string> fragments;
    };
    const std::vector<Row> rows = {
        {0x2C, {"L1 data", "32 KB", "8-way", "64-byte"}},
        {0x30, {"L1 code", "32 KB", "8-way"}},
        {0x43, {"L2", "512 KB", "4-way", "32-byte"}},
        {0x49, {"L2", "4 MB", "16-way", "L3"}},
        {0x5B, {"Data TLB", "64 entries"}},
        {0x63, {"1 GB", "32 entries", "4 entries"}},
        {0x70, {"Trace", "12K", "Cyrix"}},
        {0xB1, {"Code TLB", "2 MB", "4 MB"}},
        {0xC3, {"Shared L2 TLB", "1536 entries", "1 GB"}},
        {0xD8, {"L3", "4 MB", "8-way"}},
        {0xDC, {"L3", "1.5 MB", "12-way"}},
        {0xEC, {"L3", "24 MB", "24-way"}},
        {0xF1, {"128"}},
        {0xFF, {"leaf 4"}},
    };
    for (const Row& row : rows) {
        std::string name;
        LookupDescriptorName(db, row.byte, name);
        for (const std::string& fragment : row.fragments) {
            EXPECT_NE(name.find(fragment), std::string::npos) << ByteToHex(row.byte) << ": " << name;
        }
    }
}

// ---------------------------------------------------------------- real signatures

struct SignatureRow {
    const char* vendorId;
    uint32_t eax;
    const char* expected;      // a fragment of the name
    SignatureFacts facts = {}; // what a row's condition may ask beyond the signature
};

// A processor whose leaf 2 names an L3; a guest with long mode.
const SignatureFacts kLevel3{"", true, false, false};
const SignatureFacts kGuestLongMode{"", false, true, true};

// Leaf 1 EAX values of real processors (public dumps and vendor documents).
const std::vector<SignatureRow> kLeaf1Rows = {
    // Intel
    {"GenuineIntel", 0x00000480, "Intel 486DX4"},
    {"GenuineIntel", 0x00001480, "486DX4 OverDrive"},
    {"GenuineIntel", 0x00000517, "Pentium 60/66 (P5)"},
    {"GenuineIntel", 0x00002525, "Pentium 75-200 (P54C)"}, // second CPU of a dual pair
    {"GenuineIntel", 0x00001532, "OverDrive for 486 sockets (P24T)"},
    {"GenuineIntel", 0x00000543, "MMX Technology (P55C)"},
    {"GenuineIntel", 0x00000633, "Pentium II (Klamath)"},
    {"GenuineIntel", 0x00001632, "Pentium II OverDrive"},
    {"GenuineIntel", 0x00000683, "Coppermine"},
    {"GenuineIntel", 0x000006B1, "Tualatin"},
    {"GenuineIntel", 0x000006F6, "Conroe"},
    {"GenuineIntel", 0x00010676, "Penryn"},
    {"GenuineIntel", 0x000206A7, "Sandy Bridge"},
    {"GenuineIntel", 0x000306C3, "Haswell"},
    {"GenuineIotel", 0x000306C3, "Haswell"},
    {"GenuineIntel", 0x00050654, "Skylake-SP"},
    {"GenuineIntel", 0x00050657, "Cascade Lake"},
    {"GenuineIntel", 0x0005065B, "Cooper Lake"},
    {"GenuineIntel", 0x000806EA, "Coffee Lake-U"},
    {"GenuineIntel", 0x000906E9, "Kaby Lake"},
    {"GenuineIntel", 0x000906EA, "Coffee Lake-S/H"},
    {"GenuineIntel", 0x00090672, "Intel Core 12th gen (Alder Lake-S/HX)"},
    {"GenuineIntel", 0x000B06A3, "Raptor Lake-P"},
    {"GenuineIntel", 0x000B0674, "Bartlett Lake"},
    {"GenuineIntel", 0x000C06C0, "Panther Lake"},
    {"GenuineIntel", 0x00000F0A, "Willamette"},
    {"GenuineIntel", 0x00000F24, "Northwood"},
    {"GenuineIntel", 0x00300F10, "Nova Lake-S"},
    {"GenuineIntel", 0x000606F0, "Intel P6 / Core family (model not listed)"},
    {"GenuineIntel", 0x00000E00, "Intel processor (model not listed)"},
    // AMD
    {"AuthenticAMD", 0x00000435, "Am486DX2"},
    {"AuthenticAMD", 0x000004F4, "Am5x86, write-back"},
    {"AMDisbetter!", 0x00000500, "K5 (SSA/5)"},
    {"AuthenticAMD", 0x00000562, "AMD K6 (model 6)"},
    {"AuthenticAMD", 0x00000580, "AMD K6-2 (Chomper)"},
    {"AuthenticAMD", 0x0000058C, "Chomper Extended"},
    {"AuthenticAMD", 0x000005D4, "K6-2+"},
    {"AuthenticAMD", 0x00000662, "Palomino"},
    {"AuthenticAMD", 0x000006A0, "Barton"},
    {"AuthenticAMD", 0x00000F4A, "ClawHammer"},
    {"AuthenticAMD", 0x00020FB1, "Manchester"},
    {"AuthenticAMD", 0x00100F42, "Deneb"},
    {"AuthenticAMD", 0x00600F12, "Bulldozer"},
    {"AuthenticAMD", 0x00800F11, "Summit Ridge"},
    {"AuthenticAMD", 0x00A00F11, "AMD EPYC 7003 (Milan), Zen 3"},
    {"AuthenticAMD", 0x00A60F12, "Raphael"},
    {"AuthenticAMD", 0x00B40F40, "Granite Ridge"},
    {"AuthenticAMD", 0x00B70F00, "Strix Halo"},
    {"AuthenticAMD", 0x00B00FF0, "AMD family 1Ah"},
    {"AuthenticAMD", 0x00B20F40, "Gorgon Point"},
    {"AuthenticAMD", 0x00A60F12, "EPYC 4004"},
    {"AuthenticAMD", 0x00A60F11, "Dragon Range"},
    // Shared model numbers told apart by stepping
    {"GenuineIntel", 0x000906E9, "Kaby Lake-S/H"},
    {"GenuineIntel", 0x000906EA, "Coffee Lake-S/H"},
    {"GenuineIntel", 0x000806EB, "Whiskey Lake-U"},
    {"GenuineIntel", 0x000806EC, "Comet Lake-U"},
    {"GenuineIntel", 0x00000692, "Timna"},
    {"GenuineIntel", 0x00000695, "Banias"},
    {"GenuineIntel", 0x00000F25, "Gallatin", kLevel3},
    {"GenuineIntel", 0x00000F25, "Northwood"},
    {"GenuineIntel", 0x00000F41, "Nocona"},
    {"GenuineIntel", 0x00000F49, "Celeron D"},
    {"GenuineIntel", 0x00000F43, "Irwindale"},
    {"GenuineIntel", 0x00000F4A, "Irwindale"},
    {"GenuineIntel", 0x00000F44, "Pentium D / Extreme Edition (Smithfield)"},
    {"GenuineIntel", 0x00000F47, "Pentium D / Extreme Edition (Smithfield)"},
    {"GenuineIntel", 0x00000F48, "Paxville"},
    {"GenuineIntel", 0x000806EC, "Whiskey Lake-U"},
    {"GenuineIntel", 0x000806EC, "Amber Lake-Y"},
    {"AuthenticAMD", 0x00020FC2, "(Venice), Socket 754", SignatureFacts{"AMD Athlon(tm) 64 Processor 3000+"}},
    // Virtual processors, whatever signature they borrow
    {"GenuineIntel", 0x000006D3, "QEMU virtual", SignatureFacts{"QEMU Virtual CPU version (cpu64-rhel6)"}},
    {"AuthenticAMD", 0x00000663, "QEMU virtual", SignatureFacts{"QEMU Virtual CPU version 2.5+"}},
    {"GenuineIntel", 0x00000F61, "QEMU/KVM virtual", SignatureFacts{"Common KVM processor"}},
    {"GenuineIntel", 0x000006F6, "x86 emulator", SignatureFacts{"Virtual CPU"}},
    {"GenuineIntel", 0x000006D3, "Emulated x86-64", kGuestLongMode},
    {"GenuineIntel", 0x00000F29, "Emulated x86-64", kGuestLongMode},
    {"AuthenticAMD", 0x00000662, "Emulated x86-64", kGuestLongMode},
    {"GenuineIntel", 0x00000F27, "Northwood"},
    {"GenuineIntel", 0x00000F66, "Tulsa"},
    {"GenuineIntel", 0x00000F68, "Tulsa"},
    {"GenuineIntel", 0x00000F65, "Cedar Mill"},
    // Hygon
    {"HygonGenuine", 0x00900F02, "Hygon C86 (Dhyana)"},
    {"HygonGenuine", 0x00900F10, "second generation"},
    {"HygonGenuine", 0x00900F21, "third generation"},
    {"HygonGenuine", 0x00910F00, "C86-4G"},
    // Cyrix
    {"CyrixInstead", 0x00000490, "Cyrix 5x86"},
    {"CyrixInstead", 0x00000520, "Cyrix 6x86 (M1)"},
    {"CyrixInstead", 0x00000540, "MediaGXm"},
    {"CyrixInstead", 0x00000601, "6x86MX"},
    // Centaur, IDT, VIA, Zhaoxin
    {"CentaurHauls", 0x00000541, "IDT WinChip C6"},
    {"CentaurHauls", 0x00000587, "WinChip 2A"},
    {"CentaurHauls", 0x0000058A, "WinChip 2B"},
    {"CentaurHauls", 0x00000673, "Samuel 2"},
    {"VIA VIA VIA ", 0x00000691, "Nehemiah"},
    {"CentaurHauls", 0x000006A9, "Esther"},
    {"CentaurHauls", 0x000006FE, "ZhangJiang"},
    {"CentaurHauls", 0x00040672, "CNS"},
    {"  Shanghai  ", 0x000107B0, "KX-5000"},
    {"CentaurHauls", 0x000307B1, "KX-6000"},
    {"  Shanghai  ", 0x000607B1, "KX-7000"},
    // Transmeta
    {"GenuineTMx86", 0x00000543, "Crusoe TM5x00"},
    {"TransmetaCPU", 0x00000542, "Crusoe TM3200"},
    {"GenuineTMx86", 0x00000F24, "Efficeon TM8600"},
    {"GenuineTMx86", 0x00000F34, "Efficeon TM8800"},
    // The rest
    {"Geode by NSC", 0x00000540, "Geode GX1"},
    {"Geode by NSC", 0x00000552, "Geode GX2"},
    {"RiseRiseRise", 0x00000504, "Rise mP6 (iDragon), 250 nm"},
    {"UMC UMC UMC ", 0x00000410, "U5D"},
    {"UMC UMC UMC ", 0x00000423, "U5S"},
    {"SiS SiS SiS ", 0x00000505, "SiS 55"},
    {"NexGenDriven", 0x00000504, "Nx586"},
    {"Vortex86 SoC", 0x00000586, "Vortex86MX"},
    {"Genuine  RDC", 0x00000586, "RDC IAD 100"},
    {"MiSTer AO486", 0x00000045, "ao486"},
    {"E2K MACHINE", 0x00000000, "Elbrus"},
    {"VirtualApple", 0x000806C1, "Rosetta"},
};

TEST_F(DataFile, RealSignaturesGetTheirNames) {
    for (const SignatureRow& row : kLeaf1Rows) {
        std::string name = NameForSignature(db, row.vendorId, row.eax, row.facts);
        EXPECT_NE(name.find(row.expected), std::string::npos)
            << "'" << row.vendorId << "' " << DwordToHex(row.eax) << " gave '" << name << "', wanted '"
            << row.expected << "'";
    }
}

// Leaf 80000001h EAX: AMD K6 and K7 report one family more there than in
// leaf 1; later AMD, Hygon and the others repeat leaf 1; Intel returns 0.
const std::vector<SignatureRow> kExtRows = {
    {"AuthenticAMD", 0x00000514, "PR120"},
    {"AuthenticAMD", 0x00000662, "AMD K6 (model 6)"}, // in leaf 1 this value is a Palomino
    {"AuthenticAMD", 0x00000680, "AMD K6-2 (Chomper)"},
    {"AuthenticAMD", 0x0000068C, "Chomper Extended"},
    {"AuthenticAMD", 0x000006D4, "K6-2+"},
    {"AuthenticAMD", 0x00000712, "Argon"},
    {"AuthenticAMD", 0x00000762, "Palomino"},
    {"AuthenticAMD", 0x000007A0, "Barton"},
    {"AuthenticAMD", 0x00020FB1, "Manchester"},
    {"AuthenticAMD", 0x00A00F11, "AMD EPYC 7003 (Milan), Zen 3"},
    {"AuthenticAMD", 0x00020FC2, "(Venice), Socket 754", SignatureFacts{"AMD Athlon(tm) 64 Processor 3000+"}},
    {"AuthenticAMD", 0x00000663, "QEMU virtual", SignatureFacts{"QEMU Virtual CPU version 2.5+"}},
    {"AuthenticAMD", 0x00000762, "Emulated x86-64", kGuestLongMode},
    {"HygonGenuine", 0x00900F02, "Dhyana"},
    {"GenuineTMx86", 0x00000543, "Crusoe TM5x00"},
    {"Geode by NSC", 0x00000552, "Geode GX2"},
    {"CentaurHauls", 0x00000673, "Samuel 2"},
    {"CyrixInstead", 0x00000540, "MediaGXm"},
};

TEST_F(DataFile, RealExtendedSignaturesGetTheirNames) {
    for (const SignatureRow& row : kExtRows) {
        std::string name = NameForExtSignature(db, row.vendorId, row.eax, row.facts);
        EXPECT_NE(name.find(row.expected), std::string::npos)
            << "'" << row.vendorId << "' " << DwordToHex(row.eax) << " gave '" << name << "', wanted '"
            << row.expected << "'";
    }
}

TEST_F(DataFile, ExtendedSignaturesWithoutMeaningStayUnnamed) {
    const std::vector<SignatureRow> rows = {
        {"GenuineIntel", 0x00000000, ""}, // every Intel part
        {"AuthenticAMD", 0x00000000, ""}, // no extended leaves (K5 model 0)
        {"Vortex86 SoC", 0x00000000, ""}, // Vortex86DX3
        {"RiseRiseRise", 0x00000504, ""}, // no extended signature table
    };
    for (const SignatureRow& row : rows) {
        EXPECT_EQ(NameForExtSignature(db, row.vendorId, row.eax), "") << row.vendorId;
    }
}

// ---------------------------------------------------------------- real dumps

struct DumpIdentity {
    std::string vendorId;
    bool hasLeaf1 = false;
    uint32_t leaf1Eax = 0;
    bool hasExtLeaf1 = false;
    uint32_t extLeaf1Eax = 0;
};

// Reads the first leaf 0, 1 and 80000001h lines of a dump, in either of the
// two layouts the collection uses.
DumpIdentity ReadDumpIdentity(const std::string& path) {
    static const std::regex listLine(
        "CPUID ([0-9A-Fa-f]{8}):? ([0-9A-Fa-f]{8})-([0-9A-Fa-f]{8})-([0-9A-Fa-f]{8})-([0-9A-Fa-f]{8})");
    static const std::regex rawLine("0x([0-9a-f]{8}) 0x00: eax=0x([0-9a-f]{8}) ebx=0x([0-9a-f]{8}) "
                                    "ecx=0x([0-9a-f]{8}) edx=0x([0-9a-f]{8})");
    DumpIdentity id;
    bool haveVendor = false;
    std::istringstream lines(ReadWholeFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (!std::regex_search(line, m, listLine) && !std::regex_search(line, m, rawLine)) {
            continue;
        }
        uint32_t leaf = static_cast<uint32_t>(std::stoul(m[1].str(), nullptr, 16));
        uint32_t reg[4];
        for (int r = 0; r < 4; ++r) {
            reg[r] = static_cast<uint32_t>(std::stoul(m[r + 2].str(), nullptr, 16));
        }
        if (leaf == 0 && !haveVendor) {
            id.vendorId = VendorFromRegisters(reg[1], reg[3], reg[2]);
            haveVendor = true;
        } else if (leaf == 1 && !id.hasLeaf1) {
            id.hasLeaf1 = true;
            id.leaf1Eax = reg[0];
        } else if (leaf == 0x80000001u && !id.hasExtLeaf1) {
            id.hasExtLeaf1 = true;
            id.extLeaf1Eax = reg[0];
        }
    }
    return id;
}

TEST_F(DataFile, EveryRealDumpGetsAModelName) {
    namespace fs = std::filesystem;
    const fs::path dumps = VELDRIX_DUMPS_DIR;
    ASSERT_TRUE(fs::is_directory(dumps)) << "no dump folder at " << dumps.string();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(dumps)) {
        if (entry.path().extension() != ".txt") {
            continue;
        }
        std::string file = entry.path().filename().string();
        DumpIdentity id = ReadDumpIdentity(entry.path().string());
        ASSERT_TRUE(id.hasLeaf1) << file;
        std::string key = LookupVendorKey(db, id.vendorId);
        ASSERT_FALSE(key.empty()) << file << ": vendor '" << id.vendorId << "'";
        std::string name = MatchSignature(db, "Vendor" + key, DwordToBits(id.leaf1Eax));
        std::string catchAll = MatchSignature(db, "Vendor" + key, std::string(32, '?'));
        EXPECT_FALSE(name.empty()) << file;
        EXPECT_NE(name, catchAll) << file << " got only the vendor's catch-all name";
        // Vendors that repeat the signature in leaf 80000001h get an extended
        // name for it; a 0 there (Intel) never gets one.
        if (id.hasExtLeaf1) {
            bool extSection = !ListDatabaseKeys(db, "ExtVendor" + key).empty();
            std::string extName = MatchSignature(db, "ExtVendor" + key, DwordToBits(id.extLeaf1Eax));
            EXPECT_EQ(extName.empty(), !extSection || id.extLeaf1Eax == 0)
                << file << ": extended signature " << DwordToHex(id.extLeaf1Eax) << " gave '" << extName
                << "'";
        }
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no dumps in " << dumps.string();
}

} // namespace
