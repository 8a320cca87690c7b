// The types the record of the menu program is made of.
#pragma once

#include "decode/feature_words.hpp"

#include <array>
#include <cstdint>
#include <string>

// One byte per feature bit: shown "Yes", shown "No", or no row at all.
enum FeatureStatus : uint8_t {
    StatusPresent = 0,
    StatusAbsent = 1,
    StatusHidden = 2,
};

using FeatureStatusTable = std::array<uint8_t, 32>;

// One flag per optional menu section; the menu sets a flag when it offers the
// section, and a view or report section runs only when its flag is set.
struct SectionFlagSet {
    bool identity;
    bool stdFeatures;
    bool stdConfig;
    bool extIdentity;
    bool extFeatures;
    bool l1Cache;
    bool l2Cache;
    bool powerManagement;
    bool addressWidths;
    bool transmetaIdentity;
    bool transmetaFeatures;
    bool transmetaStatus;
};
