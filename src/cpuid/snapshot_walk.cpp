#include "cpuid/snapshot_walk.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"

#include <string>

namespace {

constexpr uint32_t kRangeLength = 256;

enum class SubleafRule {
    Single,          // sub-leaf 0 only
    UntilCacheType0, // EAX bits 4:0
    UpToEaxMaximum,  // sub-leaf 0 EAX
    UntilLevelType0, // ECX bits 15:8
    StateComponents, // leaf 0xD
    EdxResourceMask, // sub-leaf 0 EDX
    EbxResourceMask, // sub-leaf 0 EBX
    EnclaveSections, // leaf 0x12
};

struct LeafRule {
    uint32_t leaf;
    SubleafRule rule;
};

const LeafRule kLeafRules[] = {
    {0x00000004u, SubleafRule::UntilCacheType0}, {0x8000001Du, SubleafRule::UntilCacheType0},
    {0x00000007u, SubleafRule::UpToEaxMaximum},  {0x00000014u, SubleafRule::UpToEaxMaximum},
    {0x00000017u, SubleafRule::UpToEaxMaximum},  {0x00000018u, SubleafRule::UpToEaxMaximum},
    {0x0000001Du, SubleafRule::UpToEaxMaximum},  {0x00000020u, SubleafRule::UpToEaxMaximum},
    {0x00000023u, SubleafRule::UpToEaxMaximum},  {0x00000024u, SubleafRule::UpToEaxMaximum},
    {0x0000000Bu, SubleafRule::UntilLevelType0}, {0x0000001Fu, SubleafRule::UntilLevelType0},
    {0x80000026u, SubleafRule::UntilLevelType0}, {0x0000000Du, SubleafRule::StateComponents},
    {0x0000000Fu, SubleafRule::EdxResourceMask}, {0x00000010u, SubleafRule::EbxResourceMask},
    {0x80000020u, SubleafRule::EbxResourceMask}, {0x00000012u, SubleafRule::EnclaveSections},
};

SubleafRule RuleOf(uint32_t leaf) {
    for (const LeafRule& entry : kLeafRules) {
        if (entry.leaf == leaf) {
            return entry.rule;
        }
    }
    return SubleafRule::Single;
}

bool Bit(uint64_t value, uint32_t bit) {
    return ((value >> bit) & 1u) != 0;
}

// Asks for sub-leaves and keeps what the processor answers.
class LeafReader {
  public:
    LeafReader(const SubleafCpuid& cpuid, ProcessorLeaves& out) : cpuid_(cpuid), out_(out) {}

    CpuidRegs Read(uint32_t leaf, uint32_t subleaf) {
        CpuidRegs regs = cpuid_(leaf, subleaf);
        out_.leaves[LeafKey{leaf, subleaf}] = regs;
        return regs;
    }

    // Sub-leaves from first on while goOn holds for the last answer.
    template <typename GoOn> void ReadWhile(uint32_t leaf, uint32_t first, GoOn goOn) {
        for (uint32_t subleaf = first; subleaf < kMaxSubleaves; ++subleaf) {
            if (!goOn(Read(leaf, subleaf))) {
                return;
            }
        }
    }

    // Sub-leaf n for every bit n set in mask from first up.
    void ReadMask(uint32_t leaf, uint64_t mask, uint32_t first) {
        for (uint32_t subleaf = first; subleaf < kMaxSubleaves; ++subleaf) {
            if (Bit(mask, subleaf)) {
                Read(leaf, subleaf);
            }
        }
    }

    void ReadLeaf(uint32_t leaf) {
        CpuidRegs first = Read(leaf, 0);
        switch (RuleOf(leaf)) {
        case SubleafRule::Single:
            return;
        case SubleafRule::UntilCacheType0:
            if ((first.eax & 0x1Fu) != 0) {
                ReadWhile(leaf, 1, [](const CpuidRegs& r) { return (r.eax & 0x1Fu) != 0; });
            }
            return;
        case SubleafRule::UpToEaxMaximum:
            for (uint32_t subleaf = 1; subleaf <= first.eax && subleaf < kMaxSubleaves; ++subleaf) {
                Read(leaf, subleaf);
            }
            return;
        case SubleafRule::UntilLevelType0:
            if ((first.ecx & 0xFF00u) != 0) {
                ReadWhile(leaf, 1, [](const CpuidRegs& r) { return (r.ecx & 0xFF00u) != 0; });
            }
            return;
        case SubleafRule::StateComponents: {
            CpuidRegs second = Read(leaf, 1);
            uint64_t components =
                ((uint64_t{first.edx} << 32) | first.eax) | ((uint64_t{second.edx} << 32) | second.ecx);
            ReadMask(leaf, components, 2);
            return;
        }
        case SubleafRule::EdxResourceMask:
            ReadMask(leaf, first.edx, 1);
            return;
        case SubleafRule::EbxResourceMask:
            ReadMask(leaf, first.ebx, 1);
            return;
        case SubleafRule::EnclaveSections:
            if ((first.eax & 3u) != 0) {
                Read(leaf, 1);
                ReadWhile(leaf, 2, [](const CpuidRegs& r) { return (r.eax & 0xFu) != 0; });
            }
            return;
        }
    }

    // The range from base up to the maximum its first leaf reports, at most
    // kRangeLength leaves; gives that first leaf.
    CpuidRegs ReadRange(uint32_t base) {
        CpuidRegs top = Read(base, 0);
        uint32_t span = top.eax - base;
        if (span >= kRangeLength) {
            // Below the base (no range) or a junk maximum far beyond it.
            span = top.eax < base ? 0 : kRangeLength - 1;
        }
        for (uint32_t leaf = base; leaf <= base + span; ++leaf) {
            ReadLeaf(leaf);
        }
        return top;
    }

  private:
    const SubleafCpuid& cpuid_;
    ProcessorLeaves& out_;
};

bool IsCentaurVendor(const CpuidRegs& leaf0) {
    std::string vendor = VendorIdText(leaf0);
    return vendor == "CentaurHauls" || vendor == "  Shanghai  ";
}

} // namespace

ProcessorLeaves ReadProcessorLeaves(const SubleafCpuid& cpuid, const Xcr0Reader& readXcr0) {
    ProcessorLeaves out;
    LeafReader reader(cpuid, out);
    CpuidRegs leaf0 = reader.ReadRange(0);
    uint32_t leaf1Ecx = out.leaves.count(LeafKey{1, 0}) != 0 ? out.leaves[LeafKey{1, 0}].ecx : 0;
    reader.ReadRange(0x80000000u);
    reader.ReadRange(0x80860000u);
    if (Bit(leaf1Ecx, kBitHypervisor)) {
        reader.ReadRange(0x40000000u);
        reader.ReadRange(0x40000100u);
    }
    if (IsCentaurVendor(leaf0)) {
        reader.ReadRange(0xC0000000u);
    }
    if (Bit(leaf1Ecx, kBitOsxsave)) {
        out.xcr0 = readXcr0();
    }
    return out;
}
