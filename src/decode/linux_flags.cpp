#include "decode/linux_flags.hpp"

#include "cpuid/registers.hpp"

namespace {

constexpr uint32_t kRangeMask = 0xFFFF0000u;

// The highest leaf of the range the leaf belongs to, or none when that
// range's first leaf answers no maximum within it.
bool LeafReported(const CpuidSnapshot& snapshot, uint32_t leaf, uint32_t subleaf) {
    uint32_t base = leaf & kRangeMask;
    uint32_t top = snapshot.Answer(0, base).eax;
    if ((top & kRangeMask) != base || leaf > top) {
        return false;
    }
    return leaf != 7 || subleaf == 0 || subleaf <= snapshot.Answer(0, 7, 0).eax;
}

bool RuleHolds(const CpuidSnapshot& snapshot, const LinuxFlagRule& rule) {
    for (const FeatureBit& bit : rule.sources) {
        if (ReportedBitSet(snapshot, bit)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ReportedBitSet(const CpuidSnapshot& snapshot, const FeatureBit& bit) {
    const FeatureWord& word = bit.word;
    if (snapshot.cpus.empty() || !LeafReported(snapshot, word.leaf, word.subleaf)) {
        return false;
    }
    uint32_t value = RegisterAt(snapshot.Answer(0, word.leaf, word.subleaf), word.reg);
    return BitSet(value, static_cast<uint32_t>(bit.bit & 31));
}

std::vector<std::string> DecodeLinuxFlags(const CpuidSnapshot& snapshot, const LinuxFlagBook& book) {
    std::vector<std::string> names;
    for (const LinuxFlagRule& rule : book) {
        if (RuleHolds(snapshot, rule)) {
            names.push_back(rule.name);
        }
    }
    return names;
}

FeatureMask LinuxFlagMask(const CpuidSnapshot& snapshot, const LinuxFlagBook& book) {
    FeatureMask mask((book.size() + 31) / 32, 0);
    for (size_t i = 0; i < book.size(); ++i) {
        if (RuleHolds(snapshot, book[i])) {
            mask[i / 32] |= 1u << (i % 32);
        }
    }
    return mask;
}

std::vector<FeatureGroup> NameLinuxFlagMask(const FeatureMask& mask, const LinuxFlagBook& book) {
    FeatureGroup group{"linux_flags", {}};
    for (size_t i = 0; i < book.size() && i / 32 < mask.size(); ++i) {
        if (BitSet(mask[i / 32], static_cast<uint32_t>(i % 32))) {
            group.bits.named.push_back(book[i].name);
        }
    }
    if (group.bits.named.empty()) {
        return {};
    }
    return {group};
}
