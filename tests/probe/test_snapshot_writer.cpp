// The dump writer: its layout, and a round trip through the reader that gives
// back the same snapshot for every real dump.
#include "probe/dump_reader.hpp"
#include "probe/snapshot_source.hpp"
#include "probe/snapshot_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

bool SameRegs(const CpuidRegs& a, const CpuidRegs& b) {
    return a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

void ExpectSameSnapshot(const CpuidSnapshot& got, const CpuidSnapshot& want) {
    ASSERT_EQ(got.ProcessorCount(), want.ProcessorCount());
    for (size_t cpu = 0; cpu < want.ProcessorCount(); ++cpu) {
        SCOPED_TRACE("processor " + std::to_string(cpu));
        const ProcessorLeaves& a = got.cpus[cpu];
        const ProcessorLeaves& b = want.cpus[cpu];
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.osCpu, b.osCpu);
        EXPECT_EQ(a.xcr0, b.xcr0);
        ASSERT_EQ(a.leaves.size(), b.leaves.size());
        for (const auto& [key, regs] : b.leaves) {
            auto found = a.leaves.find(key);
            ASSERT_NE(found, a.leaves.end()) << std::hex << key.first << "." << key.second;
            EXPECT_TRUE(SameRegs(found->second, regs)) << std::hex << key.first << "." << key.second;
        }
    }
}

TEST(SnapshotWriter, CpuidToolRawLayoutWithLfLineEnds) {
    CpuidSnapshot snapshot;
    ProcessorLeaves first;
    first.osCpu = 3;
    first.xcr0 = 0x2E7;
    first.leaves[LeafKey{0xD, 0xB}] = CpuidRegs{0x10, 0, 1, 0};
    ProcessorLeaves second;
    second.index = 1;
    second.leaves[LeafKey{0x80000000u, 0}] = CpuidRegs{0x80000021u, 0x68747541, 0x444D4163, 0x69746E65};
    snapshot.cpus = {first, second};
    EXPECT_EQ(WriteSnapshotText(snapshot),
              "# VELDRIX 1.30 CPUID dump\n"
              "CPU 3:\n"
              "   xcr0=0x00000000000002e7\n"
              "   0x0000000d 0x0b: eax=0x00000010 ebx=0x00000000 ecx=0x00000001 edx=0x00000000\n"
              "CPU:\n"
              "   0x80000000 0x00: eax=0x80000021 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n");
}

TEST(SnapshotWriter, EveryRealDumpReadsBackTheSame) {
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELDRIX_DUMPS_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        CpuidSnapshot dump;
        std::string error;
        ASSERT_TRUE(LoadDumpSnapshot(entry.path().string(), dump, error)) << error;
        std::string written = WriteSnapshotText(dump);
        ExpectSameSnapshot(ReadDumpProcessors(written), dump);
        EXPECT_EQ(WriteSnapshotText(ReadDumpProcessors(written)), written);
        ++checked;
    }
    EXPECT_EQ(checked, 35);
}

TEST(SnapshotWriter, ThisMachineReadsBackTheSame) {
    CpuidSnapshot machine = TakeHardwareSnapshot();
    ExpectSameSnapshot(ReadDumpProcessors(WriteSnapshotText(machine)), machine);
}

} // namespace
