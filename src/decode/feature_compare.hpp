// Set arithmetic on the features of several processors: what one has and
// another lacks, what every machine of a fleet shares, and which machines
// lack what most of the others have. Features are compared as bits of the
// same word, so two words that happen to share a name never mix.
#pragma once

#include "decode/feature_words.hpp"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// a & ~b and a & b, word by word (missing words count as 0).
FeatureMask MaskWithout(const FeatureMask& a, const FeatureMask& b);
FeatureMask MaskCommon(const FeatureMask& a, const FeatureMask& b);

// Every name of the groups, group by group, named bits before unnamed ones.
std::vector<std::string> GroupNames(const std::vector<FeatureGroup>& groups);

// What a processor brings to a comparison: its feature bits and the highest
// x86-64 level it meets.
struct MachineFeatures {
    FeatureMask mask;
    int level = 0;
};

struct FeatureDiff {
    std::vector<FeatureGroup> onlyA; // features A has and B lacks, by word
    std::vector<FeatureGroup> onlyB;
    // What B lacks to run everything A runs: A's features B has not, then
    // "x86-64-vN" when B meets a lower level than A. Empty when B runs it all.
    std::vector<std::string> bLacks;
    bool BRunsA() const { return bLacks.empty(); }
};

// The feature bits and level of a snapshot's processor 0.
MachineFeatures ReadMachineFeatures(const CpuidSnapshot& snapshot, const FeatureNameBook& book,
                                    bool fromHardware);

FeatureDiff CompareFeatures(const MachineFeatures& a, const MachineFeatures& b, const FeatureNameBook& book);

// The same for masks of another vocabulary (the Linux flags), named by name.
using MaskNamer = std::function<std::vector<FeatureGroup>(const FeatureMask& mask)>;
FeatureDiff CompareFeatures(const MachineFeatures& a, const MachineFeatures& b, const MaskNamer& name);

// Reduces machines one at a time to what the baseline needs: the common
// features, the lowest level and how many machines have each bit. Nothing is
// kept per machine, so a fleet of any size takes the same memory; which
// machines hold the baseline down is asked of each machine again afterwards.
class FleetBaseline {
  public:
    void Add(const MachineFeatures& machine);
    size_t MachineCount() const { return count_; }
    const FeatureMask& Common() const { return common_; }
    int Level() const { return level_; } // 0 when no machine was added
    // The features a machine of the fleet lacks that more than half of the
    // other machines have; none when it holds nothing down.
    std::optional<FeatureMask> Holding(const FeatureMask& mask) const;

  private:
    size_t count_ = 0;
    std::vector<size_t> bitCounts_; // machines with each bit, 32 per word
    FeatureMask common_;
    int level_ = 0;
};
