#include "support/cpuid_tables.hpp"

#include "cpuid/dump_reader.hpp"

CpuidSnapshot SnapshotOfTable(const CpuidTable& table) {
    CpuidSnapshot snapshot;
    if (table.empty()) {
        return snapshot;
    }
    ProcessorLeaves cpu;
    for (const auto& [leaf, regs] : table) {
        cpu.leaves[LeafKey{leaf, 0}] = regs;
    }
    snapshot.cpus.push_back(cpu);
    return snapshot;
}

CpuidTable FirstProcessorTable(const CpuidSnapshot& snapshot) {
    CpuidTable table;
    if (snapshot.cpus.empty()) {
        return table;
    }
    for (const auto& [key, regs] : snapshot.cpus.front().leaves) {
        if (key.second == 0) {
            table.emplace_hint(table.end(), key.first, regs);
        }
    }
    return table;
}

CpuidTable ParseDumpText(std::string_view text) {
    return FirstProcessorTable(ReadDumpProcessors(text));
}

bool LoadCpuidDump(const std::string& path, CpuidTable& table) {
    std::string text;
    table.clear();
    if (!ReadDumpFile(path, text)) {
        return false;
    }
    table = ParseDumpText(text);
    return !table.empty();
}
