// A snapshot written out as text, in two layouts that the dump reader reads:
//
// The Linux cpuid tool's raw layout (`cpuid -r`), which `cpuid -f` reads:
//   CPU 0:
//      0x00000000 0x00: eax=0x00000010 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65
// Only the leaves and sub-leaves a walk of a live processor asks for are
// written (a dump may record leaves beyond a range's maximum, which cpuid
// would decode as if they were real). A processor whose operating-system
// number is not known is numbered by its position in the snapshot; one
// with no such leaf is left out.
//
// VELDRIX's own snapshot layout, which reads back to the same snapshot:
//   # VELDRIX 1.30 CPUID dump
//   CPU 0:
//      xcr0=0x00000000000002e7
//      0x00000000 0x00: eax=0x00000010 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65
// Every recorded leaf is written; "CPU:" stands for a processor whose
// operating-system number is not known; the xcr0 line is there only when
// XCR0 was read.
//
// Lines end in LF in both.
#pragma once

#include "cpuid/snapshot.hpp"

#include <string>

std::string WriteCpuidToolText(const CpuidSnapshot& snapshot);
std::string WriteSnapshotText(const CpuidSnapshot& snapshot);
