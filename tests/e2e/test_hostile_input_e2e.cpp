// The real binary facing hostile surroundings: data files that are devices,
// pipes or folders, a capture named like the dump being replayed or the
// program's own files, a full disk and a file-size limit, two runs writing
// the same report, and a dump whose texts carry terminal control sequences.
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const char kDumps[] = VELDRIX_SOURCE_DIR "/tests/data/dumps";
const char kCrusoeDump[] = VELDRIX_SOURCE_DIR "/tests/data/dumps/GenuineTMx860000543_Crusoe_CPUID.txt";
const char kRaptorDump[] = VELDRIX_SOURCE_DIR "/tests/data/dumps/GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
const char kRawError[] = "*** Error generating RAW file ***";

// The replay of dump, as a capture (-c) or as the menu.
std::vector<std::string> ReplayArgs(const std::string& dump, bool capture) {
    return capture ? std::vector<std::string>{"-r", dump, "-c"} : std::vector<std::string>{"-r", dump};
}

// Runs the program with args in dir through the shell, after setup (such as
// a file-size limit), its standard output sent to output.
BinaryRun RunInShell(const std::string& setup, const std::vector<std::string>& args, const std::string& input,
                     const std::string& output, const std::string& dir) {
    std::string command = setup + " exec " + ProgramCommandLine(args);
    return RunBinary({"-c", output.empty() ? command : command + " > " + output}, input, dir, "/bin/sh");
}

// A copy of the program alone in a fresh folder, so its data file can be replaced.
std::string LoneProgram(const std::string& dir) {
    std::string copy = dir + "/veldrix";
    fs::copy_file(VELDRIX_BINARY, copy);
    fs::permissions(copy, fs::perms::owner_all);
    return copy;
}

struct DataFileCase {
    const char* rule;
    void (*place)(const std::string& dataFile);
};

