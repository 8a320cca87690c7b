// Helpers for the capability tests: real dumps from tests/data/dumps decoded
// with the shipped data file, and the CPUID field table read independently.
#pragma once

#include "cpuid/snapshot.hpp"
#include "decode/capabilities.hpp"

#include <map>
#include <string>
#include <tuple>
#include <vector>

const std::string kTestDumpsDir = VELDRIX_SOURCE_DIR "/tests/data/dumps";

// Every dump file name in tests/data/dumps, sorted.
std::vector<std::string> TestDumpNames();

// The dump's snapshot; a test failure when it cannot be read.
CpuidSnapshot LoadTestDump(const std::string& name);

// Opens data/veldrix.dat, decodes the snapshot (as a dump unless told
// otherwise) and names it.
CapabilityFacts DecodeWithDataFile(const CpuidSnapshot& snapshot, bool fromHardware = false);

// The rows of a CSV file of data/ (comments and the header left out), each
// split at its commas.
std::vector<std::vector<std::string>> ReadDataCsv(const std::string& name);

// (leaf, sub-leaf, register "eax".."edx", bit) to name, for every single-bit
// row of data/cpuid-fields.csv.
using CsvBitNames = std::map<std::tuple<uint32_t, uint32_t, std::string, int>, std::string>;
CsvBitNames ReadCsvBitNames();

// A one-processor snapshot from (leaf, sub-leaf) -> registers rows.
struct LeafRow {
    uint32_t leaf;
    uint32_t subleaf;
    CpuidRegs regs;
};
CpuidSnapshot SnapshotOf(const std::vector<LeafRow>& rows);
