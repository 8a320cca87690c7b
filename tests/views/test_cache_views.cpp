// The L1 and L2 cache and TLB screens, compared whole.
#include "classic/features.hpp"
#include "classic/probe.hpp"
#include "classic/views.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

namespace {

const char kEnd[] = " ---- End ----";

std::string Show(const ProcessorRecord& record, void (*view)(const ProcessorRecord&)) {
    ConsoleCapture console("\n");
    view(record);
    return console.Output();
}

ProcessorRecord RecordL1(const std::array<uint32_t, 4>& regs) {
    ResetWorld();
    ProcessorRecord record;
    record.l1Regs = regs;
    DecodeL1Fields(record);
    return record;
}

ProcessorRecord RecordL2(const std::array<uint32_t, 4>& regs) {
    ResetWorld();
    ProcessorRecord record;
    record.l2Regs = regs;
    DecodeL2Fields(record);
    return record;
}

} // namespace

// Leaves 0x80000005 and 0x80000006 of an AMD Athlon (Palomino), from
// AuthenticAMD0000662_K7_Palomino_CPUID.txt.
TEST(CacheViews, AthlonPalominoProbed) {
    ResetWorld(PalominoTable());
    ProcessorRecord record = ProbedRecord();
    EXPECT_EQ(
        Show(record, ShowL1Cache),
        Lines({"", "L1 cache and TLB configuration : ", " -> L1 Data TLB, 4M/2M pages, 4 ways, 8 entries",
               " -> L1 Code TLB, 4M/2M pages, full, 8 entries", " -> L1 Data TLB, 4K pages, full, 32 entries",
               " -> L1 Code TLB, 4K pages, full, 16 entries",
               " -> L1 Data Cache, 64 KB, 2 ways, 1 lines per tag, 64 byte lines",
               " -> L1 Code Cache, 64 KB, 2 ways, 1 lines per tag, 64 byte lines", ""}) +
            kEnd);
    EXPECT_EQ(
        Show(record, ShowL2Cache),
        Lines({"", "L2 cache and TLB configuration : ", " -> L2 Data TLB, 4K pages, 4 ways, 256 entries",
               " -> L2 Code TLB, 4K pages, 4 ways, 256 entries",
               " -> Unified L2 Cache, 256 KB, 16 ways, 1 lines per tag, 64 byte lines", ""}) +
            kEnd);
}

TEST(CacheViews, L1Screens) {
    struct Row {
        const char* name;
        std::array<uint32_t, 4> regs;
        std::string screen;
    };
    const Row rows[] = {
        {"all registers zero", {0, 0, 0, 0}, Lines({"", "L1 cache and TLB configuration : ", ""})},
        {"associativity 0, 1, 3, 6",
         {0x00010102, 0x03040605, 0, 0},
         Lines({"", "L1 cache and TLB configuration : ", " -> L1 Data TLB, 4M/2M pages, 0 ways, 1 entries",
                " -> L1 Code TLB, 4M/2M pages, 1 ways, 2 entries",
                " -> L1 Data TLB, 4K pages, 3 ways, 4 entries",
                " -> L1 Code TLB, 4K pages, 6 ways, 5 entries", ""})},
        {"associativity 8, 15, 255 and zero entries",
         {0, 0x080FFF00, 0x10FF0220, 0x200F0140},
         Lines({"", "L1 cache and TLB configuration : ", " -> L1 Data TLB, 4K pages, 8 ways, 15 entries",
                " -> L1 Code TLB, 4K pages, full, 0 entries",
                " -> L1 Data Cache, 16 KB, full, 2 lines per tag, 32 byte lines",
                " -> L1 Code Cache, 32 KB, 15 ways, 1 lines per tag, 64 byte lines", ""})},
        {"only the code cache",
         {0, 0, 0, 0x40020140},
         Lines({"", "L1 cache and TLB configuration : ",
                " -> L1 Code Cache, 64 KB, 2 ways, 1 lines per tag, 64 byte lines", ""})},
    };
    for (const Row& row : rows) {
        ProcessorRecord record = RecordL1(row.regs);
        EXPECT_EQ(Show(record, ShowL1Cache), row.screen + kEnd) << row.name;
    }
}

