// Whole HTML reports written through the key R dialogue, compared byte for
// byte, and the dialogue's failure paths.
#include "classic/html_report.hpp"
#include "classic/menu.hpp"
#include "classic/menu_sections.hpp"
#include "classic/probe.hpp"
#include "classic/run_state.hpp"
#include "common/plain_text.hpp"
#include "reports/html_fixtures.hpp"
#include "reports/report_support.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>

namespace {

// Probes the table (with the data file text, when given) and lets the menu
// set the section flags, as a run up to key R would.
// The run the report is written in: the menu's flags, the benchmark scores.
RunState gRun;

ProcessorRecord ProbeAndDrawMenu(const CpuidTable& table, const std::string& database) {
    gRun = RunState{};
    ResetWorld(table);
    ProcessorRecord record = ProbedRecord(database.empty() ? IniFile{} : OpenDatabaseText(database));
    ConsoleCapture menu;
    DrawMenu(record, gRun);
    return record;
}

// Runs the report dialogue with the typed line and returns the console output.
std::string RunReportDialogue(const ProcessorRecord& record, const std::string& typed) {
    ConsoleCapture console(typed);
    WriteHtmlReport(record, gRun, MenuReportSections());
    return console.Output();
}

std::string ReportOf(const CpuidTable& table, const std::string& database) {
    ProcessorRecord record = ProbeAndDrawMenu(table, database);
    std::string path = MakeTempDir("report") + "/page.html";
    RunReportDialogue(record, path + "\n");
    return ReadWholeFile(path);
}

const std::string kNotTestedBenchmark = TitleRow("Benchmark Result") +
                                        FieldRow("Dhrystone ALU", "Not Tested Yet") +
                                        FieldRow("Whetstone ALU", "Not Tested Yet") + SpacerRow();

TEST(HtmlReportPage, OnlyStandardLeavesZeroAndOne) {
    std::string expected =
        ExpectedReportHead() +
        Crlf(TitleRow("Processor Identity") + FieldRow("Vendor", "GenuineIntel") +
             FieldRow("Type", "Original OEM Processor") + FieldRow("Family", "5") +
             FieldRow("Model", "4 [Test P5 Processor]") + FieldRow("Stepping", "3") +
             FieldRow("Speed", " 930.412 MHz   [Normalized to 933 MHz]") + SpacerRow() +
             TitleRow("Standard Processor Features") + FlagRow("FPU", true) + FlagRow("TSC", true) +
             FlagRow("CX8", false) + FlagRow("APIC", false) + FlagRow("PSN", false) +
             FlagRow("CLFSH", false) + FlagRow("MMX", true) + FlagRow("HTT", false) + SpacerRow()) +
        Crlf(kNotTestedBenchmark) + ExpectedReportFoot();
    EXPECT_EQ(ReportOf(OnlyLeavesZeroAndOne(), kReportTestDatabase), expected);
}

const std::string kTransmetaIdentityToDescriptors =
    TitleRow("Processor Identity") + FieldRow("Vendor", "GenuineTMx86") +
    FieldRow("Type", "Original OEM Processor") + FieldRow("Family", "5") +
    FieldRow("Model", "4 [Test Crusoe]") + FieldRow("Long Name", "  Test Processor TM5800") +
    FieldRow("Stepping", "3") + FieldRow("BRAND ID", "Intel Celeron Processor [Coppermine]") +
    FieldRow("Speed", " 930.412 MHz   [Normalized to 933 MHz]") + FieldRow("Local APIC Physical ID", "03") +
    FieldRow("Processor Serial Number [PSN]", "0000-0543-1234-5678-9ABC-DEF0") +
    FieldRow("Cache Line FLUSH [CLFLUSH] Size", "64") +
    FieldRow("CPU Count for Hyper Threading Technology", "2") + SpacerRow() +
    TitleRow("Standard Processor Features") + FlagRow("FPU", true) + FlagRow("TSC", true) +
    FlagRow("CX8", false) + FlagRow("APIC", true) + FlagRow("PSN", true) + FlagRow("CLFSH", true) +
    FlagRow("MMX", false) + FlagRow("HTT", true) + SpacerRow() +
    TitleRow("Standard Processor Configuration Descriptor") + R"(     <tr>
       <td></td>
       <td colspan=2 class=field>2nd-level cache: 512 KB, 4-way, 32 byte lines</td>
     </tr>
     <tr>
       <td></td>
       <td colspan=2 class=field>Instruction TLB: 4 KB pages, 4-way, 32 entries</td>
     </tr>
     <tr>
       <td colspan=3 width=12><br></td>
     </tr>
)";

