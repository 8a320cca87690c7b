// Caches, topology and hybrid cores over real dumps: against libcpuid's
// expected values in its .test dumps, a hand-checked table of processors,
// and hostile registers that must give large numbers or nulls.
#include "decode/cache_descriptors.hpp"
#include "decode/capabilities.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

// One block of libcpuid's expected decoding: the purpose, cores, logical
// processors, then sizes (KB), ways and line sizes of L1d, L1i, L2, L3.
struct ExpectedBlock {
    std::string purpose;
    int64_t cores = 0;
    int64_t logical = 0;
    int64_t size[4] = {};
    int64_t ways[4] = {};
    int64_t line[4] = {};
};

std::vector<ExpectedBlock> ExpectedBlocks(const std::string& text) {
    std::vector<ExpectedBlock> blocks;
    std::istringstream in(text);
    std::string line;
    bool dashes = false;
    std::vector<std::string> values;
    auto flush = [&]() {
        if (values.size() < 25) {
            return;
        }
        ExpectedBlock block;
        block.purpose = values[2];
        block.cores = std::stoll(values[8]);
        block.logical = std::stoll(values[9]);
        for (int i = 0; i < 4; ++i) {
            block.size[i] = std::stoll(values[10 + i]);
            block.ways[i] = std::stoll(values[15 + i]);
            block.line[i] = std::stoll(values[20 + i]);
        }
        blocks.push_back(block);
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > 20 && line.find_first_not_of('-') == std::string::npos) {
            flush();
            values.clear();
            dashes = true;
        } else if (dashes) {
            values.push_back(line);
        }
    }
    flush();
    return blocks;
}

bool OfKind(const std::optional<CoreType>& type, bool lowPower, const std::string& purpose) {
    if (purpose == "performance") {
        return type == CoreType::Performance;
    }
    if (purpose == "efficiency") {
        return type == CoreType::Efficiency && !lowPower;
    }
    if (purpose == "low-power efficiency") {
        return type == CoreType::Efficiency && lowPower;
    }
    return !type;
}

// The cache of a kind at level and type, or none.
const CacheFacts* FindCache(const CapabilityFacts& facts, const std::string& purpose, uint32_t level,
                            CacheType type) {
    for (const CacheFacts& cache : facts.caches) {
        if (cache.level == level && cache.type == type && OfKind(cache.coreType, cache.lowPower, purpose)) {
            return &cache;
        }
    }
    return nullptr;
}

// Cores and logical processors of one kind.
std::pair<int64_t, int64_t> CountKind(const TopologyFacts& topology, const std::string& purpose) {
    if (purpose == "general") {
        return {static_cast<int64_t>(topology.cores.value_or(0)),
                static_cast<int64_t>(topology.logicalProcessors)};
    }
    std::set<std::pair<uint32_t, uint32_t>> cores;
    int64_t logical = 0;
    for (const CpuPlace& cpu : topology.cpus) {
        if (OfKind(cpu.coreType, cpu.lowPower, purpose)) {
            ++logical;
            cores.insert({cpu.package.value_or(0), cpu.core.value_or(0)});
        }
    }
    return {static_cast<int64_t>(cores.size()), logical};
}

TEST(Topology, AgreesWithLibcpuidExpectations) {
    int blocks = 0;
    for (const std::string& name : TestDumpNames()) {
        if (!EndsWith(name, ".test")) {
            continue;
        }
        SCOPED_TRACE(name);
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(name));
        for (const ExpectedBlock& block : ExpectedBlocks(ReadWholeFile(kTestDumpsDir + "/" + name))) {
            SCOPED_TRACE(block.purpose);
            auto counted = CountKind(facts.topology, block.purpose);
            EXPECT_EQ(counted.first, block.cores);
            EXPECT_EQ(counted.second, block.logical);
            const CacheType types[] = {CacheType::Data, CacheType::Instruction, CacheType::Unified,
                                       CacheType::Unified};
            for (int i = 0; i < 4; ++i) {
                const CacheFacts* cache = FindCache(facts, block.purpose, i < 2 ? 1 : i, types[i]);
                SCOPED_TRACE("cache " + std::to_string(i));
                if (block.size[i] < 0) {
                    EXPECT_EQ(cache, nullptr);
                    continue;
                }
                ASSERT_NE(cache, nullptr);
                EXPECT_EQ(static_cast<int64_t>(cache->sizeKb.value_or(0)), block.size[i]);
                EXPECT_EQ(static_cast<int64_t>(cache->ways.value_or(0)), block.ways[i]);
                EXPECT_EQ(static_cast<int64_t>(cache->lineBytes.value_or(0)), block.line[i]);
            }
            ++blocks;
        }
    }
    EXPECT_EQ(blocks, 10);
}

