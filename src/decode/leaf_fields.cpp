#include "decode/leaf_fields.hpp"

#include "cpuid/registers.hpp"

#include <algorithm>
#include <tuple>

namespace {

struct KindName {
    const char* word;
    FieldKind kind;
};

const KindName kKindNames[] = {
    {"number", FieldKind::Number},
    {"hex", FieldKind::Hex},
    {"flag", FieldKind::Flag},
    {"text", FieldKind::Text},
    {"count", FieldKind::Count},
    {"bytes", FieldKind::Bytes},
    {"bytes_count", FieldKind::BytesCount},
    {"ways_count", FieldKind::WaysCount},
    {"kb", FieldKind::Kb},
    {"half_mb", FieldKind::HalfMb},
    {"qwords", FieldKind::Qwords},
    {"pages_count", FieldKind::PagesCount},
    {"log2_bytes", FieldKind::Log2Bytes},
    {"bits", FieldKind::Bits},
    {"mhz", FieldKind::Mhz},
    {"hz", FieldKind::Hz},
    {"id", FieldKind::Id},
    {"speculation", FieldKind::Speculation},
    {"cache_type", FieldKind::CacheType},
    {"tlb_type", FieldKind::TlbType},
    {"topology_type", FieldKind::TopologyType},
    {"amd_topology_type", FieldKind::AmdTopologyType},
    {"core_type", FieldKind::CoreType},
    {"amd_core_type", FieldKind::AmdCoreType},
    {"processor_type", FieldKind::ProcessorType},
    {"amd_l1_ways", FieldKind::AmdL1Ways},
    {"amd_ways", FieldKind::AmdWays},
    {"perf_tsc_bits", FieldKind::PerfTscBits},
    {"descriptor", FieldKind::Descriptor},
    {"no_descriptors", FieldKind::NoDescriptors},
};

// The hypervisor leaves come in blocks of 0x100 from 0x40000000; the first
// leaf of each block carries a signature.
constexpr uint32_t kHypervisorBlock = 0x100u;
constexpr uint32_t kHypervisorLast = 0x4FFFFFFFu;

bool IsHypervisorLeaf(uint32_t leaf) {
    return leaf >= kHypervisorBase && leaf <= kHypervisorLast;
}

std::string HypervisorSignature(const ProcessorLeaves& cpu, uint32_t blockLeaf) {
    auto found = cpu.leaves.find(LeafKey{blockLeaf, 0});
    if (found == cpu.leaves.end()) {
        return "";
    }
    const CpuidRegs& regs = found->second;
    // EBX, ECX, EDX: the vendor order of leaf 0 is EBX, EDX, ECX.
    return VendorIdText(CpuidRegs{0, regs.ebx, regs.edx, regs.ecx});
}

struct SpecRange {
    const FieldLayout* begin = nullptr;
    const FieldLayout* end = nullptr;
};

SpecRange SpecsOfLeaf(const std::vector<FieldLayout>& fields, uint32_t leaf) {
    auto first =
        std::lower_bound(fields.begin(), fields.end(), leaf,
                         [](const FieldLayout& layout, uint32_t value) { return layout.leaf < value; });
    auto last = std::upper_bound(first, fields.end(), leaf, [](uint32_t value, const FieldLayout& layout) {
        return value < layout.leaf;
    });
    if (first == last) {
        return {};
    }
    return {&*first, &*first + (last - first)};
}

// The layouts that describe a leaf: its own, the first hypervisor leaf's for
// the first leaf of every hypervisor block, and a hypervisor's own fields
// for the leaf after its signature.
SpecRange SpecsFor(const ProcessorLeaves& cpu, const FieldTable& table, uint32_t leaf) {
    if (!IsHypervisorLeaf(leaf)) {
        return SpecsOfLeaf(table.fields, leaf);
    }
    uint32_t offset = leaf % kHypervisorBlock;
    if (offset == 0) {
        return SpecsOfLeaf(table.fields, kHypervisorBase);
    }
    if (offset != 1) {
        return {};
    }
    std::string signature = HypervisorSignature(cpu, leaf - offset);
    for (const HypervisorFieldLayouts& layouts : table.hypervisorFields) {
        if (!layouts.fields.empty() && layouts.signature == signature) {
            return {layouts.fields.data(), layouts.fields.data() + layouts.fields.size()};
        }
    }
    return {};
}

void AddRawLeaf(std::vector<DecodedField>& fields, uint32_t leaf, uint32_t subleaf, const CpuidRegs& regs) {
    for (int reg = kEax; reg <= kEdx; ++reg) {
        fields.push_back(
            DecodedField{leaf, subleaf, nullptr, reg, RegisterAt(regs, reg), static_cast<uint32_t>(reg)});
    }
}

} // namespace

