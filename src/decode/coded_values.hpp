// The tables of CPUID's coded values, one per code, shared by every output
// that reads them: associativity codes, cache and TLB types, topology level
// types, core types and the processor type of leaf 1.
#pragma once

#include "decode/cache_geometry.hpp"

#include <cstdint>
#include <optional>

// What an associativity code says: a number of ways, fully associative, or
// nothing known (a reserved code, or a cache or TLB that is absent).
struct Associativity {
    std::optional<uint64_t> ways;
    bool fullyAssociative = false;
    bool absent = false;   // code 0 of 0x80000006 and 0x80000019
    bool reserved = false; // a code without a meaning of its own
    // The leaf that describes it instead (code 7: leaf 4 on Intel; code 9:
    // 0x8000001D on AMD), else 0.
    uint32_t describedByLeaf = 0;
};

// The 4-bit codes of 0x80000006 and 0x80000019.
Associativity AmdAssociativity(uint32_t code);

// The 8-bit ways of 0x80000005: 0xFF fully associative, 0 reserved.
Associativity AmdL1Associativity(uint32_t code);

// "data", "instruction", "unified" for the type codes 1 to 3 of leaves 4
// and 0x8000001D; "no more caches" for 0; nullptr for reserved codes.
const char* CacheTypeCodeName(uint32_t code);

// The same words for a cache or TLB of any source: "data", "instruction",
// "unified".
const char* CacheTypeName(CacheType type);

// Leaf 0x18 EDX 4:0: "data", "instruction", "unified", "load only", "store
// only"; "no more translation caches" for 0; nullptr for reserved codes.
const char* TlbTypeCodeName(uint32_t code);

// Leaves 0xB and 0x1F ECX 15:8: "thread", "core", "module", "tile", "die",
// "die group"; "invalid" for 0; nullptr for reserved codes.
const char* TopologyLevelCodeName(uint32_t code);

// Leaf 0x80000026 ECX 15:8: "core", "complex", "die", "socket".
const char* AmdTopologyLevelCodeName(uint32_t code);

// Leaf 0x1A EAX 31:24 (0x20 efficiency "Atom", 0x40 performance "Core"),
// 0x80000026 EBX 31:28 (0 performance, 1 efficiency).
const char* CoreTypeCodeName(uint32_t code);
const char* AmdCoreTypeCodeName(uint32_t code);

// Leaf 1 EAX 13:12: "original OEM processor", "OverDrive", "second processor".
const char* ProcessorTypeCodeName(uint32_t code);

// 0x80000008 ECX 17:16: the width of the performance time-stamp counter.
uint32_t PerformanceTscBits(uint32_t code);
