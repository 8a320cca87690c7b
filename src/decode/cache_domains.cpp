#include "decode/cache_domains.hpp"

std::vector<CacheDomain> DecodeCacheDomains(const CpuidSnapshot& snapshot, const CpuPlace& place) {
    std::vector<CacheDomain> domains;
    std::optional<uint32_t> id = SplitId(place);
    if (!id || place.index >= snapshot.ProcessorCount()) {
        return domains;
    }
    for (const DeterministicCache& cache : ReadDeterministicCaches(snapshot, place.index)) {
        uint32_t bits = BitsFor(cache.sharingField);
        uint32_t key = bits >= 32 ? 0 : *id >> bits;
        domains.push_back(CacheDomain{cache.facts.level, cache.facts.type, key});
    }
    return domains;
}