const std::string kTransmetaExtendedToAddress =
    TitleRow("Extended Processor Identity") + FieldRow("Family", "5") +
    FieldRow("Model", "4 [Test Crusoe Extended]") + FieldRow("Long Name", "  Test Processor TM5800") +
    FieldRow("Stepping", "3") + SpacerRow() + TitleRow("Extended Processor Features") +
    FlagRow("SYSCALL", true) + FlagRow("3DNow!", false) + SpacerRow() +
    TitleRow("L1 Cache and TLB Configuration") +
    FieldRow("L1 Data TLB, 4M/2M pages", "full, 8 entries       ") +
    FieldRow("L1 Code TLB, 4M/2M pages", "full, 16 entries       ") +
    FieldRow("L1 Data TLB, 4K pages", "4 ways, 32 entries       ") +
    FieldRow("L1 Code TLB, 4K pages", "2 ways, 32 entries       ") +
    FieldRow("L1 Data Cache", "64 KB, 2 ways, 1 lines per tag, 64 byte lines       ") +
    FieldRow("L1 Code Cache", "64 KB, full, 1 lines per tag, 64 byte lines       ") + R"(     <tr>
       <td colspan=3 width=12><br></td>
     </tr>
)" + TitleRow("L2 Cache and TLB Configuration") +
    R"(     <tr>
       <td></td>
       <td class=field>L2 Data TLB, 4M/2M pages
       <td class=value>8 ways, 512 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L2 Code TLB, 4M/2M pages
       <td class=value>3 ways, 1024 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L2 Data TLB, 4K pages
       <td class=value>off [disabled], 0 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L2 Code TLB, 4K pages
       <td class=value>full, 4095 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Unified L2 Cache
       <td class=value>256 KB, 16 ways, 1 lines per tag, 64 byte lines       </td>
     </tr>
)" + SpacerRow() +
    TitleRow("Enhanced Power Management") + R"(     <tr>
       <td></td>
       <td class=field>TS</td>
       <td class=valyes>Yes</td>
     <tr>
       <td></td>
       <td class=field>FID</td>
       <td class=valno>No</td>
)" + SpacerRow() +
    TitleRow("Physical Address And Linear Address Size") +
    FieldRow("Physical Address Size", "36-bits [approx.  68719476736 bytes]") +
    FieldRow("Linear   Address Size", "48-bits [approx. 281474976710656 bytes]") + SpacerRow();

const std::string kTransmetaOwnSectionsAndScores =
    TitleRow("Transmeta Processor Identity") + FieldRow("Family", "5") + FieldRow("Model", "4") +
    FieldRow("Stepping", "3") + FieldRow("Hardware Revision", "01.02-03.04") +
    FieldRow("Software Revision", "0A.0B.0C-0D-12345678") +
    FieldRow("Additional Information", "Test firmware 4.2.4") + FieldRow("Clock Frequency", "933 MHz") +
    SpacerRow() + TitleRow("Transmeta Processor Features") + FlagRow("Recovery", true) +
    FlagRow("LongRun", false) + SpacerRow() + TitleRow("Transmeta Processor Actual Status") +
    FieldRow("Frequency", "600 MHz") + FieldRow("Voltage", "1350 mV") +
    FieldRow("Performance", "85 percent") + SpacerRow() + TitleRow("Benchmark Result") +
    FieldRow("Dhrystone ALU", "     2.5000 MIPS") + FieldRow("Whetstone ALU", "   350.0000 MWIPS") +
    SpacerRow();

TEST(HtmlReportPage, EverySectionOnATransmetaProcessor) {
    ProcessorRecord record = ProbeAndDrawMenu(EverySectionTransmeta(), kReportTestDatabase);
    gRun.dhrystoneScore = 2500000.0;
    gRun.whetstoneScore = 350000000.0;
    std::string path = MakeTempDir("transmeta") + "/crusoe";
    RunReportDialogue(record, path + "\n");
    std::string expected = ExpectedReportHead() + Crlf(kTransmetaIdentityToDescriptors) +
                           Crlf(kTransmetaExtendedToAddress) + Crlf(kTransmetaOwnSectionsAndScores) +
                           ExpectedReportFoot();
    EXPECT_EQ(ReadWholeFile(path + ".html"), expected); // the name typed, with ".html"
}

