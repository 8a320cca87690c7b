// A complete record of what CPUID answered: every leaf and sub-leaf of every
// logical processor, plus XCR0 where the operating system exposes it. Taken
// from this machine (platform walk) or read from a dump; everything that
// decodes modern leaves reads from it and never executes CPUID itself.
#pragma once

#include "cpuid/registers.hpp"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// A snapshot never holds more than these; a dump beyond them is cut.
constexpr size_t kMaxSnapshotProcessors = 4096;
constexpr uint32_t kMaxSubleaves = 64;

// (leaf, sub-leaf)
using LeafKey = std::pair<uint32_t, uint32_t>;

struct ProcessorLeaves {
    uint32_t index = 0;            // position in the snapshot, from 0
    std::optional<uint32_t> osCpu; // the operating system's processor number
    std::map<LeafKey, CpuidRegs> leaves;
    std::optional<uint64_t> xcr0; // absent unless OSXSAVE was set and XCR0 read
};

struct CpuidSnapshot {
    std::vector<ProcessorLeaves> cpus;
    // True when the processors could not be visited one by one (pinning
    // impossible), so the only processor held is the one the thread ran on.
    bool singleProcessorFallback = false;
    // True when a dump held more processors or sub-leaves than a snapshot
    // keeps, and when its file went on beyond the size limit of the reader.
    bool cutAtCapacity = false;
    bool cutAtSizeLimit = false;

    size_t ProcessorCount() const { return cpus.size(); }

    // The registers processor cpu answered for (leaf, subleaf); four zeros
    // where nothing was recorded, as a replay answers absent leaves.
    CpuidRegs Answer(size_t cpu, uint32_t leaf, uint32_t subleaf = 0) const;

    // True when processor cpu recorded (leaf, subleaf).
    bool Has(size_t cpu, uint32_t leaf, uint32_t subleaf = 0) const;
};
