// The dump writer: its layout, and a round trip through the reader that gives
// back the same snapshot for every real dump.
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"
#include "cpuid/snapshot_writer.hpp"

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

// Two processors: the first numbered by the operating system, with XCR0 and
// a leaf beyond leaf 0's maximum; the second with neither number nor leaf 0.
CpuidSnapshot TwoProcessors() {
    ProcessorLeaves first;
    first.osCpu = 3;
    first.xcr0 = 0x2E7;
    first.leaves[LeafKey{0, 0}] = CpuidRegs{1, 0x756E6547, 0x6C65746E, 0x49656E69};
    first.leaves[LeafKey{1, 0}] = CpuidRegs{0x683, 0, 0, 0};
    first.leaves[LeafKey{0xD, 0xB}] = CpuidRegs{0x10, 0, 1, 0};
    ProcessorLeaves second;
    second.index = 1;
    second.leaves[LeafKey{0x80000000u, 0}] = CpuidRegs{0x80000000u, 0x68747541, 0x444D4163, 0x69746E65};
    CpuidSnapshot snapshot;
    snapshot.cpus = {first, second};
    return snapshot;
}

struct LayoutRow {
    const char* name;
    std::string (*write)(const CpuidSnapshot&);
    const char* text;
};

const LayoutRow kLayouts[] = {
    // what cpuid -f reads: headers and the leaves a walk asks for, nothing else
    {"CpuidToolLayout", WriteCpuidToolText,
     "CPU 3:\n"
     "   0x00000000 0x00: eax=0x00000001 ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
     "   0x00000001 0x00: eax=0x00000683 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
     "CPU 1:\n"
     "   0x80000000 0x00: eax=0x80000000 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"},
    // everything recorded, XCR0 included, and "CPU:" where no number is known
    {"SnapshotLayout", WriteSnapshotText,
     "# VELDRIX 1.30 CPUID dump\n"
     "CPU 3:\n"
     "   xcr0=0x00000000000002e7\n"
     "   0x00000000 0x00: eax=0x00000001 ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
     "   0x00000001 0x00: eax=0x00000683 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
     "   0x0000000d 0x0b: eax=0x00000010 ebx=0x00000000 ecx=0x00000001 edx=0x00000000\n"
     "CPU:\n"
     "   0x80000000 0x00: eax=0x80000000 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"},
};

TEST(SnapshotWriter, LayoutsWithLfLineEnds) {
    for (const LayoutRow& row : kLayouts) {
        EXPECT_EQ(row.write(TwoProcessors()), row.text) << row.name;
    }
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
    EXPECT_EQ(checked, 36);
}

TEST(SnapshotWriter, ThisMachineReadsBackTheSame) {
    CpuidSnapshot machine = TakeHardwareSnapshot();
    ExpectSameSnapshot(ReadDumpProcessors(WriteSnapshotText(machine)), machine);
}

} // namespace
