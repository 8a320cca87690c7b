// The two identity screens, compared whole.
#include "classic/menu.hpp"
#include "classic/probe.hpp"
#include "classic/run_state.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

#include <cstring>
#include <functional>

namespace {

const char kEnd[] = " ---- End ----";

void SetBrand(ProcessorRecord& record, const char* text) {
    record.brandString.fill(0);
    std::memcpy(record.brandString.data(), text, std::min<size_t>(std::strlen(text), 48));
}

// A Pentium 4 as the probe would leave it, with every identity line shown.
ProcessorRecord RecordPentium4() {
    ResetWorld();
    ProcessorRecord r;
    r.maxStandardLeaf = 2;
    r.vendorId = "GenuineIntel";
    r.typeName = "Original OEM Processor";
    r.family = 15;
    r.model = 2;
    r.stepping = 9;
    r.vendorName = "Intel Pentium 4 (Northwood)";
    r.maxExtendedLeaf = 0x80000004u;
    SetBrand(r, "      Intel(R) Pentium(R) 4 CPU 2.40GHz");
    r.brandId = 9;
    r.brandName = "Intel Pentium 4 Processor [Northwood]";
    r.measuredMhz = 2394.1;
    r.normalizedMhz = 2400;
    r.apicId = 0x0A;
    r.clflushSize = 8;
    r.logicalCount = 2;
    r.stdFeatureStatus.fill(StatusAbsent);
    r.stdFeatureStatus[9] = StatusPresent;
    r.stdFeatureStatus[18] = StatusPresent;
    r.stdFeatureStatus[19] = StatusPresent;
    r.stdFeatureStatus[28] = StatusPresent;
    return r;
}

std::string ShowIdentity(const ProcessorRecord& record, const std::string& input = "\n") {
    ConsoleCapture console(input);
    ShowProcessorIdentity(record);
    return console.Output();
}

} // namespace

