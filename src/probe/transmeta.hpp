// The Transmeta leaves 0x80860000 to 0x80860007.
#pragma once

#include "probe/record.hpp"

#include <cstdint>
#include <string>

// Reads the Transmeta leaves from the highest down and fills their fields.
void ReadTransmetaLeaves(ProcessorRecord& record);

// The vendor bytes of the captured base leaf: EBX, EDX, ECX, low byte first.
void TransmetaVendorText(const ProcessorRecord& record, uint8_t buffer[12]);

// The hardware revision as four hex bytes, "01.02-03.04".
std::string TransmetaHardwareRevision(const ProcessorRecord& record);

// The software revision and its extra value, "0A.0B.0C-0D-12345678".
std::string TransmetaSoftwareRevision(const ProcessorRecord& record);
