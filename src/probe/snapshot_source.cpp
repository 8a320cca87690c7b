#include "probe/snapshot_source.hpp"

#include "probe/cpuid.hpp"
#include "probe/dump_reader.hpp"

namespace {

// One processor holding sub-leaf 0 of every leaf of a table.
CpuidSnapshot SnapshotOfTable(const CpuidTable& table) {
    CpuidSnapshot snapshot;
    if (table.empty()) {
        return snapshot;
    }
    ProcessorLeaves cpu;
    for (const auto& [leaf, regs] : table) {
        cpu.leaves[LeafKey{leaf, 0}] = regs;
    }
    snapshot.cpus.push_back(std::move(cpu));
    return snapshot;
}

// Reads sub-leaf 0 of every leaf of the standard and extended ranges on the
// processor the thread runs on.
CpuidTable ReadCurrentProcessor() {
    CpuidTable table;
    if (!HasCpuid()) {
        return table;
    }
    for (uint32_t base : {0u, 0x80000000u}) {
        CpuidRegs top = ExecuteCpuid(base);
        uint32_t last = top.eax - base < 256 ? top.eax : base;
        for (uint32_t leaf = base; leaf <= last; ++leaf) {
            table[leaf] = ExecuteCpuid(leaf);
        }
    }
    return table;
}

} // namespace

CpuidSnapshot TakeHardwareSnapshot() {
    CpuidSnapshot snapshot = SnapshotOfTable(ReadCurrentProcessor());
    snapshot.singleProcessorFallback = true;
    return snapshot;
}

CpuidSnapshot ParseDumpSnapshot(std::string_view text) {
    return SnapshotOfTable(ParseDumpText(text));
}

bool LoadDumpSnapshot(const std::string& path, CpuidSnapshot& snapshot, std::string& error) {
    std::string text;
    if (!ReadDumpFile(path, text)) {
        error = "cannot read " + path;
        return false;
    }
    snapshot = ParseDumpSnapshot(text);
    if (snapshot.cpus.empty()) {
        error = path + " holds no CPUID leaf line";
        return false;
    }
    return true;
}
