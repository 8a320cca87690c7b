// Whole HTML reports written through the key R dialogue, compared byte for
// byte, and the dialogue's failure paths.
#include "console/veldrix.hpp"
#include "probe/probe.hpp"
#include "reports/HTMLRpt.hpp"
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
void ProbeAndDrawMenu(const CpuidTable& table, const std::string& database) {
    ResetWorld(table);
    if (!database.empty()) {
        OpenDatabaseText(database);
    }
    ProbeProcessor();
    ConsoleCapture menu;
    DrawMenu();
}

// Runs the report dialogue with the typed line and returns the console output.
std::string RunReportDialogue(const std::string& typed) {
    ConsoleCapture console(typed);
    WriteHtmlReport();
    return console.Output();
}

std::string ReportOf(const CpuidTable& table, const std::string& database) {
    ProbeAndDrawMenu(table, database);
    std::string path = MakeTempDir("report") + "/page.html";
    RunReportDialogue(path + "\n");
    return ReadWholeFile(path);
}

const char kNotTestedBenchmark[] = R"(     <tr>
       <td colspan=3 class=title>Benchmark Result</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Dhrystone ALU</td>
       <td class=value>Not Tested Yet</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Whetstone ALU</td>
       <td class=value>Not Tested Yet</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
)";

TEST(HtmlReportPage, OnlyStandardLeavesZeroAndOne) {
    std::string expected = ExpectedReportHead() + Crlf(R"(     <tr>
       <td colspan=3 class=title>Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Vendor</td>
       <td class=value>GenuineIntel</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Type</td>
       <td class=value>Original OEM Processor</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>5</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>4 [Test P5 Processor]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>3</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Speed</td>
       <td class=value> 930.412 MHz   [Normalized to 933 MHz]</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Standard Processor Features</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>FPU</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>TSC</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>CX8</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>APIC</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>PSN</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>CLFSH</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>MMX</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>HTT</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
)") + Crlf(kNotTestedBenchmark) +
                           ExpectedReportFoot();
    EXPECT_EQ(ReportOf(OnlyLeavesZeroAndOne(), kReportTestDatabase), expected);
}

const char kTransmetaIdentityToDescriptors[] = R"(     <tr>
       <td colspan=3 class=title>Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Vendor</td>
       <td class=value>GenuineTMx86</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Type</td>
       <td class=value>Original OEM Processor</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>5</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>4 [Test Crusoe]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Long Name</td>
       <td class=value>  Test Processor TM5800</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>3</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>BRAND ID</td>
       <td class=value>Intel Celeron Processor [Coppermine]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Speed</td>
       <td class=value> 930.412 MHz   [Normalized to 933 MHz]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Local APIC Physical ID</td>
       <td class=value>03</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Processor Serial Number [PSN]</td>
       <td class=value>0000-0543-1234-5678-9ABC-DEF0</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Cache Line FLUSH [CLFLUSH] Size</td>
       <td class=value>64</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>CPU Count for Hyper Threading Technology</td>
       <td class=value>2</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Standard Processor Features</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>FPU</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>TSC</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>CX8</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>APIC</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>PSN</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>CLFSH</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>MMX</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>HTT</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Standard Processor Configuration Descriptor</td>
     </tr>
     <tr>
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

const char kTransmetaExtendedToAddress[] = R"(     <tr>
       <td colspan=3 class=title>Extended Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>5</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>4 [Test Crusoe Extended]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Long Name</td>
       <td class=value>  Test Processor TM5800</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>3</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Extended Processor Features</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>SYSCALL</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>3DNow!</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>L1 Cache and TLB Configuration</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Data TLB, 4M/2M pages</td>
       <td class=value>full, 8 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Code TLB, 4M/2M pages</td>
       <td class=value>full, 16 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Data TLB, 4K pages</td>
       <td class=value>4 ways, 32 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Code TLB, 4K pages</td>
       <td class=value>2 ways, 32 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Data Cache</td>
       <td class=value>64 KB, 2 ways, 1 lines per tag, 64 byte lines       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Code Cache</td>
       <td class=value>64 KB, full, 1 lines per tag, 64 byte lines       </td>
     </tr>
     <tr>
       <td colspan=3 width=12><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>L2 Cache and TLB Configuration</td>
     </tr>
     <tr>
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
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Enhanced Power Management</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>TS</td>
       <td class=valyes>Yes</td>
     <tr>
       <td></td>
       <td class=field>FID</td>
       <td class=valno>No</td>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Physical Address And Linear Address Size</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Physical Address Size</td>
       <td class=value>36-bits [approx.  68719476736 bytes]</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Linear   Address Size</td>
       <td class=value>48-bits [approx. 281474976710656 bytes]</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
)";

