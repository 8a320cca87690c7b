// Which leaves and sub-leaves one logical processor is asked for. The walk
// takes CPUID as a function, so the same rules serve the processor itself
// and tests that answer from a recorded dump.
//
// Ranges, each up to the maximum its first leaf reports and at most 256
// leaves long: standard (0), extended (0x80000000), Transmeta (0x80860000),
// hypervisor (0x40000000, and 0x40000100 when that reports a maximum in its
// own range) only when leaf 1 ECX bit 31 is set, and Centaur (0xC0000000)
// only for the CentaurHauls and Shanghai vendors. The first leaf of a range
// that is looked at is kept even when the range turns out empty.
//
// Sub-leaves, never 64 or more:
//   - leaves 4 and 0x8000001D until the cache type (EAX bits 4:0) is 0;
//   - leaves 7, 0x14, 0x17, 0x18, 0x1D, 0x20, 0x23, 0x24 up to the highest
//     sub-leaf their sub-leaf 0 EAX gives;
//   - leaves 0xB, 0x1F, 0x80000026 until the level type (ECX bits 15:8) is 0;
//   - leaf 0xD: 0 and 1, then every state component set in sub-leaf 0
//     EDX:EAX or sub-leaf 1 EDX:ECX, from 2 to 63;
//   - leaves 0xF (sub-leaf 0 EDX), 0x10 and 0x80000020 (sub-leaf 0 EBX): the
//     resources the mask names, bit n meaning sub-leaf n;
//   - leaf 0x12: with SGX (sub-leaf 0 EAX bit 0 or 1) sub-leaf 1 and the EPC
//     sections from sub-leaf 2 until the section type (EAX bits 3:0) is 0;
//   - every other leaf: sub-leaf 0.
// The sub-leaf that ends a loop is kept, as the processor answered it.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <functional>

using SubleafCpuid = std::function<CpuidRegs(uint32_t leaf, uint32_t subleaf)>;
using Xcr0Reader = std::function<uint64_t()>;

// Every leaf and sub-leaf the rules name, asked through cpuid; XCR0 through
// readXcr0, only when leaf 1 ECX bit 27 (OSXSAVE) is set. Index and osCpu are
// left for the caller.
ProcessorLeaves ReadProcessorLeaves(const SubleafCpuid& cpuid, const Xcr0Reader& readXcr0);
