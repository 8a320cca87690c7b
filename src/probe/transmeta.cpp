#include "probe/transmeta.hpp"

#include "common/text_format.hpp"
#include "probe/cpuid.hpp"
#include "probe/leaves.hpp"
#include "probe/record.hpp"

namespace {

void StoreBytesHighFirst(uint32_t value, std::array<uint8_t, 4>& bytes) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

CpuidRegs ReadTransmetaLeaf(uint32_t index) {
    CpuidRegs regs = ExecuteCpuid(kTransmetaBase + index);
    gRecord.tmxRegs[index] = regs;
    return regs;
}

void ReadInfoLeaf(uint32_t index) {
    RegistersToBytes(ReadTransmetaLeaf(index), gRecord.tmxInfoText.data() + 16 * (index - 3));
}

} // namespace

void ReadTransmetaLeaves() {
    CpuidRegs base = ReadTransmetaLeaf(0);
    gRecord.maxTransmetaLevel = base.eax;
    if (!HasTransmetaLeaf(gRecord, 0x80860001)) {
        return;
    }
    if (HasTransmetaLeaf(gRecord, 0x80860007)) {
        CpuidRegs status = ReadTransmetaLeaf(7);
        gRecord.tmxCurrentMhz = status.eax;
        gRecord.tmxCurrentVoltage = status.ebx;
        gRecord.tmxCurrentPerformance = status.ecx;
    }
    if (HasTransmetaLeaf(gRecord, 0x80860003)) {
        for (uint32_t index = 6; index >= 3; --index) {
            ReadInfoLeaf(index);
        }
    }
    if (HasTransmetaLeaf(gRecord, 0x80860002)) {
        CpuidRegs software = ReadTransmetaLeaf(2);
        StoreBytesHighFirst(software.ebx, gRecord.tmxSoftwareRev);
        gRecord.tmxSoftwareRevExtra = software.ecx;
    }
    CpuidRegs identity = ReadTransmetaLeaf(1);
    gRecord.tmxStepping = static_cast<uint8_t>(identity.eax & 0x0F);
    gRecord.tmxModel = static_cast<uint8_t>((identity.eax >> 4) & 0x0F);
    gRecord.tmxFamily = static_cast<uint8_t>((identity.eax >> 8) & 0x0F);
    StoreBytesHighFirst(identity.ebx, gRecord.tmxHardwareRev);
    gRecord.tmxNominalMhz = identity.ecx;
    gRecord.tmxFeatureFlags = identity.edx;
}

void TransmetaVendorText(uint8_t buffer[12]) {
    const CpuidRegs& base = gRecord.tmxRegs[0];
    DwordToBytes(base.ebx, buffer);
    DwordToBytes(base.edx, buffer + 4);
    DwordToBytes(base.ecx, buffer + 8);
}

std::string TransmetaHardwareRevision() {
    const auto& rev = gRecord.tmxHardwareRev;
    return ByteToHex(rev[0]) + "." + ByteToHex(rev[1]) + "-" + ByteToHex(rev[2]) + "." + ByteToHex(rev[3]);
}

std::string TransmetaSoftwareRevision() {
    const auto& rev = gRecord.tmxSoftwareRev;
    return ByteToHex(rev[0]) + "." + ByteToHex(rev[1]) + "." + ByteToHex(rev[2]) + "-" + ByteToHex(rev[3]) +
           "-" + DwordToHex(gRecord.tmxSoftwareRevExtra);
}
