// AVX10 (leaf 0x24): the converged vector ISA's version and vector widths.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <optional>
#include <vector>

struct Avx10Facts {
    uint32_t version = 0;        // 24h.0 EBX[7:0]
    std::vector<int> vectorBits; // 128, 256, 512 for EBX bits 16, 17, 18
};

// None unless 7.1 EDX bit 19 is set and leaf 0x24 is within the standard maximum.
std::optional<Avx10Facts> ReadAvx10(const CpuidSnapshot& snapshot);
