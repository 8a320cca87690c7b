// Feature tables, leaf 2 descriptor names, cache splits and address sizes.
#pragma once

#include "classic/record.hpp"
#include "names/ini_file.hpp"

#include <cstdint>
#include <string>

// Statuses from the register bits, names from the database section; bits the
// section leaves unnamed are hidden when it names at least one bit.
void DecodeFeatureRegister(const IniFile& database, uint32_t value, FeatureStatusTable& status,
                           const std::string& section, FeatureNameTable& names);

void DecodeConfigurationDescriptors(ProcessorRecord& record, const IniFile& database);
void DecodeL1Fields(ProcessorRecord& record);
void DecodeL2Fields(ProcessorRecord& record);
void DecodeAddressSizes(ProcessorRecord& record);
