#include "cpuid/registers.hpp"

#include "common/text_format.hpp"

uint32_t RegisterAt(const CpuidRegs& regs, int position) {
    switch (position) {
    case kEax:
        return regs.eax;
    case kEbx:
        return regs.ebx;
    case kEcx:
        return regs.ecx;
    default:
        return regs.edx;
    }
}

void RegistersToBytes(const CpuidRegs& regs, uint8_t* out) {
    DwordToBytes(regs.eax, out);
    DwordToBytes(regs.ebx, out + 4);
    DwordToBytes(regs.ecx, out + 8);
    DwordToBytes(regs.edx, out + 12);
}

std::string VendorIdText(const CpuidRegs& leaf0) {
    uint8_t bytes[12];
    DwordToBytes(leaf0.ebx, bytes);
    DwordToBytes(leaf0.edx, bytes + 4);
    DwordToBytes(leaf0.ecx, bytes + 8);
    return NulText(bytes, sizeof bytes);
}
