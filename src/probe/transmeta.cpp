#include "probe/transmeta.hpp"

#include "common/text_format.hpp"
#include "probe/cpuid.hpp"
#include "probe/leaves.hpp"

namespace {

void StoreBytesHighFirst(uint32_t value, std::array<uint8_t, 4>& bytes) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

CpuidRegs ReadTransmetaLeaf(ProcessorRecord& record, uint32_t index) {
    CpuidRegs regs = ExecuteCpuid(kTransmetaBase + index);
    record.tmxRegs[index] = regs;
    return regs;
}

void ReadInfoLeaf(ProcessorRecord& record, uint32_t index) {
    RegistersToBytes(ReadTransmetaLeaf(record, index), record.tmxInfoText.data() + 16 * (index - 3));
}

} // namespace

void ReadTransmetaLeaves(ProcessorRecord& record) {
    CpuidRegs base = ReadTransmetaLeaf(record, 0);
    record.maxTransmetaLevel = base.eax;
    if (!HasTransmetaLeaf(record, 0x80860001)) {
        return;
    }
    if (HasTransmetaLeaf(record, 0x80860007)) {
        CpuidRegs status = ReadTransmetaLeaf(record, 7);
        record.tmxCurrentMhz = status.eax;
        record.tmxCurrentVoltage = status.ebx;
        record.tmxCurrentPerformance = status.ecx;
    }
    if (HasTransmetaLeaf(record, 0x80860003)) {
        for (uint32_t index = 6; index >= 3; --index) {
            ReadInfoLeaf(record, index);
        }
    }
    if (HasTransmetaLeaf(record, 0x80860002)) {
        CpuidRegs software = ReadTransmetaLeaf(record, 2);
        StoreBytesHighFirst(software.ebx, record.tmxSoftwareRev);
        record.tmxSoftwareRevExtra = software.ecx;
    }
    CpuidRegs identity = ReadTransmetaLeaf(record, 1);
    record.tmxStepping = static_cast<uint8_t>(identity.eax & 0x0F);
    record.tmxModel = static_cast<uint8_t>((identity.eax >> 4) & 0x0F);
    record.tmxFamily = static_cast<uint8_t>((identity.eax >> 8) & 0x0F);
    StoreBytesHighFirst(identity.ebx, record.tmxHardwareRev);
    record.tmxNominalMhz = identity.ecx;
    record.tmxFeatureFlags = identity.edx;
}

void TransmetaVendorText(const ProcessorRecord& record, uint8_t buffer[12]) {
    const CpuidRegs& base = record.tmxRegs[0];
    DwordToBytes(base.ebx, buffer);
    DwordToBytes(base.edx, buffer + 4);
    DwordToBytes(base.ecx, buffer + 8);
}

std::string TransmetaHardwareRevision(const ProcessorRecord& record) {
    const auto& rev = record.tmxHardwareRev;
    return ByteToHex(rev[0]) + "." + ByteToHex(rev[1]) + "-" + ByteToHex(rev[2]) + "." + ByteToHex(rev[3]);
}

std::string TransmetaSoftwareRevision(const ProcessorRecord& record) {
    const auto& rev = record.tmxSoftwareRev;
    return ByteToHex(rev[0]) + "." + ByteToHex(rev[1]) + "." + ByteToHex(rev[2]) + "-" + ByteToHex(rev[3]) +
           "-" + DwordToHex(record.tmxSoftwareRevExtra);
}
