#include "probe/snapshot_writer.hpp"

#include <cstdio>

namespace {

const char kFirstLine[] = "# VELDRIX 1.30 CPUID dump\n";

void AppendProcessorHeader(std::string& text, const ProcessorLeaves& cpu) {
    text += cpu.osCpu ? "CPU " + std::to_string(*cpu.osCpu) + ":\n" : std::string("CPU:\n");
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

} // namespace

std::string WriteSnapshotText(const CpuidSnapshot& snapshot) {
    std::string text = kFirstLine;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        AppendProcessorHeader(text, cpu);
        for (const auto& [key, regs] : cpu.leaves) {
            AppendLeafLine(text, key, regs);
        }
    }
    return text;
}
