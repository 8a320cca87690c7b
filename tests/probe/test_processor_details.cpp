// The facts of the deeper leaves on real dumps, each family checked by hand
// against the dump's registers, and what a damaged dump leaves unknown.
#include "decode/processor_details.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
const char kGraniteRapids[] = "GenuineIntel00A06D1_GraniteRapids_03_CPUID.txt";
const char kGraniteRidge[] = "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt";
const char kGenoaKvm[] = "AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt";
const char kCrusoe[] = "GenuineTMx860000543_Crusoe_CPUID.txt";

ProcessorDetails DetailsOf(const char* dump) {
    return DecodeWithDataFile(LoadTestDump(dump)).details;
}

bool Has(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

struct AddressCase {
    const char* dump;
    std::optional<uint32_t> physical;
    std::optional<uint32_t> linear;
};

// 0x80000008 EAX: Raptor Lake 0x0000302E (46, 48), Granite Rapids 0x00003934
// (52, 57), Granite Ridge 0x00003030; Crusoe has no such leaf.
const AddressCase kAddressCases[] = {{kRaptor, 46, 48},
                                     {kGraniteRapids, 52, 57},
                                     {kGraniteRidge, 48, 48},
                                     {kCrusoe, std::nullopt, std::nullopt}};

TEST(ProcessorDetails, AddressSizes) {
    for (const AddressCase& row : kAddressCases) {
        AddressSizes sizes = DetailsOf(row.dump).addresses;
        EXPECT_EQ(sizes.physicalBits, row.physical) << row.dump;
        EXPECT_EQ(sizes.linearBits, row.linear) << row.dump;
        EXPECT_EQ(sizes.guestPhysicalBits, row.physical) << row.dump;
    }
}

// Raptor Lake 0x15 = 2, 156, 38400000 and 0x16 = 3000, 5800, 100.
TEST(ProcessorDetails, ClockLeaves) {
    ClockFacts clock = DetailsOf(kRaptor).clock;
    EXPECT_EQ(clock.crystalHz, 38400000u);
    EXPECT_EQ(clock.tscHz, 2995200000u);
    EXPECT_EQ(clock.baseMhz, 3000u);
    EXPECT_EQ(clock.maxMhz, 5800u);
    EXPECT_EQ(clock.busMhz, 100u);
    EXPECT_FALSE(clock.measuredMhz);
    EXPECT_FALSE(DetailsOf(kGraniteRidge).clock.baseMhz);
}

// Raptor Lake 0xD.0 = 00000207-00000340-00000A88, 0xD.2 = 256 bytes at 0x240.
TEST(ProcessorDetails, XsaveLayout) {
    std::optional<XsaveFacts> xsave = DetailsOf(kRaptor).xsave;
    ASSERT_TRUE(xsave);
    EXPECT_EQ(xsave->supportedXcr0, 0x207u);
    EXPECT_EQ(xsave->enabledSize, 0x340u);
    EXPECT_EQ(xsave->largestSize, 0xA88u);
    auto avx = std::find_if(xsave->components.begin(), xsave->components.end(),
                            [](const XsaveComponent& c) { return c.id == 2; });
    ASSERT_NE(avx, xsave->components.end());
    EXPECT_EQ(avx->name, "avx");
    EXPECT_EQ(avx->size, 256u);
    EXPECT_EQ(avx->offset, 576u);
    EXPECT_FALSE(DetailsOf(kCrusoe).xsave);
}

// Granite Rapids 0x1D.1 = 04002000-00080040-00000010, 0x1E EBX = 00004010.
TEST(ProcessorDetails, AmxPalettesAndTmul) {
    std::optional<AmxFacts> amx = DetailsOf(kGraniteRapids).amx;
    ASSERT_TRUE(amx);
    ASSERT_EQ(amx->palettes.size(), 1u);
    const AmxPalette& palette = amx->palettes[0];
    EXPECT_EQ(std::make_tuple(palette.totalBytes, palette.bytesPerTile, palette.bytesPerRow, palette.tiles,
                              palette.rows),
              std::make_tuple(8192u, 1024u, 64u, 8u, 16u));
    EXPECT_EQ(amx->tmulMaxK, 16u);
    EXPECT_EQ(amx->tmulMaxN, 64u);
    EXPECT_FALSE(DetailsOf(kRaptor).amx);
}

// Granite Rapids 0xA = 08300805-00000000-0000000F-00008604; Granite Ridge
// 0x80000022 EBX = 00084106.
TEST(ProcessorDetails, PerformanceCounters) {
    std::optional<PmuFacts> intel = DetailsOf(kGraniteRapids).pmu;
    ASSERT_TRUE(intel);
    EXPECT_EQ(std::make_tuple(intel->version, intel->generalCounters, intel->generalBits,
                              intel->fixedCounters, intel->fixedBits),
              std::make_tuple(std::optional<uint32_t>(5), std::optional<uint32_t>(8),
                              std::optional<uint32_t>(48), std::optional<uint32_t>(4),
                              std::optional<uint32_t>(48)));
    EXPECT_EQ(intel->events.size(), 8u);
    EXPECT_TRUE(Has(intel->events, "td_slots"));
    std::optional<PmuFacts> amd = DetailsOf(kGraniteRidge).pmu;
    ASSERT_TRUE(amd);
    EXPECT_EQ(amd->source, "0x80000022");
    EXPECT_EQ(amd->generalCounters, 6u);
    EXPECT_EQ(amd->memoryControllerCounters, 8u);
    EXPECT_FALSE(DetailsOf(kCrusoe).pmu);
}

// Genoa under KVM: 0x40000001 EAX = 0x01007EFB, 14 named bits.
TEST(ProcessorDetails, KvmFeatures) {
    std::optional<std::vector<std::string>> features = DetailsOf(kGenoaKvm).hypervisorFeatures;
    ASSERT_TRUE(features);
    EXPECT_EQ(features->size(), 14u);
    EXPECT_TRUE(Has(*features, "pv_unhalt"));
    EXPECT_FALSE(Has(*features, "mmu_op"));
    EXPECT_FALSE(DetailsOf(kRaptor).hypervisorFeatures);
}

// Every speculation bit is listed, set or not; a leaf the processor does not
// report leaves its bits unknown.
TEST(ProcessorDetails, SpeculationBitsPresentAbsentOrUnknown) {
    std::vector<SpeculationBit> bits = DetailsOf(kRaptor).speculation;
    auto state = [&bits](const char* name) {
        auto found = std::find_if(bits.begin(), bits.end(),
                                  [name](const SpeculationBit& b) { return b.name == name; });
        EXPECT_NE(found, bits.end()) << name;
        return found == bits.end() ? std::optional<bool>() : found->present;
    };
    EXPECT_EQ(state("md_clear"), std::optional<bool>(true));
    EXPECT_EQ(state("amd_ibpb"), std::optional<bool>(false));
    EXPECT_EQ(state("srso_uk_no"), std::optional<bool>());
    EXPECT_EQ(DetailsOf(kGenoaKvm).speculation.size(), bits.size());
}

struct TlbCase {
    const char* name;
    const char* dump;
    const char* source;
    uint32_t level;
    const char* type;
    const char* page;
    uint64_t entries;
    std::optional<uint64_t> ways;
};

const TlbCase kTlbCases[] = {
    // 0x80000006 EBX on the Genoa guest: data 8-way (code 6), 3072 entries.
    {"Genoa L2 data 4K", kGenoaKvm, "0x80000006", 2, "data", "4K", 3072, 8},
    // 0x80000019 EBX = 40200000: L2 data 1G, 4-way, 32 entries.
    {"Granite Ridge L2 data 1G", kGraniteRidge, "0x80000019", 2, "data", "1G", 32, 4},
    // 0x18.1 of a P-core = 00080001-00000020-00004022: instruction, 4K, 8-way, 32 sets.
    {"Raptor Lake instruction 4K", kRaptor, "0x00000018", 1, "instruction", "4K", 256, 8},
    // 0x18.2 = 00080006-00000004-00004022: instruction, 2M/4M, 8-way, 4 sets.
    {"Raptor Lake instruction 2M", kRaptor, "0x00000018", 1, "instruction", "2M", 32, 8},
};

TEST(ProcessorDetails, TlbsFromEverySource) {
    for (const TlbCase& row : kTlbCases) {
        std::vector<TlbFacts> tlbs = DetailsOf(row.dump).tlbs;
        auto found = std::find_if(tlbs.begin(), tlbs.end(), [&row](const TlbFacts& tlb) {
            return tlb.source == row.source && tlb.level == row.level && tlb.type == row.type &&
                   Has(tlb.pages, row.page) && tlb.entries == row.entries;
        });
        ASSERT_NE(found, tlbs.end()) << row.name;
        EXPECT_EQ(found->ways, row.ways) << row.name;
    }
}

// Leaf 2 names TLBs in words: each part of a description is one TLB.
TEST(ProcessorDetails, DescriptorTextsGiveTlbs) {
    std::vector<TlbFacts> two =
        ParseTlbDescription("Data TLB: 2/4 MB pages, 4-way, 32 entries; 1 GB pages, 4-way, 4 entries");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].pages, (std::vector<std::string>{"2M", "4M"}));
    EXPECT_EQ(two[1].entries, 4u);
    EXPECT_EQ(ParseTlbDescription("Shared L2 TLB: 4 KB pages, 4-way, 512 entries")[0].level, 2u);
    EXPECT_TRUE(ParseTlbDescription("L2 cache: 256 KB, 8-way, 64-byte lines").empty());
    EXPECT_TRUE(
        ParseTlbDescription("Code TLB: 4 KB to 256 MB pages, fully associative, 64 entries (IA-64)").empty());
}

// A dump that says more sub-leaves than it holds, or components it does not
// describe, gives what it holds and nothing invented.
TEST(ProcessorDetails, MissingSubleavesStayUnknown) {
    CpuidSnapshot snapshot = SnapshotOf({{0, 0, {0x18, 0, 0, 0}},
                                         {1, 0, {0, 0, 1u << 26, 0}},
                                         {0xD, 0, {0x7, 0, 0, 0}},
                                         {0x18, 0, {0xFFFFFFFF, 0x0001000F, 4, 0x21}}});
    ProcessorDetails details = DecodeWithDataFile(snapshot).details;
    ASSERT_EQ(details.tlbs.size(), 1u);
    EXPECT_EQ(details.tlbs[0].entries, 4u);
    ASSERT_TRUE(details.xsave);
    ASSERT_EQ(details.xsave->components.size(), 3u);
    EXPECT_FALSE(details.xsave->components[2].size);
}

} // namespace
