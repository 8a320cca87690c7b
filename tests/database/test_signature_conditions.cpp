// The L3 condition of the processor names: whether the data file's names of
// leaf 2's descriptors include a level 3 cache.
#include "decode/cache_descriptors.hpp"
#include "names/processor_db.hpp"
#include "names/signature_conditions.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

// The Northwood dump's leaf 2 names an L2 but no L3; 22h is a Gallatin's L3.
TEST(SignatureConditions, Level3ComesFromTheDescriptorNames) {
    IniFile db = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    std::vector<uint8_t> descriptors =
        ReadCacheDescriptors(LoadTestDump("GenuineIntel0000F24_P4_Northwood_CPUID.txt"), 0);
    ASSERT_FALSE(descriptors.empty());
    EXPECT_FALSE(DescriptorsNameLevel3(db, descriptors));
    descriptors.push_back(0x22);
    EXPECT_TRUE(DescriptorsNameLevel3(db, descriptors));
    EXPECT_FALSE(DescriptorsNameLevel3(IniFile{}, descriptors)) << "no data file, no names";
}
