// The names other tools give a processor: the Linux kernel's flags, the
// archspec target and the compiler flags archspec gives for it.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/kernel_view.hpp"
#include "decode/linux_flags.hpp"
#include "decode/microarch_targets.hpp"

#include <optional>
#include <string>
#include <vector>

struct ArchspecFacts {
    std::string target;
    // The target of the microarchitecture the processor was identified as,
    // and, under a hypervisor, what of it the processor does not report.
    std::optional<std::string> identified;
    std::vector<std::string> hiddenByHypervisor;
    // The vendor's target nearest above it, and what the processor lacks of it.
    std::optional<std::string> nearest;
    std::vector<std::string> nearestLacks;
    std::vector<CompilerFlagRange> compilers; // of the target, gcc then clang
};

// What the data file says of the processor's model, handed in.
struct GenerationFacts {
    std::optional<std::string> microarchitecture;
    std::optional<std::string> processNode;
    std::optional<std::string> archspecTarget;
};

struct VocabularyFacts {
    GenerationFacts generation;
    // None when the data file holds no Linux flag rules.
    std::optional<std::vector<std::string>> linuxFlags;
    // None without archspec targets, without Linux flags, or when no target
    // fits (a processor without 64-bit mode).
    std::optional<ArchspecFacts> archspec;
    // What the running Linux kernel says; none on a dump and off Linux.
    std::optional<KernelView> kernel;
};

// What the archspec choice and its hidden features need besides the books.
struct VocabularyProcessor {
    std::string vendorId;
    bool hypervisor = false;
    GenerationFacts generation;
};

// The Linux flags of processor 0 and the archspec target they make; either
// book may be missing.
VocabularyFacts DecodeVocabularies(const CpuidSnapshot& snapshot, const VocabularyProcessor& processor,
                                   const std::optional<LinuxFlagBook>& linuxBook,
                                   const std::optional<ArchspecBook>& archspecBook);

// The archspec facts of a processor's Linux flags, or none when no target fits.
std::optional<ArchspecFacts> DescribeArchspecTarget(const ArchspecBook& book,
                                                    const ArchspecProcessor& processor);
