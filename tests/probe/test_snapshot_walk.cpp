// The sub-leaf and range rules of the processor walk, with CPUID answered
// from real dumps (absent leaves answer zeros, as a processor past its last
// sub-leaf does) and from small fake processors.
#include "cpuid/snapshot_source.hpp"
#include "cpuid/snapshot_walk.hpp"

#include "support/processors.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint64_t kFakeXcr0 = 0x2E7;

CpuidSnapshot LoadDump(const std::string& name) {
    CpuidSnapshot snapshot;
    std::string error;
    EXPECT_TRUE(LoadDumpSnapshot(VELDRIX_DUMPS_DIR "/" + name, snapshot, error)) << error;
    return snapshot;
}

// Walks one processor of a dump as if it were the processor itself.
ProcessorLeaves WalkDumpProcessor(const CpuidSnapshot& dump, size_t cpu) {
    return ReadProcessorLeaves(
        [&](uint32_t leaf, uint32_t subleaf) { return dump.Answer(cpu, leaf, subleaf); },
        [] { return kFakeXcr0; });
}

size_t LeavesInRange(const ProcessorLeaves& cpu, uint32_t base) {
    size_t count = 0;
    for (const auto& [key, regs] : cpu.leaves) {
        count += (key.first - base < 0x10000u && key.second == 0) ? 1 : 0;
    }
    return count;
}

// What the walk asks for; the sub-leaf that ends a loop (all zeros here,
// since the dump has no line for it) is kept too.
const SubleafListCase kWalkCases[] = {
    // Leaf 4 until cache type 0; 7 up to 7.0 EAX = 2; 0xB/0x1F until level type 0.
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x4, {0, 1, 2, 3, 4}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x7, {0, 1, 2}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0xB, {0, 1, 2}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x1F, {0, 1, 2}},
    // 0xD: EDX:EAX 207h of sub-leaf 0 with EDX:ECX 19900h of sub-leaf 1.
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0xD, {0, 1, 2, 8, 9, 0xB, 0xC, 0xF, 0x10}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x4, {0, 1, 2, 3}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x1F, {0, 1, 2, 3}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0x8000001D, {0, 1, 2, 3, 4}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0x80000026, {0, 1, 2, 3, 4}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0xD, {0, 1, 2, 5, 6, 7, 9, 0xB, 0xC}},
    // The cpuid tool read exactly these on the Milan guest.
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0xD, {0, 1, 2, 0xB, 0xC}},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0xB, {0, 1, 2}},
    // Leaf 4 of an AMD part answers type 0 at once; 7.0 EAX = 0: sub-leaf 0 only.
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0x4, {0}},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0x7, {0}},
};

TEST(SnapshotWalkSubleaves, RealProcessorsAnswerTheirDumps) {
    for (const SubleafListCase& c : kWalkCases) {
        SCOPED_TRACE(TraceOf(c));
        EXPECT_EQ(SubleavesOf(WalkDumpProcessor(LoadDump(c.file), c.cpu), c.leaf), c.subleaves);
    }
}

// Ranges: which are walked, and how far (sub-leaf 0 leaves counted).
struct RangeCase {
    const char* file;
    uint32_t base;
    size_t leaves;
};

const RangeCase kRangeCases[] = {
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0x00000000u, 0xE},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0x80000000u, 0x22},
    // Hypervisor bit set: 0x40000000 to 0x40000001, and 0x40000100 looked at.
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0x40000000u, 3},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0xC0000000u, 0},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0x80860000u, 1},
    // No hypervisor bit on bare metal.
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0x40000000u, 0},
    // The Crusoe's eight Transmeta leaves.
    {"GenuineTMx860000543_Crusoe_CPUID.txt", 0x80860000u, 8},
    // Centaur range only for Centaur vendors: the KX-7000 reports up to 0xC0000006.
    {"CentaurHauls00607B1_KX7000_05_CPUID.txt", 0xC0000000u, 7},
};

TEST(SnapshotWalkRanges, EachRangeUpToItsMaximum) {
    for (const RangeCase& c : kRangeCases) {
        SCOPED_TRACE(std::string(c.file) + " range " + std::to_string(c.base));
        EXPECT_EQ(LeavesInRange(WalkDumpProcessor(LoadDump(c.file), 0), c.base), c.leaves);
    }
}

