// The processor database: the data file "veldrix.dat" beside the executable,
// read whole when opened, and the lookups the probe and the banner make. The
// caller owns what was read and hands it to every lookup.
#pragma once

#include "names/ini_file.hpp"
#include "names/signature_conditions.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Name-column widths of the feature lists.
struct TextWidths {
    int32_t standardFeatures = 47;
    int32_t extendedFeatures = 47;
    int32_t powerManagement = 35;
};

// Reads the data file beside the executable (or at the location set below).
// A missing file is no error: every lookup then gives its default.
IniFile OpenDatabase();

// Reads the data file at an explicit path.
IniFile OpenDatabaseAt(const std::string& path);

// Where OpenDatabase looks; empty restores "beside the executable".
void SetDatabaseLocation(const std::string& path);

// The path OpenDatabase opens.
std::string DatabasePath();

// True when the data file was read and holds a section. A file that yields
// none (empty, or some other file under that name) names nothing, and start-up
// notes it like a missing one.
bool DatabaseUsable(const IniFile& database);

// Drops what was read.
void CloseDatabase(IniFile& database);

// The widths of section [TextWidth]; a width that does not read keeps its default.
TextWidths ReadTextWidths(const IniFile& database);
std::string ReadDatabaseVersion(const IniFile& database);
std::string LookupVendorKey(const IniFile& database, const std::string& vendorId);

// A key of a signature section: the pattern's 0, 1 and ? characters (the
// tabs between its groups dropped) and the condition written after it, if any.
struct SignatureKey {
    std::string pattern;
    std::string condition;
};
SignatureKey SplitSignatureKey(const std::string& key);

// Value of the last pattern of the section matching the bit string whose
// condition the facts meet (with no facts, only rows without a condition).
std::string MatchSignature(const IniFile& database, const std::string& section,
                           const std::string& signatureBits, const SignatureFacts& facts = {});

// Stores names of the keys 0..31 of the section; returns how many were
// stored, minus one (so -1 when there was none).
int32_t ReadNumberedNames(const IniFile& database, const std::string& section,
                          std::array<std::string, 32>& names);

void LookupDescriptorName(const IniFile& database, uint8_t descriptor, std::string& name);

// The name of every leaf 2 descriptor, indexed by its byte, read in one pass
// over the section: each the name LookupDescriptorName gives, empty for none.
std::array<std::string, 256> ReadDescriptorNames(const IniFile& database);

// Plain access for checks of the data file.
std::vector<std::string> ListDatabaseKeys(const IniFile& database, const std::string& section);
std::string ReadDatabaseValue(const IniFile& database, const std::string& section, const std::string& key,
                              const std::string& fallback);
