// The data-file names the capability outputs use: one section of bit names
// per feature word, the [Hypervisor] identifications, and the processor
// names key I shows.
#pragma once

#include "probe/capabilities.hpp"
#include "probe/feature_words.hpp"

#include <optional>
#include <string>

// The names of every feature word from its Bits.* section.
FeatureNameBook ReadFeatureNameBook();

// The [Hypervisor] name of a hypervisor identification (blanks at either end ignored).
std::optional<std::string> LookupHypervisorName(const std::string& vendorId);

// Fills facts.names from the open data file.
void LookupCapabilityNames(CapabilityFacts& facts);
