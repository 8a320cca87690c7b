// How the logical processors of a snapshot are arranged: each one's APIC
// and x2APIC id split into package, core and thread with the shifts its
// topology leaves give, the counts that follow, and the core type of each
// processor of a hybrid part. A snapshot of every processor is counted; a
// dump of one processor gives the counts per package its leaves state.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/cache_geometry.hpp"

#include <cstdint>
#include <optional>
#include <vector>

struct CpuPlace {
    uint32_t index = 0;
    std::optional<uint32_t> osCpu;
    std::optional<uint32_t> apicId;   // leaf 1 EBX 31:24
    std::optional<uint32_t> x2apicId; // 0x1F/0xB EDX, AMD 0x80000026 EDX or 0x8000001E EAX
    // From the id split; none when the ids do not tell processors apart.
    std::optional<uint32_t> package;
    std::optional<uint32_t> core; // within its package
    std::optional<uint32_t> thread;
    std::optional<CoreType> coreType; // leaf 0x1A on hybrid processors
    bool lowPower = false;            // an efficiency core outside the last cache level
};

// Cores of each type; low-power efficiency cores are counted among the
// efficiency cores and once more on their own.
struct CoreTypeCounts {
    uint64_t performance = 0;
    uint64_t efficiency = 0;
    uint64_t efficiencyLowPower = 0;
};

struct TopologyFacts {
    uint64_t logicalProcessors = 0;
    std::optional<uint64_t> packages;
    std::optional<uint64_t> cores;
    std::optional<uint64_t> threadsPerCore; // none when cores differ
    std::optional<CoreTypeCounts> coreTypes;
    bool statedByLeaves = false; // one processor's leaves, per package
    std::vector<CpuPlace> cpus;
};

// Counts the processors of the snapshot, or, for a snapshot of one
// processor that is not the whole machine, reads the counts its leaves state.
TopologyFacts DecodeTopology(const CpuidSnapshot& snapshot, bool wholeMachine);

// The id the split works on: the x2APIC id where known, else the APIC id.
std::optional<uint32_t> SplitId(const CpuPlace& place);
