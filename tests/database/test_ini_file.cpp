// The INI reader and the database lookups built on it.
#include "common/text_format.hpp"
#include "names/ini_file.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

class Database : public ::testing::Test {
  protected:
    void SetUp() override { ResetWorld(); }

    IniFile db;
};

} // namespace

TEST(IniReader, SectionsKeysAndValues) {
    IniFile ini = ParseIniText("; comment\r\n"
                               "[First]\r\n"
                               "  Alpha  =  one two  \r\n"
                               "beta=2=3\r\n"
                               "no equals sign here\r\n"
                               "=no key\r\n"
                               "[second]\n"
                               "\tTabbed\t=\tvalue\t\n"
                               "[FIRST]\r\n"
                               "gamma=late\r\n");
    EXPECT_EQ(ReadIniValue(ini, "first", "ALPHA", "-"), "one two");
    EXPECT_EQ(ReadIniValue(ini, "First", "beta", "-"), "2=3");
    EXPECT_EQ(ReadIniValue(ini, "SECOND", "tabbed", "-"), "value");
    EXPECT_EQ(ReadIniValue(ini, "First", "gamma", "-"), "late");
    EXPECT_EQ(ReadIniValue(ini, "First", "missing", "dflt"), "dflt");
    EXPECT_EQ(ReadIniValue(ini, "Missing", "alpha", "dflt"), "dflt");
    EXPECT_EQ(ListIniKeys(ini, "first"), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_TRUE(ListIniKeys(ini, "nowhere").empty());
}

TEST(IniReader, LookupKeysAreTrimmedLikeStoredKeys) {
    IniFile ini = ParseIniText("[Vendor]\r\nUMC UMC UMC =UMC\r\n  Shanghai  =Zhaoxin\r\n");
    EXPECT_EQ(ReadIniValue(ini, "Vendor", "UMC UMC UMC ", ""), "UMC");
    EXPECT_EQ(ReadIniValue(ini, "Vendor", "  Shanghai  ", ""), "Zhaoxin");
}

TEST(IniReader, DuplicateKeyGivesTheFirstValue) {
    IniFile ini = ParseIniText("[S]\r\nk=first\r\nK=second\r\n");
    EXPECT_EQ(ReadIniValue(ini, "S", "k", ""), "first");
    EXPECT_EQ(ListIniKeys(ini, "S").size(), 2u);
    std::vector<IniEntryView> entries = ListIniEntries(ini, "S");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].key, "K");
    EXPECT_EQ(entries[1].value, "first");
}

TEST(IniReader, ValuesAreCutAt2047Characters) {
    std::string longValue(3000, 'v');
    IniFile ini = ParseIniText("[S]\r\nk=" + longValue + "\r\n");
    EXPECT_EQ(ReadIniValue(ini, "S", "k", ""), std::string(2047, 'v'));
}

TEST(IniReader, KeyListStopsWhereItsBufferEnds) {
    // 1000 keys of 19 characters take 20 bytes each: 16383 bytes hold 819 of them.
    std::string text = "[Big]\r\n";
    for (int i = 0; i < 1000; ++i) {
        std::string key = "k" + std::to_string(100000000 + i) + std::string(9, 'x');
        text += key + "=v\r\n";
    }
    IniFile ini = ParseIniText(text);
    EXPECT_EQ(ListIniKeys(ini, "Big").size(), 819u);
}

// The shipped data file saved with other line ends, as an editor may save
// it, reads to the same sections and entries.
TEST(IniReader, EveryLineEndReadsAlike) {
    const std::string shipped = ReadWholeFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    const std::string lf = WithLfLines(shipped, "\r\n");
    IniFile expected = ParseIniText(shipped);
    ASSERT_GT(expected.sections.size(), 10u);
    const std::pair<const char*, std::string> kLineEnds[] = {
        {"lone CR", WithLineEnds(lf, "\r")},
        {"lone CR, then LF", WithLineEnds(lf.substr(0, lf.size() / 2), "\r") + lf.substr(lf.size() / 2)},
    };
    for (const auto& [name, text] : kLineEnds) {
        IniFile ini = ParseIniText(text);
        ASSERT_EQ(ini.sections.size(), expected.sections.size()) << name;
        for (size_t i = 0; i < ini.sections.size(); ++i) {
            EXPECT_EQ(ini.sections[i].name, expected.sections[i].name) << name;
            EXPECT_EQ(ini.sections[i].entries, expected.sections[i].entries)
                << name << " " << ini.sections[i].name;
        }
    }
}

TEST(IniReader, MissingFileIsEmpty) {
    IniFile ini;
    EXPECT_FALSE(LoadIniFile(::testing::TempDir() + "does-not-exist.dat", ini));
    EXPECT_TRUE(ini.sections.empty());
}

