// The probe sequence over recorded leaf tables: which leaves are read, in
// which order, what lands in the record, and the verbose progress lines.
#include "classic/probe.hpp"
#include "common/text_format.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Intel Pentium (P5), from a public dump: leaf 1 is the highest leaf.
const CpuidTable kPentium = {
    {0x00000000, {0x00000001, 0x756E6547, 0x6C65746E, 0x49656E69}},
    {0x00000001, {0x00000517, 0x00000000, 0x00000000, 0x000001BF}},
};

void UseLoggedTable(const CpuidTable& table) {
    ResetWorld(table);
}

// The leaves the probe took into the record, in ascending order: every leaf
// of LevelTable answers something other than four zeros.
std::vector<uint32_t> LeavesTaken(const ProcessorRecord& record) {
    std::vector<uint32_t> leaves;
    auto add = [&leaves](uint32_t base, const auto& regs) {
        for (uint32_t index = 0; index < regs.size(); ++index) {
            const CpuidRegs& r = regs[index];
            if (r.eax != 0 || r.ebx != 0 || r.ecx != 0 || r.edx != 0) {
                leaves.push_back(base + index);
            }
        }
    };
    add(0, record.stdRegs);
    add(0x80000000, record.extRegs);
    add(0x80860000, record.tmxRegs);
    return leaves;
}

std::vector<uint32_t> Ascending(std::vector<uint32_t> leaves) {
    std::sort(leaves.begin(), leaves.end());
    return leaves;
}

// A processor of the given maxima whose every leaf answers its own number in EAX.
CpuidTable LevelTable(uint32_t maxStd, uint32_t maxExt, uint32_t maxTmx = 0) {
    CpuidTable table;
    table[0] = {maxStd, 0x756E6547, 0x6C65746E, 0x49656E69};
    for (uint32_t leaf = 1; leaf <= 3; ++leaf) {
        table[leaf] = {0x00000683, 0, 0, 0x00000010};
    }
    table[0x80000000] = {maxExt, 0x80000000, 0, 0};
    for (uint32_t leaf = 0x80000001; leaf <= 0x80000008; ++leaf) {
        table[leaf] = {leaf, leaf, leaf, leaf};
    }
    table[0x80860000] = {maxTmx, 0x80860000, 0, 0};
    for (uint32_t leaf = 0x80860001; leaf <= 0x80860007; ++leaf) {
        table[leaf] = {leaf, leaf, leaf, leaf};
    }
    return table;
}

} // namespace

TEST(Probe, LeavesReadAtTheBoundaryLevels) {
    ProcessorRecord record;
    IniFile db;
    struct Row {
        const char* name;
        uint32_t maxStd, maxExt, maxTmx;
        std::vector<uint32_t> leaves;
    };
    const Row rows[] = {
        {"max standard 0", 0, 0x80000000, 0, {0, 0x80000000}},
        {"max standard 2: no leaf 3", 2, 0, 0, {0, 1, 2, 0x80000000}},
        {"extended answer below the base", 3, 0x00000003, 0, {0, 1, 2, 3, 0x80000000}},
        {"extended 0x80000002 still reads the brand leaves",
         1,
         0x80000002,
         0,
         {0, 1, 0x80000000, 0x80000004, 0x80000003, 0x80000002, 0x80000001, 0x80860000}},
        {"extended 0x80000004: no L1 leaf",
         1,
         0x80000004,
         0,
         {0, 1, 0x80000000, 0x80000004, 0x80000003, 0x80000002, 0x80000001, 0x80860000}},
        {"extended 0x80000008: all nine, highest first",
         1,
         0x80000008,
         0,
         {0, 1, 0x80000000, 0x80000008, 0x80000007, 0x80000006, 0x80000005, 0x80000004, 0x80000003,
          0x80000002, 0x80000001, 0x80860000}},
        {"Transmeta 0x80860001",
         1,
         0x80000001,
         0x80860001,
         {0, 1, 0x80000000, 0x80000001, 0x80860000, 0x80860001}},
        {"Transmeta 0x80860004 reads all four information leaves",
         1,
         0x80000001,
         0x80860004,
         {0, 1, 0x80000000, 0x80000001, 0x80860000, 0x80860006, 0x80860005, 0x80860004, 0x80860003,
          0x80860002, 0x80860001}},
        {"Transmeta above 0x80860007 reads no higher leaf",
         1,
         0x80000001,
         0x8086FFFF,
         {0, 1, 0x80000000, 0x80000001, 0x80860000, 0x80860007, 0x80860006, 0x80860005, 0x80860004,
          0x80860003, 0x80860002, 0x80860001}},
        {"huge extended maximum reads no more than nine",
         1,
         0xFFFFFFFF,
         0,
         {0, 1, 0x80000000, 0x80000008, 0x80000007, 0x80000006, 0x80000005, 0x80000004, 0x80000003,
          0x80000002, 0x80000001, 0x80860000}},
    };
    for (const Row& row : rows) {
        UseLoggedTable(LevelTable(row.maxStd, row.maxExt, row.maxTmx));
        ConsoleCapture console;
        record = ProcessorRecord{};
        ProbeWorld(record, db);
        EXPECT_EQ(LeavesTaken(record), Ascending(row.leaves)) << row.name;
        EXPECT_EQ(console.Output(), "") << row.name << ": nothing is printed without -v";
    }
}