const DataFileCase kDataFileCases[] = {
    {"missing", [](const std::string&) {}},
    {"link to an endless device", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
    {"pipe without a writer", [](const std::string& path) { EXPECT_EQ(mkfifo(path.c_str(), 0600), 0); }},
    {"folder", [](const std::string& path) { fs::create_directory(path); }},
    {"file over 4 MiB",
     [](const std::string& path) {
         std::ofstream(path, std::ios::binary)
             << "[DATInfo]\r\nVersion=huge\r\n;" << std::string(4 << 20, 'x');
     }},
    {"file without a section",
     [](const std::string& path) {
         std::ofstream(path, std::ios::binary) << "Version=1.0\r\nnames are kept elsewhere\r\n";
     }},
};

// Every data file that cannot be read gives the same screens as a missing
// one, at once, and one note on standard error even though About reads the
// file again.
TEST(HostileEndToEnd, UnreadableDataFilesAreMissingOnes) {
    std::string expectedOutput;
    for (const DataFileCase& row : kDataFileCases) {
        std::string dir = fs::canonical(MakeTempDir("datafile")).string();
        std::string program = LoneProgram(dir);
        row.place(dir + "/veldrix.dat");
        BinaryRun run = RunBinary({}, "A\n\nQ\n", dir, program, 10);
        EXPECT_EQ(run.status, 0) << row.rule;
        EXPECT_EQ(CountOf(run.output, "\r\n~ Database Version UNKNOWN\r\n"), 2u) << row.rule;
        EXPECT_EQ(run.errors, "veldrix: cannot open data file " + dir +
                                  "/veldrix.dat; processor and feature names will be empty\n")
            << row.rule;
        if (expectedOutput.empty()) {
            expectedOutput = run.output;
        }
        EXPECT_EQ(run.output, expectedOutput) << row.rule << ": standard output as without a data file";
    }
}

// Commands meeting a dump too large for the memory they may take, one file under three names, or a
// dump beyond the 64 MiB a dump is read to, in a folder holding raptor.txt, a link to it and big.txt
// (the Raptor Lake dump followed by 64 MiB of zero bytes).
struct HostileCommand {
    bool smallMemory; // run under ulimit -v 65536
    const char* args;
    int status;
    const char* errorLine;  // a whole line of standard error
    const char* outputText; // a text standard output holds
};

const HostileCommand kHostileCommands[] = {
    {true, "-r big.txt --json", 2, "veldrix: not enough memory to finish --json", ""},
    {true, "-r big.txt", 2, "veldrix: not enough memory to read big.txt", "Cannot read CPUID dump big.txt"},
    {true, "--baseline raptor.txt big.txt", 0, "veldrix: skipped: not enough memory to read big.txt",
     "1 read, 1 skipped"},
    {false, "--baseline raptor.txt ./raptor.txt link.txt", 0,
     "veldrix: link.txt is the same file as raptor.txt; counted once", "1 read, 0 skipped"},
    {false, "--baseline big.txt", 0,
     "veldrix: big.txt is larger than 64 MiB; only its first 64 MiB were read", "1 read, 0 skipped"},
};

TEST(HostileEndToEnd, CommandsSayWhatTheyCouldNotRead) {
    std::string dir = MakeTempDir("commands");
    CopyAsOwnFile(VELDRIX_SOURCE_DIR "/tests/data/dumps/GenuineIntel00B0671_RaptorLake_01_CPUID.txt",
                  dir + "/raptor.txt");
    fs::create_symlink("raptor.txt", dir + "/link.txt");
    CopyAsOwnFile(dir + "/raptor.txt", dir + "/big.txt");
    fs::resize_file(dir + "/big.txt", fs::file_size(dir + "/big.txt") + (64u << 20));
    for (const HostileCommand& row : kHostileCommands) {
#ifdef __SANITIZE_ADDRESS__
        if (row.smallMemory) {
            continue; // a sanitizer's shadow memory alone is beyond the limit
        }
#endif
        std::string script =
            std::string(row.smallMemory ? "ulimit -v 65536 && " : "") + "exec \"$0\" " + row.args;
        BinaryRun run = RunBinary({"-c", script, VELDRIX_BINARY}, "Q\n", dir, "/bin/sh");
        EXPECT_EQ(run.status, row.status) << script << "\n" << run.errors;
        EXPECT_NE(("\n" + run.errors).find("\n" + std::string(row.errorLine) + "\n"), std::string::npos)
            << script << "\n"
            << run.errors;
        EXPECT_NE(run.output.find(row.outputText), std::string::npos) << script << "\n" << run.output;
    }
}

// Names that would put a capture over the dump being replayed.
const char* const kNamesOfTheDump[] = {"cap", "cap.txt", "./cap", "sub/../cap", "link"};

TEST(HostileEndToEnd, ACaptureNeverReplacesTheReplayedDump) {
    std::string original = ReadWholeFile(kCrusoeDump);
    ASSERT_FALSE(original.empty());
    for (const char* typed : kNamesOfTheDump) {
        std::string dir = MakeTempDir("dump");
        fs::create_directory(dir + "/sub");
        CopyAsOwnFile(kCrusoeDump, dir + "/cap.txt");
        fs::create_symlink("cap.txt", dir + "/link.txt");
        BinaryRun run = RunBinary({"-r", "cap.txt", "-c"}, std::string(typed) + "\n", dir);
        EXPECT_EQ(run.status, 1) << typed;
        EXPECT_NE(run.output.find(std::string("(*.txt) : ") + kRawError + "\r\n"), std::string::npos)
            << typed << "\n"
            << run.output;
        EXPECT_EQ(ReadWholeFile(dir + "/cap.txt"), original) << typed;
    }
    // Any other name is written as before.
    std::string dir = MakeTempDir("other");
    CopyAsOwnFile(kCrusoeDump, dir + "/cap.txt");
    BinaryRun run = RunBinary({"-r", "cap.txt", "-c"}, "copy\n", dir);
    EXPECT_EQ(run.output.find(kRawError), std::string::npos) << run.output;
    EXPECT_NE(ReadWholeFile(dir + "/copy.txt").find(" >> End Of File"), std::string::npos);
}

// Links a report or a capture could reach the program's own files through,
// in a folder holding a copy of the program, its data file and a dump.
// A capture (-c) ends with status 1, a report goes back to the menu.
struct OwnFileCase {
    const char* rule;
    const char* link;
    const char* target;
    bool capture;
    const char* typed;
    const char* reason; // said on standard error for a report
};

const OwnFileCase kOwnFileCases[] = {
    {"report, data file", "d.html", "veldrix.dat", false, "R\nd\nQ\n", "it is the program's data file"},
    {"capture, data file", "data.txt", "veldrix.dat", true, "data\n", ""},
    {"capture, program", "prog.txt", "veldrix", true, "prog\n", ""},
};

TEST(HostileEndToEnd, NoReportOrCaptureReplacesTheProgramsOwnFiles) {
    for (const OwnFileCase& row : kOwnFileCases) {
        std::string dir = MakeTempDir("own");
        std::string program = LoneProgram(dir);
        CopyAsOwnFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat", dir + "/veldrix.dat");
        CopyAsOwnFile(kCrusoeDump, dir + "/d.txt");
        std::string original = ReadWholeFile(dir + "/" + row.target);
        fs::create_symlink(row.target, dir + "/" + row.link);
        BinaryRun run = RunBinary(ReplayArgs("d.txt", row.capture), row.typed, dir, program);
        EXPECT_EQ(run.status, row.capture ? 1 : 0) << row.rule;
        std::string refusal = "veldrix: cannot create report " + std::string(row.link) + ": " + row.reason;
        // wine hands the Windows program's error line on with LF or CR LF
        bool refused = run.errors == refusal + ProgramLineEnd() || run.errors == refusal + "\n";
        EXPECT_TRUE(*row.reason ? refused : run.errors.empty()) << row.rule << ": " << run.errors;
        EXPECT_EQ(ReadWholeFile(dir + "/" + row.target), original) << row.rule;
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir + "/" + row.link))) << row.rule;
    }
}

