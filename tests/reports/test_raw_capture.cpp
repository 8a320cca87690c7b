// The raw register capture of option -c: whole files for old and modern
// processors, leaves above the captured ones, the block bound, failures.
#include "classic/probe.hpp"
#include "classic/raw_capture.hpp"
#include "classic/text_file.hpp"
#include "reports/report_support.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

const char kPrompt[] = " ==> Enter the captured text file name to be generated (*.txt) : ";

const char kCaptureHeader[] = R"( ====================================================
 ~ VELDRIX - The Processor Detector for Win32 Console
 ~ Version 1.30 - 31 August 2002
 ~ Written by the VELDRIX developers
 ====================================================
 ** Send this file to the VELDRIX developers       **
 ** to be analized if cpuid detection went wrong   **
 ====================================================

 ----------------------------------------------------
 >> Captured CPUID registers
 ----------------------------------------------------


)";

const char kCaptureTrailer[] = R"( ====================================================
 >> End Of File
 ====================================================
)";

std::string Block(const char* leaf, const char* eax, const char* ebx, const char* ecx, const char* edx) {
    return Crlf(std::string(" -> EAX : ") + leaf + "\n +--> EAX : " + eax + "\n +--> EBX : " + ebx +
                "\n +--> ECX : " + ecx + "\n +--> EDX : " + edx + "\n\n");
}

std::string PartOpening(const char* title) {
    return Crlf(std::string(" --------------\n") + title + "\n --------------\n\n");
}

// Probes the table, answers the prompt with a file in a fresh folder and
// returns the file's content.
std::string CaptureOf(const CpuidTable& table) {
    ResetWorld(table);
    ProcessorRecord record = ProbedRecord();
    std::string path = MakeTempDir("capture") + "/cap";
    ConsoleCapture console(path + "\n");
    WriteRawCapture(record, WorldSnapshot());
    EXPECT_EQ(console.Output(), kPrompt);
    return ReadWholeFile(path + ".txt");
}

// Leaf 0 of an Intel processor without further leaves.
TEST(RawCaptureFile, MaxStandardLevelZeroStillListsLeafZero) {
    CpuidTable table{{0x00000000, {0, 0x756E6547, 0x6C65746E, 0x49656E69}}};
    std::string expected = Crlf(kCaptureHeader) + PartOpening(" Standard Level") +
                           Block("00000000", "00000000", "756E6547", "6C65746E", "49656E69") + Crlf("\n") +
                           PartOpening(" Extended Level") + Crlf(" Error: Not supported.\n\n\n") +
                           PartOpening(" Transmeta Level") + Crlf(" Error: Not supported.\n\n") +
                           Crlf(kCaptureTrailer);
    EXPECT_EQ(CaptureOf(table), expected);
}

// Standard leaves 0 to 2 and extended leaves up to the brand string.
TEST(RawCaptureFile, MaxStandardLevelTwoWithBrandLeaves) {
    CpuidTable table{
        {0x00000000, {2, 0x756E6547, 0x6C65746E, 0x49656E69}},
        {0x00000001, {0x00000683, 0x00000002, 0, 0x0387F9FF}},
        {0x00000002, {0x03020101, 0, 0, 0x0C040882}},
        {0x80000000, {0x80000004, 0, 0, 0}},
    };
    AddBrandLeaves(table, "Test Processor");
    std::string expected =
        Crlf(kCaptureHeader) + PartOpening(" Standard Level") +
        Block("00000000", "00000002", "756E6547", "6C65746E", "49656E69") +
        Block("00000001", "00000683", "00000002", "00000000", "0387F9FF") +
        Block("00000002", "03020101", "00000000", "00000000", "0C040882") + Crlf("\n") +
        PartOpening(" Extended Level") + Block("80000000", "80000004", "00000000", "00000000", "00000000") +
        Block("80000001", "00000000", "00000000", "00000000", "00000000") +
        Block("80000002", "74736554", "6F725020", "73736563", "0000726F") +
        Block("80000003", "00000000", "00000000", "00000000", "00000000") +
        Block("80000004", "00000000", "00000000", "00000000", "00000000") + Crlf("\n") +
        PartOpening(" Transmeta Level") + Crlf(" Error: Not supported.\n\n") + Crlf(kCaptureTrailer);
    EXPECT_EQ(CaptureOf(table), expected);
}