TEST(Probe, GatingOfFieldsAndTables) {
    ProcessorRecord record;
    IniFile db;
    UseLoggedTable(LevelTable(0, 0x80000006, 0x80860006));
    ConsoleCapture console;
    ProbeWorld(record, db);
    EXPECT_EQ(record.signature, 0u);
    EXPECT_EQ(record.stdFeatureStatus[4], StatusHidden) << "standard table never decoded at level 0";
    EXPECT_EQ(record.powerMgmtStatus[0], StatusHidden) << "power table needs more than 0x80000006";
    EXPECT_EQ(record.extFeatureStatus[0], StatusPresent) << "0x80000001 EDX bit 0 is set";
    EXPECT_EQ(record.l2Fields[11], 0x06u);
    EXPECT_EQ(record.addressSizes, 0u);
    EXPECT_TRUE(record.extPresent);
    EXPECT_EQ(record.maxTransmetaLeaf, 0x80860006u);
    EXPECT_EQ(record.tmxCurrentMhz, 0u) << "leaf 0x80860007 is not read below it";
    EXPECT_EQ(record.brandName, "Not supported");
    EXPECT_EQ(record.typeName, "Original OEM Processor");
}

TEST(Probe, CrusoeFieldsAndVerboseLines) {
    ProcessorRecord record;
    IniFile db;
    UseLoggedTable(CrusoeTable(0x80860007));
    ConsoleCapture console;
    ProbeWorld(record, db, true);
    EXPECT_EQ(
        console.Output(),
        Lines({" -> Retrieving VendorID...[done]  ==>  GenuineTMx86", " -> Max. Standard Level : 00000003",
               " -> Retrieving Standard Level CPUID...[done]  ==>  00000543", " -> Brand ID : 00",
               " -> Retrieving Standard Level Features...[done]  ==>  0084893F",
               " -> Retrieving Standard Configuration...[done]  ==>  00000000-00000000-00000000-00000000",
               " -> Retrieving Processor Serial Number...[done]  ==>  0000-0543-0000-68D6-0061-A48B",
               " -> Max. Extended Level : 80000006",
               " -> Retrieving Extended Level CPUID...[done]  ==>  00000543",
               " -> Retrieving Extended Level Features...[done]  ==>  0081813F",
               " -> Retrieving Level 1 Cache...[done]  ==>  00000000-04FF04FF-40100120-40080140",
               " -> Retrieving Level 2 Cache...[done]  ==>  00000000-00000000-02004180-00000000",
               " -> Max. Transmeta Level : 80860007",
               " -> Retrieving Transmeta Level CPUID...[done]  ==>  01050002",
               " -> Retrieving Transmeta Software Version...[done]  ==>  0404030A-000000B8",
               " -> Retrieving Current CPU Status...[done]  ==>  000003E8-00000578-00000064-000048CB",
               " -> Calculating processor speed...[done]  ==>   930.412 MHz  [ ~933 MHz]"}));
    EXPECT_EQ(record.vendorId, "GenuineTMx86");
    EXPECT_EQ(record.tmxVendorId, "TransmetaCPU");
    EXPECT_EQ(record.tmxNominalMhz, 1000u);
    EXPECT_EQ(record.tmxHardwareRev, (std::array<uint8_t, 4>{0x01, 0x05, 0x00, 0x02}));
    EXPECT_EQ(record.tmxSoftwareRev, (std::array<uint8_t, 4>{0x04, 0x04, 0x03, 0x0A}));
    EXPECT_EQ(record.tmxSoftwareRevExtra, 0xB8u);
    EXPECT_EQ(NulText(record.tmxInfoText.data(), 64), "20030618 15:27 official release 4.4.3#1");
    EXPECT_EQ(NulText(record.brandString.data(), 48), "Transmeta(tm) Crusoe(tm) Processor TM5800");
    EXPECT_EQ(record.tmxCurrentVoltage, 1400u);
    EXPECT_EQ(record.tmxCurrentPerformance, 100u);
    EXPECT_EQ(record.l1Fields[4], 0x04);
    EXPECT_DOUBLE_EQ(record.measuredMhz, 930.412);
    EXPECT_EQ(record.normalizedMhz, 933);
}