// "1d48 1i32 2u2048 3u36864": level, type letter and size of each cache of
// one kind; kinds in the order the caches list them, separated by " | ".
std::string CacheSummary(const std::vector<CacheFacts>& caches) {
    std::string text;
    const CacheFacts* previous = nullptr;
    for (const CacheFacts& cache : caches) {
        if (previous != nullptr) {
            bool newKind = previous->coreType != cache.coreType || previous->lowPower != cache.lowPower;
            text += newKind ? " | " : " ";
        }
        const char letter = cache.type == CacheType::Data          ? 'd'
                            : cache.type == CacheType::Instruction ? 'i'
                                                                   : 'u';
        text += std::to_string(cache.level) + letter +
                (cache.sizeKb ? std::to_string(*cache.sizeKb) : std::string("?"));
        previous = &cache;
    }
    return text;
}

constexpr int64_t kNull = -1;

int64_t OrNull(const std::optional<uint64_t>& value) {
    return value ? static_cast<int64_t>(*value) : kNull;
}

struct HandChecked {
    const char* dump;
    uint64_t logical;
    int64_t packages;
    int64_t cores;
    int64_t threadsPerCore;
    int64_t performance; // core types, kNull when not hybrid
    int64_t efficiency;
    int64_t lowPower;
    const char* caches;
    int64_t lastLevelSharedBy; // processors sharing the last cache listed
};

// Checked by hand against each dump's leaves and the parts' datasheets.
const HandChecked kHandChecked[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", 32, 1, 24, kNull, 8, 16, 0,
     "1d48 1i32 2u2048 3u36864 | 1d32 1i64 2u4096 3u36864", 32},
    {"GenuineIntel00B0650_ArrowLakeU_03_CPUID.txt", 14, 1, 12, kNull, 2, 10, 2,
     "1d48 1i64 2u2048 3u12288 | 1d32 1i64 2u2048 3u12288 | 1d32 1i64 2u2048", 2},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", 40, 1, 20, 2, kNull, kNull, kNull,
     "1d48 1i32 2u2048 3u38400", 40},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", 32, 1, 16, 2, kNull, kNull, kNull,
     "1d48 1i32 2u1024 3u32768", 16},
    {"AuthenticAMD0600F12_K15_Zambezi8C_CPUID.txt", 8, 1, 8, 1, kNull, kNull, kNull,
     "1d16 1i64 2u2048 3u8192", 8},
    {"GenuineIntel00506C9_Goldmont_CPUID.txt", 4, 1, 4, 1, kNull, kNull, kNull, "1d24 1i32 2u1024", 2},
    {"GenuineIntel00606C1_ICX_01v_CPUID.txt", 8, 1, 4, 2, kNull, kNull, kNull, "1d48 1i32 2u1280 3u10240", 8},
    // One processor of this machine (cpuid -r -1): the counts its leaves state.
    {"AuthenticAMD0A00F11_EPYC-Milan-KVM_cpuid-r.txt", 2, kNull, 2, 1, kNull, kNull, kNull,
     "1d32 1i32 2u512 3u32768", 2},
    // Two single-threaded processors without APIC ids: two packages.
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", 2, 2, 2, 1, kNull, kNull, kNull, "1d16 1i16 2u256",
     kNull},
    {"AuthenticAMD0020FB1_K8_Manchester_CPUID.txt", 2, 1, 2, 1, kNull, kNull, kNull, "1d64 1i64 2u512",
     kNull},
    {"GenuineTMx860000543_Crusoe_CPUID.txt", 1, kNull, 1, 1, kNull, kNull, kNull, "1d64 1i64 2u512", kNull},
    // libcpuid's older dumps hold sub-leaf 0 of 0x8000001D only; 0x80000005
    // and 0x80000006 give the other caches.
    {"amd-fx-8150-eight-core-processor.test", 8, kNull, 8, 1, kNull, kNull, kNull, "1d16 1i64 2u2048 3u8192",
     kNull},
    {"dhyana.test", 64, kNull, 32, 2, kNull, kNull, kNull, "1d32 1i64 2u512 3u65536", kNull},
    // No leaf 4: the L2 of 0x80000006 and the L1 caches of leaf 2.
    {"GenuineIntel00006D8_PM_Dothan_CPUID.txt", 1, kNull, 1, 1, kNull, kNull, kNull, "1d32 1i32 2u2048",
     kNull},
    // The L2 of 0x80000006 in the L1 layout (VIA C3 erratum).
    {"CentaurHauls0000673_C5B_Samuel2_CPUID.txt", 1, kNull, 1, 1, kNull, kNull, kNull, "1d64 1i64 2u64",
     kNull},
};