// Standard output that cannot take what is written: every output ends with
// one line on standard error and status 74, never as if it had succeeded.
struct UnwritableOutputCase {
    const char* rule;
    std::vector<std::string> args;
    const char* typed;
    const char* setup;
    const char* output;
    int error;
};

const UnwritableOutputCase kUnwritableOutputCases[] = {
    {"--dump", {"-r", kRaptorDump, "--dump"}, "", "", "/dev/full", ENOSPC},
    {"--snapshot", {"-r", kRaptorDump, "--snapshot"}, "", "", "/dev/full", ENOSPC},
    {"--json", {"-r", kRaptorDump, "--json"}, "", "", "/dev/full", ENOSPC},
    {"--list", {"-r", kRaptorDump, "--list"}, "", "", "/dev/full", ENOSPC},
    {"--check", {"-r", kRaptorDump, "--check", "v3"}, "", "", "/dev/full", ENOSPC},
    {"--diff", {"--diff", kRaptorDump, kCrusoeDump}, "", "", "/dev/full", ENOSPC},
    {"--baseline", {"--baseline", kDumps}, "", "", "/dev/full", ENOSPC},
    {"--can-run", {"-r", kRaptorDump, "--can-run", VELDRIX_BINARY}, "", "", "/dev/full", ENOSPC},
    {"--version", {"--version"}, "", "", "/dev/full", ENOSPC},
    {"--help", {"--help"}, "", "", "/dev/full", ENOSPC},
    {"the menu", {"-r", kRaptorDump}, "Q\n", "", "/dev/full", ENOSPC},
    {"the capture's prompt", {"-r", kRaptorDump, "-c"}, "cap\n", "", "/dev/full", ENOSPC},
    {"--dump, 4 KiB size limit", {"-r", kRaptorDump, "--dump"}, "", "ulimit -f 8;", "t.cpuid", EFBIG},
};

TEST(HostileEndToEnd, AnUnwritableStandardOutputFailsTheRun) {
    if (!fs::exists("/dev/full") || ProgramIsWindows()) {
        GTEST_SKIP() << "a full device and size limits are POSIX matters";
    }
    for (const UnwritableOutputCase& row : kUnwritableOutputCases) {
        BinaryRun run = RunInShell(row.setup, row.args, row.typed, row.output, MakeTempDir("unwritable"));
        EXPECT_EQ(run.status, 74) << row.rule;
        EXPECT_EQ(run.errors, "veldrix: cannot write standard output: " +
                                  std::string(std::strerror(row.error)) + ProgramLineEnd())
            << row.rule;
    }
}

// Under a 3 KiB file-size limit a report or a capture cannot be written
// whole: the program says so and goes on, and the earlier file of that name
// stays as it was, with no temporary file beside it.
struct SizeLimitCase {
    const char* rule;
    bool capture;
    const char* typed;
    const char* name;
    const char* line;
};

const SizeLimitCase kSizeLimitCases[] = {
    {"report", false, "R\nr\nQ\n", "r.html", "*** Error writing HTML report r.html: File too large ***\r\n"},
    {"capture", true, "cap\n", "cap.txt", "*** Error generating RAW file ***\r\n"},
};

