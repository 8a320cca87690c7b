// Rows and texts that the console screens and the HTML report share: where
// both show the same content, it is listed once here, and where they differ
// the difference is a field of the row.
#pragma once

#include "classic/cache_text.hpp"
#include "classic/record.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The identity lines that depend on leaf 1 EDX bits: shown when the bit is
// present (a bit the data file does not name is hidden and leaves its line
// out even when the processor sets it).
struct HardwareRow {
    int bit;
    const char* screenLine;  // the screen's text before the value
    const char* reportField; // the report's field cell
    std::string (*value)(const ProcessorRecord& record);
    bool severalLogical; // shown only with more than one logical processor
};

extern const HardwareRow kHardwareRows[4];

bool HardwareRowShown(const ProcessorRecord& record, const HardwareRow& row);

// One TLB or cache of extended leaf 0x80000005 or 0x80000006, shown when its
// register is not 0. The screen writes " -> label, text", the report the
// label and the text in two cells.
struct CacheRow {
    const std::array<uint32_t, 4> ProcessorRecord::*regs;
    size_t reg;
    const char* label;
    std::string (*text)(const ProcessorRecord& record, size_t first, WaysForm ways);
    size_t first;        // the first field of the row
    WaysForm screenWays; // the report always writes "N ways"
};

extern const CacheRow kL1CacheRows[6];
extern const CacheRow kL2CacheRows[5];

bool CacheRowShown(const ProcessorRecord& record, const CacheRow& row);

// The name of an extended feature bit: Cyrix uses bit 24 for its own MMX
// extensions.
std::string ExtendedFeatureName(const ProcessorRecord& record, size_t bit);

// "36-bits [approx.  68719476736 bytes]": the bytes right-aligned in 12
// characters, never cut.
std::string AddressSizeText(uint8_t bits, long double space);
