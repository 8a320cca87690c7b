// libFuzzer target for the CPUID dump reader. Any bytes must parse without a
// sanitizer report, within the snapshot's limits, and what the reader finds
// must hold up: written back by the dump writer it reads back to the same
// snapshot, and the menu's table is sub-leaf 0 of the first processor.
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_writer.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool SameRegs(const CpuidRegs& a, const CpuidRegs& b) {
    return a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

bool SameProcessor(const ProcessorLeaves& a, const ProcessorLeaves& b) {
    if (a.index != b.index || a.osCpu != b.osCpu || a.xcr0 != b.xcr0 || a.leaves.size() != b.leaves.size()) {
        return false;
    }
    for (const auto& [key, regs] : a.leaves) {
        auto found = b.leaves.find(key);
        if (found == b.leaves.end() || !SameRegs(found->second, regs)) {
            return false;
        }
    }
    return true;
}

bool SameSnapshot(const CpuidSnapshot& a, const CpuidSnapshot& b) {
    if (a.ProcessorCount() != b.ProcessorCount()) {
        return false;
    }
    for (size_t cpu = 0; cpu < a.ProcessorCount(); ++cpu) {
        if (!SameProcessor(a.cpus[cpu], b.cpus[cpu])) {
            return false;
        }
    }
    return true;
}

bool WithinLimits(const CpuidSnapshot& snapshot) {
    if (snapshot.ProcessorCount() > kMaxSnapshotProcessors) {
        return false;
    }
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        for (const auto& entry : cpu.leaves) {
            if (entry.first.second >= kMaxSubleaves) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CpuidSnapshot snapshot = ReadDumpProcessors(text);
    if (!WithinLimits(snapshot)) {
        std::abort();
    }
    if (!SameSnapshot(ReadDumpProcessors(WriteSnapshotText(snapshot)), snapshot)) {
        std::abort();
    }
    // The cpuid tool's layout converts again unchanged.
    std::string toolText = WriteCpuidToolText(snapshot);
    CpuidSnapshot tool = ReadDumpProcessors(toolText);
    if (tool.ProcessorCount() > snapshot.ProcessorCount() || WriteCpuidToolText(tool) != toolText) {
        std::abort();
    }
    return 0;
}
