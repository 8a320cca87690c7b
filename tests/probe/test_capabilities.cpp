// The capability decoders over real dumps and over small hand-made
// snapshots: feature names against the CPUID field table, x86-64 levels,
// effective family and model, the hypervisor, OS state and leaf ranges.
#include "decode/capabilities.hpp"
#include "names/capability_names.hpp"
#include "outputs/capability_output.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace {

const char* const kRegisterNames[] = {"eax", "ebx", "ecx", "edx"};

bool Has(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// For every real dump, the listed features are the set bits of the reported
// words named through the CSV (unnamed ones by position), in word order.
TEST(Capabilities, FeaturesOfEveryRealDumpAreTheirBitsNamedByTheCsv) {
    CsvBitNames csv = ReadCsvBitNames();
    ASSERT_GT(csv.size(), 300u);
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        CpuidSnapshot snapshot = LoadTestDump(name);
        std::vector<std::string> named;
        std::vector<std::string> unnamed;
        for (const FeatureWord& word : FeatureWords()) {
            if (!FeatureWordReported(snapshot, word)) {
                continue;
            }
            const CpuidRegs regs = snapshot.Answer(0, word.leaf, word.subleaf);
            const uint32_t values[] = {regs.eax, regs.ebx, regs.ecx, regs.edx};
            for (int bit = 0; bit < 32; ++bit) {
                if ((values[word.reg] >> bit) & 1) {
                    auto found =
                        csv.find(std::make_tuple(word.leaf, word.subleaf, kRegisterNames[word.reg], bit));
                    if (found != csv.end()) {
                        named.push_back(found->second);
                    } else {
                        unnamed.push_back(FeatureWordLabel(word) + "." + std::to_string(bit));
                    }
                }
            }
        }
        CapabilityFacts facts = DecodeWithDataFile(snapshot);
        EXPECT_EQ(facts.features.named, named);
        EXPECT_EQ(facts.features.unnamed, unnamed);
    }
}

// Bits the real dumps set that no vendor manual names.
const std::set<std::string> kUndocumentedSetBits = {
    "0x00000006.0.eax.21", "0x8000000A.0.edx.11", "0x8000000A.0.edx.31", "0x80000021.0.eax.12",
    "0x80000021.0.eax.14", "0x80000021.0.eax.15", "0x80000021.0.eax.19", "0x80000021.0.eax.21",
};

// The features of a processor are a set (a bit AMD repeats in 0x80000001 EDX
// has a name of its own), and every documented bit a real dump sets is named.
TEST(Capabilities, EveryRealDumpNamesEachDocumentedBitOnce) {
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        FeatureList features = DecodeWithDataFile(LoadTestDump(name)).features;
        std::sort(features.named.begin(), features.named.end());
        auto repeated = std::adjacent_find(features.named.begin(), features.named.end());
        EXPECT_EQ(repeated == features.named.end() ? "" : *repeated, "") << "listed twice";
        for (const std::string& bit : features.unnamed) {
            EXPECT_EQ(kUndocumentedSetBits.count(bit), 1u) << bit;
        }
    }
}

// The x86-64 level libcpuid expects at the end of each .test dump. Its
// decoding is a second opinion: the Zhaoxin KX-6000G and FX-8150 dumps' own
// registers have FMA (1 ECX bit 12) and AVX2 (7.0 EBX bit 5) clear, so they
// are v2 here.
TEST(Capabilities, LevelsAgreeWithLibcpuidExceptWhereTheRegistersSayOtherwise) {
    const std::map<std::string, int> kDisagreements = {{"zhaoxin-kaixian-kx-6000g.test", 2},
                                                       {"amd-fx-8150-eight-core-processor.test", 2}};
    int checked = 0;
    for (const std::string& name : TestDumpNames()) {
        if (!EndsWith(name, ".test")) {
            continue;
        }
        SCOPED_TRACE(name);
        std::string text = ReadWholeFile(kTestDumpsDir + "/" + name);
        size_t at = text.find("\nx86-64-v");
        ASSERT_NE(at, std::string::npos);
        int expected = text[at + 9] - '0';
        auto override = kDisagreements.find(name);
        if (override != kDisagreements.end()) {
            expected = override->second;
        }
        EXPECT_EQ(DecodeWithDataFile(LoadTestDump(name)).levels.level, expected);
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

struct ProcessorCase {
    const char* dump;
    int level;
    uint32_t family;
    uint32_t model;
    const char* hypervisor; // name, "" for none, "?" present without identification
    const char* feature;    // one feature the processor must list
    const char* missing;    // one name missing from the next level ("" when v4)
};

// Checked by hand against the registers of each dump.
const ProcessorCase kProcessors[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 3, 6, 0xB7, "", "hybrid_cpu", "avx512f"},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", 4, 6, 0x8F, "", "amx_tile", ""},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 4, 0x1A, 0x44, "", "avx512_vp2intersect", ""},
    {"AuthenticAMD0600F12_K15_Zambezi8C_CPUID.txt", 2, 0x15, 0x01, "", "xop", "avx2"},
    {"GenuineIntel00506C9_Goldmont_CPUID.txt", 2, 6, 0x5C, "", "sha_ni", "avx"},
    {"HygonGenuine0900F02_Hygon_CPUID.txt", 2, 0x18, 0x00, "", "avx2", "osxsave"},
    {"GenuineIntel00606C1_ICX_01v_CPUID.txt", 4, 6, 0x6C, "Microsoft Hyper-V", "guest_status", ""},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 3, 0x19, 0x01, "KVM", "guest_status", "avx512f"},
    {"qemu-virtual-cpu-version.test", 1, 6, 0x0D, "?", "guest_status", "sse4_2"},
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", 0, 6, 0x08, "", "sse", "sse2"},
    {"GenuineTMx860000543_Crusoe_CPUID.txt", 0, 5, 0x04, "", "cmov", "sse"},
    {"AuthenticAMD0000580_K6_Chomper_CPUID.txt", 0, 5, 0x08, "", "e_mmx", "cmov"},
};

