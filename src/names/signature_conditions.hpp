// The conditions a processor-name row of the data file may add to its
// signature pattern, for signatures that several processors share: the
// facts beyond the signature that tell them apart, and whether a condition
// holds for them.
#pragma once

#include "names/ini_file.hpp"

#include <cstdint>
#include <string>
#include <vector>

struct SignatureFacts {
    std::string brand;       // brand string; empty when none is reported
    bool level3 = false;     // leaf 2 names a level 3 cache
    bool hypervisor = false; // leaf 1 ECX bit 31
    bool longMode = false;   // 0x80000001 EDX bit 29
};

// True for no condition, and for a condition the facts meet: "L3" (leaf 2
// names an L3), "Hypervisor+LongMode" (both bits set) or "Brand:TEXT" (the
// brand string contains TEXT, case as written). An unknown condition never holds.
bool SignatureConditionHolds(const std::string& condition, const SignatureFacts& facts);

// True when the data file's name of one of the leaf 2 descriptors is that of
// a level 3 cache.
bool DescriptorsNameLevel3(const IniFile& database, const std::vector<uint8_t>& descriptors);