TEST(Topology, HandCheckedProcessors) {
    for (const HandChecked& row : kHandChecked) {
        SCOPED_TRACE(row.dump);
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(row.dump));
        const TopologyFacts& topology = facts.topology;
        EXPECT_EQ(topology.logicalProcessors, row.logical);
        EXPECT_EQ(OrNull(topology.packages), row.packages);
        EXPECT_EQ(OrNull(topology.cores), row.cores);
        EXPECT_EQ(OrNull(topology.threadsPerCore), row.threadsPerCore);
        EXPECT_EQ(topology.coreTypes ? static_cast<int64_t>(topology.coreTypes->performance) : kNull,
                  row.performance);
        EXPECT_EQ(topology.coreTypes ? static_cast<int64_t>(topology.coreTypes->efficiency) : kNull,
                  row.efficiency);
        EXPECT_EQ(topology.coreTypes ? static_cast<int64_t>(topology.coreTypes->efficiencyLowPower) : kNull,
                  row.lowPower);
        EXPECT_EQ(CacheSummary(facts.caches), row.caches);
        ASSERT_FALSE(facts.caches.empty());
        EXPECT_EQ(OrNull(facts.caches.back().sharedBy), row.lastLevelSharedBy);
    }
}

// Every processor of a multi-processor dump is listed once, in order, with
// its leaf 1 APIC id.
TEST(Topology, EveryProcessorIsListedWithItsApicId) {
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        CpuidSnapshot snapshot = LoadTestDump(name);
        CapabilityFacts facts = DecodeWithDataFile(snapshot);
        ASSERT_EQ(facts.topology.cpus.size(), snapshot.ProcessorCount());
        for (size_t i = 0; i < snapshot.ProcessorCount(); ++i) {
            EXPECT_EQ(facts.topology.cpus[i].index, i);
            if (snapshot.Answer(i, 0).eax >= 1) {
                EXPECT_EQ(facts.topology.cpus[i].apicId, snapshot.Answer(i, 1).ebx >> 24);
            }
        }
    }
}

// Leaf 2 descriptions of the data file read as caches; anything else is none.
TEST(Topology, CacheDescriptionsReadAsCaches) {
    struct Row {
        const char* text;
        const char* summary; // "" when not a cache
        int64_t ways;
        int64_t line;
    };
    const Row kRows[] = {
        {"L1 data cache: 16 KB, 4-way, 32-byte lines", "1d16", 4, 32},
        {"L1 code cache: 32 KB, 8-way, 64-byte lines", "1i32", 8, 64},
        {"L3 cache: 1.5 MB, 12-way, 64-byte lines", "3u1536", 12, 64},
        {"L2 cache: 512 KB, 8-way, 64-byte lines (Cyrix: L1 16 KB, 4-way, 16 B)", "2u512", 8, 64},
        {"L1 data cache: 16 KB, 4-way, 32-byte lines (IA-64)", "", 0, 0},
        {"Code TLB: 4 KB pages, 4-way, 32 entries", "", 0, 0},
        {"No L2 cache, or no L3 cache if an L2 cache is present", "", 0, 0},
        {"L2 cache: lots", "", 0, 0},
        {"", "", 0, 0},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.text);
        std::optional<CacheFacts> cache = ParseCacheDescription(row.text);
        EXPECT_EQ(cache ? CacheSummary({*cache}) : "", row.summary);
        if (cache) {
            EXPECT_EQ(OrNull(cache->ways), row.ways);
            EXPECT_EQ(OrNull(cache->lineBytes), row.line);
        }
    }
}

