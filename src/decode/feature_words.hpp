// The CPUID registers whose single bits are features, and their decoding
// into names. The names come from the data file (one section per word);
// a set bit without a name is kept as "LEAF.SUBLEAF.REG.BIT".
#pragma once

#include "cpuid/registers.hpp"
#include "cpuid/snapshot.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Entry i names bit i of one feature register; empty means unnamed.
using FeatureNameTable = std::array<std::string, 32>;

// One register of one (leaf, sub-leaf); reg is kEax .. kEdx.
struct FeatureWord {
    uint32_t leaf;
    uint32_t subleaf;
    int reg;
};

// One bit of one feature word.
struct FeatureBit {
    FeatureWord word;
    int bit;
};

// Every feature word, in the order the features are listed.
const std::vector<FeatureWord>& FeatureWords();

// "0x00000007.1.edx": how a word is written in unnamed bits and in --list.
std::string FeatureWordLabel(const FeatureWord& word);

// The data-file section naming the bits of a word, e.g. "Bits.00000007.1.EDX".
std::string FeatureWordSection(const FeatureWord& word);

// The names of the bits of every word, in the order of FeatureWords();
// missing tables or empty entries mean unnamed bits.
using FeatureNameBook = std::vector<FeatureNameTable>;

// The register value of a word on processor 0.
uint32_t FeatureWordValue(const CpuidSnapshot& snapshot, const FeatureWord& word);

// True when the word's leaf lies within the maximum its range reports (an
// extended maximum outside 0x80000000..0x8000FFFF means no extended leaves)
// and, for leaf 7, the sub-leaf within the maximum of 7.0 EAX.
bool FeatureWordReported(const CpuidSnapshot& snapshot, const FeatureWord& word);

// The highest standard leaf, and the highest extended leaf (0 when there
// are no extended leaves), of processor cpu.
uint32_t MaxStandardLeaf(const CpuidSnapshot& snapshot, size_t cpu = 0);
uint32_t MaxExtendedLeaf(const CpuidSnapshot& snapshot, size_t cpu = 0);

// The bit's name from the book, or its "LEAF.SUBLEAF.REG.BIT" form.
std::string FeatureBitName(const FeatureNameBook& book, const FeatureBit& bit);

// True when the bit is set in a reported word on processor 0.
bool FeatureBitSet(const CpuidSnapshot& snapshot, const FeatureBit& bit);

struct FeatureList {
    std::vector<std::string> named;   // names of set bits, word order then bit order
    std::vector<std::string> unnamed; // set bits without a name, same order
};

// The set bits of one reported word.
struct FeatureGroup {
    std::string label; // FeatureWordLabel of the word
    FeatureList bits;
};

// The value of every word in FeatureWords() order, 0 for a word not
// reported: the features as bits, for set arithmetic across processors.
using FeatureMask = std::vector<uint32_t>;
FeatureMask ReadFeatureMask(const CpuidSnapshot& snapshot);

// One group per word of the mask with a set bit, in word order.
std::vector<FeatureGroup> NameFeatureMask(const FeatureMask& mask, const FeatureNameBook& book);

// One group per reported word with a set bit, in word order.
std::vector<FeatureGroup> DecodeFeatureGroups(const CpuidSnapshot& snapshot, const FeatureNameBook& book);

// Every group's names one after the other.
FeatureList JoinFeatureGroups(const std::vector<FeatureGroup>& groups);