// A current AMD-like processor: standard leaves up to 0x0D and extended
// leaves up to 0x8000001F, more than the probe keeps. The leaves above are
// read at capture time and listed with what the processor answers.
TEST(RawCaptureFile, ModernProcessorListsLeavesAboveTheCapturedOnes) {
    CpuidTable table{
        {0x00000000, {0x0000000D, 0x68747541, 0x444D4163, 0x69746E65}},
        {0x00000001, {0x00A10F11, 0x01020800, 0xFFFA3203, 0x178BFBFF}},
        {0x00000007, {0, 0xF1BF97A9, 0x00405FCE, 0x10000010}},
        {0x0000000D, {0x000002E7, 0x00000980, 0x00000988, 0}},
        {0x80000000, {0x8000001F, 0x68747541, 0x444D4163, 0x69746E65}},
        {0x80000008, {0x00003030, 0, 0, 0}},
        {0x8000001F, {0x0001007F, 0x0000B3B3, 0, 0}},
        // What such a processor answers for 0x80860000: no Transmeta leaves.
        {0x80860000, {0x00000000, 0, 0, 0}},
    };
    std::string file = CaptureOf(table);
    EXPECT_EQ(CountOf(file, " -> EAX : 000000"), 14u);
    EXPECT_EQ(CountOf(file, " -> EAX : 800000"), 32u);
    EXPECT_NE(file.find(Block("00000005", "00000000", "00000000", "00000000", "00000000") +
                        Block("00000006", "00000000", "00000000", "00000000", "00000000") +
                        Block("00000007", "00000000", "F1BF97A9", "00405FCE", "10000010")),
              std::string::npos);
    EXPECT_NE(file.find(Block("0000000D", "000002E7", "00000980", "00000988", "00000000") + Crlf("\n") +
                        PartOpening(" Extended Level")),
              std::string::npos);
    EXPECT_NE(file.find(Block("8000001F", "0001007F", "0000B3B3", "00000000", "00000000") + Crlf("\n") +
                        PartOpening(" Transmeta Level") + Crlf(" Error: Not supported.\n\n") +
                        Crlf(kCaptureTrailer)),
              std::string::npos);
}

struct ThresholdCase {
    const char* name;
    uint32_t maxExt;
    uint32_t maxTmx;
    const char* extendedPart;  // what follows the extended part's opening
    const char* transmetaPart; // what follows the Transmeta part's opening
};

// A part is listed from its base leaf on, where the menu wants more than it.
const ThresholdCase kThresholdCases[] = {
    {"extended base only", 0x80000000, 0x80860007,
     " -> EAX : 80000000\n +--> EAX : 80000000\n +--> EBX : 00000000\n +--> ECX : 00000000\n"
     " +--> EDX : 00000000\n\n\n",
     // The Transmeta leaves are never read without extended leaves above the base.
     " Error: Not supported.\n\n"},
    {"extended below its base", 0x00000002, 0x80860007, " Error: Not supported.\n\n\n",
     " Error: Not supported.\n\n"},
    {"Transmeta base only", 0x80000001, 0x80860000, nullptr,
     " -> EAX : 80860000\n +--> EAX : 80860000\n +--> EBX : 00000000\n +--> ECX : 00000000\n"
     " +--> EDX : 00000000\n\n"},
};

TEST(RawCaptureFile, PartThresholds) {
    for (const ThresholdCase& c : kThresholdCases) {
        CpuidTable table{
            {0x00000000, {0, 0, 0, 0}},
            {0x80000000, {c.maxExt, 0, 0, 0}},
            {0x80860000, {c.maxTmx, 0, 0, 0}},
        };
        std::string file = CaptureOf(table);
        if (c.extendedPart != nullptr) {
            EXPECT_NE(file.find(PartOpening(" Extended Level") + Crlf(c.extendedPart) +
                                PartOpening(" Transmeta Level")),
                      std::string::npos)
                << c.name;
        }
        EXPECT_NE(file.find(PartOpening(" Transmeta Level") + Crlf(c.transmetaPart) + Crlf(kCaptureTrailer)),
                  std::string::npos)
            << c.name;
    }
}

