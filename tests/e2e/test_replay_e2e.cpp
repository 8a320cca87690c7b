// The real binary replaying CPUID dumps: refusals, synthetic processors in
// each dump layout, the capture round trip, this machine's own capture, and
// every real dump driven through every menu key and the report.
// Synthetic registers are written here from the CPUID register layouts.
#include "common/text_format.hpp"
#include "cpuid/dump_reader.hpp"
#include "support/harness.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kPrompt[] = "And your choise is.. [type \"?\" for help] ";
const char kSeparator[] = "  --------------------------------------------";
const char kQuitLines[] = "~ Thank you for using VELDRIX.\r\n~ Know your processor, know your machine.\r\n";

struct Regs {
    uint32_t leaf;
    uint32_t eax, ebx, ecx, edx;
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t end = 0;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

// Text laid into consecutive registers, lowest byte first, NUL-padded.
std::vector<uint32_t> TextRegisters(const std::string& text, size_t registers) {
    std::vector<uint32_t> values(registers, 0);
    for (size_t i = 0; i < text.size() && i < 4 * registers; ++i) {
        values[i / 4] |= static_cast<uint32_t>(static_cast<uint8_t>(text[i])) << (8 * (i % 4));
    }
    return values;
}

// Leaves `first` onward carrying text four registers each.
void AddTextLeaves(std::vector<Regs>& leaves, uint32_t first, const std::string& text, size_t count) {
    std::vector<uint32_t> v = TextRegisters(text, 4 * count);
    for (size_t i = 0; i < count; ++i) {
        leaves.push_back(
            Regs{first + static_cast<uint32_t>(i), v[4 * i], v[4 * i + 1], v[4 * i + 2], v[4 * i + 3]});
    }
}

std::string ReportDump(const std::vector<Regs>& leaves) {
    std::string text = "------[ Logical CPU #0 ]------\r\n\r\n";
    for (const Regs& r : leaves) {
        text += "CPUID " + DwordToHex(r.leaf) + ": " + DwordToHex(r.eax) + "-" + DwordToHex(r.ebx) + "-" +
                DwordToHex(r.ecx) + "-" + DwordToHex(r.edx) + "\r\n";
    }
    return text;
}

std::string CpuidToolDump(const std::vector<Regs>& leaves) {
    std::string text = "CPU:\n";
    for (const Regs& r : leaves) {
        text += "   0x" + LowerAscii(DwordToHex(r.leaf)) + " 0x00: eax=0x" + LowerAscii(DwordToHex(r.eax)) +
                " ebx=0x" + LowerAscii(DwordToHex(r.ebx)) + " ecx=0x" + LowerAscii(DwordToHex(r.ecx)) +
                " edx=0x" + LowerAscii(DwordToHex(r.edx)) + "\n";
    }
    return text;
}

std::string CaptureDump(const std::vector<Regs>& leaves) {
    std::string text = Lines(
        {" >> Captured CPUID registers", "", " --------------", " Standard Level", " --------------", ""});
    for (const Regs& r : leaves) {
        text += Lines({" -> EAX : " + DwordToHex(r.leaf), " +--> EAX : " + DwordToHex(r.eax),
                       " +--> EBX : " + DwordToHex(r.ebx), " +--> ECX : " + DwordToHex(r.ecx),
                       " +--> EDX : " + DwordToHex(r.edx), ""});
    }
    return text + Lines({"", " --------------", " Extended Level", " --------------", "",
                         " Error: Not supported.", "", " >> End Of File"});
}

// A Pentium MMX: standard leaves 0 and 1 only, nothing extended.
const std::vector<Regs> kPentiumMmx = {
    {0x00000000, 0x00000001, 0x756E6547, 0x6C65746E, 0x49656E69},
    {0x00000001, 0x00000543, 0x00000000, 0x00000000, 0x008001BF},
};

// An Athlon 64 class processor with 256 KB of L2, 40-bit physical and
// 48-bit linear addresses.
std::vector<Regs> Sempron64() {
    std::vector<Regs> leaves = {
        {0x00000000, 0x00000001, 0x68747541, 0x444D4163, 0x69746E65},
        {0x00000001, 0x00020FC2, 0x00000800, 0x00000001, 0x078BFBFF},
        {0x80000000, 0x80000018, 0x68747541, 0x444D4163, 0x69746E65},
        {0x80000001, 0x00020FC2, 0x0000020C, 0x00000001, 0xE3D3FBFF},
    };
    AddTextLeaves(leaves, 0x80000002, "AMD Sempron(tm) Processor 3100+", 3);
    leaves.push_back(
        {0x80000005, 0xFF08FF08, 0xFF20FF20, 0x40020140, 0x40020140}); // 64 KB, 2 ways, 64 B lines
    leaves.push_back({0x80000006, 0x00000000, 0x42004200, 0x01008140, 0x00000000}); // 256 KB, 16 ways
    leaves.push_back({0x80000007, 0x00000000, 0x00000000, 0x00000000, 0x00000001});
    leaves.push_back({0x80000008, 0x00003028, 0x00000000, 0x00000000, 0x00000000});
    return leaves;
}

// A Crusoe with every Transmeta leaf: hardware revision 1.4-0.2, software
// 4.2.1-5, 665 MHz nominal, running at 600 MHz, 1350 mV, 90 percent.
std::vector<Regs> CrusoeTm5600() {
    std::vector<Regs> leaves = {
        {0x00000000, 0x00000001, 0x756E6547, 0x3638784D, 0x54656E69},
        {0x00000001, 0x00000542, 0x00000000, 0x00000000, 0x0080893F},
        {0x80000000, 0x80000004, 0x00000000, 0x00000000, 0x00000000},
        {0x80000001, 0x00000542, 0x00000000, 0x00000000, 0x0081813F},
    };
    AddTextLeaves(leaves, 0x80000002, "Transmeta(tm) Crusoe(tm) Processor TM5600", 3);
    leaves.push_back({0x80860000, 0x80860007, 0x6E617254, 0x55504361, 0x74656D73});
    leaves.push_back({0x80860001, 0x00000542, 0x01040002, 0x00000299, 0x00000007});
    leaves.push_back({0x80860002, 0x00000000, 0x04020105, 0x00000051, 0x00000000});
    AddTextLeaves(leaves, 0x80860003, "20010920 12:00 official release 4.2.1#5", 4);
    leaves.push_back({0x80860007, 0x00000258, 0x00000546, 0x0000005A, 0x00000000});
    return leaves;
}

// Each key followed by what its screen asks for (a report name, a run count
// for the benchmarks) and enough empty lines for every pause; empty lines
// left over are ignored by the menu.
std::string KeysInput(const std::string& keys) {
    std::string input;
    for (char key : keys) {
        input += std::string(1, key) + "\n";
        if (key == 'R') {
            input += "report\n";
        }
        if (key == 'D' || key == 'W') {
            input += "1\n";
        }
        input += std::string(8, '\n');
    }
    return input + "Q\n";
}

std::string RunReplay(const std::string& dumpText, const std::vector<std::string>& options,
                      const std::string& input, int* status = nullptr) {
    std::vector<std::string> args = {"-r", WriteTempFile("dump.txt", dumpText)};
    args.insert(args.end(), options.begin(), options.end());
    BinaryRun run = RunBinary(args, input);
    if (status != nullptr) {
        *status = run.status;
    }
    return run.output;
}

// The start of an executable file, NUL bytes and a line end included.
const char kGarbage[] = {'\x7F', 'E', 'L', 'F', '\0', '\0', '\x01', '\xFF', '\r', '\n', '\0'};

struct RefusalCase {
    const char* name;
    std::string (*dumpPath)();
};

const RefusalCase kRefusals[] = {
    {"MissingFile", [] { return ::testing::TempDir() + "veldrix_no_such_dump.txt"; }},
    {"Directory", [] { return MakeTempDir("dump_folder"); }},
    {"EmptyName", [] { return std::string(); }},
    {"ProseWithoutLeafLines",
     [] {
         return WriteTempFile("prose.txt",
                              "CPU Type : Pentium MMX, 233 MHz\r\nCPUID Revision : 00000543h\r\n");
     }},
    {"BinaryGarbage", [] { return WriteTempFile("garbage.bin", std::string(kGarbage, sizeof kGarbage)); }},
};

class ReplayRefusal : public ::testing::TestWithParam<RefusalCase> {};

// After the banner only the refusal line, and exit status 2.
TEST_P(ReplayRefusal, WritesTheMessageAndEndsWithStatus2) {
    std::string dump = GetParam().dumpPath();
    BinaryRun run = RunBinary({"-r", dump, "-v"}, "Q\n");
    EXPECT_EQ(run.status, 2);
    std::vector<std::string> lines = SplitLines(run.output);
    ASSERT_EQ(lines.size(), 6u) << run.output;
    EXPECT_EQ(lines[0], "~ VELDRIX - The Processor Detector for Win32 Console");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "*** Cannot read CPUID dump " + dump + " ***");
    EXPECT_EQ(run.output.substr(run.output.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(ReplayE2e, ReplayRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// "-r" alone is a usage error: the summary goes to standard error, nothing
// (no banner) to standard output.
TEST(ReplayE2e, MissingDumpArgumentIsAUsageError) {
    BinaryRun run = RunBinary({"-r"}, "Q\n");
    EXPECT_EQ(run.status, 64);
    EXPECT_EQ(run.output, "");
}

TEST(ReplayE2e, DumpWithoutLeafZeroIsAProcessorWithoutCpuid) {
    int status = -1;
    std::string dump = "CPUID 00000001: 00000543-00000000-00000000-008001BF\r\n";
    std::string output = RunReplay(dump, {}, "Q\n", &status);
    EXPECT_EQ(status, 0);
    std::string tail = "\r\n\r\nYour CPU does not support CPUID command.\r\n";
    ASSERT_GE(output.size(), tail.size());
    EXPECT_EQ(output.substr(output.size() - tail.size()), tail);
    EXPECT_NE(output.find("~ Replaying CPUID dump "), std::string::npos);
    EXPECT_EQ(output.find(kPrompt), std::string::npos);
}

// Only the argument after the dump counts as the option.
struct OptionCase {
    const char* name;
    std::vector<std::string> options;
    bool verbose;
    bool help;
};

const OptionCase kOptionCases[] = {
    {"VerboseAfterDump", {"-v"}, true, false},
    {"HelpAfterDump", {"-?"}, false, true},
    {"NoOption", {}, false, false},
    {"FourthArgumentIgnored", {"x", "-v"}, false, false},
    {"OptionIsCaseSensitive", {"-V"}, false, false},
};

class ReplayOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ReplayOptions, ThirdArgumentIsTheOption) {
    int status = -1;
    std::string output =
        RunReplay(ReportDump(kPentiumMmx), GetParam().options, std::string(8, '\n') + "Q\n", &status);
    EXPECT_EQ(status, 0);
    size_t replayLine = output.find("\r\n~ Replaying CPUID dump ");
    ASSERT_NE(replayLine, std::string::npos);
    EXPECT_EQ(output.find("\r\n\r\n", replayLine + 2), output.find("\r\n", replayLine + 2))
        << "empty line after";
    EXPECT_EQ(HasLine(output, "Retrieving CPUID.."), GetParam().verbose);
    size_t help = output.find("\r\n VELDRIX Help\r\n");
    EXPECT_EQ(help != std::string::npos && help > replayLine, GetParam().help) << output;
    EXPECT_EQ(CountOf(output, kPrompt), 1u);
}

INSTANTIATE_TEST_SUITE_P(ReplayE2e, ReplayOptions, ::testing::ValuesIn(kOptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplayE2e, OldProcessorWithoutExtendedLeavesFromCaptureFile) {
    int status = -1;
    std::string output = RunReplay(CaptureDump(kPentiumMmx), {"-v"}, KeysInput("IiH"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(HasLine(output, " -> Retrieving VendorID...[done]  ==>  GenuineIntel"));
    EXPECT_TRUE(HasLine(output, " -> Retrieving Standard Level CPUID...[done]  ==>  00000543"));
    EXPECT_TRUE(HasLine(output, " -> Max. Extended Level : 00000000"));
    EXPECT_TRUE(HasLine(output, " -> Calculating processor speed...[skipped]"));
    std::string menu =
        Lines({"", "VELDRIX Menu", "============", "  [I] Processor Identity", "  [F] Std. Features",
               kSeparator, "  [D] Integer Dhrystone Benchmark", "  [W] Floating Point Whetstone Benchmark",
               kSeparator, "  [R] Generate HTML Report", "  [A] About", "  [Q] Quit", ""}) +
        kPrompt;
    EXPECT_EQ(CountOf(output, menu), 4u) << output;
    EXPECT_TRUE(HasLine(output, " -> Vendor    : GenuineIntel"));
    EXPECT_EQ(output.find(" -> Long Name : "), std::string::npos);
    EXPECT_EQ(output.find(" -> Speed     : "), std::string::npos);
}

TEST(ReplayE2e, AmdWithCacheAndAddressLeavesFromCpuidTool) {
    int status = -1;
    std::string output = RunReplay(CpuidToolDump(Sempron64()), {"-v"}, KeysInput("I12H"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(HasLine(output, " -> Retrieving VendorID...[done]  ==>  AuthenticAMD"));
    EXPECT_TRUE(HasLine(output, " -> Max. Extended Level : 80000018"));
    EXPECT_TRUE(
        HasLine(output, " -> Retrieving Level 1 Cache...[done]  ==>  FF08FF08-FF20FF20-40020140-40020140"));
    EXPECT_TRUE(HasLine(output, " -> Retrieving Physical Linear Address...[done]  ==>  00003028"));
    for (const char* row :
         {"  [1] Ext. L1 Cache Configuration", "  [2] Ext. L2 Cache Configuration",
          "  [P] Enhanced Power Management", "  [H] Physical Address and Linear Address Size"}) {
        EXPECT_TRUE(HasLine(output, row)) << row;
    }
    EXPECT_TRUE(HasLine(output, " -> Long Name : AMD Sempron(tm) Processor 3100+"));
    EXPECT_TRUE(HasLine(output, " -> L1 Data Cache, 64 KB, 2 ways, 1 lines per tag, 64 byte lines"));
    EXPECT_NE(output.find("\r\n -> Unified L2 Cache, 256 KB, "), std::string::npos);
    EXPECT_NE(output.find("\r\n -> Physical Address Size : 40-bits [approx. "), std::string::npos);
    EXPECT_NE(output.find("\r\n -> Linear   Address Size : 48-bits [approx. "), std::string::npos);
    EXPECT_EQ(output.find(" -> Speed     : "), std::string::npos);
}

TEST(ReplayE2e, TransmetaWithAllEightLeavesFromReport) {
    int status = -1;
    std::string output = RunReplay(ReportDump(CrusoeTm5600()), {"-v"}, KeysInput("TtS"), &status);
    EXPECT_EQ(status, 0);
    for (const char* line : {
             " -> Retrieving VendorID...[done]  ==>  GenuineTMx86",
             " -> Max. Transmeta Level : 80860007",
             " -> Retrieving Transmeta Level CPUID...[done]  ==>  01040002",
             " -> Retrieving Transmeta Software Version...[done]  ==>  04020105-00000051",
             " -> Retrieving Current CPU Status...[done]  ==>  00000258-00000546-0000005A-00000000",
             "  [S] Transmeta Current Status",
             " -> Vendor          : TransmetaCPU",
             " -> Hardware Rev.   : 01.04-00.02",
             " -> Software Rev.   : 04.02.01-05-00000051",
             " -> Additional Inf. : 20010920 12:00 official release 4.2.1#5",
             " -> Clock Frequency : 665 MHz",
             " -> Current Freq.   : 600 MHz",
             " -> Current Voltage : 1350 mV",
             " -> Performance     : 90 percent",
         }) {
        EXPECT_NE(output.find(std::string(line) + "\r\n"), std::string::npos) << line;
    }
}

// Capture from a dump, replay that capture, capture again: the same bytes.
std::string CaptureOf(const std::string& dumpPath, const std::string& dir, const std::string& name) {
    BinaryRun run = RunBinary({"-r", dumpPath, "-c"}, name + "\n", dir);
    EXPECT_EQ(run.status, 0) << run.output;
    return ReadWholeFile(dir + "/" + name + ".txt");
}

TEST(ReplayE2e, CaptureReplayCaptureGivesTheSameBytes) {
    std::string dir = MakeTempDir("round_trip");
    for (const auto& [name, text] : {std::pair<const char*, std::string>{"mmx", CaptureDump(kPentiumMmx)},
                                     {"sempron", CpuidToolDump(Sempron64())},
                                     {"crusoe", ReportDump(CrusoeTm5600())}}) {
        SCOPED_TRACE(name);
        std::string first = CaptureOf(WriteTempFile(std::string(name) + ".dump", text), dir, "first");
        ASSERT_NE(first.find(" -> EAX : 00000001\r\n"), std::string::npos);
        EXPECT_EQ(CaptureOf(dir + "/first.txt", dir, "second"), first);
    }
}

TEST(ReplayE2e, CrusoeCaptureKeepsEveryRegister) {
    std::string dir = MakeTempDir("every_register");
    std::string capture = CaptureOf(WriteTempFile("crusoe.dump", ReportDump(CrusoeTm5600())), dir, "crusoe");
    CpuidTable table = ParseDumpText(capture);
    for (const Regs& r : CrusoeTm5600()) {
        SCOPED_TRACE(DwordToHex(r.leaf));
        ASSERT_EQ(table.count(r.leaf), 1u);
        EXPECT_EQ(table[r.leaf].eax, r.eax);
        EXPECT_EQ(table[r.leaf].ebx, r.ebx);
        EXPECT_EQ(table[r.leaf].ecx, r.ecx);
        EXPECT_EQ(table[r.leaf].edx, r.edx);
    }
}

// The probe's lines from vendor to clock, which must not differ between the
// processor itself and a replay of its capture.
std::string ProbeLines(const std::string& output) {
    size_t from = output.find(" -> Retrieving VendorID");
    size_t to = output.find(" -> Calculating processor speed...");
    return from == std::string::npos || to == std::string::npos ? std::string()
                                                                : output.substr(from, to - from);
}

TEST(ReplayE2e, ThisMachinesOwnCaptureReplaysAsTheMachine) {
    std::string dir = MakeTempDir("own");
    BinaryRun live = RunBinary({"-v"}, "Q\n", dir);
    if (live.output.find("does not support CPUID") != std::string::npos) {
        GTEST_SKIP() << "this machine has no CPUID instruction";
    }
    RunBinary({"-c"}, "own\n", dir);
    std::string own = ReadWholeFile(dir + "/own.txt");
    ASSERT_FALSE(own.empty());
    BinaryRun replay = RunBinary({"-r", dir + "/own.txt", "-v"}, "Q\n", dir);
    EXPECT_EQ(replay.status, 0);
    ASSERT_FALSE(ProbeLines(live.output).empty());
    EXPECT_EQ(ProbeLines(replay.output), ProbeLines(live.output));
    EXPECT_TRUE(HasLine(replay.output, " -> Calculating processor speed...[skipped]"));
    EXPECT_EQ(CaptureOf(dir + "/own.txt", dir, "again"), own);
}

std::vector<std::filesystem::path> RealDumpFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(VELDRIX_DUMPS_DIR, error)) {
        if (entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    return files;
}

// The brand string of a dump as the identity screen shows it: up to its first NUL.
std::string BrandOf(const CpuidTable& table) {
    std::string brand;
    for (uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
        auto found = table.find(leaf);
        CpuidRegs regs = found == table.end() ? CpuidRegs{0, 0, 0, 0} : found->second;
        for (uint32_t reg : {regs.eax, regs.ebx, regs.ecx, regs.edx}) {
            for (int shift = 0; shift < 32; shift += 8) {
                brand += static_cast<char>((reg >> shift) & 0xFF);
            }
        }
    }
    return brand.substr(0, brand.find('\0'));
}

// The Model line key I shows for each shared dump, by the dump's first 19
// characters (vendor and signature): the data file must name every one.
const std::map<std::string, std::string> kModelLines = {
    {"AuthenticAMD0000580", "8 [AMD K6-2 (Chomper)]"},
    {"AuthenticAMD0000662", "6 [AMD Athlon 4 / XP / MP, Duron (Palomino)]"},
    {"AuthenticAMD0020FB1", "B [AMD Athlon 64 X2 (Manchester)]"},
    {"AuthenticAMD0A00F11", "1 [AMD EPYC 7003 (Milan), Zen 3]"},
    {"AuthenticAMD0A60F12", "1 [AMD Ryzen 7000/7045HX, EPYC 4004 (Raphael), Zen 4]"},
    {"CentaurHauls0000541", "4 [IDT WinChip C6]"},
    {"CentaurHauls0000673", "7 [VIA C3 (Samuel 2, C5B), 150 nm]"},
    {"CyrixInstead0000520", "2 [Cyrix 6x86 (M1)]"},
    {"GenuineIntel0000517", "1 [Intel Pentium 60/66 (P5)]"},
    {"GenuineIntel0000633", "3 [Intel Pentium II (Klamath)]"},
    {"GenuineIntel0000683", "8 [Intel Pentium III / Celeron (Coppermine), 180 nm]"},
    {"GenuineIntel00006F6", "F [Intel Core 2 / Xeon (Merom, Conroe, Woodcrest), 65 nm]"},
    {"GenuineIntel0000F24", "2 [Intel Pentium 4/Celeron (Northwood), Xeon (Prestonia)]"},
    {"GenuineIntel0090672", "7 [Intel Core 12th gen (Alder Lake-S/HX)]"},
    {"GenuineTMx860000543", "4 [Transmeta Crusoe TM5x00 (TM5400 to TM5800)]"},
    {"HygonGenuine0900F02", "0 [Hygon C86 (Dhyana), first generation]"},
    {"RiseRiseRise0000504", "0 [Rise mP6 (iDragon), 250 nm]"},
};

// Every section key, the report, both benchmarks (a thousand runs and one run:
// they measure this machine, not the dump), About and help.
const char kDumpKeys[] = "IFCif12PHTtSRDWA?";

TEST(ReplayE2e, EveryRealDumpThroughEveryMenuKey) {
    std::vector<std::filesystem::path> files = RealDumpFiles();
    ASSERT_FALSE(files.empty()) << "real dumps not found at " << VELDRIX_DUMPS_DIR;
    for (const auto& file : files) {
        std::string name = file.filename().string();
        SCOPED_TRACE(name);
        std::string dir = MakeTempDir(name.substr(0, 19));
        BinaryRun run = RunBinary({"-r", file.string(), "-v"}, KeysInput(kDumpKeys), dir);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(HasLine(run.output, "~ Replaying CPUID dump " + file.string()));
        EXPECT_TRUE(HasLine(run.output, " -> Retrieving VendorID...[done]  ==>  " + name.substr(0, 12)));
        EXPECT_TRUE(
            HasLine(run.output, " -> Retrieving Standard Level CPUID...[done]  ==>  0" + name.substr(12, 7)));
        EXPECT_EQ(CountOf(run.output, kPrompt), sizeof kDumpKeys) << "menu drawn once more per key";
        ASSERT_GE(run.output.size(), sizeof kQuitLines - 1);
        EXPECT_EQ(run.output.substr(run.output.size() - (sizeof kQuitLines - 1)), kQuitLines);
        EXPECT_FALSE(ReadWholeFile(dir + "/report.html").empty());
        auto model = kModelLines.find(name.substr(0, 19));
        if (model != kModelLines.end()) {
            EXPECT_TRUE(HasLine(run.output, " -> Model     : " + model->second));
        } else {
            // A dump added later: its model must still be named.
            EXPECT_EQ(run.output.find(" -> Model     : " + name.substr(17, 1) + " []"), std::string::npos);
        }
        CpuidTable table;
        ASSERT_TRUE(LoadCpuidDump(file.string(), table));
        if (table[0x80000000].eax >= 0x80000004) {
            EXPECT_TRUE(HasLine(run.output, " -> Long Name : " + BrandOf(table)));
        }
    }
}

TEST(ReplayE2e, EveryRealDumpCapturesTheSameBytesTwice) {
    std::vector<std::filesystem::path> files = RealDumpFiles();
    ASSERT_FALSE(files.empty()) << "real dumps not found at " << VELDRIX_DUMPS_DIR;
    std::string dir = MakeTempDir("real_round_trip");
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::string first = CaptureOf(file.string(), dir, "first");
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(CaptureOf(dir + "/first.txt", dir, "second"), first);
    }
}

TEST(ReplayE2e, BenchmarkKeysRunInReplay) {
    int status = -1;
    std::string output = RunReplay(ReportDump(kPentiumMmx), {}, KeysInput("DW"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CountOf(output, kPrompt), 3u) << output;
    EXPECT_NE(output.find("\r\nDhrystone Benchmark, based on Version 2.1 - Pascal Language\r\n"),
              std::string::npos);
    EXPECT_NE(output.find("\r\nWhetstone Benchmark - Pascal Language\r\n"), std::string::npos);
}

} // namespace
