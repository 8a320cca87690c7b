// Feature tables, leaf 2 descriptors, cache splits and address sizes.
#include "classic/features.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Features : public ::testing::Test {
  protected:
    void SetUp() override { ResetWorld(); }
};

std::string StatusString(const FeatureStatusTable& status) {
    std::string text;
    for (uint8_t s : status) {
        text += s == StatusPresent ? 'Y' : s == StatusAbsent ? 'N' : '-';
    }
    return text;
}

} // namespace

TEST_F(Features, StatusRules) {
    IniFile db;
    struct Row {
        const char* name;
        const char* database; // nullptr: no data file
        uint32_t value;
        std::string expected; // bit 0 first: Y present, N absent, - hidden
    };
    std::string allNames = "[Feat]\r\n";
    for (int bit = 0; bit < 32; ++bit) {
        allNames += std::to_string(bit) + "=Bit " + std::to_string(bit) + "\r\n";
    }
    const Row rows[] = {
        {"names for bits 0 and 5 only", "[Feat]\r\n0=Zero\r\n5=Five\r\n", 0x00000001,
         "Y----N" + std::string(26, '-')},
        {"no data file keeps all 32", nullptr, 0x00000001, "Y" + std::string(31, 'N')},
        {"section of only text keys keeps all 32", "[Feat]\r\nfoo=bar\r\n", 0x80000000,
         std::string(31, 'N') + "Y"},
        {"every bit named and set", allNames.c_str(), 0xFFFFFFFF, std::string(32, 'Y')},
    };
    for (const Row& row : rows) {
        if (row.database) {
            db = OpenDatabaseText(row.database);
        } else {
            CloseDatabase(db);
        }
        FeatureStatusTable status{};
        FeatureNameTable names;
        DecodeFeatureRegister(db, row.value, status, "Feat", names);
        EXPECT_EQ(StatusString(status), row.expected) << row.name;
    }
}

TEST_F(Features, ConfigurationDescriptors) {
    ProcessorRecord record;
    IniFile db;
    db = OpenDatabaseText("[CacheSizeTLB]\r\n01=one\r\n66=six-six\r\n5B=five-b\r\n50=five-oh\r\n2C=two-c\r\n"
                          "08=eight\r\n");
    record.configRegs = {0x665B5001, 0x2C00082C, 0x80662C50, 0x0000002C};
    DecodeConfigurationDescriptors(record, db);
    const std::array<std::string, 16> expected = {
        "six-six", "five-b", "five-oh", "",                      // the low byte of EAX is never looked up
        "two-c",   "",       "eight",   "two-c", "", "", "", "", // bit 31 set: no descriptors
        "",        "",       "",        "two-c",
    };
    EXPECT_EQ(record.configNames, expected);
}

TEST_F(Features, CacheFieldSplits) {
    ProcessorRecord record;
    record.l1Regs = {0xFF08FF10, 0x04200480, 0x40020140, 0x2001FF40};
    DecodeL1Fields(record);
    const std::array<uint8_t, 16> l1 = {0xFF, 0x08, 0xFF, 0x10, 0x04, 0x20, 0x04, 0x80,
                                        0x40, 0x02, 0x01, 0x40, 0x20, 0x01, 0xFF, 0x40};
    EXPECT_EQ(record.l1Fields, l1);

    record.l2Regs = {0x6FFE8ABC, 0x00004200, 0x04008140, 0xDEADBEEF};
    DecodeL2Fields(record);
    const std::array<uint32_t, 12> l2 = {6, 0xFFE, 8, 0xABC, 0, 0, 4, 0x200, 0x400, 8, 1, 0x40};
    EXPECT_EQ(record.l2Fields, l2);
}

TEST_F(Features, AddressSizes) {
    ProcessorRecord record;
    struct Row {
        uint32_t eax;
        uint8_t phys, linear;
    };
    const Row rows[] = {{0x00003024, 36, 48}, {0x00002020, 32, 32}, {0x00000000, 0, 0}, {0xFFFF3028, 40, 48}};
    for (const Row& row : rows) {
        record.addressSizes = row.eax;
        DecodeAddressSizes(record);
        EXPECT_EQ(record.physAddrBits, row.phys);
        EXPECT_EQ(record.linearAddrBits, row.linear);
        EXPECT_EQ(record.physAddrSpace, std::ldexp(1.0L, row.phys));
        EXPECT_EQ(record.linearAddrSpace, std::ldexp(1.0L, row.linear));
    }
}