// A fake processor: leaf 0 and leaf 1 ECX given, and one leaf answering
// every sub-leaf with the same registers.
struct FakeProcessor {
    uint32_t maxStandard;
    uint32_t leaf1Ecx;
    uint32_t maxExtended;
    uint32_t stuckLeaf;
    CpuidRegs stuckRegs;

    CpuidRegs operator()(uint32_t leaf, uint32_t) const {
        if (leaf == 0) {
            return CpuidRegs{maxStandard, 0x756E6547, 0x6C65746E, 0x49656E69};
        }
        if (leaf == 1) {
            return CpuidRegs{0x906A0, 0, leaf1Ecx, 0};
        }
        if (leaf == 0x80000000u) {
            return CpuidRegs{maxExtended, 0, 0, 0};
        }
        return leaf == stuckLeaf ? stuckRegs : CpuidRegs{0, 0, 0, 0};
    }
};

struct CapCase {
    const char* name;
    FakeProcessor fake;
    uint32_t leaf;
    size_t subleaves;
};

const CapCase kCapCases[] = {
    {"leaf 4 never reaching type 0", {0x1F, 0, 0x80000008u, 4, {0x121, 0, 0, 0}}, 4, 64},
    {"leaf 7 with a junk sub-leaf maximum", {0x1F, 0, 0x80000008u, 7, {0xFFFFFFFF, 0, 0, 0}}, 7, 64},
    {"leaf 0xB never reaching level type 0", {0x1F, 0, 0x80000008u, 0xB, {0, 0, 0x100, 0}}, 0xB, 64},
    {"leaf 0xD naming every state component", {0x1F, 0, 0x80000008u, 0xD, {~0u, 0, ~0u, ~0u}}, 0xD, 64},
    {"leaf 0x10 naming every resource", {0x1F, 0, 0x80000008u, 0x10, {0, ~0u, 0, 0}}, 0x10, 32},
    {"leaf 0x12 without SGX", {0x1F, 0, 0x80000008u, 0x12, {0, ~0u, ~0u, ~0u}}, 0x12, 1},
    {"leaf 0x12 with endless EPC sections", {0x1F, 0, 0x80000008u, 0x12, {1, 0, 0, 0}}, 0x12, 64},
};

TEST(SnapshotWalkCaps, NoLoopGoesBeyond64Subleaves) {
    for (const CapCase& c : kCapCases) {
        SCOPED_TRACE(c.name);
        ProcessorLeaves cpu = ReadProcessorLeaves(c.fake, [] { return kFakeXcr0; });
        EXPECT_EQ(SubleavesOf(cpu, c.leaf).size(), c.subleaves);
    }
}

TEST(SnapshotWalkCaps, JunkRangeMaximaStopAt256Leaves) {
    FakeProcessor fake{0xFFFF, 0, 0x8000FFFFu, 0, {0, 0, 0, 0}};
    ProcessorLeaves cpu = ReadProcessorLeaves(fake, [] { return kFakeXcr0; });
    EXPECT_EQ(LeavesInRange(cpu, 0), 256u);
    EXPECT_EQ(LeavesInRange(cpu, 0x80000000u), 256u);
}

TEST(SnapshotWalkXcr0, ReadOnlyWhenTheSystemSetOsxsave) {
    const uint32_t kOsxsave = 1u << 27;
    bool asked = false;
    auto reader = [&asked] {
        asked = true;
        return kFakeXcr0;
    };
    ProcessorLeaves without = ReadProcessorLeaves(FakeProcessor{1, 0, 0, 0, {0, 0, 0, 0}}, reader);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(without.xcr0.has_value());
    ProcessorLeaves with = ReadProcessorLeaves(FakeProcessor{1, kOsxsave, 0, 0, {0, 0, 0, 0}}, reader);
    EXPECT_TRUE(asked);
    EXPECT_EQ(with.xcr0, std::optional<uint64_t>(kFakeXcr0));
}

} // namespace
