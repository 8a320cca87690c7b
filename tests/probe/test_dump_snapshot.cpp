// Dumps read into snapshots: every logical processor and every sub-leaf of
// the real dumps, the processor and sub-leaf rules on small texts written for
// these tests, and the limits of a snapshot.
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include "support/processors.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string DumpPath(const std::string& name) {
    return VELDRIX_DUMPS_DIR "/" + name;
}

CpuidSnapshot LoadOrFail(const std::string& name) {
    CpuidSnapshot snapshot;
    std::string error;
    EXPECT_TRUE(LoadDumpSnapshot(DumpPath(name), snapshot, error)) << error;
    return snapshot;
}

// The number of logical processors each dump records: its "CPU" or
// "Logical CPU #n" register sections, or its repeated leaf 0 lines.
struct ProcessorCountCase {
    const char* file;
    size_t processors;
};

const ProcessorCountCase kProcessorCounts[] = {
    {"12th-gen-intel-core-i9-12900k.test", 24},
    {"AuthenticAMD0000580_K6_Chomper_CPUID.txt", 1},
    {"AuthenticAMD0000662_K7_Palomino_CPUID.txt", 1},
    {"AuthenticAMD0020FB1_K8_Manchester_CPUID.txt", 2},
    {"AuthenticAMD0600F12_K15_Zambezi8C_CPUID.txt", 8},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 1},
    {"AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt", 8},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 32},
    {"CentaurHauls0000541_WinChipC6_CPUID.txt", 1},
    {"CentaurHauls0000673_C5B_Samuel2_CPUID.txt", 1},
    {"CentaurHauls00607B1_KX7000_05_CPUID.txt", 8},
    {"CyrixInstead0000520_6x86_CPUID.txt", 1},
    {"GenuineIntel0000517_P5_CPUID.txt", 1},
    {"GenuineIntel0000633_P2_Klamath_CPUID.txt", 1},
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", 2},
    {"GenuineIntel00006F6_Conroe_CPUID.txt", 2},
    {"GenuineIntel0000F24_P4_Northwood_CPUID.txt", 1},
    {"GenuineIntel0050654_SkylakeX_CPUID.txt", 20},
    {"GenuineIntel00506C9_Goldmont_CPUID.txt", 4},
    {"GenuineIntel00606C1_ICX_01v_CPUID.txt", 8},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", 40},
    {"GenuineIntel0090672_AlderLake_02_CPUID.txt", 12},
    {"GenuineIntel00A06D1_GraniteRapids_03_CPUID.txt", 48},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 14},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 32},
    {"GenuineTMx860000543_Crusoe_CPUID.txt", 1},
    {"HygonGenuine0900F02_Hygon_CPUID.txt", 16},
    {"RiseRiseRise0000504_mP6_CPUID.txt", 1},
    {"amd-ryzen-7-9700x-8-core-processor.test", 16},
    {"intel-core-ultra-7-265u.test", 14},
    {"qemu-virtual-cpu-version.test", 1},
    {"zhaoxin-kaixian-kx-6000g.test", 4},
};

TEST(DumpSnapshotRealDumps, EveryLogicalProcessorIsKept) {
    for (const ProcessorCountCase& c : kProcessorCounts) {
        SCOPED_TRACE(c.file);
        CpuidSnapshot snapshot = LoadOrFail(c.file);
        ASSERT_EQ(snapshot.ProcessorCount(), c.processors);
        for (size_t cpu = 0; cpu < snapshot.ProcessorCount(); ++cpu) {
            EXPECT_EQ(snapshot.cpus[cpu].index, cpu);
            EXPECT_TRUE(snapshot.Has(cpu, 0)) << "processor " << cpu << " without leaf 0";
        }
        EXPECT_FALSE(snapshot.cutAtCapacity);
    }
}

// Sub-leaves as the dumps list them ("[SL nn]" tags, the cpuid tool's
// sub-leaf field, libcpuid's intel_fn4 and intel_fn11 arrays).
const SubleafListCase kSubleafCases[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x4, {0, 1, 2, 3}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x7, {0, 1, 2}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0xB, {0, 1}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x1F, {0, 1}},
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 31, 0xD, {0, 1, 2, 8, 9, 0xB, 0xC, 0xF, 0x10}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 0, 0x4, {0, 1, 2, 3}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x4, {0, 1, 2}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x1F, {0, 1, 2}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0x8000001D, {0, 1, 2, 3}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0x80000026, {0, 1, 2, 3}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0xD, {0, 1, 2, 5, 6, 7, 9, 0xB, 0xC}},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0xB, {0, 1, 2}},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0xD, {0, 1, 2, 0xB, 0xC}},
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 0, 0x8000001D, {0, 1, 2, 3}},
    {"qemu-virtual-cpu-version.test", 0, 0x4, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"qemu-virtual-cpu-version.test", 0, 0xB, {0, 1, 2, 3}},
};

