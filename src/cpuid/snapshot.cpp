#include "cpuid/snapshot.hpp"

CpuidRegs CpuidSnapshot::Answer(size_t cpu, uint32_t leaf, uint32_t subleaf) const {
    if (cpu >= cpus.size()) {
        return CpuidRegs{0, 0, 0, 0};
    }
    auto found = cpus[cpu].leaves.find(LeafKey{leaf, subleaf});
    return found == cpus[cpu].leaves.end() ? CpuidRegs{0, 0, 0, 0} : found->second;
}

bool CpuidSnapshot::Has(size_t cpu, uint32_t leaf, uint32_t subleaf) const {
    return cpu < cpus.size() && cpus[cpu].leaves.count(LeafKey{leaf, subleaf}) != 0;
}
