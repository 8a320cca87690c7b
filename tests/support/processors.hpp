// Registers of real processors, shared by the tests that need them.
#pragma once

#include "cpuid/snapshot.hpp"
#include "support/cpuid_tables.hpp"

#include <cstddef>
#include <string>
#include <vector>

// Transmeta Crusoe TM5800, registers from a public dump of that processor,
// with its highest Transmeta leaf set to maxTransmetaLeaf.
CpuidTable CrusoeTable(uint32_t maxTransmetaLeaf);

// AMD Athlon (Palomino), from AuthenticAMD0000662_K7_Palomino_CPUID.txt:
// leaves 0, 1 and the extended leaves up to 0x80000008 (34 physical, 32 linear bits).
CpuidTable PalominoTable();

// Intel Pentium III Coppermine (signature 683), from
// GenuineIntel0000683_P3_Coppermine_CPUID.txt, logical processor 0: leaves 0 to 3.
CpuidTable CoppermineTable();

// The sub-leaves one processor of a snapshot holds for leaf, in order.
std::vector<uint32_t> SubleavesOf(const ProcessorLeaves& cpu, uint32_t leaf);

// A row of a table of the sub-leaves a processor of a real dump holds.
struct SubleafListCase {
    const char* file;
    size_t cpu;
    uint32_t leaf;
    std::vector<uint32_t> subleaves;
};

// "FILE processor N leaf L", to say which row failed.
std::string TraceOf(const SubleafListCase& row);
