// The real binary facing hostile surroundings: data files that are devices,
// pipes or folders, a capture named like the dump being replayed, and a dump
// whose texts carry terminal control sequences.
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const char kCrusoeDump[] = VELDRIX_SOURCE_DIR "/tests/data/dumps/GenuineTMx860000543_Crusoe_CPUID.txt";
const char kRawError[] = "*** Error generating RAW file ***";

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
        EXPECT_EQ(run.status, 0) << typed;
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

const char kScreenKeys[] = "I\n\ni\n\nT\nQ\n";

TEST(HostileEndToEnd, ControlBytesFromADumpNeverReachATerminal) {
    if (std::system("script -V > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no script command to give the program a terminal";
    }
    std::string dir = MakeTempDir("terminal");
    std::ofstream(dir + "/hostile.txt", std::ios::binary) << HostileDump();
    std::ofstream(dir + "/keys.txt", std::ios::binary) << kScreenKeys;
    std::string program = std::string(VELDRIX_BINARY) + " -r hostile.txt -v";
    std::string shown =
        PipedOutput("cd " + dir + " && timeout 30 script -qec '" + program + "' /dev/null < keys.txt");
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x07'), std::string::npos) << shown;
    EXPECT_NE(shown.find("==>  Gen?ineTMx86"), std::string::npos) << "verbose vendor line\n" << shown;
    EXPECT_NE(shown.find(" -> Vendor    : Gen?ineTMx86"), std::string::npos) << shown;
    EXPECT_EQ(CountOf(shown, " -> Long Name : ?]0;pwned??[2J!!usoe(tm) Processor TM5800"), 2u) << shown;
    EXPECT_NE(shown.find(" -> Vendor          : ?ransmetaCPU"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" -> Additional Inf. : ?]0;pwned??[2J!!fficial release"), std::string::npos)
        << shown;

    // Into a pipe the same texts keep their bytes.
    std::string piped = PipedOutput("cd " + dir + " && timeout 30 " + program + " < keys.txt");
    EXPECT_NE(piped.find(" -> Vendor    : Gen\x1bineTMx86\r\n"), std::string::npos) << piped;
    EXPECT_NE(piped.find(" -> Long Name : \x1b]0;pwned\x07\x1b[2J!!usoe(tm) Processor TM5800\r\n"),
              std::string::npos);
    EXPECT_NE(piped.find(" -> Vendor          : \x1bransmetaCPU\r\n"), std::string::npos);
}

} // namespace