std::optional<FieldKind> FieldKindNamed(std::string_view word) {
    for (const KindName& entry : kKindNames) {
        if (word == entry.word) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

const char* FieldKindWord(FieldKind kind) {
    for (const KindName& entry : kKindNames) {
        if (kind == entry.kind) {
            return entry.word;
        }
    }
    return "number";
}

void SortFieldTable(FieldTable& table) {
    std::stable_sort(table.fields.begin(), table.fields.end(),
                     [](const FieldLayout& a, const FieldLayout& b) { return a.leaf < b.leaf; });
}

bool SameFieldPlace(const DecodedField& a, const DecodedField& b) {
    return a.leaf == b.leaf && a.subleaf == b.subleaf && a.order == b.order &&
           (a.layout == nullptr) == (b.layout == nullptr);
}

bool FieldPlaceBefore(const DecodedField& a, const DecodedField& b) {
    return std::make_tuple(a.leaf, a.subleaf, a.layout == nullptr, a.order) <
           std::make_tuple(b.leaf, b.subleaf, b.layout == nullptr, b.order);
}

namespace {

bool InSubleaves(const FieldLayout& layout, uint32_t subleaf) {
    return subleaf >= layout.firstSubleaf && subleaf <= layout.lastSubleaf;
}

// One bit per register whose no-descriptors bit is set: its bytes are no
// descriptors, only that bit is shown.
unsigned RegistersWithoutDescriptors(SpecRange layouts, uint32_t subleaf, const CpuidRegs& regs) {
    unsigned registers = 0;
    for (const FieldLayout* layout = layouts.begin; layout != layouts.end; ++layout) {
        if (layout->kind == FieldKind::NoDescriptors && InSubleaves(*layout, subleaf) &&
            BitField(RegisterAt(regs, layout->reg), layout->lowBit, layout->bitCount) != 0) {
            registers |= 1u << layout->reg;
        }
    }
    return registers;
}

void AppendLeafFields(std::vector<DecodedField>& fields, const ProcessorLeaves& leaves,
                      const FieldTable& table, uint32_t leaf, uint32_t subleaf, const CpuidRegs& regs) {
    SpecRange layouts = SpecsFor(leaves, table, leaf);
    unsigned withoutDescriptors = RegistersWithoutDescriptors(layouts, subleaf, regs);
    size_t before = fields.size();
    for (const FieldLayout* layout = layouts.begin; layout != layouts.end; ++layout) {
        if (!InSubleaves(*layout, subleaf) ||
            (layout->kind == FieldKind::Descriptor && (withoutDescriptors & (1u << layout->reg)) != 0)) {
            continue;
        }
        uint32_t value = BitField(RegisterAt(regs, layout->reg), layout->lowBit, layout->bitCount);
        fields.push_back(DecodedField{leaf, subleaf, layout, layout->reg, value,
                                      static_cast<uint32_t>(layout - layouts.begin)});
    }
    if (fields.size() == before) {
        AddRawLeaf(fields, leaf, subleaf, regs);
    }
}

} // namespace

std::vector<DecodedField> DecodeLeafFields(const CpuidSnapshot& snapshot, size_t cpu,
                                           const FieldTable& table) {
    std::vector<DecodedField> fields;
    if (cpu >= snapshot.cpus.size()) {
        return fields;
    }
    const ProcessorLeaves& leaves = snapshot.cpus[cpu];
    for (const auto& [key, regs] : leaves.leaves) {
        AppendLeafFields(fields, leaves, table, key.first, key.second, regs);
    }
    return fields;
}

std::vector<DecodedField> DecodeLeaf(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                     uint32_t leaf, uint32_t subleaf) {
    std::vector<DecodedField> fields;
    if (cpu < snapshot.cpus.size() && snapshot.Has(cpu, leaf, subleaf)) {
        AppendLeafFields(fields, snapshot.cpus[cpu], table, leaf, subleaf,
                         snapshot.Answer(cpu, leaf, subleaf));
    }
    return fields;
}

std::optional<uint32_t> ReadNamedField(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                       uint32_t leaf, uint32_t subleaf, std::string_view name) {
    for (const DecodedField& field : DecodeLeaf(snapshot, cpu, table, leaf, subleaf)) {
        if (field.layout != nullptr && field.layout->name == name) {
            return field.value;
        }
    }
    return std::nullopt;
}
