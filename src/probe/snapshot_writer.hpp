// A snapshot written out in the Linux cpuid tool's raw layout, which the dump
// reader reads back to the same snapshot:
//   # VELDRIX 1.30 CPUID dump
//   CPU 0:
//      xcr0=0x00000000000002e7
//      0x00000000 0x00: eax=0x00000010 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65
// "CPU:" without a number stands for a processor whose operating-system
// number is not known; the xcr0 line is there only when XCR0 was read. Lines
// end in LF.
#pragma once

#include "probe/snapshot.hpp"

#include <string>

std::string WriteSnapshotText(const CpuidSnapshot& snapshot);