TEST(IdentityView, RecordedProcessors) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        std::function<void(ProcessorRecord&)> change;
        std::string expected;
    };
    const std::string top = " -> Vendor    : GenuineIntel\r\n"
                            " -> Type      : Original OEM Processor\r\n"
                            " -> Family    : F\r\n"
                            " -> Model     : 2 [Intel Pentium 4 (Northwood)]\r\n";
    const std::string longName = " -> Long Name :       Intel(R) Pentium(R) 4 CPU 2.40GHz\r\n";
    const std::string middle = " -> Stepping  : 9\r\n"
                               " -> Brand ID  : Intel Pentium 4 Processor [Northwood]\r\n"
                               " -> Speed     : 2394.100 MHz   [Normalized to 2400 MHz]\r\n";
    const std::string apic = " -> Local APIC Physical ID                   : 0A\r\n";
    const std::string serial = " -> Processor Serial Number [PSN] is         : \r\n";
    const std::string clflush = " -> Cache Line FLUSH [CLFLUSH] Size          : 64\r\n";
    const std::string htt = " -> CPU Count for Hyper Threading Technology : 2\r\n";
    const std::string head = "\r\nProcessor Identity :\r\n";
    const std::string tail = std::string("\r\n") + kEnd;
    const Row rows[] = {
        {"every line", [](ProcessorRecord&) {},
         head + top + longName + middle + apic + serial + clflush + htt + tail},
        {"ext level 0x80000003 has no long name",
         [](ProcessorRecord& record) { record.maxExtendedLeaf = 0x80000003u; },
         head + top + middle + apic + serial + clflush + htt + tail},
        {"ext level 0x80000008 has the long name",
         [](ProcessorRecord& record) { record.maxExtendedLeaf = 0x80000008u; },
         head + top + longName + middle + apic + serial + clflush + htt + tail},
        {"no extended leaves", [](ProcessorRecord& record) { record.maxExtendedLeaf = 0; },
         head + top + middle + apic + serial + clflush + htt + tail},
        {"brand string without NUL", [](ProcessorRecord& record) { record.brandString.fill('x'); },
         head + top + " -> Long Name : " + std::string(48, 'x') + "\r\n" + middle + apic + serial + clflush +
             htt + tail},
        {"brand string empty", [](ProcessorRecord& record) { record.brandString.fill(0); },
         head + top + " -> Long Name : \r\n" + middle + apic + serial + clflush + htt + tail},
        {"all four hardware bits hidden",
         [](ProcessorRecord& record) {
             for (int bit : {9, 18, 19, 28}) {
                 record.stdFeatureStatus[bit] = StatusHidden;
             }
         },
         head + top + longName + middle + tail},
        {"all four hardware bits absent",
         [](ProcessorRecord& record) {
             for (int bit : {9, 18, 19, 28}) {
                 record.stdFeatureStatus[bit] = StatusAbsent;
             }
         },
         head + top + longName + middle + tail},
        {"only APIC",
         [](ProcessorRecord& record) {
             record.stdFeatureStatus[18] = record.stdFeatureStatus[19] = StatusHidden;
             record.stdFeatureStatus[28] = StatusAbsent;
         },
         head + top + longName + middle + apic + tail},
        {"serial number filled",
         [](ProcessorRecord& record) { record.serialText = "0000-0683-0000-E4CA-6107-FB5A"; },
         head + top + longName + middle + apic +
             " -> Processor Serial Number [PSN] is         : 0000-0683-0000-E4CA-6107-FB5A\r\n" + clflush +
             htt + tail},
        {"one logical processor", [](ProcessorRecord& record) { record.logicalCount = 1; },
         head + top + longName + middle + apic + serial + clflush + tail},
        {"zero logical processors", [](ProcessorRecord& record) { record.logicalCount = 0; },
         head + top + longName + middle + apic + serial + clflush + tail},
        {"HTT hidden with two logical processors",
         [](ProcessorRecord& record) { record.stdFeatureStatus[28] = StatusHidden; },
         head + top + longName + middle + apic + serial + clflush + tail},
        {"no brand id", [](ProcessorRecord& record) { record.brandId = 0; },
         head + top + longName + " -> Stepping  : 9\r\n" +
             " -> Speed     : 2394.100 MHz   [Normalized to 2400 MHz]\r\n" + apic + serial + clflush + htt +
             tail},
        {"clock not measured", [](ProcessorRecord& record) { record.measuredMhz = 0.0; },
         head + top + longName + " -> Stepping  : 9\r\n" +
             " -> Brand ID  : Intel Pentium 4 Processor [Northwood]\r\n" + apic + serial + clflush + htt +
             tail},
    };
    for (const Row& row : rows) {
        record = RecordPentium4();
        row.change(record);
        EXPECT_EQ(ShowIdentity(record), row.expected) << row.name;
    }
}

TEST(IdentityView, SpeedIsAFixedRealOfEightCharacters) {
    ProcessorRecord record;
    struct Row {
        double mhz;
        uint16_t normalized;
        const char* value;
    };
    const Row rows[] = {
        {733.2, 733, " 733.200 MHz   [Normalized to 733 MHz]"},
        {1993.5, 2000, "1993.500 MHz   [Normalized to 2000 MHz]"},
        {12345.6789, 12333, "12345.679 MHz   [Normalized to 12333 MHz]"},
        {0.001, 0, "   0.001 MHz   [Normalized to 0 MHz]"},
    };
    for (const Row& row : rows) {
        record = RecordPentium4();
        record.brandId = 0;
        record.maxExtendedLeaf = 0;
        record.stdFeatureStatus.fill(StatusHidden);
        record.measuredMhz = row.mhz;
        record.normalizedMhz = row.normalized;
        std::string expected = Lines({"", "Processor Identity :", " -> Vendor    : GenuineIntel",
                                      " -> Type      : Original OEM Processor", " -> Family    : F",
                                      " -> Model     : 2 [Intel Pentium 4 (Northwood)]", " -> Stepping  : 9",
                                      std::string(" -> Speed     : ") + row.value, ""}) +
                               kEnd;
        EXPECT_EQ(ShowIdentity(record), expected) << row.mhz;
    }
}

