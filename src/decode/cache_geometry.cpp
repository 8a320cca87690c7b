#include "decode/cache_geometry.hpp"

#include "common/text_format.hpp"
#include "decode/coded_values.hpp"
#include "decode/feature_words.hpp"
#include "decode/identity.hpp"

#include <limits>

namespace {

constexpr uint32_t kIntelCacheLeaf = 4;
constexpr uint32_t kAmdCacheLeaf = 0x8000001D;
constexpr uint32_t kAmdFeatureLeaf = 0x80000001;
constexpr uint32_t kTopologyExtensionsBit = 22; // 0x80000001 ECX
constexpr uint32_t kL1Leaf = 0x80000005;
constexpr uint32_t kL2L3Leaf = 0x80000006;
constexpr uint64_t kL3Step = 512; // KB per unit of 0x80000006 EDX 31:18

// The leaf holding deterministic cache parameters on this processor, or 0.
uint32_t DeterministicCacheLeaf(const CpuidSnapshot& snapshot, size_t cpu) {
    if (HasTopologyExtensions(snapshot, cpu) && MaxExtendedLeaf(snapshot, cpu) >= kAmdCacheLeaf) {
        return kAmdCacheLeaf;
    }
    if (!AmdStyleVendor(snapshot, cpu) && MaxStandardLeaf(snapshot, cpu) >= kIntelCacheLeaf) {
        return kIntelCacheLeaf;
    }
    return 0;
}

CacheType TypeOfField(uint32_t field) {
    return field == 1 ? CacheType::Data : field == 2 ? CacheType::Instruction : CacheType::Unified;
}

// The associativity codes of 0x80000006: ways, 0 for none, or fully
// associative (kFully); codes without a meaning give kUnknownWays.
constexpr uint64_t kFully = std::numeric_limits<uint64_t>::max();
constexpr uint64_t kUnknownWays = kFully - 1;
uint64_t WaysOfCode(uint32_t code) {
    Associativity associativity = AmdAssociativity(code);
    if (associativity.fullyAssociative) {
        return kFully;
    }
    return associativity.reserved ? kUnknownWays : associativity.ways.value_or(0);
}

void SetWays(CacheFacts& cache, uint64_t ways) {
    cache.fullyAssociative = ways == kFully;
    if (ways != kFully && ways != kUnknownWays) {
        cache.ways = ways;
    }
}

// A cache in the layout of 0x80000005 ECX or EDX: size KB 31:24, ways
// 23:16 (0xFF fully associative), line 7:0.
void AddL1(std::vector<CacheFacts>& caches, uint32_t level, uint32_t reg, CacheType type) {
    CacheFacts cache;
    cache.level = level;
    cache.type = type;
    cache.sizeKb = BitField(reg, 24, 8);
    if (*cache.sizeKb == 0) {
        return;
    }
    uint32_t ways = BitField(reg, 16, 8);
    SetWays(cache, ways == 0xFF ? kFully : ways == 0 ? kUnknownWays : ways);
    cache.lineBytes = BitField(reg, 0, 8);
    cache.sets = SetsOf(cache);
    caches.push_back(cache);
}

// An L2 or L3 of 0x80000006, given its size in KB and its associativity code.
void AddLowerLevel(std::vector<CacheFacts>& caches, uint32_t level, uint64_t sizeKb, uint32_t reg) {
    uint64_t ways = WaysOfCode(BitField(reg, 12, 4));
    if (sizeKb == 0 || ways == 0) {
        return;
    }
    CacheFacts cache;
    cache.level = level;
    cache.sizeKb = sizeKb;
    SetWays(cache, ways);
    cache.lineBytes = BitField(reg, 0, 8);
    cache.sets = SetsOf(cache);
    caches.push_back(cache);
}

// VIA C3 Samuel 2 and Ezra (CentaurHauls family 6, models 7 and 8) report
// their L2 in 0x80000006 ECX in the layout of the L1 leaf.
bool ReportsL2InL1Layout(const CpuidSnapshot& snapshot, size_t cpu) {
    SignatureFields sig = SplitSignature(snapshot.Answer(cpu, 1).eax);
    return VendorIdText(snapshot.Answer(cpu, 0)) == "CentaurHauls" && sig.family == 6 &&
           (sig.model == 7 || sig.model == 8);
}

} // namespace

bool AmdStyleVendor(const CpuidSnapshot& snapshot, size_t cpu) {
    std::string vendor = VendorIdText(snapshot.Answer(cpu, 0));
    return vendor == "AuthenticAMD" || vendor == "HygonGenuine";
}

bool HasTopologyExtensions(const CpuidSnapshot& snapshot, size_t cpu) {
    return MaxExtendedLeaf(snapshot, cpu) >= kAmdFeatureLeaf &&
           BitField(snapshot.Answer(cpu, kAmdFeatureLeaf).ecx, kTopologyExtensionsBit, 1) != 0;
}

