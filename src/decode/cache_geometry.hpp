// What the caches of one logical processor are, read from its leaves: the
// deterministic cache leaves (4 on Intel and Zhaoxin, 0x8000001D on AMD and
// Hygon), else the AMD-style 0x80000005/0x80000006 leaves. Leaf 2
// descriptors need the data file's names; see cache_descriptors.hpp.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <optional>
#include <vector>

enum class CacheType { Data, Instruction, Unified };

// The two kinds of core a hybrid Intel processor reports in leaf 0x1A.
enum class CoreType { Performance, Efficiency };

struct CacheFacts {
    uint32_t level = 0;
    CacheType type = CacheType::Unified;
    std::optional<uint64_t> sizeKb; // none when the size does not fit 64 bits
    // For an L3 reported in 512 KB steps by 0x80000006: the size is at least
    // sizeKb and below sizeBelowKb.
    std::optional<uint64_t> sizeBelowKb;
    std::optional<uint64_t> ways; // none when fully associative or unknown
    bool fullyAssociative = false;
    std::optional<uint64_t> lineBytes;
    std::optional<uint64_t> sets;
    std::optional<uint64_t> sharedBy; // logical processors sharing one
    std::optional<bool> inclusive;
    std::optional<CoreType> coreType; // set on hybrid processors only
    bool lowPower = false;            // an efficiency core outside the shared last level

    bool operator==(const CacheFacts& other) const;
};

// How the sharing field of a deterministic cache leaf counts.
enum class SharingField {
    AddressableIds, // leaf 4: a range of IDs, rounded up to a power of two
    Processors,     // 0x8000001D: processors sharing the cache, minus one
};

struct DeterministicCache {
    CacheFacts facts;
    uint64_t sharingField = 0; // EAX bits 25:14 plus one
    SharingField sharing = SharingField::AddressableIds;
};

// The deterministic caches of processor cpu, in sub-leaf order; empty when
// it reports none.
std::vector<DeterministicCache> ReadDeterministicCaches(const CpuidSnapshot& snapshot, size_t cpu);

// The caches of 0x80000005 (L1) and 0x80000006 (L2, L3) of processor cpu,
// those reported with a size.
std::vector<CacheFacts> ReadExtendedCacheLeaves(const CpuidSnapshot& snapshot, size_t cpu);

// a * b, or none when it does not fit 64 bits.
std::optional<uint64_t> CheckedProduct(std::optional<uint64_t> a, std::optional<uint64_t> b);

// Sets of a cache from its size, ways and line size: 1 when fully
// associative, none when a field is missing or zero or the numbers overflow.
std::optional<uint64_t> SetsOf(const CacheFacts& cache);

// True for the AMD and Hygon vendor identifications, whose leaf 4 is
// reserved and whose topology leaves are their own.
bool AmdStyleVendor(const CpuidSnapshot& snapshot, size_t cpu);

// 0x80000001 ECX bit 22: the processor describes its caches in 0x8000001D
// and its ids in 0x8000001E.
bool HasTopologyExtensions(const CpuidSnapshot& snapshot, size_t cpu);

// The number of low bits that hold count values (count rounded up to a
// power of two): 0 for 0 and 1, 32 at most.
uint32_t BitsFor(uint64_t count);
