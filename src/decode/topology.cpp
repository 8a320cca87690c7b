#include "decode/topology.hpp"

#include "cpuid/registers.hpp"
#include "decode/feature_words.hpp"
#include "decode/identity.hpp"

#include <algorithm>
#include <map>
#include <set>

namespace {

constexpr uint32_t kV2Topology = 0x1F;
constexpr uint32_t kTopology = 0xB;
constexpr uint32_t kHybridLeaf = 0x1A;
constexpr uint32_t kAmdTopology = 0x80000026;
constexpr uint32_t kAmdIds = 0x8000001E;
constexpr uint32_t kAmdSizes = 0x80000008;
constexpr uint32_t kSmtLevel = 1; // level type of the lowest topology level
constexpr uint32_t kZenFamily = 0x17;
constexpr uint32_t kHttBit = 28; // leaf 1 EDX: EBX 23:16 counts the package's logical processors

uint32_t ShiftRight(uint32_t value, uint32_t shift) {
    return shift >= 32 ? 0 : value >> shift;
}

// What one processor's leaves say about its place.
struct IdSplit {
    std::optional<uint32_t> x2apicId;
    uint32_t smtShift = 0;
    uint32_t packageShift = 0;
    uint64_t statedLogical = 1;  // logical processors per package
    uint64_t statedThreads = 1;  // logical processors per core
    bool singleThreaded = false; // HTT clear, no topology leaf: one core of one thread
};

struct Level {
    uint32_t type;
    uint32_t shift;
    uint32_t count;
    uint32_t id;
};

// The valid levels of 0x1F, 0xB or 0x80000026, lowest first.
std::vector<Level> ReadLevels(const CpuidSnapshot& snapshot, size_t cpu, uint32_t leaf) {
    std::vector<Level> levels;
    for (uint32_t sub = 0; sub < kMaxSubleaves && snapshot.Has(cpu, leaf, sub); ++sub) {
        CpuidRegs regs = snapshot.Answer(cpu, leaf, sub);
        uint32_t type = BitField(regs.ecx, 8, 8);
        if (type == 0) {
            break;
        }
        levels.push_back(Level{type, BitField(regs.eax, 0, 5), BitField(regs.ebx, 0, 16), regs.edx});
    }
    return levels;
}

IdSplit SplitOfLevels(const std::vector<Level>& levels) {
    IdSplit split;
    split.x2apicId = levels.front().id;
    split.packageShift = levels.back().shift;
    split.statedLogical = std::max<uint32_t>(levels.back().count, 1);
    for (const Level& level : levels) {
        if (level.type == kSmtLevel) {
            split.smtShift = level.shift;
            split.statedThreads = std::max<uint32_t>(level.count, 1);
        }
    }
    return split;
}

// The levels of the first topology leaf this processor reports, or none.
std::vector<Level> TopologyLevels(const CpuidSnapshot& snapshot, size_t cpu) {
    std::vector<uint32_t> leaves;
    if (AmdStyleVendor(snapshot, cpu)) {
        if (MaxExtendedLeaf(snapshot, cpu) >= kAmdTopology) {
            leaves.push_back(kAmdTopology);
        }
    } else {
        leaves = {kV2Topology, kTopology};
    }
    uint32_t standardMax = snapshot.Answer(cpu, 0).eax;
    for (uint32_t leaf : leaves) {
        if (leaf < kExtendedBase && leaf > standardMax) {
            continue;
        }
        std::vector<Level> levels = ReadLevels(snapshot, cpu, leaf);
        if (!levels.empty() && levels.front().count != 0) {
            return levels;
        }
    }
    return {};
}

// AMD without 0x80000026: the package width of 0x80000008 ECX (ApicIdSize,
// else derived from NC) and, with topology extensions, the threads per core
// and the extended APIC id of 0x8000001E (before Zen, its EBX 15:8 counts
// the cores of a compute unit, each of them a core of its own).
IdSplit AmdSplit(const CpuidSnapshot& snapshot, size_t cpu, uint32_t legacyLogical) {
    IdSplit split;
    split.statedLogical = legacyLogical;
    if (MaxExtendedLeaf(snapshot, cpu) >= kAmdSizes) {
        uint32_t ecx = snapshot.Answer(cpu, kAmdSizes).ecx;
        split.statedLogical = uint64_t{BitField(ecx, 0, 8)} + 1;
        uint32_t apicIdSize = BitField(ecx, 12, 4);
        split.packageShift = apicIdSize != 0 ? apicIdSize : BitsFor(split.statedLogical);
    } else {
        split.packageShift = BitsFor(legacyLogical);
    }
    bool topologyExtensions =
        MaxExtendedLeaf(snapshot, cpu) >= kAmdIds && HasTopologyExtensions(snapshot, cpu);
    uint32_t family = SplitSignature(snapshot.Answer(cpu, 1).eax).family;
    if (topologyExtensions) {
        CpuidRegs ids = snapshot.Answer(cpu, kAmdIds);
        split.x2apicId = ids.eax;
        if (family >= kZenFamily) {
            split.statedThreads = uint64_t{BitField(ids.ebx, 8, 8)} + 1;
        }
    }
    split.smtShift = std::min(BitsFor(split.statedThreads), split.packageShift);
    return split;
}

// Leaf 1 EBX 23:16 (with HTT) and leaf 4's cores per package.
IdSplit LegacySplit(const CpuidSnapshot& snapshot, size_t cpu) {
    CpuidRegs leaf1 = snapshot.Answer(cpu, 1);
    uint64_t logical =
        BitField(leaf1.edx, kHttBit, 1) != 0 ? std::max<uint32_t>(BitField(leaf1.ebx, 16, 8), 1) : 1;
    if (AmdStyleVendor(snapshot, cpu)) {
        return AmdSplit(snapshot, cpu, static_cast<uint32_t>(logical));
    }
    IdSplit split;
    uint64_t cores = 1;
    if (snapshot.Answer(cpu, 0).eax >= 4 && BitField(snapshot.Answer(cpu, 4).eax, 0, 5) != 0) {
        cores = uint64_t{BitField(snapshot.Answer(cpu, 4).eax, 26, 6)} + 1;
    }
    split.statedLogical = std::max(logical, cores);
    split.statedThreads = std::max<uint64_t>(split.statedLogical / cores, 1);
    split.smtShift = BitsFor(split.statedThreads);
    split.packageShift = BitsFor(split.statedLogical);
    return split;
}

IdSplit ReadIdSplit(const CpuidSnapshot& snapshot, size_t cpu) {
    std::vector<Level> levels = TopologyLevels(snapshot, cpu);
    if (!levels.empty()) {
        return SplitOfLevels(levels);
    }
    IdSplit split = LegacySplit(snapshot, cpu);
    if (snapshot.Has(cpu, 1) && BitField(snapshot.Answer(cpu, 1).edx, kHttBit, 1) == 0) {
        // Whatever else the leaves hold, the package has one logical processor.
        IdSplit single;
        single.x2apicId = split.x2apicId;
        single.singleThreaded = true;
        return single;
    }
    return split;
}

std::optional<CoreType> ReadCoreType(const CpuidSnapshot& snapshot, size_t cpu) {
    constexpr uint32_t kHybridBit = 15; // 7.0 EDX
    if (snapshot.Answer(cpu, 0).eax < kHybridLeaf ||
        BitField(snapshot.Answer(cpu, 7).edx, kHybridBit, 1) == 0) {
        return std::nullopt;
    }
    uint32_t type = snapshot.Answer(cpu, kHybridLeaf).eax >> 24;
    if (type == 0x40) {
        return CoreType::Performance;
    }
    if (type == 0x20) {
        return CoreType::Efficiency;
    }
    return std::nullopt;
}

uint32_t HighestCacheLevel(const CpuidSnapshot& snapshot, size_t cpu) {
    uint32_t highest = 0;
    for (const DeterministicCache& cache : ReadDeterministicCaches(snapshot, cpu)) {
        highest = std::max(highest, cache.facts.level);
    }
    return highest;
}

// Efficiency cores without the last cache level the other cores share.
void MarkLowPower(const CpuidSnapshot& snapshot, std::vector<CpuPlace>& cpus) {
    std::vector<uint32_t> highest;
    for (const CpuPlace& place : cpus) {
        highest.push_back(place.coreType ? HighestCacheLevel(snapshot, place.index) : 0);
    }
    uint32_t top = highest.empty() ? 0 : *std::max_element(highest.begin(), highest.end());
    for (size_t i = 0; i < cpus.size(); ++i) {
        cpus[i].lowPower = cpus[i].coreType == CoreType::Efficiency && highest[i] < top;
    }
}

// Places processor i at ids[i], split with its shifts, and fills the counts.
void CountPlaces(const std::vector<uint32_t>& ids, const std::vector<IdSplit>& splits, TopologyFacts& facts) {
    std::set<uint32_t> packages;
    std::map<uint64_t, uint64_t> threadsOfCore; // (id >> smt shift) with the package shift
    std::map<uint64_t, size_t> firstCpuOfCore;
    for (size_t i = 0; i < facts.cpus.size(); ++i) {
        CpuPlace& place = facts.cpus[i];
        uint32_t id = ids[i];
        const IdSplit& split = splits[i];
        place.package = ShiftRight(id, split.packageShift);
        place.core = ShiftRight(BitField(id, 0, split.packageShift), split.smtShift);
        place.thread = BitField(id, 0, std::min(split.smtShift, split.packageShift));
        packages.insert(*place.package);
        uint64_t coreKey = (uint64_t{*place.package} << 32) | *place.core;
        ++threadsOfCore[coreKey];
        firstCpuOfCore.emplace(coreKey, i);
    }
    facts.packages = packages.size();
    facts.cores = threadsOfCore.size();
    uint64_t threads = threadsOfCore.begin()->second;
    bool same = std::all_of(threadsOfCore.begin(), threadsOfCore.end(),
                            [threads](const auto& core) { return core.second == threads; });
    facts.threadsPerCore = same ? std::optional<uint64_t>(threads) : std::nullopt;
    CoreTypeCounts counts;
    bool hybrid = false;
    for (const auto& core : firstCpuOfCore) {
        const CpuPlace& first = facts.cpus[core.second];
        hybrid = hybrid || first.coreType.has_value();
        counts.performance += first.coreType == CoreType::Performance ? 1 : 0;
        counts.efficiency += first.coreType == CoreType::Efficiency ? 1 : 0;
        counts.efficiencyLowPower += first.lowPower ? 1 : 0;
    }
    if (hybrid) {
        facts.coreTypes = counts;
    }
}

// Places each processor from its id when every processor has a distinct
// one. Returns false when ids are missing or repeated.
bool CountByIds(const std::vector<IdSplit>& splits, TopologyFacts& facts) {
    std::vector<uint32_t> ids;
    std::set<uint32_t> distinct;
    for (const CpuPlace& place : facts.cpus) {
        std::optional<uint32_t> id = SplitId(place);
        if (!id || !distinct.insert(*id).second) {
            return false;
        }
        ids.push_back(*id);
    }
    CountPlaces(ids, splits, facts);
    return true;
}

// Single-threaded processors that all answer id 0 (those before the
// Pentium 4 have no APIC id in leaf 1) are a package each, in their order.
bool CountAsPackages(const std::vector<IdSplit>& splits, TopologyFacts& facts) {
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < facts.cpus.size(); ++i) {
        if (!splits[i].singleThreaded || SplitId(facts.cpus[i]) != 0u) {
            return false;
        }
        ids.push_back(static_cast<uint32_t>(i));
    }
    CountPlaces(ids, splits, facts);
    return true;
}

