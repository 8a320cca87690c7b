// The caches of a snapshot, once per kind of core: processor 0's on a
// uniform part, the first processor's of each core type (and of the
// low-power efficiency cores) on a hybrid one.
#pragma once

#include "decode/cache_descriptors.hpp"
#include "decode/cache_geometry.hpp"
#include "decode/topology.hpp"

#include <vector>

// Each kind of core's caches, by level and type. Every cache (a
// level and a type) comes from the best source that describes it: the
// deterministic leaf (its sharing counted over the processors when the
// topology placed every one), then 0x80000005/0x80000006, then the leaf 2
// descriptors the names describe. Empty when no source describes a cache.
std::vector<CacheFacts> DecodeCaches(const CpuidSnapshot& snapshot, const TopologyFacts& topology,
                                     const DescriptorNames& descriptorNames);
