#include "decode/processor_details.hpp"

#include "cpuid/registers.hpp"
#include "decode/feature_words.hpp"

namespace {

constexpr uint32_t kAddressLeaf = 0x80000008;
constexpr uint32_t kTscLeaf = 0x15;
constexpr uint32_t kFrequencyLeaf = 0x16;

std::optional<uint32_t> NonZero(uint32_t value) {
    return value != 0 ? std::optional<uint32_t>(value) : std::nullopt;
}

// The processors that stand for each kind of core: processor 0, then the
// first of every other core type.
std::vector<size_t> KindsOfCore(const TopologyFacts& topology) {
    std::vector<size_t> kinds;
    for (size_t i = 0; i < topology.cpus.size(); ++i) {
        bool seen = false;
        for (size_t kind : kinds) {
            seen = seen || topology.cpus[kind].coreType == topology.cpus[i].coreType;
        }
        if (!seen) {
            kinds.push_back(i);
        }
    }
    if (kinds.empty()) {
        kinds.push_back(0);
    }
    return kinds;
}

std::vector<TlbFacts> TlbsOfEveryKind(const CpuidSnapshot& snapshot, const DescriptorNames& names,
                                      const TopologyFacts& topology) {
    std::vector<TlbFacts> tlbs;
    for (size_t cpu : KindsOfCore(topology)) {
        std::vector<TlbFacts> own = ReadTlbs(snapshot, cpu, names);
        std::optional<CoreType> coreType;
        if (cpu < topology.cpus.size()) {
            coreType = topology.cpus[cpu].coreType;
        }
        for (TlbFacts& tlb : own) {
            tlb.coreType = coreType;
            tlbs.push_back(tlb);
        }
    }
    return tlbs;
}

} // namespace

bool LeafReported(const CpuidSnapshot& snapshot, size_t cpu, uint32_t leaf, uint32_t subleaf) {
    if (!snapshot.Has(cpu, leaf, subleaf)) {
        return false;
    }
    if (leaf >= kExtendedBase) {
        return leaf <= MaxExtendedLeaf(snapshot, cpu);
    }
    return leaf >= kHypervisorBase || leaf <= MaxStandardLeaf(snapshot, cpu);
}

AddressSizes ReadAddressSizes(const CpuidSnapshot& snapshot, size_t cpu) {
    AddressSizes sizes;
    if (!LeafReported(snapshot, cpu, kAddressLeaf)) {
        return sizes;
    }
    uint32_t eax = snapshot.Answer(cpu, kAddressLeaf).eax;
    sizes.physicalBits = NonZero(BitField(eax, 0, 8));
    sizes.linearBits = NonZero(BitField(eax, 8, 8));
    uint32_t guest = BitField(eax, 16, 8);
    sizes.guestPhysicalBits = guest != 0 ? std::optional<uint32_t>(guest) : sizes.physicalBits;
    return sizes;
}

ClockFacts ReadClockLeaves(const CpuidSnapshot& snapshot, size_t cpu) {
    ClockFacts clock;
    clock.hasCounter =
        LeafReported(snapshot, cpu, 1) && BitSet(snapshot.Answer(cpu, 1).edx, kBitTimeStampCounter);
    if (LeafReported(snapshot, cpu, kTscLeaf)) {
        CpuidRegs regs = snapshot.Answer(cpu, kTscLeaf);
        clock.crystalHz = NonZero(regs.ecx);
        if (regs.ebx != 0 && regs.eax != 0) {
            clock.tscNumerator = regs.ebx;
            clock.tscDenominator = regs.eax;
        }
        if (clock.crystalHz && clock.tscNumerator) {
            clock.tscHz = uint64_t{*clock.crystalHz} * *clock.tscNumerator / *clock.tscDenominator;
        }
    }
    if (LeafReported(snapshot, cpu, kFrequencyLeaf)) {
        CpuidRegs regs = snapshot.Answer(cpu, kFrequencyLeaf);
        clock.baseMhz = NonZero(BitField(regs.eax, 0, 16));
        clock.maxMhz = NonZero(BitField(regs.ebx, 0, 16));
        clock.busMhz = NonZero(BitField(regs.ecx, 0, 16));
    }
    return clock;
}

std::vector<SpeculationBit> ReadSpeculation(const CpuidSnapshot& snapshot, size_t cpu,
                                            const FieldTable& table) {
    std::vector<SpeculationBit> bits;
    for (const FieldLayout& layout : table.fields) {
        if (layout.kind != FieldKind::Speculation) {
            continue;
        }
        SpeculationBit bit{layout.name, std::nullopt};
        uint32_t subleaf = layout.firstSubleaf;
        bool subleafReported = layout.leaf != 7 || subleaf <= snapshot.Answer(cpu, 7).eax;
        if (LeafReported(snapshot, cpu, layout.leaf, subleaf) && subleafReported) {
            bit.present = BitField(RegisterAt(snapshot.Answer(cpu, layout.leaf, subleaf), layout.reg),
                                   layout.lowBit, layout.bitCount) != 0;
        }
        bits.push_back(bit);
    }
    return bits;
}

std::optional<std::vector<std::string>> ReadHypervisorFeatures(const CpuidSnapshot& snapshot, size_t cpu,
                                                               const FieldTable& table) {
    if (!BitSet(snapshot.Answer(cpu, 1).ecx, kBitHypervisor)) {
        return std::nullopt;
    }
    for (uint32_t base : {kHypervisorBase, kHypervisorBase + 0x100}) {
        std::vector<std::string> names;
        bool described = false;
        for (const DecodedField& field : DecodeLeaf(snapshot, cpu, table, base + 1, 0)) {
            if (field.layout == nullptr) {
                continue;
            }
            described = true;
            if (field.value != 0) {
                names.push_back(field.layout->name);
            }
        }
        if (described) {
            return names;
        }
    }
    return std::nullopt;
}

const std::vector<uint32_t>& DetailFieldLeaves() {
    static const std::vector<uint32_t> kLeaves = {7, 0xA, 0xD, kHypervisorBase + 1, 0x80000008u, 0x80000021u};
    return kLeaves;
}

ProcessorDetails DecodeProcessorDetails(const CpuidSnapshot& snapshot, const FieldTable& table,
                                        const DescriptorNames& descriptorNames, const TopologyFacts& topology,
                                        const OsSupport& os) {
    ProcessorDetails details;
    if (snapshot.cpus.empty()) {
        return details;
    }
    details.addresses = ReadAddressSizes(snapshot, 0);
    details.tlbs = TlbsOfEveryKind(snapshot, descriptorNames, topology);
    details.clock = ReadClockLeaves(snapshot, 0);
    details.xsave = ReadXsave(snapshot, 0, table, os);
    details.amx = ReadAmx(snapshot, 0);
    details.pmu = ReadPmu(snapshot, 0, table);
    details.speculation = ReadSpeculation(snapshot, 0, table);
    details.hypervisorFeatures = ReadHypervisorFeatures(snapshot, 0, table);
    return details;
}
