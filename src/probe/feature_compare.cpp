#include "probe/feature_compare.hpp"

#include "probe/os_support.hpp"
#include "probe/x86_levels.hpp"

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

std::string LevelName(int level) {
    return "x86-64-v" + std::to_string(level);
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
    FeatureDiff diff;
    diff.onlyA = NameFeatureMask(MaskWithout(a.mask, b.mask), book);
    diff.onlyB = NameFeatureMask(MaskWithout(b.mask, a.mask), book);
    diff.bLacks = GroupNames(diff.onlyA);
    if (b.level < a.level) {
        diff.bLacks.push_back(LevelName(a.level));
    }
    return diff;
}

void FleetBaseline::Add(const std::string& label, const MachineFeatures& machine) {
    if (machines_.empty()) {
        common_ = machine.mask;
        level_ = machine.level;
    } else {
        common_ = MaskCommon(common_, machine.mask);
        level_ = std::min(level_, machine.level);
    }
    bitCounts_.resize(std::max(bitCounts_.size(), machine.mask.size() * kBitsPerWord), 0);
    for (size_t word = 0; word < machine.mask.size(); ++word) {
        for (size_t bit = 0; bit < kBitsPerWord; ++bit) {
            bitCounts_[word * kBitsPerWord + bit] += (machine.mask[word] >> bit) & 1;
        }
    }
    auto found = maskIndex_.emplace(machine.mask, masks_.size());
    if (found.second) {
        masks_.push_back(machine.mask);
    }
    machines_.emplace_back(label, found.first->second);
}

// The bits this mask lacks that more than half of the other machines have
// (a machine lacking a bit is never among those counted for it).
FeatureMask FleetBaseline::LacksOfMostHeld(const FeatureMask& mask) const {
    size_t others = machines_.size() - 1;
    FeatureMask lacks(bitCounts_.size() / kBitsPerWord, 0);
    for (size_t word = 0; word < lacks.size(); ++word) {
        for (size_t bit = 0; bit < kBitsPerWord; ++bit) {
            bool has = (WordAt(mask, word) >> bit) & 1;
            if (!has && bitCounts_[word * kBitsPerWord + bit] * 2 > others) {
                lacks[word] |= 1u << bit;
            }
        }
    }
    return lacks;
}

std::vector<HoldingMachine> FleetBaseline::HoldingDown() const {
    std::vector<FeatureMask> lacksOfMask;
    for (const FeatureMask& mask : masks_) {
        lacksOfMask.push_back(LacksOfMostHeld(mask));
    }
    std::vector<HoldingMachine> holding;
    for (const auto& machine : machines_) {
        const FeatureMask& lacks = lacksOfMask[machine.second];
        if (std::any_of(lacks.begin(), lacks.end(), [](uint32_t word) { return word != 0; })) {
            holding.push_back(HoldingMachine{machine.first, lacks});
        }
    }
    return holding;
}
