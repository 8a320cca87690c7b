#include "cpuid/snapshot_source.hpp"

#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_walk.hpp"
#include "platform/platform.hpp"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

CpuidRegs HardwareSubleaf(uint32_t leaf, uint32_t subleaf) {
    uint32_t regs[4] = {0, 0, 0, 0};
    PlatformCpuidSubleaf(leaf, subleaf, regs);
    return CpuidRegs{regs[0], regs[1], regs[2], regs[3]};
}

// The processor the thread runs on now, appended to the snapshot.
void AddCurrentProcessor(CpuidSnapshot& snapshot, std::optional<uint32_t> osCpu) {
    ProcessorLeaves cpu = ReadProcessorLeaves(HardwareSubleaf, PlatformReadXcr0);
    cpu.index = static_cast<uint32_t>(snapshot.cpus.size());
    cpu.osCpu = osCpu;
    snapshot.cpus.push_back(std::move(cpu));
}

} // namespace

CpuidSnapshot TakeHardwareSnapshot(size_t processorLimit) {
    CpuidSnapshot snapshot;
    if (!PlatformHasCpuid()) {
        return snapshot;
    }
    size_t limit = std::min(processorLimit, kMaxSnapshotProcessors);
    bool pinned = PlatformForEachProcessor([&snapshot, limit, processorLimit](uint32_t osCpu) {
        if (snapshot.cpus.size() < limit) {
            AddCurrentProcessor(snapshot, osCpu);
        } else if (processorLimit >= kMaxSnapshotProcessors) {
            snapshot.cutAtCapacity = true;
        }
    });
    if (!pinned) {
        AddCurrentProcessor(snapshot, std::nullopt);
        snapshot.singleProcessorFallback = true;
    }
    return snapshot;
}

CpuidSnapshot ParseDumpSnapshot(std::string_view text) {
    return ReadDumpProcessors(text);
}

bool LoadDumpSnapshot(const std::string& path, CpuidSnapshot& snapshot, std::string& error,
                      size_t processorLimit) {
    std::string text;
    bool cutAtLimit = false;
    if (!ReadDumpFile(path, text, kDumpSizeLimit, &cutAtLimit)) {
        error = "cannot read " + path;
        return false;
    }
    snapshot = ReadDumpProcessors(text, processorLimit);
    snapshot.cutAtSizeLimit = cutAtLimit;
    if (snapshot.cpus.empty()) {
        error = path + " holds no CPUID leaf line";
        return false;
    }
    return true;
}

std::vector<std::string> DumpCutNotes(const std::string& path, const CpuidSnapshot& snapshot) {
    std::vector<std::string> notes;
    const std::string sizeLimit = std::to_string(kDumpSizeLimit >> 20) + " MiB";
    if (snapshot.cutAtSizeLimit) {
        notes.push_back("veldrix: " + path + " is larger than " + sizeLimit + "; only its first " +
                        sizeLimit + " were read");
    }
    if (snapshot.cutAtCapacity) {
        notes.push_back("veldrix: " + path + " holds more than " + std::to_string(kMaxSnapshotProcessors) +
                        " logical processors or sub-leaves beyond " + std::to_string(kMaxSubleaves - 1) +
                        "; only those were read");
    }
    return notes;
}
