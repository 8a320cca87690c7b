// The probe sequence: every leaf read once at start, decoded into the record.
#pragma once

#include <cstdint>

// Leaf 0: registers, maxStdLevel and the twelve vendor bytes.
void ReadVendorLeaf(uint8_t buffer[12]);

// Leaves 1 to 3, as far as maxStdLevel allows.
void ReadStandardLeaves();

// Leaf 0x80000000, then the extended leaves from the highest down.
void ReadExtendedLeaves();

// The whole sequence; progress lines only in verbose mode.
void ProbeProcessor();
