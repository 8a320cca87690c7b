// The facts of --list and --json that the deeper leaves hold: address sizes,
// every TLB, the clock leaves, the XSAVE layout, AMX, the performance
// counters, the speculation bits and the hypervisor's own features. Names
// come from the field table the data file gives (handed in).
#pragma once

#include "decode/cache_descriptors.hpp"
#include "decode/cache_geometry.hpp"
#include "decode/leaf_fields.hpp"
#include "decode/os_support.hpp"
#include "decode/topology.hpp"

#include <optional>
#include <string>
#include <vector>

struct AddressSizes {
    std::optional<uint32_t> physicalBits; // 0x80000008 EAX 7:0
    std::optional<uint32_t> linearBits;   // 15:8
    // 23:16, or the physical size where the leaf says 0 (the same size)
    std::optional<uint32_t> guestPhysicalBits;
};

struct TlbFacts {
    std::string source; // the leaf: "0x80000005", "0x00000018", ...
    uint32_t level = 1;
    std::string type;               // "data", "instruction", "unified", "load only", "store only"
    std::vector<std::string> pages; // "4K", "2M", "4M", "1G"
    std::optional<uint64_t> entries;
    std::optional<uint64_t> ways; // none when fully associative or unknown
    bool fullyAssociative = false;
    std::optional<uint32_t> descriptor; // the leaf 2 byte
    std::optional<CoreType> coreType;   // hybrid processors only
};

struct ClockFacts {
    bool hasCounter = false;                // leaf 1 EDX bit 4: a time-stamp counter to measure
    std::optional<double> measuredMhz;      // this machine's time-stamp counter, when measured
    std::optional<uint32_t> crystalHz;      // 0x15 ECX
    std::optional<uint32_t> tscNumerator;   // 0x15 EBX
    std::optional<uint32_t> tscDenominator; // 0x15 EAX
    std::optional<uint64_t> tscHz;          // crystal × numerator ÷ denominator
    std::optional<uint32_t> baseMhz;        // 0x16
    std::optional<uint32_t> maxMhz;
    std::optional<uint32_t> busMhz;
};

struct XsaveComponent {
    uint32_t id = 0;
    std::string name;
    std::optional<uint32_t> size;
    std::optional<uint32_t> offset; // none for supervisor components
    bool supervisor = false;        // enabled through XSS
    std::optional<bool> enabled;    // in XCR0; none when XCR0 (or XSS) is unknown
    bool aligned64 = false;         // 64-byte aligned in the compacted form
};

struct XsaveFacts {
    uint64_t supportedXcr0 = 0; // 0xD.0 EDX:EAX
    uint64_t supportedXss = 0;  // 0xD.1 EDX:ECX
    std::optional<uint64_t> xcr0;
    std::optional<uint32_t> enabledSize;   // 0xD.0 EBX
    std::optional<uint32_t> largestSize;   // 0xD.0 ECX
    std::optional<uint32_t> compactedSize; // 0xD.1 EBX
    std::vector<XsaveComponent> components;
};

struct AmxPalette {
    uint32_t palette = 0;
    uint32_t totalBytes = 0;
    uint32_t bytesPerTile = 0;
    uint32_t bytesPerRow = 0;
    uint32_t tiles = 0;
    uint32_t rows = 0;
};

struct AmxFacts {
    uint32_t maxPalette = 0;
    std::vector<AmxPalette> palettes;
    std::optional<uint32_t> tmulMaxK;
    std::optional<uint32_t> tmulMaxN;
};

struct PmuFacts {
    std::string source; // "0x0000000A" or "0x80000022"
    std::optional<uint32_t> version;
    std::optional<uint32_t> generalCounters;
    std::optional<uint32_t> generalBits;
    std::optional<uint32_t> fixedCounters;
    std::optional<uint32_t> fixedBits;
    std::vector<std::string> events;            // architectural events available
    std::vector<std::string> unavailableEvents; // listed by EBX as not available
    std::optional<uint32_t> northbridgeCounters;
    std::optional<uint32_t> memoryControllerCounters;
    std::optional<uint32_t> branchRecordStack;
};

// One speculation bit; present none when its leaf is not reported.
struct SpeculationBit {
    std::string name;
    std::optional<bool> present;
};

struct ProcessorDetails {
    AddressSizes addresses;
    std::vector<TlbFacts> tlbs;
    ClockFacts clock;
    std::optional<XsaveFacts> xsave;
    std::optional<AmxFacts> amx;
    std::optional<PmuFacts> pmu;
    std::vector<SpeculationBit> speculation;
    std::optional<std::vector<std::string>> hypervisorFeatures; // none without a known feature leaf
};

// The leaves whose fields DecodeProcessorDetails reads (the XSAVE component
// names, the PMU events, the speculation bits, a hypervisor's features): a
// table of only these gives the same details.
const std::vector<uint32_t>& DetailFieldLeaves();

ProcessorDetails DecodeProcessorDetails(const CpuidSnapshot& snapshot, const FieldTable& table,
                                        const DescriptorNames& descriptorNames, const TopologyFacts& topology,
                                        const OsSupport& os);

// The parts, each read from processor cpu (the TLBs from every kind of core).
AddressSizes ReadAddressSizes(const CpuidSnapshot& snapshot, size_t cpu);
std::vector<TlbFacts> ReadTlbs(const CpuidSnapshot& snapshot, size_t cpu, const DescriptorNames& names);
ClockFacts ReadClockLeaves(const CpuidSnapshot& snapshot, size_t cpu);
std::optional<XsaveFacts> ReadXsave(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                    const OsSupport& os);
std::optional<AmxFacts> ReadAmx(const CpuidSnapshot& snapshot, size_t cpu);
std::optional<PmuFacts> ReadPmu(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table);
std::vector<SpeculationBit> ReadSpeculation(const CpuidSnapshot& snapshot, size_t cpu,
                                            const FieldTable& table);
std::optional<std::vector<std::string>> ReadHypervisorFeatures(const CpuidSnapshot& snapshot, size_t cpu,
                                                               const FieldTable& table);

// A TLB the data file's description of a leaf 2 descriptor names ("Data
// TLB: 4 KB pages, 4-way, 64 entries"); two for a description of two
// (";"); none for a description of anything else.
std::vector<TlbFacts> ParseTlbDescription(const std::string& text);

// True when processor cpu recorded (leaf, subleaf) and the leaf lies within
// the maximum its range reports.
bool LeafReported(const CpuidSnapshot& snapshot, size_t cpu, uint32_t leaf, uint32_t subleaf = 0);