// Every maximum at its highest: each part stops after 256 blocks, and no leaf
// above the listed ones is asked for.
TEST(RawCaptureFile, ImplausibleMaximaAreCutTo256BlocksPerPart) {
    // Every leaf of the three parts answers its number, twice as many leaves
    // as a part may show.
    CpuidTable table;
    for (uint32_t base : {0x00000000u, 0x80000000u, 0x80860000u}) {
        for (uint32_t n = 0; n < 2 * kMaxCaptureBlocks; ++n) {
            table[base + n] = CpuidRegs{base + n, 0, 0, 0};
        }
        table[base].eax = 0xFFFFFFFF;
    }
    ResetWorld(table);
    ProcessorRecord record = ProbedRecord();
    std::string path = MakeTempDir("bound") + "/big";
    ConsoleCapture console(path + "\n");
    WriteRawCapture(record, WorldSnapshot());
    std::string file = ReadWholeFile(path + ".txt");
    EXPECT_EQ(CountOf(file, " -> EAX : 000000"), kMaxCaptureBlocks);
    EXPECT_EQ(CountOf(file, " -> EAX : 800000"), kMaxCaptureBlocks);
    EXPECT_EQ(CountOf(file, " -> EAX : 808600"), kMaxCaptureBlocks);
    EXPECT_NE(file.find(" -> EAX : 000000FF\r\n +--> EAX : 000000FF\r\n"), std::string::npos);
    EXPECT_NE(file.find(" -> EAX : 800000FF\r\n +--> EAX : 800000FF\r\n"), std::string::npos);
    EXPECT_NE(file.find(" -> EAX : 808600FF\r\n +--> EAX : 808600FF\r\n"), std::string::npos);
    // No leaf above the cut is written.
    for (const char* beyond : {" -> EAX : 00000100", " -> EAX : 80000100", " -> EAX : 80860100"}) {
        EXPECT_EQ(file.find(beyond), std::string::npos) << beyond;
    }
}

TEST(RawCaptureFailure, NameThatCannotBeCreated) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld({{0, {0, 0, 0, 0}}});
    ProbeWorld(record, db);
    std::string dir = MakeTempDir("uncreatable");
    ASSERT_TRUE(std::filesystem::create_directory(dir + "/taken.txt"));
    const std::string typed[] = {dir + "/missing/cap", dir + "/taken"};
    for (const std::string& name : typed) {
        ConsoleCapture console(name + "\n");
        WriteRawCapture(record, WorldSnapshot());
        EXPECT_EQ(console.Output(), std::string(kPrompt) + "*** Error generating RAW file ***\r\n") << name;
    }
    EXPECT_FALSE(PathExists(dir + "/missing"));
}

TEST(RawCaptureFailure, EndOfInputAtThePromptCreatesNoFile) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld({{0, {0, 0, 0, 0}}});
    ProbeWorld(record, db);
    FullMediumBuffer medium(100000);
    RouteTextFilesTo(&medium);
    ConsoleCapture console("");
    WriteRawCapture(record, WorldSnapshot());
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(console.Output(), std::string(kPrompt) + "\r\n*** Error generating RAW file ***\r\n");
    EXPECT_EQ(medium.Kept(), "");
}

TEST(RawCaptureFailure, FullMediumGivesTheErrorLine) {
    ProcessorRecord record;
    IniFile db;
    ResetWorld({{0, {0, 0, 0, 0}}});
    ProbeWorld(record, db);
    FullMediumBuffer medium(300);
    RouteTextFilesTo(&medium);
    ConsoleCapture console("cap\n");
    WriteRawCapture(record, WorldSnapshot());
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(console.Output(), std::string(kPrompt) + "*** Error generating RAW file ***\r\n");
    EXPECT_EQ(medium.Kept(), Crlf(kCaptureHeader).substr(0, 300));
}

} // namespace
