// The processor database: the data file "veldrix.dat" beside the executable,
// read once when opened, and the lookups the probe and the banner make.
#pragma once

#include "probe/record_types.hpp"

#include <cstdint>
#include <string>
#include <vector>

// Opens the data file beside the executable (or at the location set below)
// and reads the three column widths. A missing file is no error: every
// lookup then gives its default. False when the file could not be read.
bool OpenDatabase();

// Opens the data file at an explicit path and reads the column widths;
// false when the file could not be read.
bool OpenDatabaseAt(const std::string& path);

// Where OpenDatabase looks; empty restores "beside the executable".
void SetDatabaseLocation(const std::string& path);

// The path OpenDatabase opens.
std::string DatabasePath();

void CloseDatabase();

void ReadTextWidths();
std::string ReadDatabaseVersion();
std::string LookupVendorKey(const std::string& vendorId);

// Value of the last pattern of the section matching the bit string.
std::string MatchSignature(const std::string& section, const std::string& signatureBits);

// Stores names of the keys 0..31 of the section; returns how many were
// stored, minus one (so -1 when there was none).
int32_t ReadNumberedNames(const std::string& section, FeatureNameTable& names);

void LookupDescriptorName(uint8_t descriptor, std::string& name);

// Plain access for checks of the data file.
std::vector<std::string> ListDatabaseKeys(const std::string& section);
std::string ReadDatabaseValue(const std::string& section, const std::string& key,
                              const std::string& fallback);
