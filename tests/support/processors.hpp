// Registers of real processors, shared by the tests that need them.
#pragma once

#include "probe/cpuid.hpp"

// Transmeta Crusoe TM5800, registers from a public dump of that processor,
// with its highest Transmeta leaf set to maxTransmetaLevel.
CpuidTable CrusoeTable(uint32_t maxTransmetaLevel);
