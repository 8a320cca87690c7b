// Set arithmetic on the features of several processors: what one has and
// another lacks, what every machine of a fleet shares, and which machines
// lack what most of the others have. Features are compared as bits of the
// same word, so two words that happen to share a name never mix.
#pragma once

#include "probe/feature_words.hpp"

#include <cstddef>
#include <map>
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

// A machine whose missing features keep the baseline lower than most of the
// fleet would allow.
struct HoldingMachine {
    std::string label;
    FeatureMask lacks; // features it lacks that more than half of the others have
};

// Reduces machines one at a time to what the baseline needs: the common
// features, the lowest level, how many machines have each bit, and each
// distinct feature mask once (fleets repeat a few configurations), so the
// memory held per machine is its label and one index.
class FleetBaseline {
  public:
    void Add(const std::string& label, const MachineFeatures& machine);
    size_t MachineCount() const { return machines_.size(); }
    const FeatureMask& Common() const { return common_; }
    int Level() const { return level_; } // 0 when no machine was added
    // In the order the machines were added; machines lacking nothing are left out.
    std::vector<HoldingMachine> HoldingDown() const;

  private:
    FeatureMask LacksOfMostHeld(const FeatureMask& mask) const;

    std::vector<std::pair<std::string, size_t>> machines_; // label, index into masks_
    std::map<FeatureMask, size_t> maskIndex_;
    std::vector<FeatureMask> masks_;
    std::vector<size_t> bitCounts_; // machines with each bit, 32 per word
    FeatureMask common_;
    int level_ = 0;
};