CpuidSnapshot Processors(size_t count, const std::vector<LeafRow>& rows) {
    CpuidSnapshot one = SnapshotOf(rows);
    CpuidSnapshot many;
    for (size_t i = 0; i < count; ++i) {
        many.cpus.push_back(one.cpus[0]);
        many.cpus.back().index = static_cast<uint32_t>(i);
    }
    return many;
}

// Hostile registers give large numbers or nulls, never a wrong small number.
TEST(Topology, HostileValuesGiveLargeNumbersOrNulls) {
    const CpuidRegs kIntel = {0x1F, 0x756E6547, 0x6C65746E, 0x49656E69};
    const CpuidRegs kAmd = {0x1, 0x68747541, 0x444D4163, 0x69746E65};
    // Leaf 4: 2^31 sets of 1024 ways, 1024 partitions, 4096-byte lines is
    // 2^63 bytes; 2^32 sets no longer fits 64 bits.
    CapabilityFacts huge = DecodeWithDataFile(SnapshotOf({{0, 0, kIntel},
                                                          {4, 0, {0xFFFFC163, 0xFFFFFFFF, 0x7FFFFFFF, 0}},
                                                          {4, 1, {0x43, 0xFFFFFFFF, 0xFFFFFFFF, 0}}}));
    ASSERT_EQ(huge.caches.size(), 2u);
    EXPECT_EQ(huge.caches[0].sizeKb, uint64_t{1} << 53);
    EXPECT_EQ(huge.caches[0].sharedBy, 4096u);
    EXPECT_EQ(huge.caches[1].sizeKb, std::nullopt);
    EXPECT_EQ(huge.caches[1].sets, uint64_t{1} << 32);

    // 0x8000001D with a sharing count of 0: one processor.
    CapabilityFacts alone = DecodeWithDataFile(SnapshotOf({{0, 0, kAmd},
                                                           {0x80000000, 0, {0x8000001D, 0, 0, 0}},
                                                           {0x80000001, 0, {0, 0, 1u << 22, 0}},
                                                           {0x8000001D, 0, {0x21, 0x3F, 0x3F, 0}}}));
    ASSERT_EQ(alone.caches.size(), 1u);
    EXPECT_EQ(alone.caches[0].sharedBy, 1u);

    // 0x80000008 with the widest ApicIdSize and NC: 256 logical processors stated.
    CapabilityFacts wide = DecodeWithDataFile(SnapshotOf(
        {{0, 0, kAmd}, {0x80000000, 0, {0x80000008, 0, 0, 0}}, {0x80000008, 0, {0, 0, 0xF0FF, 0}}}));
    EXPECT_EQ(wide.topology.logicalProcessors, 256u);
    EXPECT_EQ(wide.topology.cores, 256u);

    // A shift width of 31 in 0x1F on 4096 processors with distinct ids:
    // 4096 logical processors in one package, one thread per core.
    CpuidSnapshot many =
        Processors(kMaxSnapshotProcessors,
                   {{0, 0, kIntel}, {0x1F, 0, {0, 1, 0x100, 0}}, {0x1F, 1, {31, 0xFFFF, 0x201, 0}}});
    for (size_t i = 0; i < many.cpus.size(); ++i) {
        for (uint32_t sub = 0; sub < 2; ++sub) {
            many.cpus[i].leaves[LeafKey{0x1F, sub}].edx = static_cast<uint32_t>(i | ((i & 1) << 31));
        }
    }
    CapabilityFacts counted = DecodeWithDataFile(many);
    EXPECT_EQ(counted.topology.logicalProcessors, kMaxSnapshotProcessors);
    EXPECT_EQ(counted.topology.cores, kMaxSnapshotProcessors);
    EXPECT_EQ(counted.topology.threadsPerCore, 1u);
    EXPECT_EQ(counted.topology.packages, 2u); // ids at and above 2^31 sit in package 1

    // 4096 processors all answering the same id: nothing can be counted.
    CapabilityFacts same = DecodeWithDataFile(Processors(kMaxSnapshotProcessors, {{0, 0, kIntel}}));
    EXPECT_EQ(same.topology.logicalProcessors, kMaxSnapshotProcessors);
    EXPECT_EQ(same.topology.cores, std::nullopt);
    EXPECT_EQ(same.topology.packages, std::nullopt);
}

} // namespace