TEST(CacheViews, L2Screens) {
    struct Row {
        const char* name;
        std::array<uint32_t, 4> regs;
        std::string screen;
    };
    const Row rows[] = {
        {"all registers zero", {0, 0, 0, 0}, Lines({"", "L2 cache and TLB configuration : ", ""})},
        {"EDX alone is never shown",
         {0, 0, 0, 0x12345678},
         Lines({"", "L2 cache and TLB configuration : ", ""})},
        {"4M/2M code TLB is hyphenated",
         {0x60086008, 0, 0, 0},
         Lines({"", "L2 cache and TLB configuration : ", " -> L2 Data TLB, 4M/2M pages, 8 ways, 8 entries",
                " -> L2 Code TLB, 4M/2M pages, 8-way, 8 entries", ""})},
        {"codes 0 and 1",
         {0x00101001, 0, 0, 0},
         Lines({"", "L2 cache and TLB configuration : ",
                " -> L2 Data TLB, 4M/2M pages, off [disabled], 16 entries",
                " -> L2 Code TLB, 4M/2M pages, direct mapped, 1 entries", ""})},
        {"codes 2, 3, 8, 15 and 4095 entries",
         {0x2FFF3FFF, 0x8020FF00, 0, 0},
         Lines({"", "L2 cache and TLB configuration : ", " -> L2 Data TLB, 4M/2M pages, 2 ways, 4095 entries",
                " -> L2 Code TLB, 4M/2M pages, 3 ways, 4095 entries",
                " -> L2 Data TLB, 4K pages, 16 ways, 32 entries",
                " -> L2 Code TLB, 4K pages, full, 3840 entries", ""})},
        {"full in the 4M/2M code TLB, zero fields",
         {0x0001F002, 0x00002004, 0, 0},
         Lines({"", "L2 cache and TLB configuration : ",
                " -> L2 Data TLB, 4M/2M pages, off [disabled], 1 entries",
                " -> L2 Code TLB, 4M/2M pages, full, 2 entries",
                " -> L2 Data TLB, 4K pages, off [disabled], 0 entries",
                " -> L2 Code TLB, 4K pages, 2 ways, 4 entries", ""})},
        {"EAX zero, EBX and ECX set",
         {0, 0x42004200, 0x04008140, 0},
         Lines({"", "L2 cache and TLB configuration : ", " -> L2 Data TLB, 4K pages, 4 ways, 512 entries",
                " -> L2 Code TLB, 4K pages, 4 ways, 512 entries",
                " -> Unified L2 Cache, 1024 KB, 16 ways, 1 lines per tag, 64 byte lines", ""})},
        {"cache associativity 15",
         {0, 0, 0x0100F240, 0},
         Lines({"", "L2 cache and TLB configuration : ",
                " -> Unified L2 Cache, 256 KB, full, 2 lines per tag, 64 byte lines", ""})},
        {"cache associativity 6",
         {0, 0, 0x00806140, 0},
         Lines({"", "L2 cache and TLB configuration : ",
                " -> Unified L2 Cache, 128 KB, 8 ways, 1 lines per tag, 64 byte lines", ""})},
    };
    for (const Row& row : rows) {
        ProcessorRecord record = RecordL2(row.regs);
        EXPECT_EQ(Show(record, ShowL2Cache), row.screen + kEnd) << row.name;
    }
}

TEST(CacheViews, HyphenatedFormForEveryNamedCode) {
    struct Row {
        uint32_t code;
        const char* text;
    };
    const Row rows[] = {{2, "2-way"}, {4, "4-way"}, {6, "8-way"}, {8, "16-way"}, {15, "full"}, {3, "3 ways"}};
    for (const Row& row : rows) {
        ProcessorRecord record = RecordL2({0x10010001u | (row.code << 12), 0, 0, 0});
        EXPECT_EQ(Show(record, ShowL2Cache),
                  Lines({"", "L2 cache and TLB configuration : ",
                         " -> L2 Data TLB, 4M/2M pages, direct mapped, 1 entries",
                         std::string(" -> L2 Code TLB, 4M/2M pages, ") + row.text + ", 1 entries", ""}) +
                      kEnd)
            << "code " << row.code;
    }
}