TEST(Capabilities, HandCheckedProcessors) {
    for (const ProcessorCase& row : kProcessors) {
        SCOPED_TRACE(row.dump);
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(row.dump));
        EXPECT_EQ(facts.levels.level, row.level);
        EXPECT_EQ(facts.identity.signature.family, row.family);
        EXPECT_EQ(facts.identity.signature.model, row.model);
        std::string hypervisor = row.hypervisor;
        EXPECT_EQ(facts.hypervisor.present, !hypervisor.empty());
        if (hypervisor == "?") {
            EXPECT_FALSE(facts.hypervisor.vendorId.has_value());
        } else if (!hypervisor.empty()) {
            EXPECT_EQ(facts.names.hypervisor.value_or(""), hypervisor);
        }
        EXPECT_TRUE(Has(facts.features.named, row.feature)) << row.feature;
        if (row.level < kLevelCount) {
            EXPECT_TRUE(Has(facts.levels.levels[static_cast<size_t>(row.level)].missing, row.missing));
        }
    }
}

struct SignatureCase {
    const char* name;
    uint32_t signature;
    uint32_t family;
    uint32_t model;
};

// Extended family counts only with base family 0xF, extended model only from family 6.
const SignatureCase kSignatures[] = {
    {"Zen 3 Milan", 0x00A00F11, 25, 0x01},
    {"Zen 5 Granite Ridge", 0x00B40F40, 26, 0x44},
    {"Coffee Lake", 0x000906EA, 6, 0x9E},
    {"Northwood", 0x00000F24, 15, 0x02},
    {"Manchester", 0x00020FB1, 15, 0x2B},
    {"Crusoe", 0x00000543, 5, 0x04},
    {"family 5, stray ext. model", 0x00010543, 5, 0x04},
    {"family 6, stray ext. family", 0x00F006F6, 6, 0x0F},
};

TEST(Capabilities, EffectiveFamilyAndModel) {
    for (const SignatureCase& row : kSignatures) {
        SCOPED_TRACE(row.name);
        SignatureFields fields = SplitSignature(row.signature);
        EXPECT_EQ(fields.family, row.family);
        EXPECT_EQ(fields.model, row.model);
    }
}

constexpr uint32_t kAvx512Bf16 = 1u << 5; // 7.1 EAX
constexpr uint32_t kLongMode = 1u << 29;  // 0x80000001 EDX

struct RangeCase {
    const char* name;
    std::vector<LeafRow> rows;
    const char* listed;    // must be listed ("" for none)
    const char* notListed; // must not be listed ("" for none)
};

// A word counts only when its leaf (and for leaf 7 its sub-leaf) is within
// the reported maximum; an absurd extended maximum means no extended leaves.
const RangeCase kRanges[] = {
    {"7.1 beyond the sub-leaf maximum",
     {{0, 0, {7, 0, 0, 0}}, {7, 1, {kAvx512Bf16, 0, 0, 0}}},
     "",
     "avx512_bf16"},
    {"7.1 within the sub-leaf maximum",
     {{0, 0, {7, 0, 0, 0}}, {7, 0, {1, 0, 0, 0}}, {7, 1, {kAvx512Bf16, 0, 0, 0}}},
     "avx512_bf16",
     ""},
    {"leaf 7 above the standard maximum", {{0, 0, {6, 0, 0, 0}}, {7, 0, {1, 1u << 5, 0, 0}}}, "", "avx2"},
    {"extended maximum below the range",
     {{0, 0, {1, 0, 0, 0}}, {0x80000000, 0, {0x00000010, 0, 0, 0}}, {0x80000001, 0, {0, 0, 0, kLongMode}}},
     "",
     "lm"},
    {"extended maximum beyond the range",
     {{0x80000000, 0, {0x90000000, 0, 0, 0}}, {0x80000001, 0, {0, 0, 0, kLongMode}}},
     "",
     "lm"},
    {"extended maximum in range",
     {{0x80000000, 0, {0x80000001, 0, 0, 0}}, {0x80000001, 0, {0, 0, 0, kLongMode}}},
     "lm",
     ""},
    {"bit without a name", {{0, 0, {1, 0, 0, 0}}, {1, 0, {0, 0, 1u << 16, 0}}}, "0x00000001.0.ecx.16", ""},
};

