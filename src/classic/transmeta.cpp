#include "classic/transmeta.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"

namespace {

void StoreBytesHighFirst(uint32_t value, std::array<uint8_t, 4>& bytes) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

} // namespace

void ReadTransmetaLeaves(ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    auto readLeaf = [&](uint32_t index) {
        record.tmxRegs[index] = snapshot.Answer(0, kTransmetaBase + index);
        return record.tmxRegs[index];
    };
    CpuidRegs base = readLeaf(0);
    record.maxTransmetaLeaf = base.eax;
    if (!HasTransmetaLeaf(record, 0x80860001)) {
        return;
    }
    if (HasTransmetaLeaf(record, 0x80860007)) {
        CpuidRegs status = readLeaf(7);
        record.tmxCurrentMhz = status.eax;
        record.tmxCurrentVoltage = status.ebx;
        record.tmxCurrentPerformance = status.ecx;
    }
    if (HasTransmetaLeaf(record, 0x80860003)) {
        for (uint32_t index = 6; index >= 3; --index) {
            RegistersToBytes(readLeaf(index), record.tmxInfoText.data() + 16 * (index - 3));
        }
    }
    if (HasTransmetaLeaf(record, 0x80860002)) {
        CpuidRegs software = readLeaf(2);
        StoreBytesHighFirst(software.ebx, record.tmxSoftwareRev);
        record.tmxSoftwareRevExtra = software.ecx;
    }
    CpuidRegs identity = readLeaf(1);
    record.tmxStepping = static_cast<uint8_t>(BitField(identity.eax, 0, 4));
    record.tmxModel = static_cast<uint8_t>(BitField(identity.eax, 4, 4));
    record.tmxFamily = static_cast<uint8_t>(BitField(identity.eax, 8, 4));
    StoreBytesHighFirst(identity.ebx, record.tmxHardwareRev);
    record.tmxNominalMhz = identity.ecx;
    record.tmxFeatureFlags = identity.edx;
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