// Registers of an Intel Pentium III Coppermine (signature 683), from the dump
// GenuineIntel0000683_P3_Coppermine_CPUID.txt, logical processor 0.
TEST(IdentityView, PentiumIIICoppermineProbed) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld(CoppermineTable());
    db = OpenDatabaseText("[Vendor]\nGenuineIntel=Intel\n"
                          "[VendorIntel]\n"
                          "????\t00000000\t0000\t??\t??\t0110\t1000\t??\?\?=Pentium III (Coppermine)\n"
                          "[StandardFeatures]\n4=TSC\n9=APIC\n18=PSN\n19=CLFSH\n28=HTT\n");
    ProbeWorld(record, db);
    EXPECT_EQ(ShowIdentity(record),
              Lines({"", "Processor Identity :", " -> Vendor    : GenuineIntel",
                     " -> Type      : Original OEM Processor", " -> Family    : 6",
                     " -> Model     : 8 [Pentium III (Coppermine)]", " -> Stepping  : 3",
                     " -> Brand ID  : Intel Pentium III Processor [Coppermine]",
                     " -> Speed     :  930.412 MHz   [Normalized to 933 MHz]",
                     " -> Local APIC Physical ID                   : 00",
                     " -> Processor Serial Number [PSN] is         : 0000-0683-0000-E4CA-6107-FB5A", ""}) +
                  kEnd);
}

TEST(ExtendedIdentityView, RecordedProcessors) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        uint32_t maxExtendedLeaf;
        uint8_t family, model, stepping;
        const char* vendorName;
        std::string expected;
    };
    const Row rows[] = {
        {"Athlon with brand", 0x80000008u, 6, 6, 2, "AMD Athlon (Palomino)",
         Lines({"", "Extended Processor Identity :", " -> Family    : 6",
                " -> Model     : 6 [AMD Athlon (Palomino)]", " -> Long Name :   AMD Athlon(tm) Processor",
                " -> Stepping  : 2", ""}) +
             kEnd},
        {"family byte 0x1F shows F", 0x80000004u, 0x1F, 0xF, 0xF, "",
         Lines({"", "Extended Processor Identity :", " -> Family    : F", " -> Model     : F []",
                " -> Long Name :   AMD Athlon(tm) Processor", " -> Stepping  : F", ""}) +
             kEnd},
        {"level 0x80000003 has no long name", 0x80000003u, 5, 8, 0, "AMD-K6-2",
         Lines({"", "Extended Processor Identity :", " -> Family    : 5", " -> Model     : 8 [AMD-K6-2]",
                " -> Stepping  : 0", ""}) +
             kEnd},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        record.maxExtendedLeaf = row.maxExtendedLeaf;
        record.extFamily = row.family;
        record.extModel = row.model;
        record.extStepping = row.stepping;
        record.extVendorName = row.vendorName;
        SetBrand(record, "  AMD Athlon(tm) Processor");
        ConsoleCapture console("\n");
        ShowExtendedIdentity(record);
        EXPECT_EQ(console.Output(), row.expected) << row.name;
    }
}

// The text typed at the end prompt is thrown away: "F" there does not open
// the feature list, and the next line ("Q") is read by the menu.
TEST(IdentityView, TextTypedAtTheEndPromptIsNotAMenuKey) {
    ProcessorRecord record;
    record = RecordPentium4();
    RunState run;
    ConsoleCapture console("I\nF\nQ\n");
    RunMenu(record, run);
    std::string out = console.Output();
    EXPECT_NE(out.find(" ---- End ----\r\nVELDRIX Menu"), std::string::npos) << out;
    EXPECT_EQ(out.find("Standard processor features supported :"), std::string::npos) << out;
    EXPECT_NE(out.find("~ Thank you for using VELDRIX."), std::string::npos) << out;
}
