// CPUID access through one replaceable backend: the processor itself by
// default, or a table of recorded leaves (replayed dumps, tests).
#pragma once

#include "probe/record_types.hpp"

#include <cstdint>
#include <functional>
#include <map>

struct CpuidBackend {
    std::function<bool()> hasCpuid;
    std::function<CpuidRegs(uint32_t leaf)> execute;
};

// Leaf number to the registers it answers (sub-leaf 0).
using CpuidTable = std::map<uint32_t, CpuidRegs>;

void SetCpuidBackend(CpuidBackend backend);
void UseHardwareCpuid();

// Answers from the table: a leaf absent from it gives four zeros, and a table
// without leaf 0 is a processor without CPUID.
void UseCpuidTable(CpuidTable table);

// True when the CPUID instruction may be used.
bool HasCpuid();

// Runs CPUID with EAX = leaf.
CpuidRegs ExecuteCpuid(uint32_t leaf);