const char kTransmetaOwnSectionsAndScores[] = R"(     <tr>
       <td colspan=3 class=title>Transmeta Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>5</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>4</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>3</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Hardware Revision</td>
       <td class=value>01.02-03.04</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Software Revision</td>
       <td class=value>0A.0B.0C-0D-12345678</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Additional Information</td>
       <td class=value>Test firmware 4.2.4</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Clock Frequency</td>
       <td class=value>933 MHz</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Transmeta Processor Features</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Recovery</td>
       <td class=valyes>Yes</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>LongRun</td>
       <td class=valno>No</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Transmeta Processor Actual Status</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Frequency</td>
       <td class=value>600 MHz</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Voltage</td>
       <td class=value>1350 mV</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Performance</td>
       <td class=value>85 percent</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Benchmark Result</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Dhrystone ALU</td>
       <td class=value>     2.5000 MIPS</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Whetstone ALU</td>
       <td class=value>   350.0000 MWIPS</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
)";

TEST(HtmlReportPage, EverySectionOnATransmetaProcessor) {
    ProbeAndDrawMenu(EverySectionTransmeta(), kReportTestDatabase);
    gRecord.dhrystoneScore = 2500000.0;
    gRecord.whetstoneScore = 350000000.0;
    std::string path = MakeTempDir("transmeta") + "/crusoe";
    RunReportDialogue(path + "\n");
    std::string expected = ExpectedReportHead() + Crlf(kTransmetaIdentityToDescriptors) +
                           Crlf(kTransmetaExtendedToAddress) + Crlf(kTransmetaOwnSectionsAndScores) +
                           ExpectedReportFoot();
    EXPECT_EQ(ReadWholeFile(path + ".html"), expected);
    EXPECT_EQ(reportFileName, path + ".html");
}

// Without a data file every bit of a feature register has a row with an empty name.
std::string UnnamedFlagRows(uint32_t flags) {
    std::string rows;
    for (int bit = 0; bit < 32; ++bit) {
        bool set = ((flags >> bit) & 1u) != 0;
        rows += "     <tr>\n       <td></td>\n       <td class=field></td>\n";
        rows += set ? "       <td class=valyes>Yes</td>\n" : "       <td class=valno>No</td>\n";
        rows += "     </tr>\n";
    }
    return rows;
}

TEST(HtmlReportPage, AmdProcessorWithoutDataFile) {
    std::string expected = ExpectedReportHead() + Crlf(R"(     <tr>
       <td colspan=3 class=title>Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Vendor</td>
       <td class=value>AuthenticAMD</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Type</td>
       <td class=value>Original OEM Processor</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>6</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>6 []</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Long Name</td>
       <td class=value>AMD Test Processor</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>2</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Standard Processor Features</td>
     </tr>
)" + UnnamedFlagRows(0x00808001) + R"(     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Extended Processor Identity</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Family</td>
       <td class=value>7</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Model</td>
       <td class=value>6 []</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Long Name</td>
       <td class=value>AMD Test Processor</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>Stepping</td>
       <td class=value>2</td>
     </tr>
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Extended Processor Features</td>
     </tr>
)" + UnnamedFlagRows(0xC0400800) + R"(     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>L1 Cache and TLB Configuration</td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Data TLB, 4K pages</td>
       <td class=value>4 ways, 32 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Code TLB, 4K pages</td>
       <td class=value>4 ways, 16 entries       </td>
     </tr>
     <tr>
       <td></td>
       <td class=field>L1 Data Cache</td>
       <td class=value>64 KB, 2 ways, 1 lines per tag, 64 byte lines       </td>
     </tr>
     <tr>
       <td colspan=3 width=12><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>L2 Cache and TLB Configuration</td>
     </tr>
     <tr>
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
     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td colspan=3 class=title>Enhanced Power Management</td>
     </tr>
     <tr>
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
     <tr>
       <td colspan=3><br></td>
     </tr>
)") + Crlf(kNotTestedBenchmark) +
                           ExpectedReportFoot();
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
    const char* dhrystoneCell;
    const char* whetstoneCell;
};