// Without a data file every bit of a feature register has a row with an empty name.
std::string UnnamedFlagRows(uint32_t flags) {
    std::string rows;
    for (int bit = 0; bit < 32; ++bit) {
        rows += FlagRow("", ((flags >> bit) & 1u) != 0);
    }
    return rows;
}

TEST(HtmlReportPage, AmdProcessorWithoutDataFile) {
    std::string expected =
        ExpectedReportHead() +
        Crlf(TitleRow("Processor Identity") + FieldRow("Vendor", "AuthenticAMD") +
             FieldRow("Type", "Original OEM Processor") + FieldRow("Family", "6") +
             FieldRow("Model", "6 []") + FieldRow("Long Name", "AMD Test Processor") +
             FieldRow("Stepping", "2") + SpacerRow() + TitleRow("Standard Processor Features") +
             UnnamedFlagRows(0x00808001) + SpacerRow() + TitleRow("Extended Processor Identity") +
             FieldRow("Family", "7") + FieldRow("Model", "6 []") +
             FieldRow("Long Name", "AMD Test Processor") + FieldRow("Stepping", "2") + SpacerRow() +
             TitleRow("Extended Processor Features") + UnnamedFlagRows(0xC0400800) + SpacerRow() +
             TitleRow("L1 Cache and TLB Configuration") +
             FieldRow("L1 Data TLB, 4K pages", "4 ways, 32 entries       ") +
             FieldRow("L1 Code TLB, 4K pages", "4 ways, 16 entries       ") +
             FieldRow("L1 Data Cache", "64 KB, 2 ways, 1 lines per tag, 64 byte lines       ") + R"(     <tr>
       <td colspan=3 width=12><br></td>
     </tr>
)" + TitleRow("L2 Cache and TLB Configuration") +
             R"(     <tr>
       <td></td>
       <td class=field>L2 Data TLB, 4K pages
       <td class=value>4 ways, 256 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L2 Code TLB, 4K pages
       <td class=value>2 ways, 256 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Unified L2 Cache
       <td class=value>256 KB, 4 ways, 1 lines per tag, 64 byte lines       </td>
     </tr>
)" + SpacerRow() +
             TitleRow("Enhanced Power Management") + R"(     <tr>
       <td></td>
       <td class=field></td>
       <td class=valyes>Yes</td>
     <tr>
       <td></td>
       <td class=field></td>
       <td class=valno>No</td>
     <tr>
       <td></td>
       <td class=field></td>
       <td class=valyes>Yes</td>
)" + SpacerRow()) +
        Crlf(kNotTestedBenchmark) + ExpectedReportFoot();
    EXPECT_EQ(ReportOf(AmdUpToPowerLeaf(), ""), expected);
}

// Firmware sets the brand string and anyone can edit the data file: markup in
// either must reach the page as text, never as tags.
TEST(HtmlReportEscaping, HostileBrandStringAndDataFileNames) {
    CpuidTable table = OnlyLeavesZeroAndOne();
    table[0x80000000] = CpuidRegs{0x80000004, 0, 0, 0};
    AddBrandLeaves(table, "<script>alert(\"x\")</script> & Co");
    std::string database = "[Vendor]\r\nGenuineIntel=Intel\r\n"
                           "[VendorIntel]\r\n????????????????????????????????=<b>P5 & \"Co\"</b>\r\n"
                           "[StandardFeatures]\r\n0=<img src=x onerror=alert(1)>\r\n";
    std::string page = ReportOf(table, database);
    EXPECT_NE(page.find("<td class=value>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; Co</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td class=value>4 [&lt;b&gt;P5 &amp; &quot;Co&quot;&lt;/b&gt;]</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td class=field>&lt;img src=x onerror=alert(1)&gt;</td>"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
}

struct ScoreCase {
    const char* name;
    double score;
    bool replaying; // a replayed processor never gets this machine's score
    const char* dhrystoneCell;
    const char* whetstoneCell;
};

const ScoreCase kScoreCases[] = {
    {"not run yet", 0.0, false, "<td class=value>Not Tested Yet</td>", "<td class=value>Not Tested Yet</td>"},
    {"run too short", -1.0, false, "<td class=value>Not Tested Yet</td>",
     "<td class=value>Not Tested Yet</td>"},
    {"2.5 million", 2500000.0, false, "<td class=value>     2.5000 MIPS</td>",
     "<td class=value>     2.5000 MWIPS</td>"},
    {"2.5 million measured during a replay", 2500000.0, true, "<td class=value>Not Tested Yet</td>",
     "<td class=value>Not Tested Yet</td>"},
    {"350 million", 350000000.0, false, "<td class=value>   350.0000 MIPS</td>",
     "<td class=value>   350.0000 MWIPS</td>"},
    {"wider than the field", 1234567890123.0, false, "<td class=value>1234567.8901 MIPS</td>",
     "<td class=value>1234567.8901 MWIPS</td>"},
};

TEST(HtmlReportBenchmark, ScoreCells) {
    for (const ScoreCase& c : kScoreCases) {
        ProcessorRecord record = ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), kReportTestDatabase);
        gRun.dhrystoneScore = c.score;
        gRun.whetstoneScore = c.score;
        gRun.replaying = c.replaying;
        std::string path = MakeTempDir("scores") + "/s.html";
        RunReportDialogue(record, path + "\n");
        std::string page = ReadWholeFile(path);
        EXPECT_NE(page.find("<td class=field>Dhrystone ALU</td>\r\n       " + std::string(c.dhrystoneCell) +
                            "\r\n"),
                  std::string::npos)
            << c.name;
        EXPECT_NE(page.find("<td class=field>Whetstone ALU</td>\r\n       " + std::string(c.whetstoneCell) +
                            "\r\n"),
                  std::string::npos)
            << c.name;
    }
}

