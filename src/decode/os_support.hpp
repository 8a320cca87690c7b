// Which vector and tile states the operating system saves, from XCR0. A CPUID
// bit says the processor can do something; XCR0 says the OS lets programs.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <optional>

struct OsSupport {
    std::optional<uint64_t> xcr0; // none when not read or not recorded
    std::optional<bool> sse;      // XCR0 bit 1
    std::optional<bool> avx;      // XCR0 bits 1-2
    std::optional<bool> avx512;   // XCR0 bits 1-2 and 5-7
    std::optional<bool> amx;      // XCR0 bits 17-18
};

// On hardware without OSXSAVE the OS enabled no XSAVE state (SSE still
// works through FXSAVE, which every 64-bit OS enables); with OSXSAVE the
// recorded XCR0 decides. A dump without XCR0 leaves everything unknown.
OsSupport JudgeOsSupport(const CpuidSnapshot& snapshot, bool fromHardware);
