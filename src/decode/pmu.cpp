// The performance counters: Intel's architectural leaf 0xA, AMD's 0x80000022.
#include "cpuid/registers.hpp"
#include "decode/processor_details.hpp"

namespace {

constexpr uint32_t kIntelPmuLeaf = 0xA;
constexpr uint32_t kAmdPmuLeaf = 0x80000022;

// An event name of leaf 0xA EBX without its "no_" and "_evt" ("core_cycle").
std::string EventName(const std::string& name) {
    std::string event = name.rfind("no_", 0) == 0 ? name.substr(3) : name;
    const std::string suffix = "_evt";
    if (event.size() > suffix.size() &&
        event.compare(event.size() - suffix.size(), suffix.size(), suffix) == 0) {
        event.erase(event.size() - suffix.size());
    }
    return event;
}

PmuFacts ReadIntelPmu(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table) {
    CpuidRegs regs = snapshot.Answer(cpu, kIntelPmuLeaf);
    PmuFacts pmu;
    pmu.source = "0x0000000A";
    pmu.version = BitField(regs.eax, 0, 8);
    pmu.generalCounters = BitField(regs.eax, 8, 8);
    pmu.generalBits = BitField(regs.eax, 16, 8);
    if (*pmu.version >= 2) {
        pmu.fixedCounters = BitField(regs.edx, 0, 5);
        pmu.fixedBits = BitField(regs.edx, 5, 8);
    }
    uint32_t listed = BitField(regs.eax, 24, 8);
    for (const FieldLayout& layout : table.fields) {
        if (layout.leaf != kIntelPmuLeaf || layout.reg != kEbx || layout.bitCount != 1 ||
            layout.lowBit >= listed) {
            continue;
        }
        (BitSet(regs.ebx, layout.lowBit) ? pmu.unavailableEvents : pmu.events)
            .push_back(EventName(layout.name));
    }
    return pmu;
}

PmuFacts ReadAmdPmu(const CpuidSnapshot& snapshot, size_t cpu) {
    CpuidRegs regs = snapshot.Answer(cpu, kAmdPmuLeaf);
    PmuFacts pmu;
    pmu.source = "0x80000022";
    pmu.version = BitSet(regs.eax, 0) ? std::optional<uint32_t>(2) : std::nullopt;
    pmu.generalCounters = BitField(regs.ebx, 0, 4);
    pmu.branchRecordStack = BitField(regs.ebx, 4, 6);
    pmu.northbridgeCounters = BitField(regs.ebx, 10, 6);
    pmu.memoryControllerCounters = BitField(regs.ebx, 16, 6);
    return pmu;
}

} // namespace

std::optional<PmuFacts> ReadPmu(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table) {
    if (LeafReported(snapshot, cpu, kIntelPmuLeaf) &&
        BitField(snapshot.Answer(cpu, kIntelPmuLeaf).eax, 0, 8) != 0) {
        return ReadIntelPmu(snapshot, cpu, table);
    }
    if (LeafReported(snapshot, cpu, kAmdPmuLeaf)) {
        return ReadAmdPmu(snapshot, cpu);
    }
    return std::nullopt;
}