TEST(DumpSnapshotRealDumps, SubleavesPerProcessor) {
    for (const SubleafListCase& c : kSubleafCases) {
        SCOPED_TRACE(TraceOf(c));
        CpuidSnapshot snapshot = LoadOrFail(c.file);
        ASSERT_LT(c.cpu, snapshot.ProcessorCount());
        EXPECT_EQ(SubleavesOf(snapshot.cpus[c.cpu], c.leaf), c.subleaves);
    }
}

// Processors differ: registers from the dumps' own lines.
struct PerProcessorCase {
    const char* file;
    size_t cpu;
    uint32_t leaf, subleaf;
    CpuidRegs regs;
};

const PerProcessorCase kPerProcessorCases[] = {
    // Raptor Lake P-core and Arrow Lake-U low-power E-core (leaf 1Ah core type).
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 0, 0x1A, 0, {0x40000001, 0, 0, 0}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x1A, 0, {0x20000002, 0, 0, 0}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x4, 1, {0xFC000122, 0x01C0003F, 0x0000007F, 1}},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 13, 0x1F, 2, {0x00000007, 0x0000000E, 0x00000302, 0x42}},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 31, 0x80000026, 3, {5, 0x20, 0x403, 0x1F}},
    // libcpuid: intel_fn4[2] is leaf 4 sub-leaf 2.
    {"qemu-virtual-cpu-version.test", 0, 0x4, 2, {0x00000143, 0x03C0003F, 0x00000FFF, 1}},
};

TEST(DumpSnapshotRealDumps, RegistersOfOneProcessorAndSubleaf) {
    for (const PerProcessorCase& c : kPerProcessorCases) {
        SCOPED_TRACE(std::string(c.file) + " processor " + std::to_string(c.cpu));
        CpuidRegs got = LoadOrFail(c.file).Answer(c.cpu, c.leaf, c.subleaf);
        EXPECT_EQ(got.eax, c.regs.eax);
        EXPECT_EQ(got.ebx, c.regs.ebx);
        EXPECT_EQ(got.ecx, c.regs.ecx);
        EXPECT_EQ(got.edx, c.regs.edx);
    }
}

// One expected (processor, leaf, sub-leaf) -> EAX of a small text.
struct Entry {
    size_t cpu;
    uint32_t leaf, subleaf, eax;
};

struct LayoutCase {
    const char* name;
    std::string text;
    size_t processors;
    std::vector<Entry> entries; // every entry of every processor, in order
};

std::vector<Entry> EntriesOf(const CpuidSnapshot& snapshot) {
    std::vector<Entry> entries;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        for (const auto& [key, regs] : cpu.leaves) {
            entries.push_back(Entry{cpu.index, key.first, key.second, regs.eax});
        }
    }
    return entries;
}

bool operator==(const Entry& a, const Entry& b) {
    return a.cpu == b.cpu && a.leaf == b.leaf && a.subleaf == b.subleaf && a.eax == b.eax;
}

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << std::hex << "{cpu " << e.cpu << ", " << e.leaf << "." << e.subleaf << ": " << e.eax << "}";
}

