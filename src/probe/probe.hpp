// The probe sequence: every leaf read once at start, decoded into the record.
#pragma once

#include "database/ini_file.hpp"
#include "probe/record.hpp"

#include <cstdint>

// Leaf 0: registers, maxStdLevel and the twelve vendor bytes.
void ReadVendorLeaf(ProcessorRecord& record, uint8_t buffer[12]);

// Leaves 1 to 3, as far as maxStdLevel allows.
void ReadStandardLeaves(ProcessorRecord& record);

// Leaf 0x80000000, then the extended leaves from the highest down.
void ReadExtendedLeaves(ProcessorRecord& record);

// The whole sequence into the record, names from the data file read at
// start-up; progress lines only in verbose mode.
void ProbeProcessor(ProcessorRecord& record, const IniFile& database);