bool CacheFacts::operator==(const CacheFacts& o) const {
    return level == o.level && type == o.type && sizeKb == o.sizeKb && sizeBelowKb == o.sizeBelowKb &&
           ways == o.ways && fullyAssociative == o.fullyAssociative && lineBytes == o.lineBytes &&
           sets == o.sets && sharedBy == o.sharedBy && inclusive == o.inclusive && coreType == o.coreType &&
           lowPower == o.lowPower;
}

std::optional<uint64_t> SetsOf(const CacheFacts& cache) {
    if (!cache.sizeKb || !cache.lineBytes || *cache.lineBytes == 0) {
        return std::nullopt;
    }
    if (cache.fullyAssociative) {
        return 1;
    }
    std::optional<uint64_t> bytesPerSet = CheckedProduct(cache.ways, cache.lineBytes);
    std::optional<uint64_t> bytes = CheckedProduct(cache.sizeKb, uint64_t{1024});
    if (!bytesPerSet || *bytesPerSet == 0 || !bytes) {
        return std::nullopt;
    }
    return *bytes / *bytesPerSet;
}

std::optional<uint64_t> CheckedProduct(std::optional<uint64_t> a, std::optional<uint64_t> b) {
    if (!a || !b) {
        return std::nullopt;
    }
    if (*a != 0 && *b > std::numeric_limits<uint64_t>::max() / *a) {
        return std::nullopt;
    }
    return *a * *b;
}

uint32_t BitsFor(uint64_t count) {
    uint32_t bits = 0;
    while (bits < 32 && (uint64_t{1} << bits) < count) {
        ++bits;
    }
    return bits;
}

std::vector<DeterministicCache> ReadDeterministicCaches(const CpuidSnapshot& snapshot, size_t cpu) {
    std::vector<DeterministicCache> caches;
    uint32_t leaf = DeterministicCacheLeaf(snapshot, cpu);
    for (uint32_t sub = 0; leaf != 0 && sub < kMaxSubleaves && snapshot.Has(cpu, leaf, sub); ++sub) {
        CpuidRegs regs = snapshot.Answer(cpu, leaf, sub);
        uint32_t typeField = BitField(regs.eax, 0, 5);
        if (typeField == 0) {
            break;
        }
        DeterministicCache entry;
        CacheFacts& cache = entry.facts;
        cache.level = BitField(regs.eax, 5, 3);
        cache.type = TypeOfField(typeField);
        cache.fullyAssociative = BitField(regs.eax, 9, 1) != 0;
        uint64_t ways = uint64_t{BitField(regs.ebx, 22, 10)} + 1;
        uint64_t partitions = uint64_t{BitField(regs.ebx, 12, 10)} + 1;
        cache.lineBytes = uint64_t{BitField(regs.ebx, 0, 12)} + 1;
        cache.sets = uint64_t{regs.ecx} + 1;
        if (!cache.fullyAssociative) {
            cache.ways = ways;
        }
        std::optional<uint64_t> bytes =
            CheckedProduct(CheckedProduct(CheckedProduct(ways, partitions), cache.lineBytes), cache.sets);
        cache.sizeKb = bytes ? std::optional<uint64_t>(*bytes / 1024) : std::nullopt;
        cache.inclusive = BitField(regs.edx, 1, 1) != 0;
        entry.sharingField = uint64_t{BitField(regs.eax, 14, 12)} + 1;
        entry.sharing = leaf == kAmdCacheLeaf ? SharingField::Processors : SharingField::AddressableIds;
        cache.sharedBy = entry.sharingField;
        caches.push_back(entry);
    }
    return caches;
}

std::vector<CacheFacts> ReadExtendedCacheLeaves(const CpuidSnapshot& snapshot, size_t cpu) {
    std::vector<CacheFacts> caches;
    uint32_t top = MaxExtendedLeaf(snapshot, cpu);
    if (top >= kL1Leaf) {
        CpuidRegs l1 = snapshot.Answer(cpu, kL1Leaf);
        AddL1(caches, 1, l1.ecx, CacheType::Data);
        AddL1(caches, 1, l1.edx, CacheType::Instruction);
    }
    if (top >= kL2L3Leaf) {
        CpuidRegs lower = snapshot.Answer(cpu, kL2L3Leaf);
        if (ReportsL2InL1Layout(snapshot, cpu)) {
            AddL1(caches, 2, lower.ecx, CacheType::Unified);
            return caches;
        }
        AddLowerLevel(caches, 2, BitField(lower.ecx, 16, 16), lower.ecx);
        uint64_t l3Units = BitField(lower.edx, 18, 14);
        size_t before = caches.size();
        AddLowerLevel(caches, 3, l3Units * kL3Step, lower.edx);
        if (caches.size() > before) {
            caches.back().sizeBelowKb = (l3Units + 1) * kL3Step;
        }
    }
    return caches;
}
