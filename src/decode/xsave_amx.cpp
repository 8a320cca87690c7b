// The XSAVE layout of leaf 0xD and the AMX tile limits of 0x1D and 0x1E.
#include "cpuid/registers.hpp"
#include "decode/processor_details.hpp"

namespace {

constexpr uint32_t kXsaveLeaf = 0xD;
constexpr uint32_t kPaletteLeaf = 0x1D;
constexpr uint32_t kTmulLeaf = 0x1E;
constexpr uint32_t kAmxTileBit = 24; // 7.0 EDX
// The legacy area holds the x87 state (bytes 0-159) and the SSE state
// (160-415); leaf 0xD describes only the components above it.
constexpr uint32_t kLegacyComponents = 2;
const uint32_t kLegacySize[kLegacyComponents] = {160, 256};
const uint32_t kLegacyOffset[kLegacyComponents] = {0, 160};
constexpr uint32_t kStateComponents = 64;

uint64_t Pair(uint32_t low, uint32_t high) {
    return (uint64_t{high} << 32) | low;
}

// The component names the field table gives the single bits of 0xD.0
// EAX/EDX (user states, XCR0) and 0xD.1 ECX/EDX (supervisor states, XSS),
// without their "xcr0_"/"xss_" prefix.
std::string ComponentName(const FieldTable& table, uint32_t component, bool supervisor) {
    uint32_t subleaf = supervisor ? 1 : 0;
    int reg = component < 32 ? (supervisor ? kEcx : kEax) : kEdx;
    uint32_t bit = component % 32;
    for (const FieldLayout& layout : table.fields) {
        if (layout.leaf == kXsaveLeaf && layout.firstSubleaf == subleaf && layout.reg == reg &&
            layout.bitCount == 1 && layout.lowBit == bit) {
            for (const char* prefix : {"xcr0_", "xss_"}) {
                if (layout.name.rfind(prefix, 0) == 0) {
                    return layout.name.substr(std::char_traits<char>::length(prefix));
                }
            }
            return layout.name;
        }
    }
    return "";
}

XsaveComponent ReadComponent(const CpuidSnapshot& snapshot, size_t cpu, uint32_t id, bool supervisor,
                             const FieldTable& table, const OsSupport& os) {
    XsaveComponent component;
    component.id = id;
    component.supervisor = supervisor;
    component.name = ComponentName(table, id, supervisor);
    if (!supervisor && os.xcr0) {
        component.enabled = ((*os.xcr0 >> id) & 1u) != 0;
    }
    if (id < kLegacyComponents) {
        component.size = kLegacySize[id];
        component.offset = kLegacyOffset[id];
        return component;
    }
    if (!snapshot.Has(cpu, kXsaveLeaf, id)) {
        return component;
    }
    CpuidRegs regs = snapshot.Answer(cpu, kXsaveLeaf, id);
    component.size = regs.eax;
    if (!supervisor) {
        component.offset = regs.ebx;
    }
    component.aligned64 = BitSet(regs.ecx, 1);
    return component;
}

} // namespace

std::optional<XsaveFacts> ReadXsave(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                    const OsSupport& os) {
    if (!LeafReported(snapshot, cpu, kXsaveLeaf) || !BitSet(snapshot.Answer(cpu, 1).ecx, 26)) {
        return std::nullopt;
    }
    XsaveFacts xsave;
    CpuidRegs main = snapshot.Answer(cpu, kXsaveLeaf, 0);
    xsave.supportedXcr0 = Pair(main.eax, main.edx);
    xsave.enabledSize = main.ebx;
    xsave.largestSize = main.ecx;
    xsave.xcr0 = os.xcr0;
    if (snapshot.Has(cpu, kXsaveLeaf, 1)) {
        CpuidRegs extra = snapshot.Answer(cpu, kXsaveLeaf, 1);
        xsave.supportedXss = Pair(extra.ecx, extra.edx);
        xsave.compactedSize = extra.ebx;
    }
    for (uint32_t id = 0; id < kStateComponents; ++id) {
        bool user = ((xsave.supportedXcr0 >> id) & 1u) != 0;
        bool supervisor = ((xsave.supportedXss >> id) & 1u) != 0;
        if (user || supervisor) {
            xsave.components.push_back(ReadComponent(snapshot, cpu, id, !user, table, os));
        }
    }
    return xsave;
}

std::optional<AmxFacts> ReadAmx(const CpuidSnapshot& snapshot, size_t cpu) {
    if (!LeafReported(snapshot, cpu, kPaletteLeaf) || !BitSet(snapshot.Answer(cpu, 7).edx, kAmxTileBit)) {
        return std::nullopt;
    }
    AmxFacts amx;
    amx.maxPalette = snapshot.Answer(cpu, kPaletteLeaf).eax;
    for (uint32_t palette = 1; palette <= amx.maxPalette && palette < kMaxSubleaves; ++palette) {
        if (!snapshot.Has(cpu, kPaletteLeaf, palette)) {
            break;
        }
        CpuidRegs regs = snapshot.Answer(cpu, kPaletteLeaf, palette);
        amx.palettes.push_back(AmxPalette{palette, BitField(regs.eax, 0, 16), BitField(regs.eax, 16, 16),
                                          BitField(regs.ebx, 0, 16), BitField(regs.ebx, 16, 16),
                                          BitField(regs.ecx, 0, 16)});
    }
    if (LeafReported(snapshot, cpu, kTmulLeaf)) {
        uint32_t ebx = snapshot.Answer(cpu, kTmulLeaf).ebx;
        amx.tmulMaxK = BitField(ebx, 0, 8);
        amx.tmulMaxN = BitField(ebx, 8, 16);
    }
    return amx;
}
