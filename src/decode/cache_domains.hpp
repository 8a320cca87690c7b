// Which logical processors share each cache: the deterministic cache
// leaves say how many ids one cache spans, so the processors whose split id
// agrees above those bits share it.
#pragma once

#include "decode/cache_geometry.hpp"
#include "decode/topology.hpp"

#include <cstdint>
#include <optional>
#include <vector>

struct CacheDomain {
    uint32_t level = 0;
    CacheType type = CacheType::Unified;
    uint32_t key = 0; // equal for every processor of a package sharing the cache
};

// The caches processor cpu describes in its deterministic leaves, each with
// the key of the processors sharing it; empty without those leaves or
// without an id.
std::vector<CacheDomain> DecodeCacheDomains(const CpuidSnapshot& snapshot, const CpuPlace& place);
