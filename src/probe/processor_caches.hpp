// The caches of a snapshot, once per kind of core: processor 0's on a
// uniform part, the first processor's of each core type (and of the
// low-power efficiency cores) on a hybrid one.
#pragma once

#include "probe/cache_geometry.hpp"
#include "probe/topology.hpp"

#include <vector>

// The deterministic caches (their sharing counted over the processors when
// the topology placed every one), else those of 0x80000005/0x80000006.
// Empty when neither is reported; leaf 2 descriptors are named later.
std::vector<CacheFacts> DecodeCaches(const CpuidSnapshot& snapshot, const TopologyFacts& topology);
