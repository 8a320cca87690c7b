// The record of what the probe found. The program keeps one for the whole
// run; every decoder, screen and report takes it as an argument, and what the
// run itself keeps (options, menu, benchmark results) is its RunState.
#pragma once

#include "classic/record_types.hpp"
#include "cpuid/registers.hpp"

#include <array>
#include <cstdint>
#include <string>

// The leaves the record keeps of each range, from its first leaf.
constexpr int kStandardLeafCount = 4;  // leaves 0..3
constexpr int kExtendedLeafCount = 9;  // leaves 0x80000000..0x80000008
constexpr int kTransmetaLeafCount = 8; // leaves 0x80860000..0x80860007

struct ProcessorRecord {
    // The processor (or the dump) answers CPUID at all.
    bool cpuidSupported = false;

    // Raw registers as CPUID returned them.
    std::array<CpuidRegs, kStandardLeafCount> stdRegs{};
    std::array<CpuidRegs, kExtendedLeafCount> extRegs{};
    std::array<CpuidRegs, kTransmetaLeafCount> tmxRegs{};
    bool extPresent = false;

    // Standard identity (leaves 0 to 3).
    uint32_t maxStandardLeaf = 0;
    std::string vendorId;
    uint32_t signature = 0;
    uint8_t procType = 0;
    uint8_t family = 0;
    uint8_t model = 0;
    uint8_t stepping = 0;
    uint8_t brandId = 0;
    uint8_t clflushSize = 0;
    uint8_t logicalCount = 0;
    uint8_t apicId = 0;
    uint32_t stdFeatureFlags = 0;
    std::array<uint32_t, 4> configRegs{};
    uint32_t serialMid = 0;
    uint32_t serialLow = 0;

    // Extended identity (leaves 0x80000000 to 0x80000008).
    uint32_t maxExtendedLeaf = 0;
    uint32_t extSignature = 0;
    uint8_t extFamily = 0;
    uint8_t extModel = 0;
    uint8_t extStepping = 0;
    uint32_t extFeatureFlags = 0;
    std::array<uint8_t, 48> brandString{};
    std::array<uint32_t, 4> l1Regs{};
    std::array<uint32_t, 4> l2Regs{};
    uint32_t powerMgmtFlags = 0;
    uint32_t addressSizes = 0;

    // Cache and address-size fields split from the registers above.
    std::array<uint8_t, 16> l1Fields{};
    std::array<uint32_t, 12> l2Fields{};
    uint8_t physAddrBits = 0;
    uint8_t linearAddrBits = 0;
    long double physAddrSpace = 0;
    long double linearAddrSpace = 0;

    // Transmeta identity (leaves 0x80860000 to 0x80860007).
    uint32_t maxTransmetaLeaf = 0;
    std::string tmxVendorId;
    uint8_t tmxFamily = 0;
    uint8_t tmxModel = 0;
    uint8_t tmxStepping = 0;
    std::array<uint8_t, 4> tmxHardwareRev{};
    uint32_t tmxNominalMhz = 0;
    uint32_t tmxFeatureFlags = 0;
    std::array<uint8_t, 4> tmxSoftwareRev{};
    uint32_t tmxSoftwareRevExtra = 0;
    std::array<uint8_t, 64> tmxInfoText{};
    uint32_t tmxCurrentMhz = 0;
    uint32_t tmxCurrentVoltage = 0;
    uint32_t tmxCurrentPerformance = 0;

    // Texts the decoders produce.
    std::string typeName;
    std::string vendorName;
    std::string extVendorName;
    std::string brandName;
    std::string serialText;
    std::array<std::string, 16> configNames;

    // Feature tables.
    FeatureNameTable stdFeatureNames;
    FeatureStatusTable stdFeatureStatus{};
    FeatureNameTable extFeatureNames;
    FeatureStatusTable extFeatureStatus{};
    FeatureNameTable powerMgmtNames;
    FeatureStatusTable powerMgmtStatus{};
    FeatureNameTable tmxFeatureNames;
    FeatureStatusTable tmxFeatureStatus{};

    // Clock.
    double measuredMhz = 0.0;
    uint16_t normalizedMhz = 0;
};

// Whether the processor reported the leaf: the highest leaf it gave for the
// leaf's range (standard, extended or Transmeta) is at least this one.
bool HasStandardLeaf(const ProcessorRecord& record, uint32_t leaf);
bool HasExtendedLeaf(const ProcessorRecord& record, uint32_t leaf);
bool HasTransmetaLeaf(const ProcessorRecord& record, uint32_t leaf);

// The brand string exists only when leaf 0x80000004 was read.
bool HasBrandString(const ProcessorRecord& record);
