#include "decode/hypervisor.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"
#include "decode/feature_words.hpp"

namespace {

constexpr uint32_t kHypervisorLeaf = 0x40000000;
constexpr uint32_t kNextHypervisorLeaf = 0x40000100;

// The 12 bytes of EBX, ECX, EDX (not leaf 0's order), without trailing NULs.
std::string IdentificationOf(const CpuidRegs& regs) {
    uint8_t bytes[12];
    DwordToBytes(regs.ebx, bytes);
    DwordToBytes(regs.ecx, bytes + 4);
    DwordToBytes(regs.edx, bytes + 8);
    size_t length = sizeof bytes;
    while (length > 0 && bytes[length - 1] == 0) {
        --length;
    }
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::optional<std::string> IdentificationAt(const CpuidSnapshot& snapshot, uint32_t leaf) {
    if (!snapshot.Has(0, leaf)) {
        return std::nullopt;
    }
    std::string id = IdentificationOf(snapshot.Answer(0, leaf));
    return id.empty() ? std::nullopt : std::optional<std::string>(id);
}

} // namespace

HypervisorFacts ReadHypervisor(const CpuidSnapshot& snapshot) {
    HypervisorFacts facts;
    facts.present = FeatureBitSet(snapshot, FeatureBit{FeatureWord{1, 0, kEcx}, kBitHypervisor});
    if (facts.present) {
        facts.vendorId = IdentificationAt(snapshot, kHypervisorLeaf);
        facts.nextVendorId = IdentificationAt(snapshot, kNextHypervisorLeaf);
    }
    return facts;
}
