// Leaf numbers and fixed defaults shared by the probe, the views and the reports.
#pragma once

#include <cstdint>

constexpr uint32_t kExtendedBase = 0x80000000u;  // first extended leaf
constexpr uint32_t kTransmetaBase = 0x80860000u; // first Transmeta leaf

constexpr int kStandardLeafCount = 4;  // leaves 0..3 are kept
constexpr int kExtendedLeafCount = 9;  // leaves 0x80000000..0x80000008
constexpr int kTransmetaLeafCount = 8; // leaves 0x80860000..0x80860007

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
