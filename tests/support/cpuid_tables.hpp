// Processors written as tables of leaves (sub-leaf 0 only), the way most
// tests describe a processor, and their conversion to the snapshot the
// program reads.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Leaf number to the registers it answers (sub-leaf 0).
using CpuidTable = std::map<uint32_t, CpuidRegs>;

// One processor answering the table's leaves; none for an empty table, which
// is a processor without CPUID.
CpuidSnapshot SnapshotOfTable(const CpuidTable& table);

// Sub-leaf 0 of every leaf of the snapshot's first processor.
CpuidTable FirstProcessorTable(const CpuidSnapshot& snapshot);

// The leaves of the first processor of a dump text, sub-leaf 0 only; empty
// when no line is a leaf line.
CpuidTable ParseDumpText(std::string_view text);

// Reads and parses a dump. False when the file cannot be read or holds no
// leaf line; table is then empty.
bool LoadCpuidDump(const std::string& path, CpuidTable& table);