TEST(HtmlReportDialogue, PromptsAfterAnEmptyLine) {
    ProcessorRecord record = ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    std::string dir = MakeTempDir("prompt");
    EXPECT_EQ(RunReportDialogue(record, dir + "/p\n"),
              "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_TRUE(PathExists(dir + "/p.html"));
}

// The screen stays as it was; standard error names the file and the reason.
TEST(HtmlReportDialogue, NameThatCannotBeCreatedIsNamedOnStandardError) {
    ProcessorRecord record = ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    std::string dir = MakeTempDir("uncreatable");
    std::string folder = dir + "/taken.html";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    struct Case {
        const char* name;
        std::string typed;
        int error;
    };
    const Case cases[] = {
        {"missing folder", dir + "/missing/report", ENOENT},
        {"folder of that name", dir + "/taken", EISDIR},
    };
    for (const Case& c : cases) {
        ConsoleCapture console(c.typed + "\n");
        WriteHtmlReport(record, gRun, MenuReportSections());
        EXPECT_EQ(console.Output(), "\r\nEnter the report file name to be generated (*.html) : ") << c.name;
        EXPECT_EQ(console.Errors(), "veldrix: cannot create report " + c.typed +
                                        ".html: " + std::strerror(c.error) + kPlainLineEnd)
            << c.name;
    }
    // Nothing was made: the folder is still the only, empty entry.
    EXPECT_FALSE(PathExists(dir + "/missing"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    auto entries = std::filesystem::directory_iterator(dir);
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

TEST(HtmlReportDialogue, EndOfInputAtThePromptWritesNothing) {
    ProcessorRecord record = ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    FullMediumBuffer medium(100000);
    RouteTextFilesTo(&medium);
    std::string output = RunReportDialogue(record, "");
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(output, "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_EQ(medium.Kept(), "");
}

// A medium that fills up after 1000 bytes: the page stops there, one line
// names the file and the system error, and the dialogue returns normally.
TEST(HtmlReportDialogue, FullMediumStopsThePageWithOneMessage) {
    ProcessorRecord record = ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), kReportTestDatabase);
    FullMediumBuffer medium(1000);
    RouteTextFilesTo(&medium);
    std::string output = RunReportDialogue(record, "full\n");
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(output, "\r\nEnter the report file name to be generated (*.html) : "
                      "*** Error writing HTML report full.html: " +
                          std::string(std::strerror(ENOSPC)) + " ***\r\n");
    std::string whole = ExpectedReportHead();
    EXPECT_EQ(medium.Kept(), whole.substr(0, 1000));

    // The next report, on a sound medium, is whole again.
    std::string path = MakeTempDir("after") + "/again";
    EXPECT_EQ(RunReportDialogue(record, path + "\n"),
              "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_EQ(ReadWholeFile(path + ".html").substr(0, whole.size()), whole);
}

} // namespace
