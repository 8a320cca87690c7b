// The data-file names the capability outputs use: one section of bit names
// per feature word, the [Hypervisor] identifications, and the processor
// names key I shows.
#pragma once

#include "decode/capabilities.hpp"
#include "decode/feature_words.hpp"
#include "names/ini_file.hpp"

#include <optional>
#include <string>

// The names of every feature word from its Bits.* section.
FeatureNameBook ReadFeatureNameBook(const IniFile& database);

// The [Hypervisor] name of a hypervisor identification (blanks at either end ignored).
std::optional<std::string> LookupHypervisorName(const IniFile& database, const std::string& vendorId);

// Fills facts.names from the data file.
void LookupCapabilityNames(const IniFile& database, CapabilityFacts& facts);
