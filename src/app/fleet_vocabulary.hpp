// The names --diff and --baseline give features: the CPUID database's
// (--names cpuid, as always) or the Linux kernel's (--names linux), and
// what a machine of a comparison is reduced to in both.
#pragma once

#include "decode/feature_compare.hpp"
#include "decode/linux_flags.hpp"
#include "decode/microarch_targets.hpp"
#include "names/ini_file.hpp"

#include <optional>
#include <string>
#include <vector>

enum class Vocabulary { Cpuid, Linux };

// Everything the data file names features and targets with; the Linux and
// archspec books are missing when their sections are.
struct NameBooks {
    FeatureNameBook cpuid;
    std::optional<LinuxFlagBook> linuxFlags;
    std::optional<ArchspecBook> archspec;
};

NameBooks ReadNameBooks(const IniFile& database);

// Takes "--names linux" or "--names cpuid" out of the operands. False, with
// the reason, when "--names" has no such word after it.
bool TakeNamesSwitch(std::vector<std::string>& operands, Vocabulary& vocabulary, std::string& reason);

// A machine reduced to what a comparison needs: its CPUID feature bits and
// x86-64 level, its Linux flags as a mask of the Linux book and its vendor.
struct FleetMachine {
    MachineFeatures cpuid;
    FeatureMask linuxFlags;
    std::string vendorId;
};

FleetMachine ReadFleetMachine(const CpuidSnapshot& snapshot, const NameBooks& books, bool fromHardware);

// The machine's features in the vocabulary: CPUID bits or Linux flags, with
// its level.
MachineFeatures FeaturesIn(const FleetMachine& machine, Vocabulary vocabulary);

// Names a mask of the vocabulary.
MaskNamer NamerOf(const NameBooks& books, Vocabulary vocabulary);

// The archspec view of a Linux flag mask.
ArchspecProcessor ArchspecProcessorOf(const NameBooks& books, const std::string& vendorId,
                                      const FeatureMask& linuxFlags);
