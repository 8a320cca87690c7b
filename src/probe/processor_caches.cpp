#include "probe/processor_caches.hpp"

namespace {

// The processors whose ids agree with the first one's above the bits the
// sharing field spans.
uint64_t CountSharing(const TopologyFacts& topology, const CpuPlace& first, uint64_t sharingField) {
    uint32_t shift = BitsFor(sharingField);
    uint64_t own = shift >= 32 ? 0 : *SplitId(first) >> shift;
    uint64_t count = 0;
    for (const CpuPlace& place : topology.cpus) {
        count += (shift >= 32 ? 0 : *SplitId(place) >> shift) == own ? 1 : 0;
    }
    return count;
}

std::vector<CacheFacts> CachesOf(const CpuidSnapshot& snapshot, const TopologyFacts& topology,
                                 const CpuPlace& place) {
    std::vector<CacheFacts> caches;
    bool placed = topology.packages.has_value();
    for (const DeterministicCache& cache : ReadDeterministicCaches(snapshot, place.index)) {
        caches.push_back(cache.facts);
        if (placed) {
            caches.back().sharedBy = CountSharing(topology, place, cache.sharingField);
        }
    }
    if (caches.empty()) {
        caches = ReadExtendedCacheLeaves(snapshot, place.index);
    }
    for (CacheFacts& cache : caches) {
        cache.coreType = place.coreType;
        cache.lowPower = place.lowPower;
    }
    return caches;
}

bool SameKind(const CpuPlace& a, const CpuPlace& b) {
    return a.coreType == b.coreType && a.lowPower == b.lowPower;
}

} // namespace

std::vector<CacheFacts> DecodeCaches(const CpuidSnapshot& snapshot, const TopologyFacts& topology) {
    std::vector<CacheFacts> caches;
    std::vector<const CpuPlace*> kinds;
    for (const CpuPlace& place : topology.cpus) {
        bool seen = false;
        for (const CpuPlace* kind : kinds) {
            seen = seen || SameKind(*kind, place);
        }
        if (!seen) {
            kinds.push_back(&place);
            std::vector<CacheFacts> own = CachesOf(snapshot, topology, place);
            caches.insert(caches.end(), own.begin(), own.end());
        }
    }
    return caches;
}
