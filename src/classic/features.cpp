#include "classic/features.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"
#include "decode/cache_descriptors.hpp"
#include "names/processor_db.hpp"

void DecodeFeatureRegister(const IniFile& database, uint32_t value, FeatureStatusTable& status,
                           const std::string& section, FeatureNameTable& names) {
    for (size_t bit = 0; bit < 32; ++bit) {
        status[bit] = ((value >> bit) & 1u) ? StatusPresent : StatusAbsent;
    }
    if (ReadNumberedNames(database, section, names) < 0) {
        return;
    }
    for (size_t bit = 0; bit < 32; ++bit) {
        if (names[bit].empty()) {
            status[bit] = StatusHidden;
        }
    }
}

void DecodeConfigurationDescriptors(ProcessorRecord& record, const IniFile& database) {
    for (const auto& found : Leaf2Descriptors(record.configRegs)) {
        LookupDescriptorName(database, found.second, record.configNames[found.first]);
    }
}

void DecodeL1Fields(ProcessorRecord& record) {
    for (size_t r = 0; r < 4; ++r) {
        for (size_t byte = 0; byte < 4; ++byte) {
            record.l1Fields[4 * r + byte] = static_cast<uint8_t>(record.l1Regs[r] >> (24 - 8 * byte));
        }
    }
}

void DecodeL2Fields(ProcessorRecord& record) {
    for (size_t r = 0; r < 2; ++r) {
        uint32_t reg = record.l2Regs[r];
        record.l2Fields[4 * r + 0] = BitField(reg, 28, 4);
        record.l2Fields[4 * r + 1] = BitField(reg, 16, 12);
        record.l2Fields[4 * r + 2] = BitField(reg, 12, 4);
        record.l2Fields[4 * r + 3] = BitField(reg, 0, 12);
    }
    uint32_t ecx = record.l2Regs[2];
    record.l2Fields[8] = BitField(ecx, 16, 16);
    record.l2Fields[9] = BitField(ecx, 12, 4);
    record.l2Fields[10] = BitField(ecx, 8, 4);
    record.l2Fields[11] = BitField(ecx, 0, 8);
}

void DecodeAddressSizes(ProcessorRecord& record) {
    record.physAddrBits = static_cast<uint8_t>(BitField(record.addressSizes, 0, 8));
    record.linearAddrBits = static_cast<uint8_t>(BitField(record.addressSizes, 8, 8));
    record.physAddrSpace = PowerOf(2, record.physAddrBits);
    record.linearAddrSpace = PowerOf(2, record.linearAddrBits);
}