// A single-threaded processor is core 0 and thread 0 of its package, even
// where its package cannot be told.
void PlaceSingleThreaded(const std::vector<IdSplit>& splits, TopologyFacts& facts) {
    for (size_t i = 0; i < facts.cpus.size(); ++i) {
        if (splits[i].singleThreaded) {
            facts.cpus[i].core = 0;
            facts.cpus[i].thread = 0;
        }
    }
}

void StateFromLeaves(const IdSplit& split, TopologyFacts& facts) {
    facts.statedByLeaves = true;
    facts.logicalProcessors = split.statedLogical;
    facts.threadsPerCore = split.statedThreads;
    facts.cores = std::max<uint64_t>(split.statedLogical / split.statedThreads, 1);
}

} // namespace

std::optional<uint32_t> SplitId(const CpuPlace& place) {
    return place.x2apicId ? place.x2apicId : place.apicId;
}

TopologyFacts DecodeTopology(const CpuidSnapshot& snapshot, bool wholeMachine) {
    TopologyFacts facts;
    facts.logicalProcessors = snapshot.ProcessorCount();
    std::vector<IdSplit> splits;
    for (size_t cpu = 0; cpu < snapshot.ProcessorCount(); ++cpu) {
        CpuPlace place;
        place.index = static_cast<uint32_t>(cpu);
        place.osCpu = snapshot.cpus[cpu].osCpu;
        if (snapshot.Answer(cpu, 0).eax >= 1) {
            place.apicId = snapshot.Answer(cpu, 1).ebx >> 24;
        }
        splits.push_back(ReadIdSplit(snapshot, cpu));
        place.x2apicId = splits.back().x2apicId;
        place.coreType = ReadCoreType(snapshot, cpu);
        facts.cpus.push_back(place);
    }
    MarkLowPower(snapshot, facts.cpus);
    if (facts.cpus.empty()) {
        return facts;
    }
    if (facts.cpus.size() == 1 && !wholeMachine) {
        StateFromLeaves(splits.front(), facts);
    } else if (!CountByIds(splits, facts)) {
        CountAsPackages(splits, facts);
    }
    PlaceSingleThreaded(splits, facts);
    return facts;
}
