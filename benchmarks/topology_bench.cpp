// Cost of the topology and cache decoding on top of loading a dump: 768
// logical processors (an EPYC 9004 system has that many; no such dump is at
// hand, so processor 0 of the Granite Ridge dump in the test data is
// repeated with its own APIC and x2APIC ids). Not a test: figures vary by
// machine; the budget is 10 ms.
#include "cpuid/snapshot_source.hpp"
#include "decode/processor_caches.hpp"
#include "decode/topology.hpp"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

CpuidSnapshot Repeated(const ProcessorLeaves& first, uint32_t count) {
    CpuidSnapshot snapshot;
    for (uint32_t i = 0; i < count; ++i) {
        ProcessorLeaves cpu = first;
        cpu.index = i;
        cpu.osCpu = i;
        for (auto& leaf : cpu.leaves) {
            if (leaf.first.first == 0x80000026 || leaf.first.first == 0xB) {
                leaf.second.edx = i;
            }
        }
        cpu.leaves[LeafKey{1, 0}].ebx = (cpu.leaves[LeafKey{1, 0}].ebx & 0x00FFFFFF) | ((i & 0xFF) << 24);
        snapshot.cpus.push_back(cpu);
    }
    return snapshot;
}

} // namespace

int main() {
    const std::string dump =
        VELDRIX_SOURCE_DIR "/tests/data/dumps/AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt";
    CpuidSnapshot source;
    std::string error;
    if (!LoadDumpSnapshot(dump, source, error)) {
        std::printf("cannot load %s: %s\n", dump.c_str(), error.c_str());
        return 1;
    }
    for (uint32_t count : {96u, 768u, 4096u}) {
        CpuidSnapshot snapshot = Repeated(source.cpus[0], count);
        const int rounds = 20;
        size_t caches = 0;
        Clock::time_point start = Clock::now();
        for (int i = 0; i < rounds; ++i) {
            TopologyFacts topology = DecodeTopology(snapshot, false);
            caches += DecodeCaches(snapshot, topology, DescriptorNames{}).size();
        }
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
        std::printf("topology and caches, %4u processors: %8.3f ms (%zu caches)\n", count, ms,
                    caches / rounds);
    }
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::printf("peak memory of this benchmark        : %8.1f MB\n", self.ru_maxrss / 1024.0);
    return 0;
}
