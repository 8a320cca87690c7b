#include "decode/processor_caches.hpp"

#include <algorithm>

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

std::vector<CacheFacts> DeterministicCaches(const CpuidSnapshot& snapshot, const TopologyFacts& topology,
                                            const CpuPlace& place) {
    std::vector<CacheFacts> caches;
    bool placed = topology.packages.has_value();
    for (const DeterministicCache& cache : ReadDeterministicCaches(snapshot, place.index)) {
        caches.push_back(cache.facts);
        if (placed) {
            caches.back().sharedBy = CountSharing(topology, place, cache.sharingField);
        }
    }
    return caches;
}

// The sources of one processor's caches, best first. A source that stops
// early (a dump holding only sub-leaf 0 of 0x8000001D) or describes one
// level only (0x80000006 on Intel) is completed by the sources after it.
std::vector<std::vector<CacheFacts>> CacheSources(const CpuidSnapshot& snapshot,
                                                  const TopologyFacts& topology, const CpuPlace& place,
                                                  const DescriptorNames& descriptorNames) {
    return {DeterministicCaches(snapshot, topology, place), ReadExtendedCacheLeaves(snapshot, place.index),
            ReadDescribedCaches(snapshot, place.index, descriptorNames)};
}

// Whether a cache of the same level and type is among caches; a unified
// cache and a split one of the same level describe the same storage.
bool Describes(const std::vector<CacheFacts>& caches, const CacheFacts& cache) {
    return std::any_of(caches.begin(), caches.end(), [&cache](const CacheFacts& known) {
        return known.level == cache.level && (known.type == cache.type || known.type == CacheType::Unified ||
                                              cache.type == CacheType::Unified);
    });
}

bool ListedBefore(const CacheFacts& a, const CacheFacts& b) {
    return a.level != b.level ? a.level < b.level : a.type < b.type;
}

// The caches of the best source in its own order, then those of each next
// source that no better source describes, each placed before the first cache
// of a higher level (or of the same level and a later type).
std::vector<CacheFacts> MergeSources(const std::vector<std::vector<CacheFacts>>& bestFirst) {
    std::vector<CacheFacts> merged = bestFirst.front();
    for (size_t next = 1; next < bestFirst.size(); ++next) {
        std::vector<CacheFacts> better = merged;
        for (const CacheFacts& cache : bestFirst[next]) {
            if (!Describes(better, cache)) {
                auto at = std::find_if(merged.begin(), merged.end(), [&cache](const CacheFacts& known) {
                    return ListedBefore(cache, known);
                });
                merged.insert(at, cache);
            }
        }
    }
    return merged;
}

std::vector<CacheFacts> CachesOf(const CpuidSnapshot& snapshot, const TopologyFacts& topology,
                                 const CpuPlace& place, const DescriptorNames& descriptorNames) {
    std::vector<CacheFacts> caches = MergeSources(CacheSources(snapshot, topology, place, descriptorNames));
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

std::vector<CacheFacts> DecodeCaches(const CpuidSnapshot& snapshot, const TopologyFacts& topology,
                                     const DescriptorNames& descriptorNames) {
    std::vector<CacheFacts> caches;
    std::vector<const CpuPlace*> kinds;
    for (const CpuPlace& place : topology.cpus) {
        bool seen = false;
        for (const CpuPlace* kind : kinds) {
            seen = seen || SameKind(*kind, place);
        }
        if (!seen) {
            kinds.push_back(&place);
            std::vector<CacheFacts> own = CachesOf(snapshot, topology, place, descriptorNames);
            caches.insert(caches.end(), own.begin(), own.end());
        }
    }
    return caches;
}
