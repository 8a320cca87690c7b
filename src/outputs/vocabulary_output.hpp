// How the outputs write the names other tools use: the Linux flags, the
// archspec target, its nearest named target and the compiler flags for it.
#pragma once

#include "decode/vocabularies.hpp"

#include <iosfwd>
#include <string>
#include <vector>

// archspec's "LOW:HIGH" as words: "12.3 and later", "10.3 to 12.2",
// "up to 4.1.2", "every version".
std::string CompilerVersionsText(const std::string& versions);

// "-march=znver4 -mtune=znver4 (12.3 and later); -march=znver3 ... (10.3 to
// 12.2)" for one compiler's ranges, or "none" when it has none.
std::string CompilerRangesText(const std::vector<CompilerFlagRange>& ranges, const std::string& compiler);

// "zen4, lacking pku flush_l1d", with "(a hypervisor hides them)" when
// the processor was identified as that target's design under a hypervisor,
// "zen4, lacking nothing", or "none".
std::string NearestTargetText(const ArchspecFacts& archspec);

// "pku flush_l1d (of zen4, the identified target; hidden, likely by the
// hypervisor)", or "none (of zen4, the identified target)".
std::string HiddenFeaturesText(const ArchspecFacts& archspec);

// The JSON values of "linux_flags" and "archspec" (null when unknown).
std::string LinuxFlagsJson(const VocabularyFacts& facts);
std::string ArchspecJson(const VocabularyFacts& facts);

// [{"compiler", "versions", "flags"}, ...]
std::string CompilerRangesJson(const std::vector<CompilerFlagRange>& ranges);

// "zen4: yes", "zen4: no (missing: pku flush_l1d)" or
// "zen4: no (a target of AuthenticAMD; missing: ...)".
std::string WhyNotText(const std::string& target, const ArchspecShortfall& shortfall);

// "  archspec target: zen4", then the "  gcc flags:" and "  clang flags:"
// lines of its compiler ranges, as --can-run ends.
void WriteArchspecFlagLines(const ArchspecFacts& archspec, std::ostream& out);

// The JSON values of "microcode", "vulnerabilities", "kernel_hidden" and
// "kernel_only" (each null without the kernel's view, or what it lacks).
std::string MicrocodeJson(const VocabularyFacts& facts);
std::string VulnerabilitiesJson(const VocabularyFacts& facts);
std::string KernelHiddenJson(const VocabularyFacts& facts);
std::string KernelOnlyJson(const VocabularyFacts& facts);

// "rep_good (synthetic)", "constant_tsc (derived)".
std::string KernelOnlyText(const KernelOnlyFlag& flag);
