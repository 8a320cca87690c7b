// The dump reader: every supported layout, the first-occurrence and sub-leaf
// rules, malformed lines, hostile bytes, the file reader and the real dumps.
// All register values here are written for these tests from the CPUID
// register layouts; none is taken from a published dump.
#include "cpuid/dump_reader.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Leaf {
    uint32_t leaf;
    uint32_t eax, ebx, ecx, edx;
};

// The table written out one leaf per row, so a failure shows every register.
std::vector<Leaf> AsRows(const CpuidTable& table) {
    std::vector<Leaf> rows;
    for (const auto& [leaf, regs] : table) {
        rows.push_back(Leaf{leaf, regs.eax, regs.ebx, regs.ecx, regs.edx});
    }
    return rows;
}

bool operator==(const Leaf& a, const Leaf& b) {
    return a.leaf == b.leaf && a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

std::ostream& operator<<(std::ostream& out, const Leaf& l) {
    return out << std::hex << "{" << l.leaf << ": " << l.eax << " " << l.ebx << " " << l.ecx << " " << l.edx
               << "}";
}

struct FormatCase {
    const char* name;
    std::string text;
    std::vector<Leaf> expected;
};

const uint32_t kIntelB = 0x756E6547, kIntelD = 0x49656E69, kIntelC = 0x6C65746E;
const uint32_t kAmdB = 0x68747541, kAmdD = 0x69746E65, kAmdC = 0x444D4163;

const FormatCase kFormatCases[] = {
    {"CaptureFileCrLf",
     " ====================================================\r\n"
     " >> Captured CPUID registers\r\n"
     "\r\n"
     " --------------\r\n Standard Level\r\n --------------\r\n\r\n"
     " -> EAX : 00000000\r\n +--> EAX : 00000002\r\n +--> EBX : 756E6547\r\n"
     " +--> ECX : 6C65746E\r\n +--> EDX : 49656E69\r\n\r\n"
     " -> EAX : 00000001\r\n +--> EAX : 00000652\r\n +--> EBX : 00000000\r\n"
     " +--> ECX : 00000000\r\n +--> EDX : 0183FBFF\r\n\r\n"
     " Error: Not supported.\r\n >> End Of File\r\n",
     {{0, 2, kIntelB, kIntelC, kIntelD}, {1, 0x652, 0, 0, 0x0183FBFF}}},
    {"CaptureFileLowerCaseLfTrailingBlanks",
     " -> EAX : 80000000  \n +--> EAX : 80000008\t\n +--> EBX : 00000000 \n"
     " +--> ECX : 00000000\n +--> EDX : 00000000\n",
     {{0x80000000, 0x80000008, 0, 0, 0}}},
    {"CpuidToolWithSubLeafField",
     "CPU:\n"
     "   0x00000000 0x00: eax=0x00000007 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
     "   0x00000001 0x00: eax=0x00800f82 ebx=0x00080800 ecx=0x7ed8320b edx=0x178bfbff\n"
     "   0x80000008 0x00: eax=0x00003030 ebx=0x00000007 ecx=0x0000400f edx=0x00000000\n",
     {{0, 7, kAmdB, kAmdC, kAmdD},
      {1, 0x00800F82, 0x00080800, 0x7ED8320B, 0x178BFBFF},
      {0x80000008, 0x3030, 7, 0x400F, 0}}},
    {"CpuidToolOldFormWithoutSubLeaf",
     "CPU 0:\r\n   0x00000000: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\r\n",
     {{0, 1, kAmdB, kAmdC, kAmdD}}},
    {"ReportWithHeadersMsrAndTags",
     "------[ Versions ]------\r\n\r\nProgram Version : Report Tool v1.0\r\n\r\n"
     "------[ CPU Info ]------\r\n\r\nCPUID Manufacturer : GenuineIntel\r\n"
     "CPUID Revision     : 00000695h\r\n\r\n------[ Logical CPU #0 ]------\r\n\r\n"
     "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69 [GenuineIntel]\r\n"
     "CPUID 00000001: 00000695-00000816-00000180-AFE9F9BF\r\n"
     "CPUID 80000004: 20202020-20202020-20202020-00000000 [            ]\r\n"
     "MSR 00000017: 0012-0000-0000-0000 [PlatID = 0]\r\n"
     "MSR 0000001B: 0000-0000-FEE0-0900\r\n",
     {{0, 2, kIntelB, kIntelC, kIntelD},
      {1, 0x695, 0x816, 0x180, 0xAFE9F9BF},
      {0x80000004, 0x20202020, 0x20202020, 0x20202020, 0}}},
    {"ReportWithoutColon",
     "CPUID 00000000 00000001-746E6543-736C7561-48727561\r\n"
     "CPUID 80000000 80000005-00000000-00000000-00000000",
     {{0, 1, 0x746E6543, 0x736C7561, 0x48727561}, {0x80000000, 0x80000005, 0, 0, 0}}},
    {"ReportWithTabAndBlanksBetweenRegisters",
     "CPUID 00000000:\t00000001 69727943 64616574 736E4978\n"
     "CPUID 00000001\t00000522\t00000000\t00000000\t00000105\n",
     {{0, 1, 0x69727943, 0x64616574, 0x736E4978}, {1, 0x522, 0, 0, 0x105}}},
    {"ReportLowerCaseHex",
     "CPUID 0000000a: 07300403-00000000-00000000-00000603\n"
     "CPUID 80000001: 00000000-00000000-00000001-2c100800\n",
     {{0xA, 0x07300403, 0, 0, 0x603}, {0x80000001, 0, 0, 1, 0x2C100800}}},
    {"LibcpuidRawData",
     "version=0.6.4\n"
     "basic_cpuid[0]=00000001 68747541 444d4163 69746e65\n"
     "basic_cpuid[1]=00000f4a 00000800 00000000 078bfbff\n"
     "ext_cpuid[0]=80000018 00000000 00000000 00000000\n"
     "ext_cpuid[8]=00003028 00000000 00000000 00000000\n"
     "intel_fn4[0]=00000000 00000000 00000000 00000000\n",
     {{0, 1, kAmdB, kAmdC, kAmdD},
      {1, 0xF4A, 0x800, 0, 0x078BFBFF},
      {4, 0, 0, 0, 0},
      {0x80000000, 0x80000018, 0, 0, 0},
      {0x80000008, 0x3028, 0, 0, 0}}},
    {"FormatsMixedInOneFile",
     "basic_cpuid[0]=00000001 68747541 444d4163 69746e65\n"
     "   0x00000001 0x00: eax=0x00000f4a ebx=0x00000800 ecx=0x00000000 edx=0x078bfbff\n"
     "CPUID 80000000: 80000001-00000000-00000000-00000000\n"
     " -> EAX : 80000001\n +--> EAX : 00000F4A\n +--> EBX : 00000000\n"
     " +--> ECX : 00000000\n +--> EDX : E1D3FBFF\n",
     {{0, 1, kAmdB, kAmdC, kAmdD},
      {1, 0xF4A, 0x800, 0, 0x078BFBFF},
      {0x80000000, 0x80000001, 0, 0, 0},
      {0x80000001, 0xF4A, 0, 0, 0xE1D3FBFF}}},
    {"LoneCarriageReturnLineEnds",
     "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\r"
     "CPUID 00000001: 00000480-00000000-00000000-00000003\r",
     {{0, 1, kIntelB, kIntelC, kIntelD}, {1, 0x480, 0, 0, 3}}},
};

class DumpFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DumpFormats, ParsesEveryLeafLine) {
    EXPECT_EQ(AsRows(ParseDumpText(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dumpfile, DumpFormats, ::testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Which line wins when a leaf appears more than once.
const FormatCase kOccurrenceCases[] = {
    {"FirstLogicalCpuWinsInReport",
     "------[ Logical CPU #0 ]------\n"
     "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n"
     "CPUID 00000001: 00000F29-00010800-00000000-BFEBFBFF\n"
     "------[ Logical CPU #1 ]------\n"
     "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
     "CPUID 00000001: 00000F29-01010800-00000000-BFEBFBFF\n",
     {{0, 1, kIntelB, kIntelC, kIntelD}, {1, 0xF29, 0x00010800, 0, 0xBFEBFBFF}}},
    {"SubLeafZeroCountsEvenWhenItComesLater",
     "CPUID 00000004: 1C004122-01C0003F-0000003F-00000000 [SL 01]\n"
     "CPUID 00000004: 1C004121-01C0003F-0000003F-00000000 [SL 00]\n"
     "CPUID 00000004: 1C004143-01C0003F-00000FFF-00000000 [SL 02]\n",
     {{4, 0x1C004121, 0x01C0003F, 0x3F, 0}}},
    {"OnlyNonZeroSubLeavesGiveNoLeaf", "CPUID 0000000B: 00000001-00000002-00000100-00000000 [SL 01]\n", {}},
    {"TagStartingLikeSubLeafIsATag",
     "CPUID 80000002: 20534C53-20202020-20202020-20202020 [SLS      ]\n",
     {{0x80000002, 0x20534C53, 0x20202020, 0x20202020, 0x20202020}}},
    {"CpuidToolSubLeafOneIgnored",
     "   0x0000000d 0x01: eax=0x0000000f ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
     "   0x0000000d 0x00: eax=0x00000207 ebx=0x00000340 ecx=0x00000988 edx=0x00000000\n",
     {{0xD, 0x207, 0x340, 0x988, 0}}},
    {"RepeatedCaptureBlockFirstWins",
     " -> EAX : 00000000\n +--> EAX : 00000001\n +--> EBX : 756E6547\n +--> ECX : 6C65746E\n"
     " +--> EDX : 49656E69\n -> EAX : 00000000\n +--> EAX : 00000003\n +--> EBX : 00000000\n"
     " +--> ECX : 00000000\n +--> EDX : 00000000\n",
     {{0, 1, kIntelB, kIntelC, kIntelD}}},
    {"MixedFormatsFirstLineWins",
     "basic_cpuid[1]=00000011 00000000 00000000 00000000\n"
     "CPUID 00000001: 00000022-00000000-00000000-00000000\n",
     {{1, 0x11, 0, 0, 0}}},
};

class DumpOccurrence : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DumpOccurrence, KeepsSubLeafZeroOfTheFirstOccurrence) {
    EXPECT_EQ(AsRows(ParseDumpText(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dumpfile, DumpOccurrence, ::testing::ValuesIn(kOccurrenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
    const char* name;
    std::string text;
};

const MalformedCase kMalformedCases[] = {
    {"ReportLeafOfSevenDigits", "CPUID 0000000: 00000001-756E6547-6C65746E-49656E69"},
    {"ReportLeafOfNineDigits", "CPUID 000000000: 00000001-756E6547-6C65746E-49656E69"},
    {"ReportRegisterOfSevenDigits", "CPUID 00000000: 0000001-756E6547-6C65746E-49656E69"},
    {"ReportRegisterOfNineDigits", "CPUID 00000000: 00000001-756E6547-6C65746E-49656E690"},
    {"ReportThreeRegisters", "CPUID 00000000: 00000001-756E6547-6C65746E"},
    {"ReportFiveRegisters", "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69-00000000"},
    {"ReportNonHexDigit", "CPUID 00000000: 0000000G-756E6547-6C65746E-49656E69"},
    {"ReportKeywordGlued", "CPUID00000000: 00000001-756E6547-6C65746E-49656E69"},
    {"ReportRegistersGluedToLeaf", "CPUID 00000000:00000001-756E6547-6C65746E-49656E69"},
    {"ReportInfoLine", "CPUID Revision     : 00000695h"},
    {"MsrLine", "MSR 00000017: 0012-0000-0000-0000"},
    {"ToolMissingEdx", "   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163"},
    {"ToolShortRegister", "   0x00000000 0x00: eax=0x0000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65"},
    {"ToolTrailingText", "   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65 x"},
    {"ToolRegistersOutOfOrder",
     "   0x00000000 0x00: ebx=0x68747541 eax=0x00000001 ecx=0x444d4163 edx=0x69746e65"},
    {"LibcpuidThreeRegisters", "basic_cpuid[0]=00000001 68747541 444d4163"},
    {"LibcpuidNegativeIndex", "basic_cpuid[-1]=00000001 68747541 444d4163 69746e65"},
    {"LibcpuidIndexTooLong", "ext_cpuid[1234567890]=00000001 68747541 444d4163 69746e65"},
    {"CaptureBlockWithoutEdx",
     " -> EAX : 00000000\n +--> EAX : 00000001\n +--> EBX : 756E6547\n +--> ECX : 6C65746E\n"
     " Error: Not supported.\n +--> EDX : 49656E69\n"},
    {"CaptureRegistersOutOfOrder",
     " -> EAX : 00000000\n +--> EAX : 00000001\n +--> ECX : 6C65746E\n +--> EBX : 756E6547\n"
     " +--> EDX : 49656E69\n"},
    {"CaptureRegisterLinesWithoutLeafLine",
     " +--> EAX : 00000001\n +--> EBX : 756E6547\n +--> ECX : 6C65746E\n +--> EDX : 49656E69\n"},
    {"NulByteInsideLine", std::string("CPUID 00000000: 00000001-756E") + '\0' + "6547-6C65746E-49656E69"},
    {"EmptyText", ""},
    {"OnlyLineEnds", "\r\n\n\r\r\n"},
};

class DumpMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(DumpMalformed, IsNotALeafLine) {
    EXPECT_TRUE(ParseDumpText(GetParam().text).empty());
}

INSTANTIATE_TEST_SUITE_P(Dumpfile, DumpMalformed, ::testing::ValuesIn(kMalformedCases),
                         [](const auto& info) { return std::string(info.param.name); });

const char kLeafZeroLine[] = "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n";
const Leaf kLeafZero{0, 1, kIntelB, kIntelC, kIntelD};

TEST(DumpHostileBytes, LeafLinesSurviveBinaryNoiseAndEndlessLines) {
    std::string noise;
    for (int i = 0; i < 4096; ++i) {
        noise += static_cast<char>((i * 37 + 11) & 0xFF);
    }
    std::string text = std::string("\0\0\0\n", 4) + noise + "\n" + std::string(1 << 20, 'A') + "\n" +
                       std::string(1 << 20, ' ') + kLeafZeroLine + std::string(2, '\0');
    EXPECT_EQ(AsRows(ParseDumpText(text)), std::vector<Leaf>{kLeafZero});
}

TEST(DumpHostileBytes, LastLineWithoutLineEndCounts) {
    std::string line(kLeafZeroLine);
    line.pop_back();
    EXPECT_EQ(AsRows(ParseDumpText(line)), std::vector<Leaf>{kLeafZero});
}

// An unsigned shift would wrap past 32 bits if the digit count were not bounded.
TEST(DumpHostileBytes, LongHexRunsAreRefusedNotWrapped) {
    EXPECT_TRUE(ParseDumpText("CPUID 100000000: 00000001-756E6547-6C65746E-49656E69\n").empty());
    EXPECT_TRUE(ParseDumpText("   0x00000004 0x100000000: eax=0x00000001 ebx=0x00000002 ecx=0x00000003 "
                              "edx=0x00000004\n")
                    .empty());
}

TEST(DumpFileReader, RefusesMissingFilesAndDirectories) {
    std::string text = "left over";
    EXPECT_FALSE(ReadDumpFile(::testing::TempDir() + "no_such_dump.txt", text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(ReadDumpFile(::testing::TempDir(), text));
    EXPECT_FALSE(ReadDumpFile("", text));
    CpuidTable table{{0, CpuidRegs{1, 2, 3, 4}}};
    EXPECT_FALSE(LoadCpuidDump(::testing::TempDir(), table));
    EXPECT_TRUE(table.empty());
}

TEST(DumpFileReader, ReadsBytesUnchangedAndRefusesFilesWithoutLeaves) {
    const char raw[] = "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\r\n\0\x1A\xFF";
    std::string bytes(raw, sizeof raw - 1);
    std::string text;
    ASSERT_TRUE(ReadDumpFile(WriteTempFile("bytes.txt", bytes), text));
    EXPECT_EQ(text, bytes);
    CpuidTable table;
    EXPECT_TRUE(LoadCpuidDump(WriteTempFile("leaf.txt", bytes), table));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_FALSE(LoadCpuidDump(WriteTempFile("prose.txt", "Nothing to see here.\r\n"), table));
    EXPECT_FALSE(LoadCpuidDump(WriteTempFile("empty.txt", ""), table));
}

// A leaf line broken off by the size limit must not be read with a short register.
TEST(DumpFileReader, StopsAtTheSizeLimitWithoutReadingAHalfLine) {
    const size_t limit = 200 * 1024;
    std::string text = kLeafZeroLine;
    text.resize(limit - 20, '\n');
    text += "CPUID 00000001: 00000517-00000000-00000000-000001BF\n";
    std::string read;
    ASSERT_TRUE(ReadDumpFile(WriteTempFile("long.txt", text), read, limit));
    EXPECT_EQ(read.size(), limit - 20);
    EXPECT_EQ(AsRows(ParseDumpText(read)), std::vector<Leaf>{kLeafZero});
}

TEST(DumpFileReader, EndlessDeviceEndsAtTheLimit) {
    if (!std::ifstream("/dev/zero")) {
        GTEST_SKIP() << "no /dev/zero on this system";
    }
    CpuidTable table;
    EXPECT_FALSE(LoadCpuidDump("/dev/zero", table));
    EXPECT_TRUE(table.empty());
}

// The real dumps' file names begin with the vendor identification and the
// leaf 1 signature in seven hex digits: both must come back from the parse.
TEST(RealDumps, VendorAndSignatureMatchTheFileName) {
    std::error_code error;
    std::filesystem::directory_iterator files(VELDRIX_DUMPS_DIR, error);
    ASSERT_FALSE(error) << "real dumps not found at " << VELDRIX_DUMPS_DIR;
    int checked = 0;
    int named = 0;
    for (const auto& file : files) {
        std::string name = file.path().filename().string();
        if (name.size() < 24 || file.path().extension() != ".txt") {
            continue;
        }
        ++named;
        SCOPED_TRACE(name);
        CpuidTable table;
        ASSERT_TRUE(LoadCpuidDump(file.path().string(), table));
        ASSERT_EQ(table.count(0), 1u);
        ASSERT_EQ(table.count(1), 1u);
        const CpuidRegs& zero = table[0];
        std::string vendor;
        for (uint32_t reg : {zero.ebx, zero.edx, zero.ecx}) {
            for (int shift = 0; shift < 32; shift += 8) {
                vendor += static_cast<char>((reg >> shift) & 0xFF);
            }
        }
        EXPECT_EQ(vendor, name.substr(0, 12));
        EXPECT_EQ(table[1].eax, std::stoul(name.substr(12, 7), nullptr, 16));
        ++checked;
    }
    EXPECT_GT(named, 0) << "no dump named by vendor and signature in " << VELDRIX_DUMPS_DIR;
    EXPECT_EQ(checked, named);
}

} // namespace
