// The configuration descriptor list, compared whole.
#include "classic/probe.hpp"
#include "classic/views.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

namespace {

const char kEnd[] = " ---- End ----";

std::string ShowDescriptors(const ProcessorRecord& record) {
    ConsoleCapture console("\n");
    ShowConfigurationDescriptors(record);
    return console.Output();
}

const char kDescriptorNames[] = "[CacheSizeTLB]\n"
                                "01=Code TLB: 4 KB pages, 4-way, 32 entries\n"
                                "02=Code TLB: 4 MB pages, fully associative, 2 entries\n"
                                "03=Data TLB: 4 KB pages, 4-way, 64 entries\n"
                                "04=Data TLB: 4 MB pages, 4-way, 8 entries\n"
                                "08=L1 code cache: 16 KB, 4-way, 32-byte lines\n"
                                "0C=L1 data cache: 16 KB, 4-way, 32-byte lines\n"
                                "82=L2 cache: 256 KB, 8-way, 32-byte lines\n";

} // namespace

// Registers of an Intel Pentium III Coppermine, from
// GenuineIntel0000683_P3_Coppermine_CPUID.txt: leaf 2 EAX 03020101 (the low
// 01 is the repeat count and is never named), EDX 0C040882.
TEST(ConfigView, PentiumIIICoppermineProbed) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld(CoppermineTable());
    db = OpenDatabaseText(kDescriptorNames);
    ProbeWorld(record, db);
    EXPECT_EQ(
        ShowDescriptors(record),
        Lines({"",
               "Standard processor configuration descriptor :", " -> Data TLB: 4 KB pages, 4-way, 64 entries",
               " -> Code TLB: 4 MB pages, fully associative, 2 entries",
               " -> Code TLB: 4 KB pages, 4-way, 32 entries",
               " -> L1 data cache: 16 KB, 4-way, 32-byte lines", " -> Data TLB: 4 MB pages, 4-way, 8 entries",
               " -> L1 code cache: 16 KB, 4-way, 32-byte lines", " -> L2 cache: 256 KB, 8-way, 32-byte lines",
               ""}) +
            kEnd);
}

TEST(ConfigView, ListsNamedEntriesInRegisterAndByteOrder) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        std::array<const char*, 16> names;
        std::string screen;
    };
    const Row rows[] = {
        {"nothing named", {}, Lines({"", "Standard processor configuration descriptor :", ""})},
        {"scattered entries, same text twice",
         {"A", "", "", "", "", "", "", "B", "", "", "", "", "A", "", "", "last"},
         Lines({"", "Standard processor configuration descriptor :", " -> A", " -> B", " -> A", " -> last",
                ""})},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        for (size_t i = 0; i < 16; ++i) {
            record.configNames[i] = row.names[i] ? row.names[i] : "";
        }
        EXPECT_EQ(ShowDescriptors(record), row.screen + kEnd) << row.name;
    }
}

// A register with bit 31 set holds no descriptors, and a byte without a key
// gives no line at all.
TEST(ConfigView, ReservedRegistersAndUnknownCodesGiveNoLine) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld({
        {0x00000000, {0x00000002, 0x756E6547, 0x6C65746E, 0x49656E69}},
        {0x00000001, {0x00000683, 0x00000002, 0x00000000, 0x0387FBFF}},
        {0x00000002, {0x03990001, 0x00030201, 0x00008200, 0x80000082}},
    });
    db = OpenDatabaseText(kDescriptorNames);
    ProbeWorld(record, db);
    EXPECT_EQ(ShowDescriptors(record), Lines({"", "Standard processor configuration descriptor :",
                                              " -> Data TLB: 4 KB pages, 4-way, 64 entries",
                                              " -> Data TLB: 4 KB pages, 4-way, 64 entries",
                                              " -> Code TLB: 4 MB pages, fully associative, 2 entries",
                                              " -> Code TLB: 4 KB pages, 4-way, 32 entries",
                                              " -> L2 cache: 256 KB, 8-way, 32-byte lines", ""}) +
                                           kEnd);
}
