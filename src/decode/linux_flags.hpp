// The names the Linux kernel prints on the flags line of /proc/cpuinfo for
// the CPUID bits a processor reports. The rules, one per name in the order
// the kernel prints them, come from the data file and are handed in.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/feature_words.hpp"

#include <string>
#include <vector>

// A name and the bits that make the kernel print it: any one of them set.
struct LinuxFlagRule {
    std::string name;
    std::vector<FeatureBit> sources;
};

// In the kernel's order.
using LinuxFlagBook = std::vector<LinuxFlagRule>;

// True when processor 0 reports the bit's leaf (within the maximum of its
// range: standard, 0x80000000, 0x80860000 or 0xC0000000; leaf 7 sub-leaves
// within 7.0 EAX) and the bit is set there.
bool ReportedBitSet(const CpuidSnapshot& snapshot, const FeatureBit& bit);

// The names of the rules whose bits processor 0 has, in the book's order.
std::vector<std::string> DecodeLinuxFlags(const CpuidSnapshot& snapshot, const LinuxFlagBook& book);

// Bit i of the mask (word i / 32, bit i % 32) is set when rule i holds: the
// Linux names as bits, for the set arithmetic of --diff and --baseline.
FeatureMask LinuxFlagMask(const CpuidSnapshot& snapshot, const LinuxFlagBook& book);

// The names of a mask's rules as one group labelled "linux_flags", or no
// group when no bit is set.
std::vector<FeatureGroup> NameLinuxFlagMask(const FeatureMask& mask, const LinuxFlagBook& book);
