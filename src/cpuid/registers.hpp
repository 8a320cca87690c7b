// What one CPUID leaf answers and the names the program gives its parts: the
// four registers, the ranges' first leaves, the bits the program looks at,
// and the one helper every decoder takes a bit field with.
#pragma once

#include <cstdint>
#include <string>

// The four registers one CPUID leaf returns, in this order.
struct CpuidRegs {
    uint32_t eax;
    uint32_t ebx;
    uint32_t ecx;
    uint32_t edx;
};

// A register's position in CpuidRegs order (also the column order of dumps).
constexpr int kEax = 0;
constexpr int kEbx = 1;
constexpr int kEcx = 2;
constexpr int kEdx = 3;

// The register at that position (kEax to kEdx).
uint32_t RegisterAt(const CpuidRegs& regs, int position);

// The first leaf of each range.
constexpr uint32_t kStandardBase = 0x00000000u;
constexpr uint32_t kHypervisorBase = 0x40000000u;
constexpr uint32_t kExtendedBase = 0x80000000u;
constexpr uint32_t kTransmetaBase = 0x80860000u;
constexpr uint32_t kCentaurBase = 0xC0000000u;

// Leaf 1 EDX bits that the identity screens look at.
constexpr int kBitTimeStampCounter = 4;
constexpr int kBitLocalApic = 9;
constexpr int kBitSerialNumber = 18;
constexpr int kBitClflush = 19;
constexpr int kBitHyperThreading = 28;

// Leaf 1 ECX bits: the operating system enabled XSAVE, a hypervisor runs.
constexpr int kBitOsxsave = 27;
constexpr int kBitHypervisor = 31;

// Leaf 0x80000001 EDX bit: long mode (x86-64).
constexpr int kBitLongMode = 29;

// The count bits of value from bit low up; bits beyond bit 31 are 0.
constexpr uint32_t BitField(uint32_t value, uint32_t low, uint32_t count) {
    uint32_t shifted = low >= 32 ? 0 : value >> low;
    return count >= 32 ? shifted : shifted & ((1u << count) - 1u);
}

// True when bit of value is set.
constexpr bool BitSet(uint32_t value, uint32_t bit) {
    return ((value >> bit) & 1u) != 0;
}

// The 16 bytes of a leaf's EAX, EBX, ECX and EDX, each lowest byte first (as
// the brand string and the Transmeta information text are laid out).
void RegistersToBytes(const CpuidRegs& regs, uint8_t* out);

// The vendor identification of a range's first leaf: EBX, EDX, ECX (in that
// order) up to the first NUL.
std::string VendorIdText(const CpuidRegs& leaf0);
