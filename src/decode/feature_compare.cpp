#include "decode/feature_compare.hpp"

#include "decode/os_support.hpp"
#include "decode/x86_levels.hpp"

#include <algorithm>

namespace {

constexpr size_t kBitsPerWord = 32;

uint32_t WordAt(const FeatureMask& mask, size_t index) {
    return index < mask.size() ? mask[index] : 0;
}

FeatureMask Combine(const FeatureMask& a, const FeatureMask& b, bool keepCommon) {
    FeatureMask result(std::max(a.size(), b.size()), 0);
    for (size_t i = 0; i < result.size(); ++i) {
        uint32_t other = WordAt(b, i);
        result[i] = WordAt(a, i) & (keepCommon ? other : ~other);
    }
    return result;
}

} // namespace

FeatureMask MaskWithout(const FeatureMask& a, const FeatureMask& b) {
    return Combine(a, b, false);
}

FeatureMask MaskCommon(const FeatureMask& a, const FeatureMask& b) {
    return Combine(a, b, true);
}

std::vector<std::string> GroupNames(const std::vector<FeatureGroup>& groups) {
    std::vector<std::string> names;
    for (const FeatureGroup& group : groups) {
        names.insert(names.end(), group.bits.named.begin(), group.bits.named.end());
        names.insert(names.end(), group.bits.unnamed.begin(), group.bits.unnamed.end());
    }
    return names;
}

MachineFeatures ReadMachineFeatures(const CpuidSnapshot& snapshot, const FeatureNameBook& book,
                                    bool fromHardware) {
    OsSupport os = JudgeOsSupport(snapshot, fromHardware);
    return MachineFeatures{ReadFeatureMask(snapshot), JudgeLevels(snapshot, book, os).level};
}

FeatureDiff CompareFeatures(const MachineFeatures& a, const MachineFeatures& b, const FeatureNameBook& book) {
    return CompareFeatures(a, b, [&book](const FeatureMask& mask) { return NameFeatureMask(mask, book); });
}

FeatureDiff CompareFeatures(const MachineFeatures& a, const MachineFeatures& b, const MaskNamer& name) {
    FeatureDiff diff;
    diff.onlyA = name(MaskWithout(a.mask, b.mask));
    diff.onlyB = name(MaskWithout(b.mask, a.mask));
    diff.bLacks = GroupNames(diff.onlyA);
    if (b.level < a.level) {
        diff.bLacks.push_back(LevelName(a.level));
    }
    return diff;
}

void FleetBaseline::Add(const MachineFeatures& machine) {
    if (count_ == 0) {
        common_ = machine.mask;
        level_ = machine.level;
    } else {
        common_ = MaskCommon(common_, machine.mask);
        level_ = std::min(level_, machine.level);
    }
    ++count_;
    bitCounts_.resize(std::max(bitCounts_.size(), machine.mask.size() * kBitsPerWord), 0);
    for (size_t word = 0; word < machine.mask.size(); ++word) {
        for (size_t bit = 0; bit < kBitsPerWord; ++bit) {
            bitCounts_[word * kBitsPerWord + bit] += (machine.mask[word] >> bit) & 1;
        }
    }
}

// A machine lacking a bit is never among those counted for it, so the
// machines with the bit are all others.
std::optional<FeatureMask> FleetBaseline::Holding(const FeatureMask& mask) const {
    size_t others = count_ == 0 ? 0 : count_ - 1;
    FeatureMask lacks(bitCounts_.size() / kBitsPerWord, 0);
    bool holding = false;
    for (size_t word = 0; word < lacks.size(); ++word) {
        for (size_t bit = 0; bit < kBitsPerWord; ++bit) {
            bool has = (WordAt(mask, word) >> bit) & 1;
            if (!has && bitCounts_[word * kBitsPerWord + bit] * 2 > others) {
                lacks[word] |= 1u << bit;
                holding = true;
            }
        }
    }
    return holding ? std::optional<FeatureMask>(lacks) : std::nullopt;
}
