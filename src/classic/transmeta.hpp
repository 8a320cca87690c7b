// The Transmeta leaves 0x80860000 to 0x80860007.
#pragma once

#include "classic/record.hpp"
#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <string>

// Takes the Transmeta leaves the base leaf reports from the snapshot's first
// processor and fills their fields.
void ReadTransmetaLeaves(ProcessorRecord& record, const CpuidSnapshot& snapshot);

// The hardware revision as four hex bytes, "01.02-03.04".
std::string TransmetaHardwareRevision(const ProcessorRecord& record);

// The software revision and its extra value, "0A.0B.0C-0D-12345678".
std::string TransmetaSoftwareRevision(const ProcessorRecord& record);