const LayoutCase kLayoutCases[] = {
    {"BlankBeforeColonAndHyphens",
     "CPUID 00000000 :00000006-68747541-444D4163-69746E65\r\n",
     1,
     {{0, 0, 0, 6}}},
    {"BlankBeforeColonAndBlanks",
     "CPUID 00000000 : 00000001 746E6543 736C7561 48727561\r\n",
     1,
     {{0, 0, 0, 1}}},
    {"UntaggedRepeatsAreSubleavesInOrder",
     "CPUID 00000000: 00000004-756E6547-6C65746E-49656E69\n"
     "CPUID 00000004: 00000121-01C0003F-0000003F-00000000\n"
     "CPUID 00000004: 00000122-01C0003F-0000003F-00000000\n"
     "CPUID 00000004: 00000000-00000000-00000000-00000000\n",
     1,
     {{0, 0, 0, 4}, {0, 4, 0, 0x121}, {0, 4, 1, 0x122}, {0, 4, 2, 0}}},
    {"OldToolFormRepeatsAreSubleaves",
     "CPU 0:\n   0x00000000: eax=0x0000000b ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
     "   0x0000000b: eax=0x00000001 ebx=0x00000002 ecx=0x00000100 edx=0x00000000\n"
     "   0x0000000b: eax=0x00000004 ebx=0x00000008 ecx=0x00000201 edx=0x00000000\n",
     1,
     {{0, 0, 0, 0xB}, {0, 0xB, 0, 1}, {0, 0xB, 1, 4}}},
    {"TagsNameTheSubleaf",
     "CPUID 00000007: 00000001-F3BFA7EB-98C05FEE-FC984510 [SL 00]\n"
     "CPUID 00000007: 00401C30-00000000-00000000-00000000 [SL 01]\n"
     "CPUID 0000000D: 00000100-00000240-00000000-00000000 [SL 02] [AVX]\n",
     1,
     {{0, 7, 0, 1}, {0, 7, 1, 0x401C30}, {0, 0xD, 2, 0x100}}},
    {"RepeatedLeafZeroStartsTheNextProcessor",
     "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n"
     "CPUID 00000001: 00000683-00000002-00000000-0383FBFF\n"
     "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n"
     "CPUID 00000001: 00000683-01000002-00000000-0383FBFF\n",
     2,
     {{0, 0, 0, 1}, {0, 1, 0, 0x683}, {1, 0, 0, 1}, {1, 1, 0, 0x683}}},
    {"HeadersStartProcessorsAndEmptySectionsNone",
     "------[ CPUID Registers / Logical CPU #0 ]------\n"
     "CPUID 00000001: 00000683-00000002-00000000-0383FBFF\n"
     "------[ CPUID Registers / Logical CPU #1 ]------\n"
     "CPUID 00000001: 00000683-01000002-00000000-0383FBFF\n"
     "------[ MSR Registers / Logical CPU #0 ]------\n"
     "MSR 00000010: 0000-0000-FEE0-0900\n",
     2,
     {{0, 1, 0, 0x683}, {1, 1, 0, 0x683}}},
    {"ToolHeadersWithSubleafField",
     "CPU 0:\n   0x00000004 0x01: eax=0x00000122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
     "   0x00000004 0x00: eax=0x00000121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
     "CPU 1:\n   0x00000004 0x00: eax=0x00000163 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n",
     2,
     {{0, 4, 0, 0x121}, {0, 4, 1, 0x122}, {1, 4, 0, 0x163}}},
    {"LibcpuidArraysAreSubleaves",
     "basic_cpuid[0]=0000000d 68747541 444d4163 69746e65\n"
     "intel_fn11[1]=00000004 00000008 00000201 00000000\n"
     "intel_fn12h[2]=00000012 00000000 00000000 00000000\n"
     "intel_fn14h[1]=00000014 00000000 00000000 00000000\n"
     "amd_fn8000001dh[0]=00004121 01c0003f 0000003f 00000000\n"
     "amd_fn8000001dh[3]=00014163 03c0003f 00007fff 00000001\n",
     1,
     {{0, 0, 0, 0xD},
      {0, 0xB, 1, 4},
      {0, 0x12, 2, 0x12},
      {0, 0x14, 1, 0x14},
      {0, 0x8000001D, 0, 0x4121},
      {0, 0x8000001D, 3, 0x14163}}},
    {"NothingAfterLibcpuidDashes",
     "basic_cpuid[0]=00000001 68747541 444d4163 69746e65\n" + std::string(80, '-') +
         "\nbasic_cpuid[1]=00000f4a 00000800 00000000 078bfbff\n",
     1,
     {{0, 0, 0, 1}}},
    {"XcrLineAloneMakesNoProcessor",
     "CPU 0:\n   xcr0=0x00000000000000e7\n"
     "CPU 1:\n   xcr0=0x0000000000000007\n"
     "   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n",
     1,
     {{0, 0, 0, 1}}},
    {"FirstLineOfASubleafCounts",
     "CPUID 00000007: 00000001-00000000-00000000-00000000 [SL 01]\n"
     "CPUID 00000007: 00000002-00000000-00000000-00000000 [SL 01]\n",
     1,
     {{0, 7, 1, 1}}},
};

TEST(DumpSnapshotLayouts, ProcessorsAndSubleaves) {
    for (const LayoutCase& c : kLayoutCases) {
        SCOPED_TRACE(c.name);
        CpuidSnapshot snapshot = ParseDumpSnapshot(c.text);
        EXPECT_EQ(snapshot.ProcessorCount(), c.processors);
        EXPECT_EQ(EntriesOf(snapshot), c.entries);
    }
}

TEST(DumpSnapshotLayouts, HeadersGiveTheOperatingSystemNumber) {
    CpuidSnapshot snapshot = ParseDumpSnapshot(
        "CPU 6:\n   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
        "CPU:\n   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
        "------[ CPUID Registers / Logical CPU #17 ]------\n"
        "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n");
    ASSERT_EQ(snapshot.ProcessorCount(), 3u);
    EXPECT_EQ(snapshot.cpus[0].osCpu, std::optional<uint32_t>(6));
    EXPECT_EQ(snapshot.cpus[1].osCpu, std::nullopt);
    EXPECT_EQ(snapshot.cpus[2].osCpu, std::optional<uint32_t>(17));
}

