// The conditions a processor-name row may add to its pattern, and the L3
// the data file finds among leaf 2's descriptors.
#include "database/processor_db.hpp"
#include "database/signature_conditions.hpp"
#include "probe/cache_descriptors.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

namespace {

struct ConditionRow {
    const char* name;
    const char* condition;
    SignatureFacts facts;
    bool holds;
};

const SignatureFacts kNone{};
const SignatureFacts kQemuBrand{"QEMU Virtual CPU version 2.5+", false, false, false};
const SignatureFacts kEverything{"QEMU Virtual CPU", true, true, true};

const ConditionRow kConditions[] = {
    {"no condition", "", kNone, true},
    {"L3 named by leaf 2", "L3", {"", true, false, false}, true},
    {"no L3", "L3", kQemuBrand, false},
    {"hypervisor without long mode", "Hypervisor+LongMode", {"", false, true, false}, false},
    {"long mode without hypervisor", "Hypervisor+LongMode", {"", false, false, true}, false},
    {"hypervisor and long mode", "Hypervisor+LongMode", {"", false, true, true}, true},
    {"brand contains the text", "Brand:QEMU Virtual CPU", kQemuBrand, true},
    {"brand text in another case", "Brand:qemu virtual cpu", kQemuBrand, false},
    {"no brand string", "Brand:QEMU", kNone, false},
    {"empty brand text", "Brand:", kEverything, false},
    {"unknown condition", "L2", kEverything, false},
};

TEST(SignatureConditions, EachConditionHoldsOnlyForItsFacts) {
    for (const ConditionRow& row : kConditions) {
        EXPECT_EQ(SignatureConditionHolds(row.condition, row.facts), row.holds) << row.name;
    }
}

// Leaf 2 of the Northwood dump names an L2 but no L3; descriptor 22h is the
// 512 KB L3 of a Gallatin.
TEST(SignatureConditions, Level3ComesFromTheDescriptorNames) {
    IniFile db = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    std::vector<uint8_t> northwood =
        ReadCacheDescriptors(LoadTestDump("GenuineIntel0000F24_P4_Northwood_CPUID.txt"), 0);
    ASSERT_FALSE(northwood.empty());
    EXPECT_FALSE(DescriptorsNameLevel3(db, northwood));
    northwood.push_back(0x22);
    EXPECT_TRUE(DescriptorsNameLevel3(db, northwood));
    EXPECT_FALSE(DescriptorsNameLevel3(IniFile{}, {0x22})) << "no data file, no names";
}

} // namespace
