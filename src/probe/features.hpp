// Feature tables, leaf 2 descriptor names, cache splits and address sizes.
#pragma once

#include "probe/record_types.hpp"

#include <cstdint>
#include <string>

// Statuses from the register bits, names from the database section; bits the
// section leaves unnamed are hidden when it names at least one bit.
void DecodeFeatureRegister(uint32_t value, FeatureStatusTable& status, const std::string& section,
                           FeatureNameTable& names);

void DecodeConfigurationDescriptors();
void DecodeL1Fields();
void DecodeL2Fields();
void DecodeAddressSizes();