TEST(HostileEndToEnd, ASizeLimitKeepsTheEarlierFile) {
    if (ProgramIsWindows()) {
        GTEST_SKIP() << "file-size limits are a POSIX matter";
    }
    for (const SizeLimitCase& row : kSizeLimitCases) {
        std::string dir = MakeTempDir("limit");
        std::ofstream(dir + "/" + row.name, std::ios::binary) << "the earlier file\r\n";
        BinaryRun run = RunInShell("ulimit -f 6;", ReplayArgs(kRaptorDump, row.capture), row.typed, "", dir);
        EXPECT_EQ(run.status, row.capture ? 1 : 0) << row.rule;
        EXPECT_NE(run.output.find(row.line), std::string::npos) << row.rule << "\n" << run.output;
        EXPECT_EQ(ReadWholeFile(dir + "/" + row.name), "the earlier file\r\n") << row.rule;
        auto entries = fs::directory_iterator(dir);
        EXPECT_EQ(std::distance(begin(entries), end(entries)), 1) << row.rule;
    }
}

// Two runs replaying different dumps write a report under the same name, a
// link, at the same moment: the file the link points at is always one whole
// report, and the link stays.
TEST(HostileEndToEnd, TwoRunsWritingOneReportLeaveOneWholeReport) {
    if (ProgramIsWindows()) {
        GTEST_SKIP() << "links made here are no links to a Windows program";
    }
    std::string dir = MakeTempDir("race");
    std::ofstream(dir + "/keys.txt", std::ios::binary) << "R\npage\nQ\n";
    std::string whole[2];
    const char* dumps[2] = {kRaptorDump, kCrusoeDump};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(RunBinary({"-r", dumps[i]}, "R\npage\nQ\n", dir).status, 0);
        whole[i] = ReadWholeFile(dir + "/page.html");
    }
    fs::rename(dir + "/page.html", dir + "/real.html");
    fs::create_symlink("real.html", dir + "/page.html");
    std::string both = ProgramCommandLine({"-r", dumps[0]}) + " < keys.txt > /dev/null & " +
                       ProgramCommandLine({"-r", dumps[1]}) + " < keys.txt > /dev/null; wait";
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
        EXPECT_EQ(RunBinary({"-c", both}, "", dir, "/bin/sh").status, 0);
        std::string page = ReadWholeFile(dir + "/real.html");
        EXPECT_TRUE(page == whole[0] || page == whole[1])
            << "round " << round << ": a mixed page of " << page.size() << " bytes";
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir + "/page.html"))) << "round " << round;
    }
}

// A report can reach the dump only through a name ending in .html: a link.
// It is refused like a name that cannot be created, and the menu goes on.
TEST(HostileEndToEnd, AReportNeverReplacesTheReplayedDump) {
    std::string original = ReadWholeFile(kCrusoeDump);
    std::string dir = MakeTempDir("report");
    CopyAsOwnFile(kCrusoeDump, dir + "/cap.txt");
    fs::create_symlink("cap.txt", dir + "/page.html");
    BinaryRun run = RunBinary({"-r", "cap.txt"}, "R\npage\nA\n\nQ\n", dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadWholeFile(dir + "/cap.txt"), original);
    EXPECT_NE(run.output.find("About : "), std::string::npos) << run.output;
}

// The Crusoe dump with control sequences in its vendor identification, its
// brand string and its Transmeta information text: a window title
// (ESC ] 0 ; ... BEL) and a screen clear (ESC [ 2 J), 16 bytes in one leaf.
std::string HostileDump() {
    const std::pair<const char*, const char*> edits[] = {
        {"CPUID 00000000: 00000003-756E6547", "CPUID 00000000: 00000003-1B6E6547"},
        {"CPUID 80000002: 6E617254-74656D73-6D742861-72432029",
         "CPUID 80000002: 3B305D1B-656E7770-5B1B0764-21214A32"},
        {"CPUID 80860000: 80860007-6E617254", "CPUID 80860000: 80860007-6E61721B"},
        {"CPUID 80860003: 33303032-38313630-3A353120-6F203732",
         "CPUID 80860003: 3B305D1B-656E7770-5B1B0764-21214A32"},
    };
    std::string dump = ReadWholeFile(kCrusoeDump);
    for (const auto& [from, to] : edits) {
        size_t at = dump.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) {
            dump.replace(at, std::string(from).size(), to);
        }
    }
    return dump;
}

// Everything a shell command writes to its standard output, read through a pipe.
std::string PipedOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, got);
        }
        pclose(pipe);
    }
    return output;
}

