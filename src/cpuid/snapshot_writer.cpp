#include "cpuid/snapshot_writer.hpp"

#include "cpuid/snapshot_walk.hpp"

#include <cstdio>

namespace {

const char kFirstLine[] = "# VELDRIX 1.30 CPUID dump\n";

std::string ProcessorHeader(std::optional<uint32_t> number) {
    return number ? "CPU " + std::to_string(*number) + ":\n" : std::string("CPU:\n");
}

void AppendXcr0Line(std::string& text, const ProcessorLeaves& cpu) {
    if (cpu.xcr0) {
        char line[40];
        std::snprintf(line, sizeof line, "   xcr0=0x%016llx\n", static_cast<unsigned long long>(*cpu.xcr0));
        text += line;
    }
}

void AppendLeafLine(std::string& text, const LeafKey& key, const CpuidRegs& regs) {
    char line[112];
    int length = std::snprintf(
        line, sizeof line, "   0x%08x 0x%02x: eax=0x%08x ebx=0x%08x ecx=0x%08x edx=0x%08x\n",
        static_cast<unsigned>(key.first), static_cast<unsigned>(key.second), static_cast<unsigned>(regs.eax),
        static_cast<unsigned>(regs.ebx), static_cast<unsigned>(regs.ecx), static_cast<unsigned>(regs.edx));
    text.append(line, static_cast<size_t>(length));
}

// The recorded leaves a walk of the live processor would have asked for:
// the walk runs over the recording itself, and what it asks that was not
// recorded is left out.
std::map<LeafKey, CpuidRegs> WalkedLeaves(const ProcessorLeaves& cpu) {
    auto answer = [&cpu](uint32_t leaf, uint32_t subleaf) {
        auto found = cpu.leaves.find(LeafKey{leaf, subleaf});
        return found == cpu.leaves.end() ? CpuidRegs{} : found->second;
    };
    std::map<LeafKey, CpuidRegs> walked = ReadProcessorLeaves(answer, [] { return uint64_t{0}; }).leaves;
    for (auto it = walked.begin(); it != walked.end();) {
        it = cpu.leaves.count(it->first) != 0 ? std::next(it) : walked.erase(it);
    }
    return walked;
}

} // namespace

std::string WriteCpuidToolText(const CpuidSnapshot& snapshot) {
    std::string text;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        std::map<LeafKey, CpuidRegs> walked = WalkedLeaves(cpu);
        if (walked.empty()) {
            continue; // a header alone is no processor to a reader
        }
        text += ProcessorHeader(cpu.osCpu.value_or(cpu.index));
        for (const auto& [key, regs] : walked) {
            AppendLeafLine(text, key, regs);
        }
    }
    return text;
}

std::string WriteSnapshotText(const CpuidSnapshot& snapshot) {
    std::string text = kFirstLine;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        text += ProcessorHeader(cpu.osCpu);
        AppendXcr0Line(text, cpu);
        for (const auto& [key, regs] : cpu.leaves) {
            AppendLeafLine(text, key, regs);
        }
    }
    return text;
}
