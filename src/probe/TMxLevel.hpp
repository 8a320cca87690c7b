// The Transmeta leaves 0x80860000 to 0x80860007.
#pragma once

#include <cstdint>

// Reads the Transmeta leaves from the highest down and fills their fields.
void ReadTransmetaLeaves();

// The vendor bytes of the captured base leaf: EBX, EDX, ECX, low byte first.
void TransmetaVendorText(uint8_t buffer[12]);