TEST(Probe, PentiumVerboseWithoutExtendedLeaves) {
    ProcessorRecord record;
    IniFile db;
    UseLoggedTable(kPentium);
    ConsoleCapture console;
    ProbeWorld(record, db, true);
    EXPECT_EQ(
        console.Output(),
        Lines({" -> Retrieving VendorID...[done]  ==>  GenuineIntel", " -> Max. Standard Level : 00000001",
               " -> Retrieving Standard Level CPUID...[done]  ==>  00000517", " -> Brand ID : 00",
               " -> Retrieving Standard Level Features...[done]  ==>  000001BF",
               " -> Max. Extended Level : 00000000",
               " -> Calculating processor speed...[done]  ==>   930.412 MHz  [ ~933 MHz]"}));
    EXPECT_FALSE(record.extPresent);
    EXPECT_EQ(record.maxTransmetaLeaf, 0u);
    EXPECT_EQ(LeavesTaken(record), (std::vector<uint32_t>{0, 1})); // 0x80000000 answers zeros
}

TEST(Probe, MaxStandardZeroVerboseAndUnmeasuredClock) {
    ProcessorRecord record;
    IniFile db;
    UseLoggedTable(LevelTable(0, 0));
    ConsoleCapture console;
    ProbeProcessor(record, ProbeSources{WorldSnapshot(), db, TickCounter(), &ConsoleOutput()});
    EXPECT_EQ(
        console.Output(),
        Lines({" -> Retrieving VendorID...[done]  ==>  GenuineIntel", " -> Max. Standard Level : 00000000",
               " -> Retrieving Standard Level CPUID...[done]  ==>  00000000", " -> Brand ID : 00",
               " -> Max. Extended Level : 00000000", " -> Calculating processor speed...[skipped]"}));
    EXPECT_EQ(record.measuredMhz, 0.0);
    EXPECT_EQ(record.normalizedMhz, 0);
}

TEST(Probe, VendorTextStopsAtAZeroByte) {
    ProcessorRecord record;
    IniFile db;
    CpuidTable table = LevelTable(1, 0);
    table[0] = {1, 0x00006547, 0x6C65746E, 0x49656E69}; // "Ge" then a zero byte
    UseLoggedTable(table);
    ConsoleCapture console;
    ProbeWorld(record, db);
    EXPECT_EQ(record.vendorId, "Ge");
}

TEST(Probe, NoTimeStampCounterLeavesTheClockAtZero) {
    ProcessorRecord record;
    IniFile db;
    CpuidTable table = LevelTable(1, 0);
    table[1].edx = 0; // no TSC: RDTSC would fault
    UseLoggedTable(table);
    ConsoleCapture console;
    ProbeWorld(record, db);
    EXPECT_EQ(record.measuredMhz, 0.0);
}