TEST(Capabilities, LeafRangesDecideWhichWordsCount) {
    for (const RangeCase& row : kRanges) {
        SCOPED_TRACE(row.name);
        CapabilityFacts facts = DecodeWithDataFile(SnapshotOf(row.rows));
        std::vector<std::string> all = facts.features.named;
        all.insert(all.end(), facts.features.unnamed.begin(), facts.features.unnamed.end());
        if (*row.listed != '\0') {
            EXPECT_TRUE(Has(all, row.listed));
        }
        if (*row.notListed != '\0') {
            EXPECT_FALSE(Has(all, row.notListed));
        }
    }
}

struct OsCase {
    const char* name;
    std::optional<uint64_t> xcr0;
    bool hardware;
    bool clearOsxsave;
    int level;
    std::optional<bool> v4Os;
    const char* v4Text;
};

// The Skylake-X dump has every v4 bit; XCR0 decides what the OS allows.
const OsCase kOsCases[] = {
    {"XCR0 with AVX-512 state", 0xE7, false, false, 4, true, "yes"},
    {"XCR0 without AVX-512 state", 0x07, false, false, 3, false,
     "no (supported by the processor, not enabled by the OS)"},
    {"dump without XCR0", std::nullopt, false, false, 4, std::nullopt, "yes"},
    {"hardware with OSXSAVE clear", std::nullopt, true, true, 2, false, "no (missing: osxsave)"},
};

TEST(Capabilities, OsStateDecidesTheVectorLevels) {
    for (const OsCase& row : kOsCases) {
        SCOPED_TRACE(row.name);
        CpuidSnapshot snapshot = LoadTestDump("GenuineIntel0050654_SkylakeX_CPUID.txt");
        snapshot.cpus[0].xcr0 = row.xcr0;
        if (row.clearOsxsave) {
            snapshot.cpus[0].leaves[LeafKey{1, 0}].ecx &= ~(1u << 27);
        }
        CapabilityFacts facts = DecodeWithDataFile(snapshot, row.hardware);
        EXPECT_EQ(facts.levels.level, row.level);
        EXPECT_EQ(facts.levels.levels[3].os, row.v4Os);
        EXPECT_EQ(LevelVerdictText(facts.levels.levels[3]), row.v4Text);
    }
}

// KVM with Hyper-V enlightenments puts "Linux KVM Hv" at 0x40000000 and its
// own identification at 0x40000100; both are read and named.
TEST(Capabilities, KvmLeavesBehindHyperVEnlightenments) {
    CapabilityFacts facts =
        DecodeWithDataFile(SnapshotOf({{0, 0, {1, 0, 0, 0}},
                                       {1, 0, {0, 0, 1u << 31, 0}},
                                       {0x40000000, 0, {0x40000100, 0x756E694C, 0x564B2078, 0x7648204D}},
                                       {0x40000100, 0, {0x40000101, 0x4B4D564B, 0x564B4D56, 0x0000004D}}}));
    EXPECT_TRUE(facts.hypervisor.present);
    EXPECT_EQ(facts.hypervisor.vendorId.value_or(""), "Linux KVM Hv");
    EXPECT_EQ(facts.names.hypervisor.value_or(""), "KVM with Hyper-V enlightenments");
    EXPECT_EQ(facts.hypervisor.nextVendorId.value_or(""), "KVMKVMKVM");
    EXPECT_EQ(facts.names.nextHypervisor.value_or(""), "KVM");
}

// A hypervisor leaf recorded while leaf 1 ECX bit 31 is clear is not a hypervisor.
TEST(Capabilities, HypervisorLeafWithoutTheBitIsIgnored) {
    CapabilityFacts facts = DecodeWithDataFile(SnapshotOf(
        {{0, 0, {1, 0, 0, 0}}, {0x40000000, 0, {0x40000001, 0x4B4D564B, 0x564B4D56, 0x0000004D}}}));
    EXPECT_FALSE(facts.hypervisor.present);
    EXPECT_FALSE(facts.hypervisor.vendorId.has_value());
}

// AVX10 needs 7.1 EDX bit 19 and leaf 0x24 within the maximum.
TEST(Capabilities, Avx10VersionAndVectorWidths) {
    std::vector<LeafRow> rows = {{0, 0, {0x24, 0, 0, 0}},
                                 {7, 0, {1, 0, 0, 0}},
                                 {7, 1, {0, 0, 0, 1u << 19}},
                                 {0x24, 0, {0, 0x00070002, 0, 0}}};
    std::optional<Avx10Facts> avx10 = ReadAvx10(SnapshotOf(rows));
    ASSERT_TRUE(avx10.has_value());
    EXPECT_EQ(avx10->version, 2u);
    EXPECT_EQ(avx10->vectorBits, (std::vector<int>{128, 256, 512}));
    rows[0].regs.eax = 0x23;
    EXPECT_FALSE(ReadAvx10(SnapshotOf(rows)).has_value());
}

} // namespace