// Beyond the limits the dump is cut, and the snapshot says so.
std::string ManyProcessors(size_t count) {
    std::string text;
    for (size_t cpu = 0; cpu < count; ++cpu) {
        text += "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n";
    }
    return text;
}

std::string ManyUntaggedSubleaves(size_t count) {
    std::string text = "CPUID 00000000: 00000004-756E6547-6C65746E-49656E69\n";
    for (size_t subleaf = 0; subleaf < count; ++subleaf) {
        text += "CPUID 00000004: 00000121-01C0003F-0000003F-00000000\n";
    }
    return text;
}

struct LimitCase {
    const char* name;
    std::string text;
    size_t processors;
    size_t leavesOfFirst;
    bool cut;
};

const LimitCase kLimitCases[] = {
    {"4096 processors fit", ManyProcessors(4096), 4096, 1, false},
    {"the 4097th processor is cut", ManyProcessors(4097), 4096, 1, true},
    {"64 untagged sub-leaves fit", ManyUntaggedSubleaves(64), 1, 65, false},
    {"the 65th untagged sub-leaf is cut", ManyUntaggedSubleaves(65), 1, 65, true},
    {"sub-leaf 3F fits", "CPUID 0000000D: 00000000-00000000-00000000-00000000 [SL 3F]\n", 1, 1, false},
    // A processor holding nothing would not survive the writer's round trip.
    {"sub-leaf 40 alone is cut and opens no processor",
     "CPUID 0000000D: 00000000-00000000-00000000-00000000 [SL 40]\n", 0, 0, true},
    {"sub-leaf 40 after a header opens no processor",
     "CPU 3:\nCPUID 0000000D: 00000000-00000000-00000000-00000000 [SL 7A]\n", 0, 0, true},
};

TEST(DumpSnapshotLimits, CutBeyondTheCapacity) {
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(c.name);
        CpuidSnapshot snapshot = ParseDumpSnapshot(c.text);
        ASSERT_EQ(snapshot.ProcessorCount(), c.processors);
        if (c.processors > 0) {
            EXPECT_EQ(snapshot.cpus[0].leaves.size(), c.leavesOfFirst);
        }
        EXPECT_EQ(snapshot.cutAtCapacity, c.cut);
        EXPECT_EQ(DumpCutNotes("d.txt", snapshot).size(), c.cut ? 1u : 0u);
    }
}

// A caller that needs only the first processor stops there; that is no cut.
TEST(DumpSnapshotLimits, ReadingOnlyTheFirstProcessorsIsNoCut) {
    std::string raptor =
        ReadWholeFile(std::string(VELDRIX_DUMPS_DIR) + "/GenuineIntel00B0671_RaptorLake_01_CPUID.txt");
    CpuidSnapshot all = ReadDumpProcessors(raptor);
    CpuidSnapshot first = ReadDumpProcessors(raptor, 1);
    ASSERT_EQ(first.ProcessorCount(), 1u);
    ASSERT_GT(all.ProcessorCount(), 1u);
    EXPECT_EQ(first.cpus[0].leaves.size(), all.cpus[0].leaves.size());
    EXPECT_FALSE(first.cutAtCapacity);
    EXPECT_TRUE(DumpCutNotes("d.txt", first).empty());
}

TEST(DumpSnapshotLimits, AFileBeyondTheSizeLimitIsReadUpToItAndSaysSo) {
    std::string line = "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n";
    std::string path = WriteTempFile("big.txt", line + line + line);
    std::string text;
    bool cut = false;
    ASSERT_TRUE(ReadDumpFile(path, text, line.size() * 2 + 5, &cut));
    EXPECT_TRUE(cut);
    EXPECT_EQ(text, line + line);
    ASSERT_TRUE(ReadDumpFile(path, text, line.size() * 3, &cut));
    EXPECT_FALSE(cut);

    CpuidSnapshot snapshot;
    snapshot.cutAtSizeLimit = true;
    EXPECT_EQ(
        DumpCutNotes("big.txt", snapshot),
        std::vector<std::string>{"veldrix: big.txt is larger than 64 MiB; only its first 64 MiB were read"});
}

TEST(DumpSnapshotLimits, UnreadableAndEmptyDumpsFailWithAReason) {
    CpuidSnapshot snapshot;
    std::string error;
    EXPECT_FALSE(LoadDumpSnapshot(MakeTempDir("no-such") + "/missing.txt", snapshot, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
    EXPECT_FALSE(LoadDumpSnapshot(WriteTempFile("empty.txt", "no leaf here\n"), snapshot, error));
    EXPECT_NE(error.find("holds no CPUID leaf line"), std::string::npos);
}

} // namespace