// Texts from outside on each line that shows them: '?' for every control on
// a terminal, every byte kept through a pipe. Each command runs with the data
// file's Version and pclmulqdq name begun by ESC [2J U+009B, the Raptor Lake
// brand by U+009B 2J, and HostileDump() named d ESC [2J.txt.
struct TerminalCase {
    const char* rule;
    const char* command; // sh in the folder, standard error joined to standard output
    const char* shown;
    const char* piped;
};

const TerminalCase kTerminalCases[] = {
    {"unreadable dump", "./veldrix -r 'no\x1b[2J.txt'", "dump no?[2J.txt ***", "dump no\x1b[2J.txt ***"},
    {"replay line", "./veldrix -r d*.txt", "~ Replaying CPUID dump d?[2J.txt", "dump d\x1b[2J.txt\r"},
    {"banner", "./veldrix -r d*.txt", "~ Database Version v?[2J?", "Version v\x1b[2J\xc2\x9b"},
    {"--version", "./veldrix --version", "(database v?[2J?", "(database v\x1b[2J\xc2\x9b"},
    {"--diff", "./veldrix --diff raptor.txt d*.txt", "pclmul?[2J?qdq", "pclmul\x1b[2J\xc2\x9bqdq"},
    {"--baseline", "./veldrix --baseline raptor.txt d*.txt", "pclmul?[2J?qdq", "pclmul\x1b[2J\xc2\x9bqdq"},
    {"verbose vendor", "./veldrix -r d*.txt -v", "==>  Gen?ineTMx86", "==>  Gen\x1bineTMx86"},
    {"vendor", "printf 'I\\n\\nT\\n' | ./veldrix -r d*.txt", " -> Vendor    : Gen?ineTMx86",
     " -> Vendor    : Gen\x1bineTMx86\r"},
    {"brand", "printf 'I\\n\\nT\\n' | ./veldrix -r d*.txt",
     " -> Long Name : ?]0;pwned??[2J!!usoe(tm) Processor", "Name : \x1b]0;pwned\x07\x1b[2J!!usoe"},
    {"Transmeta vendor", "printf 'I\\n\\nT\\n' | ./veldrix -r d*.txt", " -> Vendor          : ?ransmetaCPU",
     " -> Vendor          : \x1bransmetaCPU\r"},
    {"Transmeta information", "printf 'I\\n\\nT\\n' | ./veldrix -r d*.txt",
     " -> Additional Inf. : ?]0;pwned??[2J!!fficial", "Inf. : \x1b]0;pwned\x07\x1b[2J!!fficial"},
    {"brand in UTF-8", "printf 'I\\n\\nQ\\n' | ./veldrix -r raptor.txt", "Long Name : ?2J Gen",
     "Name : \xc2\x9b"},
    {"standard error", "./veldrix -r 'no\xc2\x9b.txt' --list", "no?.txt", "no\xc2\x9b.txt"},
};

TEST(HostileEndToEnd, TextsFromOutsideReachATerminalWithoutControls) {
    if (std::system("script -V > /dev/null 2>&1") != 0 || ProgramIsWindows()) {
        GTEST_SKIP() << "no script command to give the program a terminal";
    }
    auto edit = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    std::string dir = MakeTempDir("texts");
    LoneProgram(dir);
    std::string data = edit(ReadWholeFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat"), "=pclmulqdq\r",
                            "=pclmul\x1b[2J\xc2\x9bqdq\r");
    std::ofstream(dir + "/veldrix.dat", std::ios::binary)
        << edit(data, "Version=", "Version=v\x1b[2J\xc2\x9b");
    std::ofstream(dir + "/raptor.txt", std::ios::binary)
        << edit(ReadWholeFile(kRaptorDump), ": 68743331", ": 4A329BC2");
    std::ofstream(dir + "/d\x1b[2J.txt", std::ios::binary) << HostileDump();
    for (const TerminalCase& row : kTerminalCases) {
        std::ofstream(dir + "/run.sh", std::ios::binary) << "exec 2>&1 < /dev/null\n" << row.command << "\n";
        std::string shown = PipedOutput("cd " + dir + " && timeout 30 script -qec 'sh run.sh' /dev/null");
        EXPECT_NE(shown.find(row.shown), std::string::npos) << row.rule << "\n" << shown;
        EXPECT_EQ(shown.find_first_of("\x1b\x07\x9b"), std::string::npos) << row.rule;
        std::string piped = PipedOutput("cd " + dir + " && timeout 30 sh run.sh");
        EXPECT_NE(piped.find(row.piped), std::string::npos) << row.rule << "\n" << piped;
    }
}

} // namespace