const ScoreCase kScoreCases[] = {
    {"not run yet", 0.0, "<td class=value>Not Tested Yet</td>", "<td class=value>Not Tested Yet</td>"},
    {"run too short", -1.0, "<td class=value>Not Tested Yet</td>", "<td class=value>Not Tested Yet</td>"},
    {"2.5 million", 2500000.0, "<td class=value>     2.5000 MIPS</td>",
     "<td class=value>     2.5000 MWIPS</td>"},
    {"350 million", 350000000.0, "<td class=value>   350.0000 MIPS</td>",
     "<td class=value>   350.0000 MWIPS</td>"},
    {"wider than the field", 1234567890123.0, "<td class=value>1234567.8901 MIPS</td>",
     "<td class=value>1234567.8901 MWIPS</td>"},
};

TEST(HtmlReportBenchmark, ScoreCells) {
    for (const ScoreCase& c : kScoreCases) {
        ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), kReportTestDatabase);
        gRecord.dhrystoneScore = c.score;
        gRecord.whetstoneScore = c.score;
        std::string path = MakeTempDir("scores") + "/s.html";
        RunReportDialogue(path + "\n");
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
    ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    std::string dir = MakeTempDir("prompt");
    EXPECT_EQ(RunReportDialogue(dir + "/p\n"), "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_TRUE(PathExists(dir + "/p.html"));
}

TEST(HtmlReportDialogue, NameThatCannotBeCreatedReturnsSilently) {
    ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    std::string dir = MakeTempDir("uncreatable");
    std::string folder = dir + "/taken.html";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    struct Case {
        const char* name;
        std::string typed;
    };
    const Case cases[] = {
        {"missing folder", dir + "/missing/report"},
        {"folder of that name", dir + "/taken"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunReportDialogue(c.typed + "\n"),
                  "\r\nEnter the report file name to be generated (*.html) : ")
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
    ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), "");
    FullMediumBuffer medium(100000);
    RouteTextFilesTo(&medium);
    std::string output = RunReportDialogue("");
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(output, "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_EQ(medium.Kept(), "");
}

// A medium that fills up after 1000 bytes: the page stops there, one line
// names the file and the system error, and the dialogue returns normally.
TEST(HtmlReportDialogue, FullMediumStopsThePageWithOneMessage) {
    ProbeAndDrawMenu(OnlyLeavesZeroAndOne(), kReportTestDatabase);
    FullMediumBuffer medium(1000);
    RouteTextFilesTo(&medium);
    std::string output = RunReportDialogue("full\n");
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(output, "\r\nEnter the report file name to be generated (*.html) : "
                      "*** Error writing HTML report full.html: " +
                          std::string(std::strerror(ENOSPC)) + " ***\r\n");
    std::string whole = ExpectedReportHead();
    EXPECT_EQ(medium.Kept(), whole.substr(0, 1000));

    // The next report, on a sound medium, is whole again.
    std::string path = MakeTempDir("after") + "/again";
    EXPECT_EQ(RunReportDialogue(path + "\n"), "\r\nEnter the report file name to be generated (*.html) : ");
    EXPECT_EQ(ReadWholeFile(path + ".html").substr(0, whole.size()), whole);
}

} // namespace
