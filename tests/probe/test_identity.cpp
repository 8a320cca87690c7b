// Identity decoding: signature splits, brand gating, type, brand and serial texts.
#include "classic/record_identity.hpp"
#include "cpuid/dump_reader.hpp"
#include "names/capability_names.hpp"
#include "support/capability_support.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

namespace {

struct SplitRow {
    const char* name;
    uint32_t eax, ebx;
    uint8_t family, model, stepping, brandId, clflush, logical, apic;
};

} // namespace

TEST(Identity, LeafOneSplitAndBrandGate) {
    ProcessorRecord record;
    const SplitRow rows[] = {
        {"P6 model 5 takes EBX (0x65)", 0x00000652, 0x12345678, 6, 5, 2, 0x78, 0x56, 0x34, 0x12},
        {"family 5 model 4 takes EBX (0x54)", 0x00000543, 0x12345678, 5, 4, 3, 0x78, 0x56, 0x34, 0x12},
        {"exactly 0x53 takes EBX", 0x00000531, 0x00000009, 5, 3, 1, 0x09, 0, 0, 0},
        {"family 5 model 2 below the gate (0x52)", 0x00000525, 0x12345678, 5, 2, 5, 0, 0, 0, 0},
        {"any 486 below the gate", 0x00000480, 0xFFFFFFFF, 4, 8, 0, 0, 0, 0, 0},
        {"Northwood brand 9", 0x00000F24, 0x00010809, 15, 2, 4, 0x09, 0x08, 0x01, 0x00},
    };
    for (const SplitRow& row : rows) {
        record = ProcessorRecord{};
        SplitStandardSignature(record, CpuidRegs{row.eax, row.ebx, 0, 0xABCD});
        EXPECT_EQ(record.signature, row.eax) << row.name;
        EXPECT_EQ(record.family, row.family) << row.name;
        EXPECT_EQ(record.model, row.model) << row.name;
        EXPECT_EQ(record.stepping, row.stepping) << row.name;
        EXPECT_EQ(record.brandId, row.brandId) << row.name;
        EXPECT_EQ(record.clflushSize, row.clflush) << row.name;
        EXPECT_EQ(record.logicalCount, row.logical) << row.name;
        EXPECT_EQ(record.apicId, row.apic) << row.name;
        EXPECT_EQ(record.stdFeatureFlags, 0xABCDu) << row.name;
    }
}

TEST(Identity, TypeBitsAndExtendedSplit) {
    ProcessorRecord record;
    record = ProcessorRecord{};
    SplitStandardSignature(record, CpuidRegs{0x00001532, 0, 0, 0});
    EXPECT_EQ(record.procType, 1);
    EXPECT_EQ(TypeNameOf(record.procType), "OverDrive Processor");
    EXPECT_EQ(TypeNameOf(0), "Original OEM Processor");
    EXPECT_EQ(TypeNameOf(2), "Dual Processor");
    EXPECT_EQ(TypeNameOf(3), "Reserved");

    SplitExtendedSignature(record, 0x00003F51);
    EXPECT_EQ(record.extFamily, 0x3F);
    EXPECT_EQ(record.extModel, 5);
    EXPECT_EQ(record.extStepping, 1);
    SplitExtendedSignature(record, 0x00001F00);
    EXPECT_EQ(record.extFamily, 0x1F);
}

