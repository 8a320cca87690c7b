// Leaf 2 cache descriptors: the one-byte codes processors before leaf 4
// report their caches with, and the reading of the data file's description
// of a code ("L2 cache: 256 KB, 8-way, 32-byte lines") into cache facts.
#pragma once

#include "decode/cache_geometry.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The non-zero descriptor bytes of leaf 2's four registers, each with its
// position (4 * register + byte, most significant byte first). A register
// with bit 31 set holds none; EAX bits 7:0 are a count, never a descriptor.
std::vector<std::pair<size_t, uint8_t>> Leaf2Descriptors(const std::array<uint32_t, 4>& regs);

// The descriptors of processor cpu's leaf 2; none when leaf 2 is beyond its
// standard maximum.
std::vector<uint8_t> ReadCacheDescriptors(const CpuidSnapshot& snapshot, size_t cpu);

// The data file's description of every descriptor, indexed by its byte;
// empty when it has none.
using DescriptorNames = std::array<std::string, 256>;

// The caches processor cpu's leaf 2 descriptors name, in descriptor order.
std::vector<CacheFacts> ReadDescribedCaches(const CpuidSnapshot& snapshot, size_t cpu,
                                            const DescriptorNames& names);

// The cache a description names: "L<n> data cache: ...", "L<n> code cache:
// ..." or "L<n> cache: ...", then the size ("16 KB", "1.5 MB"), the
// associativity ("4-way" or "fully associative") and the line size
// ("64-byte lines"). None for anything else (TLBs, trace caches, notes) and
// for descriptions of IA-64 caches.
std::optional<CacheFacts> ParseCacheDescription(const std::string& text);
