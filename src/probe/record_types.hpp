// Types shared by every subsystem.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The four registers one CPUID leaf returns, in this order.
struct CpuidRegs {
    uint32_t eax;
    uint32_t ebx;
    uint32_t ecx;
    uint32_t edx;
};

// One byte per feature bit: shown "Yes", shown "No", or no row at all.
enum FeatureStatus : uint8_t {
    StatusPresent = 0,
    StatusAbsent = 1,
    StatusHidden = 2,
};

// Entry i names bit i of one feature register; empty means unnamed.
using FeatureNameTable = std::array<std::string, 32>;
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
