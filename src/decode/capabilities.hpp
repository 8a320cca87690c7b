// Everything the --list, --json and --check outputs say about a processor,
// decoded from a snapshot (processor 0) and named from the data file.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/avx10.hpp"
#include "decode/feature_words.hpp"
#include "decode/hypervisor.hpp"
#include "decode/identity.hpp"
#include "decode/os_support.hpp"
#include "decode/processor_caches.hpp"
#include "decode/processor_details.hpp"
#include "decode/topology.hpp"
#include "decode/vocabularies.hpp"
#include "decode/x86_levels.hpp"

#include <optional>
#include <string>
#include <vector>

// Names the data file gives; none when it has no entry.
struct CapabilityNames {
    std::optional<std::string> vendor;         // [Vendor] key of the vendor identification
    std::optional<std::string> processor;      // the name key I shows
    std::optional<std::string> hypervisor;     // name of the 0x40000000 identification
    std::optional<std::string> nextHypervisor; // name of the 0x40000100 identification
};

struct CapabilityFacts {
    bool fromHardware = false;
    SnapshotIdentity identity;
    HypervisorFacts hypervisor;
    OsSupport os;
    LevelReport levels;
    std::vector<FeatureGroup> featureGroups; // set bits of each reported word
    FeatureList features;                    // the groups joined
    std::optional<Avx10Facts> avx10;
    TopologyFacts topology;
    std::vector<CacheFacts> caches;        // one entry per cache of each kind of core
    std::vector<uint8_t> cacheDescriptors; // processor 0's leaf 2 descriptors
    bool longMode = false;                 // 0x80000001 EDX bit 29, in a reported range
    CapabilityNames names;
    // The deeper leaves (addresses, TLBs, clock, XSAVE, AMX, PMU,
    // speculation, hypervisor features); DecodeProcessorDetails fills them
    // once the field table is at hand.
    ProcessorDetails details;
    // The names other tools use (Linux flags, archspec target), filled
    // after decoding from the data file's reference sections.
    VocabularyFacts vocabularies;
};

// Every decoded fact, the feature bits named by book and the leaf 2
// descriptors read by descriptorNames; names stay empty (see
// LookupCapabilityNames). A hardware snapshot taken processor by processor
// is the whole machine.
CapabilityFacts DecodeCapabilities(const CpuidSnapshot& snapshot, const FeatureNameBook& book,
                                   const DescriptorNames& descriptorNames, bool fromHardware);