TEST(Identity, BrandNames) {
    struct Row {
        const char* name;
        uint8_t brand;
        const char* vendor;
        uint8_t family, model, stepping;
        const char* expected;
    };
    const Row rows[] = {
        {"none", 0, "GenuineIntel", 6, 8, 3, "Not supported"},
        {"Celeron Coppermine", 1, "GenuineIntel", 6, 8, 3, "Intel Celeron Processor [Coppermine]"},
        {"PIII Coppermine", 2, "GenuineIntel", 6, 8, 3, "Intel Pentium III Processor [Coppermine]"},
        {"brand 3 model 10 is Xeon", 3, "GenuineIntel", 6, 10, 1,
         "Intel Pentium III Xeon Processor [Cascades]"},
        {"brand 3 model 11 is Celeron", 3, "GenuineIntel", 6, 11, 1, "Intel Celeron Processor [Tualatin]"},
        {"brand 4", 4, "GenuineIntel", 6, 11, 1, "Intel Pentium III Processor [Tualatin]"},
        {"brand 5", 5, "GenuineIntel", 6, 11, 1, "Unknown"},
        {"brand 6", 6, "GenuineIntel", 6, 11, 1, "Mobile Intel Pentium III - M Processor [Tualatin]"},
        {"brand 7", 7, "GenuineIntel", 6, 11, 1, "Mobile Intel Celeron Processor [Tualatin]"},
        {"brand 8 stepping 3", 8, "GenuineIntel", 15, 1, 3, "Intel Pentium 4 Processor [Willamette]"},
        {"brand 8 stepping 4", 8, "GenuineIntel", 15, 1, 4, "Intel Genuine Processor"},
        {"brand 8 model 2 stepping 0", 8, "GenuineIntel", 15, 2, 0, "Intel Pentium 4 Processor [Willamette]"},
        {"brand 8 model 0", 8, "GenuineIntel", 15, 0, 7, "Intel Pentium 4 Processor [Willamette]"},
        {"brand 8 other vendor", 8, "AuthenticAMD", 15, 1, 4, "Intel Pentium 4 Processor [Willamette]"},
        {"brand 8 vendor in other case", 8, "genuineintel", 15, 1, 4,
         "Intel Pentium 4 Processor [Willamette]"},
        {"brand 9", 9, "GenuineIntel", 15, 2, 4, "Intel Pentium 4 Processor [Northwood]"},
        {"brand 10", 10, "GenuineIntel", 15, 2, 4, "Unknown"},
        {"brand 11 MP", 11, "GenuineIntel", 15, 1, 2, "Intel Xeon Processor MP"},
        {"brand 11 stepping 3", 11, "GenuineIntel", 15, 1, 3, "Intel Xeon Processor"},
        {"brand 11 other vendor", 11, "CyrixInstead", 15, 1, 2, "Intel Xeon Processor"},
        {"brand 12", 12, "GenuineIntel", 15, 1, 2, "Unknown"},
        {"brand 14", 14, "GenuineIntel", 15, 2, 4, "Intel Xeon Foster / Northwood Mobile Processor"},
        {"brand 255", 255, "GenuineIntel", 15, 2, 4, "Unknown"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BrandNameOf(row.brand, row.vendor, row.family, row.model, row.stepping), row.expected)
            << row.name;
    }
}

TEST(Identity, DatabaseNamesNeedAVendorKey) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld();
    const std::string any(32, '?');
    db = OpenDatabaseText("[Vendor]\r\nGenuineIntel=Intel\r\n[VendorIntel]\r\n" + any +
                          "=Some Intel\r\n[ExtVendorIntel]\r\n" + std::string(32, '0') +
                          "=Ext zero\r\n[VendorAMD]\r\n" + any + "=Some AMD\r\n");
    record.vendorId = "GenuineIntel";
    DecodeIdentityNames(record, db);
    EXPECT_EQ(record.vendorName, "Some Intel");
    EXPECT_EQ(record.extVendorName, "Ext zero")
        << "looked up with signature 0 when leaf 0x80000001 was not read";
    EXPECT_EQ(record.typeName, "Original OEM Processor");
    EXPECT_EQ(record.brandName, "Not supported");

    record = ProcessorRecord{};
    record.vendorId = "AuthenticAMD"; // has a section but no [Vendor] entry
    DecodeIdentityNames(record, db);
    EXPECT_EQ(record.vendorName, "");
    EXPECT_EQ(record.extVendorName, "");
}

TEST(Identity, SerialNumberText) {
    ProcessorRecord record;
    record = ProcessorRecord{};
    FormatSerialNumber(record);
    EXPECT_EQ(record.serialText, "0000-0000-0000-0000-0000-0000");
    record.signature = 0x00000683;
    record.serialMid = 0x1234ABCD;
    record.serialLow = 0x0000FFFF;
    FormatSerialNumber(record);
    EXPECT_EQ(record.serialText, "0000-0683-1234-ABCD-0000-FFFF");
    EXPECT_EQ(record.serialText.size(), 29u);
}

// Every dump gets the same name on key I as in --json and --list, the QEMU
// one from its brand string, not the Pentium M signature it borrows.
TEST(Identity, KeyIAndTheCapabilityOutputsNameEveryRealDumpAlike) {
    IniFile db = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        CpuidTable table;
        ASSERT_TRUE(LoadCpuidDump(kTestDumpsDir + "/" + name, table));
        ResetWorld(table);
        std::string probed = ProbedRecord(db).vendorName;
        EXPECT_EQ(probed, DecodeWithDataFile(LoadTestDump(name)).names.processor.value_or(""));
        if (name == "qemu-virtual-cpu-version.test") {
            EXPECT_EQ(probed, "QEMU virtual processor (emulated)");
        }
    }
}
