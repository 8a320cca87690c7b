// Who made the processor and which one it is, read from a snapshot: vendor
// identification, brand string and the signature with the family and model
// operating systems compute from it.
#pragma once

#include "cpuid/snapshot.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

struct SignatureFields {
    uint32_t signature = 0; // leaf 1 EAX
    uint32_t baseFamily = 0;
    uint32_t baseModel = 0;
    uint32_t stepping = 0;
    uint32_t type = 0; // bits 13:12: OEM, OverDrive, dual processor, reserved
    uint32_t extendedFamily = 0;
    uint32_t extendedModel = 0;
    // base + extended family when the base family is 0xF; base model plus
    // (extended model << 4) when the family is 6 or more.
    uint32_t family = 0;
    uint32_t model = 0;
};

SignatureFields SplitSignature(uint32_t signature);

struct SnapshotIdentity {
    std::string vendorId;             // leaf 0 EBX, EDX, ECX up to the first NUL
    std::optional<std::string> brand; // leaves 0x80000002..4, blanks trimmed; none when not reported
    SignatureFields signature;        // zeros when leaf 1 is not reported
    bool hasSignature = false;        // leaf 1 is within the standard maximum
};

SnapshotIdentity ReadSnapshotIdentity(const CpuidSnapshot& snapshot);

// The 48 bytes of the brand string leaves 0x80000002 to 0x80000004 of
// processor cpu as they were answered, NULs and blanks kept (zeros where a
// leaf was not recorded).
std::array<uint8_t, 48> BrandStringBytes(const CpuidSnapshot& snapshot, size_t cpu = 0);
