// The address size screen and the two Transmeta screens, compared whole.
#include "classic/probe.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

#include <cstring>

namespace {

const char kEnd[] = " ---- End ----";

// Runs a view that must not wait: it gets input it must leave unread.
std::string ShowWithoutWaiting(const ProcessorRecord& record, void (*view)(const ProcessorRecord&)) {
    ConsoleCapture console("unread\n");
    view(record);
    std::string next;
    EXPECT_TRUE(ConReadLine(next));
    EXPECT_EQ(next, "unread");
    return console.Output();
}

} // namespace

TEST(AddressSizeView, WidthsAndByteCounts) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        uint8_t physBits, linearBits;
        std::string physLine, linearLine;
    };
    const Row rows[] = {
        {"32 and 32", 32, 32, " -> Physical Address Size : 32-bits [approx.   4294967296 bytes]",
         " -> Linear   Address Size : 32-bits [approx.   4294967296 bytes]"},
        {"36 and 48", 36, 48, " -> Physical Address Size : 36-bits [approx.  68719476736 bytes]",
         " -> Linear   Address Size : 48-bits [approx. 281474976710656 bytes]"},
        {"40 and 64", 40, 64, " -> Physical Address Size : 40-bits [approx. 1099511627776 bytes]",
         " -> Linear   Address Size : 64-bits [approx. 18446744073709551616 bytes]"},
        {"0 and 8", 0, 8, " -> Physical Address Size : 0-bits [approx.            1 bytes]",
         " -> Linear   Address Size : 8-bits [approx.          256 bytes]"},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        record.physAddrBits = row.physBits;
        record.linearAddrBits = row.linearBits;
        record.physAddrSpace = PowerOf(2, row.physBits);
        record.linearAddrSpace = PowerOf(2, row.linearBits);
        ConsoleCapture console("\n");
        ShowAddressSizes(record);
        EXPECT_EQ(console.Output(), Lines({"", "Physical Address And Linear Address Size : ", row.physLine,
                                           row.linearLine, ""}) +
                                        kEnd)
            << row.name;
    }
}

// Leaf 0x80000008 EAX 00002022 of an AMD Athlon (Palomino), from
// AuthenticAMD0000662_K7_Palomino_CPUID.txt: 34 physical, 32 linear bits.
TEST(AddressSizeView, AthlonPalominoProbed) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld(PalominoTable());
    ProbeWorld(record, db);
    ConsoleCapture console("\n");
    ShowAddressSizes(record);
    EXPECT_EQ(console.Output(),
              Lines({"", "Physical Address And Linear Address Size : ",
                     " -> Physical Address Size : 34-bits [approx.  17179869184 bytes]",
                     " -> Linear   Address Size : 32-bits [approx.   4294967296 bytes]", ""}) +
                  kEnd);
}

TEST(TransmetaIdentityView, CrusoeAtEachLevel) {
    ProcessorRecord record;
    IniFile db;
    const std::string head = "\r\nTransmeta Processor Identity :\r\n"
                             " -> Vendor          : TransmetaCPU\r\n"
                             " -> Family          : 5\r\n"
                             " -> Model           : 4\r\n"
                             " -> Stepping        : 3\r\n"
                             " -> Hardware Rev.   : 01.05-00.02\r\n";
    const std::string software = " -> Software Rev.   : 04.04.03-0A-000000B8\r\n";
    const std::string info = " -> Additional Inf. : 20030618 15:27 official release 4.4.3#1\r\n";
    const std::string clock = " -> Clock Frequency : 1000 MHz\r\n";
    struct Row {
        uint32_t level;
        std::string screen;
    };
    const Row rows[] = {
        {0x80860001u, head + clock},
        {0x80860002u, head + software + clock},
        {0x80860003u, head + software + info + clock},
        {0x80860006u, head + software + info + clock},
        {0x80860007u, head + software + info + clock},
    };
    for (const Row& row : rows) {
        ResetWorld(CrusoeTable(row.level));
        record = ProcessorRecord{};
        db = IniFile{};
        ProbeWorld(record, db);
        EXPECT_EQ(ShowWithoutWaiting(record, ShowTransmetaIdentity), row.screen) << std::hex << row.level;
    }
}

TEST(TransmetaIdentityView, InformationTextIsWrittenAsItStands) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        std::string bytes;
        std::string shown;
    };
    const Row rows[] = {
        {"no NUL at all", std::string(64, 'z'), std::string(64, 'z')},
        {"starts with NUL", std::string("\0abc", 4), ""},
        {"leading blanks kept", "   CMS 4.2", "   CMS 4.2"},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        ProcessorRecord& r = record;
        r.maxTransmetaLeaf = 0x80860003u;
        r.tmxVendorId = "GenuineTMx86";
        r.tmxFamily = 0x15;
        r.tmxModel = 0xF4;
        r.tmxStepping = 0x0C;
        r.tmxHardwareRev = {0xAB, 0x00, 0x10, 0xFF};
        r.tmxSoftwareRev = {1, 2, 3, 4};
        r.tmxSoftwareRevExtra = 0xDEADBEEF;
        r.tmxNominalMhz = 0xFFFFFFFFu;
        std::memcpy(r.tmxInfoText.data(), row.bytes.data(), row.bytes.size());
        EXPECT_EQ(ShowWithoutWaiting(record, ShowTransmetaIdentity),
                  Lines({"", "Transmeta Processor Identity :", " -> Vendor          : GenuineTMx86",
                         " -> Family          : 5", " -> Model           : 4", " -> Stepping        : C",
                         " -> Hardware Rev.   : AB.00-10.FF", " -> Software Rev.   : 01.02.03-04-DEADBEEF",
                         " -> Additional Inf. : " + row.shown, " -> Clock Frequency : 4294967295 MHz"}))
            << row.name;
    }
}

TEST(TransmetaStatusView, ThreeLinesAndNoWait) {
    ProcessorRecord record;
    struct Row {
        const char* name;
        uint32_t mhz, millivolts, percent;
        std::string screen;
    };
    const Row rows[] = {
        {"Crusoe", 1000, 1400, 100,
         Lines({" -> Current Freq.   : 1000 MHz", " -> Current Voltage : 1400 mV",
                " -> Performance     : 100 percent"})},
        {"top bit set", 0x80000000u, 0xFFFFFFFFu, 0,
         Lines({" -> Current Freq.   : 2147483648 MHz", " -> Current Voltage : 4294967295 mV",
                " -> Performance     : 0 percent"})},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        record.tmxCurrentMhz = row.mhz;
        record.tmxCurrentVoltage = row.millivolts;
        record.tmxCurrentPerformance = row.percent;
        EXPECT_EQ(ShowWithoutWaiting(record, ShowTransmetaStatus), row.screen) << row.name;
    }
}

TEST(TransmetaStatusView, CrusoeProbed) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld(CrusoeTable(0x80860007u));
    ProbeWorld(record, db);
    EXPECT_EQ(ShowWithoutWaiting(record, ShowTransmetaStatus),
              Lines({" -> Current Freq.   : 1000 MHz", " -> Current Voltage : 1400 mV",
                     " -> Performance     : 100 percent"}));
}
