// The data file's sections made from other tools' references: the Linux
// kernel's flag names ([LinuxFlags], [LinuxSyntheticFlags]) and archspec's
// targets ([ArchspecTargets], [ArchspecCompilers]). A section that is
// missing, or holds a line that does not read, gives none: the facts made
// from it are then unknown, never half right.
#pragma once

#include "decode/linux_flags.hpp"
#include "decode/microarch_targets.hpp"
#include "names/ini_file.hpp"

#include <optional>
#include <string>
#include <vector>

std::optional<LinuxFlagBook> ReadLinuxFlagBook(const IniFile& database);

// The names the kernel prints that no CPUID bit gives.
std::vector<std::string> ReadLinuxSyntheticFlags(const IniFile& database);

std::optional<ArchspecBook> ReadArchspecBook(const IniFile& database);

// "LEAF.SUBLEAF.REGISTER.BIT" as the data file writes a bit
// ("00000007.0.EDX.26"); false when the text is no such bit.
bool ParseDataFileBit(const std::string& text, FeatureBit& bit);
