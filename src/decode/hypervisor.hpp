// The hypervisor a processor reports running under: leaf 1 ECX bit 31 and
// the identification of the hypervisor leaves at 0x40000000 (and 0x40000100,
// where KVM or Xen put their own leaves when they also offer Hyper-V's).
#pragma once

#include "cpuid/snapshot.hpp"

#include <optional>
#include <string>

struct HypervisorFacts {
    bool present = false;                    // leaf 1 ECX bit 31
    std::optional<std::string> vendorId;     // 0x40000000 EBX, ECX, EDX, trailing NULs removed
    std::optional<std::string> nextVendorId; // the same at 0x40000100, when recorded and not empty
};

HypervisorFacts ReadHypervisor(const CpuidSnapshot& snapshot);