TEST(IniReader, SectionsAreFoundByNameAmongManyAndMergedWhenRepeated) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    }
    text += "[s1234]\r\nlate=yes\r\n";
    IniFile ini = ParseIniText(text);
    EXPECT_EQ(ini.sections.size(), 3000u);
    EXPECT_EQ(ReadIniValue(ini, "S2999", "k", ""), "2999");
    EXPECT_EQ(ReadIniValue(ini, " s0 ", "k", ""), "0");
    EXPECT_EQ(ListIniKeys(ini, "S1234"), (std::vector<std::string>{"k", "late"}));
    EXPECT_EQ(FindIniSection(ini, "S3000"), nullptr);
}

// A data file with a version, padded by a comment line to exactly size bytes.
std::string SizedDataFile(const std::string& path, size_t size) {
    std::string text = "[DATInfo]\r\nVersion=sized\r\n;";
    text += std::string(size - text.size(), 'x');
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct RefusedFile {
    const char* rule;
    std::string (*make)(const std::string& dir);
};

// A device or a pipe as the data file would block or exhaust this test
// process if the rule failed; the end-to-end tests try those with a timeout.
const RefusedFile kRefusedFiles[] = {
    {"folder",
     [](const std::string& dir) {
         std::filesystem::create_directory(dir + "/folder.dat");
         return dir + "/folder.dat";
     }},
    {"one byte over the limit",
     [](const std::string& dir) { return SizedDataFile(dir + "/big.dat", kIniFileLimit + 1); }},
};

TEST(IniReader, OnlySmallRegularFilesAreRead) {
    for (const RefusedFile& row : kRefusedFiles) {
        std::string dir = MakeTempDir("refused");
        IniFile ini;
        EXPECT_FALSE(LoadIniFile(row.make(dir), ini)) << row.rule;
        EXPECT_TRUE(ini.sections.empty()) << row.rule;
    }
    std::string dir = MakeTempDir("limit");
    IniFile ini;
    EXPECT_TRUE(LoadIniFile(SizedDataFile(dir + "/limit.dat", kIniFileLimit), ini));
    EXPECT_EQ(ReadIniValue(ini, "DATInfo", "Version", ""), "sized");
}

TEST_F(Database, MissingFileGivesEveryDefault) {
    db = OpenDatabaseAt(::testing::TempDir() + "no-such-veldrix.dat");
    EXPECT_EQ(ReadDatabaseVersion(db), "UNKNOWN");
    EXPECT_EQ(ReadTextWidths(db).standardFeatures, 47);
    EXPECT_EQ(ReadTextWidths(db).extendedFeatures, 47);
    EXPECT_EQ(ReadTextWidths(db).powerManagement, 35);
    EXPECT_EQ(LookupVendorKey(db, "GenuineIntel"), "");
    FeatureNameTable names;
    EXPECT_EQ(ReadNumberedNames(db, "StandardFeatures", names), -1);
    std::string descriptor = "kept";
    LookupDescriptorName(db, 0x2C, descriptor);
    EXPECT_EQ(descriptor, "kept");
}

TEST_F(Database, TextWidths) {
    struct Row {
        const char* name;
        const char* section;
        int32_t standard, extended, power;
    };
    const Row rows[] = {
        {"decimal", "StandardFeatures=50\r\nExtendedFeatures=20\r\nEnhancedPowerManagement=0\r\n", 50, 20, 0},
        {"hexadecimal", "StandardFeatures=0x30\r\nExtendedFeatures=$10\r\n", 48, 16, 35},
        {"not integers", "StandardFeatures=wide\r\nExtendedFeatures=12px\r\nEnhancedPowerManagement=\r\n", 47,
         47, 35},
        {"negative", "StandardFeatures=-3\r\n", -3, 47, 35},
        {"bare x is no prefix for a width", "StandardFeatures=x10\r\nExtendedFeatures=0X10\r\n", 47, 16, 35},
        {"widest column kept", "StandardFeatures=2047\r\n", 2047, 47, 35},
        {"beyond any name", "StandardFeatures=2048\r\nExtendedFeatures=2147483647\r\n", 47, 47, 35},
    };
    for (const Row& row : rows) {
        db = OpenDatabaseText(std::string("[TextWidth]\r\n") + row.section);
        EXPECT_EQ(ReadTextWidths(db).standardFeatures, row.standard) << row.name;
        EXPECT_EQ(ReadTextWidths(db).extendedFeatures, row.extended) << row.name;
        EXPECT_EQ(ReadTextWidths(db).powerManagement, row.power) << row.name;
    }
}

TEST_F(Database, MatchSignatureRules) {
    const std::string sig = DwordToBits(0x00000683);
    const std::string all = std::string(32, '?');
    struct Row {
        const char* name;
        std::string section;
        std::string expected;
    };
    const Row rows[] = {
        {"specific after general wins", all + "=general\r\n" + sig + "=specific\r\n", "specific"},
        {"general after specific wins", sig + "=specific\r\n" + all + "=general\r\n", "general"},
        {"tab-grouped pattern", "0000\t0000\t0000\t0000\t0000\t0110\t1000\t0011=grouped\r\n", "grouped"},
        {"28-character prefix", sig.substr(0, 28) + "=prefix\r\n", "prefix"},
        {"33 characters never match", sig + "0=long\r\n", ""},
        {"no pattern matches", std::string(32, '1') + "=ones\r\n", ""},
        {"one-character pattern matches as a prefix", "?=anything\r\n", "anything"},
        {"one wrong bit", sig.substr(0, 31) + "0=wrong\r\n", ""},
    };
    for (const Row& row : rows) {
        db = OpenDatabaseText("[VendorX]\r\n" + row.section);
        EXPECT_EQ(MatchSignature(db, "VendorX", sig), row.expected) << row.name;
    }
    db = OpenDatabaseText("[VendorX]\r\n" + all + "=x\r\n");
    EXPECT_EQ(MatchSignature(db, "VendorMissing", sig), "");
}

TEST_F(Database, ReadNumberedNamesCountsStoredNames) {
    db = OpenDatabaseText(
        "[Feat]\r\n0=zero\r\n31=thirty-one\r\n32=too high\r\n-1=negative\r\nabc=text\r\n7=seven\r\n"
        "[OnlyText]\r\nfoo=bar\r\n[Single]\r\n0=only\r\n[Twice]\r\n5=first\r\n05=second\r\n"
        "[Again]\r\n1=a\r\n01=b\r\n1=c\r\n");
    FeatureNameTable names;
    EXPECT_EQ(ReadNumberedNames(db, "Feat", names), 2);
    EXPECT_EQ(names[0], "zero");
    EXPECT_EQ(names[31], "thirty-one");
    EXPECT_EQ(names[7], "seven");
    EXPECT_EQ(names[1], "");

    FeatureNameTable untouched;
    untouched[3] = "kept";
    EXPECT_EQ(ReadNumberedNames(db, "OnlyText", untouched), -1);
    EXPECT_EQ(ReadNumberedNames(db, "Nowhere", untouched), -1);
    EXPECT_EQ(untouched[3], "kept");

    FeatureNameTable single;
    EXPECT_EQ(ReadNumberedNames(db, "Single", single), 0);

    FeatureNameTable twice;
    EXPECT_EQ(ReadNumberedNames(db, "Twice", twice), 1);
    EXPECT_EQ(twice[5], "second");

    FeatureNameTable again; // a key written twice keeps its first value
    EXPECT_EQ(ReadNumberedNames(db, "Again", again), 2);
    EXPECT_EQ(again[1], "a");
}

TEST_F(Database, NumberedKeysTakeEveryHexadecimalPrefix) {
    db =
        OpenDatabaseText("[Hex]\r\nx1A=bare x\r\nX1b=bare X\r\n$1C=dollar\r\n0x1D=zero x\r\n0X1E=zero X\r\n");
    FeatureNameTable names;
    EXPECT_EQ(ReadNumberedNames(db, "Hex", names), 4);
    const char* expected[] = {"bare x", "bare X", "dollar", "zero x", "zero X"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(names[static_cast<size_t>(26 + i)], expected[i]) << "bit " << 26 + i;
    }
}

TEST_F(Database, DescriptorAndVendorLookups) {
    db = OpenDatabaseText("[DATInfo]\r\nVersion= 2026.12 test \r\n[Vendor]\r\nGenuineIntel=Intel\r\n"
                          "[CacheSizeTLB]\r\n2c=L1 data cache: 32 KB\r\n66=L1 data cache: 8 KB\r\n");
    EXPECT_EQ(ReadDatabaseVersion(db), "2026.12 test");
    EXPECT_EQ(LookupVendorKey(db, "GenuineIntel"), "Intel");
    EXPECT_EQ(LookupVendorKey(db, "AuthenticAMD"), "");
    std::string name = "old";
    LookupDescriptorName(db, 0x2C, name);
    EXPECT_EQ(name, "L1 data cache: 32 KB");
    LookupDescriptorName(db, 0x01, name);
    EXPECT_EQ(name, "") << "an absent key empties the name while the section exists";
}

// The one-pass reading of every descriptor name gives what each lookup gives,
// over the shipped data file and keys in lower case, repeated or malformed.
TEST_F(Database, DescriptorNamesReadAtOnceAgreeWithEachLookup) {
    const IniFile files[] = {
        OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat"),
        ParseIniText("[CacheSizeTLB]\r\n2c=first\r\n2C=second\r\nzz=no\r\n02C=no\r\n5=no\r\n"
                     "[Other]\r\n30=no\r\n[CacheSizeTLB]\r\nFf=merged\r\n")};
    for (const IniFile& file : files) {
        std::array<std::string, 256> names = ReadDescriptorNames(file);
        for (size_t byte = 0; byte < names.size(); ++byte) {
            std::string name;
            LookupDescriptorName(file, static_cast<uint8_t>(byte), name);
            EXPECT_EQ(names[byte], name) << "descriptor " << byte;
        }
    }
}
