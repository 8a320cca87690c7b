#include "decode/coded_values.hpp"

#include <cstddef>

namespace {

// The name of code in a table indexed by code, or nullptr beyond it.
template <size_t Count> const char* Named(const char* const (&names)[Count], uint32_t code) {
    return code < Count ? names[code] : nullptr;
}

} // namespace

Associativity AmdAssociativity(uint32_t code) {
    // Ways of each code; 0 absent, -1 reserved, -2 fully associative.
    static const int kWays[16] = {0, 1, 2, 3, 4, 6, 8, -1, 16, -1, 32, 48, 64, 96, 128, -2};
    Associativity result;
    int ways = kWays[code & 0xFu];
    result.absent = ways == 0;
    result.reserved = ways == -1;
    result.fullyAssociative = ways == -2;
    if (ways > 0) {
        result.ways = static_cast<uint64_t>(ways);
    }
    result.describedByLeaf = code == 7 ? 4u : code == 9 ? 0x8000001Du : 0u;
    return result;
}

Associativity AmdL1Associativity(uint32_t code) {
    Associativity result;
    result.reserved = code == 0;
    result.fullyAssociative = code == 0xFFu;
    if (code != 0 && code != 0xFFu) {
        result.ways = code;
    }
    return result;
}

// The kinds of cache and TLB by the type code leaves 4, 0x8000001D (1 to 3)
// and 0x18 (1 to 5) share; 0 ends each leaf's list.
const char* const kCacheKindNames[] = {nullptr, "data", "instruction", "unified", "load only", "store only"};
constexpr uint32_t kUnifiedCode = 3;

const char* CacheTypeCodeName(uint32_t code) {
    return code == 0 ? "no more caches" : code <= kUnifiedCode ? kCacheKindNames[code] : nullptr;
}

const char* TlbTypeCodeName(uint32_t code) {
    return code == 0 ? "no more translation caches" : Named(kCacheKindNames, code);
}

const char* CacheTypeName(CacheType type) {
    switch (type) {
    case CacheType::Data:
        return kCacheKindNames[1];
    case CacheType::Instruction:
        return kCacheKindNames[2];
    case CacheType::Unified:
        break;
    }
    return kCacheKindNames[kUnifiedCode];
}

const char* TopologyLevelCodeName(uint32_t code) {
    static const char* const kNames[] = {"invalid", "thread", "core", "module", "tile", "die", "die group"};
    return Named(kNames, code);
}

const char* AmdTopologyLevelCodeName(uint32_t code) {
    static const char* const kNames[] = {"invalid", "core", "complex", "die", "socket"};
    return Named(kNames, code);
}

const char* CoreTypeCodeName(uint32_t code) {
    switch (code) {
    case 0x20:
        return "efficiency (Atom)";
    case 0x40:
        return "performance (Core)";
    default:
        return nullptr;
    }
}

const char* AmdCoreTypeCodeName(uint32_t code) {
    static const char* const kNames[] = {"performance", "efficiency"};
    return Named(kNames, code);
}

const char* ProcessorTypeCodeName(uint32_t code) {
    static const char* const kNames[] = {"original OEM processor", "OverDrive", "second processor"};
    return Named(kNames, code);
}

uint32_t PerformanceTscBits(uint32_t code) {
    return 40 + 8 * (code & 3u);
}
