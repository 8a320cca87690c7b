// --diff and --baseline through the command line: exit statuses, what goes
// to which stream, and the JSON documents.
#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "names/processor_db.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"
#include "support/elf_support.hpp"
#include "support/json_check.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifdef __linux__
#include <unistd.h>
#endif

namespace {

using Outcome = CommandOutcome;

std::string Dump(const char* name) {
    return TestDumpPath(name);
}

// True when the text is strict JSON to our own checker and, where the tests
// can start programs, to python's json module as well. The Windows test
// binary has no shell or Python to start, so there our checker alone reads it.
bool ParsesAsJson(const std::string& json) {
#ifdef _WIN32
    return IsWellFormedJson(json);
#else
    std::string path = MakeTempDir("json") + "/doc.json";
    std::ofstream(path) << json;
    std::string command = "python3 -c 'import json,sys; json.load(open(sys.argv[1]))' " + path;
    return IsWellFormedJson(json) && std::system(command.c_str()) == 0;
#endif
}

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
const char kSkylakeX[] = "GenuineIntel0050654_SkylakeX_CPUID.txt";
const char kConroe[] = "GenuineIntel00006F6_Conroe_CPUID.txt";

struct DiffCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* verdict; // last line of standard output; "" when nothing is written
};

const DiffCase kDiffs[] = {
    {"Conroe runs on Skylake-X",
     {"--diff", Dump(kConroe), Dump(kSkylakeX)},
     0,
     "B runs everything A runs: yes"},
    {"Skylake-X lacks Raptor Lake's SHA",
     {"--diff", Dump(kRaptor), Dump(kSkylakeX)},
     1,
     "B runs everything A runs: no (B lacks: smx"},
    {"Raptor Lake lacks AVX-512 and v4",
     {"--diff", Dump(kSkylakeX), Dump(kRaptor)},
     1,
     "B runs everything A runs: no (B lacks: dca hle rtm cqm mpx rdt_a avx512f avx512dq avx512cd avx512bw "
     "avx512vl x86-64-v4)"},
    {"a dump against itself", {"--diff", Dump(kRaptor), Dump(kRaptor)}, 0, "B runs everything A runs: yes"},
    {"A cannot be read", {"--diff", "/no/such/dump", Dump(kRaptor)}, 2, ""},
    {"B cannot be read", {"--diff", Dump(kRaptor), VELDRIX_SOURCE_DIR "/CMakeLists.txt"}, 2, ""},
    {"one processor only", {"--diff", Dump(kRaptor)}, 64, ""},
    {"three processors", {"--diff", Dump(kRaptor), Dump(kRaptor), Dump(kRaptor)}, 64, ""},
    {"after -r", {"-r", Dump(kRaptor), "--diff", Dump(kRaptor), Dump(kRaptor)}, 64, ""},
};

TEST(FleetCommands, DiffStatusesAndVerdicts) {
    for (const DiffCase& row : kDiffs) {
        SCOPED_TRACE(row.name);
        Outcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status);
        std::string verdict = row.verdict;
        if (verdict.empty()) {
            EXPECT_EQ(outcome.out, "");
            EXPECT_EQ(outcome.err.rfind("veldrix: ", 0), 0u) << outcome.err;
            continue;
        }
        EXPECT_EQ(outcome.err, "");
        size_t last = outcome.out.rfind("\nB runs everything");
        ASSERT_NE(last, std::string::npos) << outcome.out;
        EXPECT_EQ(outcome.out.substr(last + 1, verdict.size()), verdict);
        EXPECT_TRUE(EveryLineEndsWith(outcome.out, kPlainLineEnd));
    }
}

TEST(FleetCommands, DiffListsEachSideAndTheFeaturesOnlyItHasByWord) {
    Outcome outcome = RunOptions({"--diff", Dump(kRaptor), Dump(kSkylakeX)});
    EXPECT_TRUE(EveryLineEndsWith(outcome.out, kPlainLineEnd));
    const std::string out = WithLfLines(outcome.out, kPlainLineEnd);
    EXPECT_EQ(out.rfind("A: dump " + Dump(kRaptor) + "\n", 0), 0u) << out;
    EXPECT_NE(out.find("\nB: dump " + Dump(kSkylakeX) + "\n"), std::string::npos);
    EXPECT_NE(out.find("  x86-64:     x86-64-v3\n"), std::string::npos);
    EXPECT_NE(out.find("  x86-64:     x86-64-v4\n"), std::string::npos);
    size_t onlyB = out.find("\nOnly B has:\n");
    ASSERT_NE(onlyB, std::string::npos);
    EXPECT_NE(
        out.find("\n  0x00000007.0.ebx: hle rtm cqm mpx rdt_a avx512f avx512dq avx512cd avx512bw avx512vl\n",
                 onlyB),
        std::string::npos);
    EXPECT_LT(out.find("  0x00000007.0.ebx: sha_ni\n"), onlyB);
}

TEST(FleetCommands, DiffJsonHasEveryKeyAndTheSameVerdict) {
    Outcome outcome = RunOptions({"--diff", Dump(kSkylakeX), Dump(kRaptor), "--json"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(ParsesAsJson(outcome.out)) << outcome.out;
    for (const char* key : {"\"schema\": \"veldrix/1\"", "\"program\":", "\"a\": {\"source\":", "\"b\": {",
                            "\"processor\":", "\"x86_64_level\": 4", "\"x86_64_level\": 3",
                            "\"only_in_a\":", "\"only_in_b\":", "\"b_runs_a\": false", "\"unnamed_bits\":"}) {
        EXPECT_NE(outcome.out.find(key), std::string::npos) << key;
    }
    EXPECT_NE(outcome.out.find("\"b_lacks\": [\"dca\", \"hle\", \"rtm\", \"cqm\", \"mpx\", \"rdt_a\", "
                               "\"avx512f\", \"avx512dq\", \"avx512cd\", \"avx512bw\", \"avx512vl\", "
                               "\"x86-64-v4\"]"),
              std::string::npos)
        << outcome.out;
}

} // namespace

namespace {

const char kGoldmont[] = "GenuineIntel00506C9_Goldmont_CPUID.txt";
const char kZen5[] = "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt";

std::string CopyInto(const std::string& folder, const char* dump) {
    CopyAsOwnFile(Dump(dump), folder + "/" + dump);
    return folder + "/" + dump;
}

// A file of a folder as a listing of the folder names it: with the system's
// own separator (a backslash on Windows).
std::string Listed(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// A folder of three dumps, a file that is no dump, a sub-folder holding a
// dump, which is not read, and (where the tests make links) a link to
// nothing and a link loop.
std::string FleetFolder() {
    std::string folder = MakeTempDir("fleet");
    for (const char* dump : {kRaptor, kZen5, kGoldmont}) {
        CopyInto(folder, dump);
    }
    std::ofstream(folder + "/notes.txt") << "not a dump\n";
    std::filesystem::create_directory(folder + "/older");
    CopyInto(folder + "/older", kConroe);
#ifndef _WIN32
    std::filesystem::create_symlink("nowhere.txt", folder + "/gone.txt");
    std::filesystem::create_symlink("loop.txt", folder + "/loop.txt");
#endif
    return folder;
}

TEST(FleetCommands, BaselineOfAFolder) {
    std::string folder = FleetFolder();
    Outcome outcome = RunOptions({"--baseline", folder});
    EXPECT_EQ(outcome.status, 0);
    const std::string skipped[] = {
        Listed(folder, "notes.txt") + " holds no CPUID leaf line",
        Listed(folder, "older") + " is a folder; folders within a folder are not read",
#ifndef _WIN32
        Listed(folder, "gone.txt") + " is a link to nothing",
        Listed(folder, "loop.txt") + " is a link that loops",
#endif
    };
    for (const std::string& reason : skipped) {
        EXPECT_NE(outcome.err.find("veldrix: skipped: " + reason + kPlainLineEnd), std::string::npos)
            << reason;
    }
    EXPECT_EQ(CountOf(outcome.err, kPlainLineEnd), std::size(skipped)) << outcome.err;
    EXPECT_TRUE(EveryLineEndsWith(outcome.out, kPlainLineEnd));
    const std::string out = WithLfLines(outcome.out, kPlainLineEnd);
    const std::string machines =
        "machines:       3 read, " + std::to_string(std::size(skipped)) + " skipped\n";
    EXPECT_EQ(out.rfind(machines + "x86-64 level:   x86-64-v2\ncommon features:\n", 0), 0u) << out;
    EXPECT_NE(out.find("\n  0x00000007.0.ebx: fsgsbase tsc_adjust smep erms rdseed smap clflushopt sha_ni\n"),
              std::string::npos);
    EXPECT_NE(out.find("\n  " + Listed(folder, kGoldmont) + ": lacks fma avx f16c bmi1 avx2 bmi2 "),
              std::string::npos);
    size_t flags = out.find("\ncompiler flags: -march=x86-64-v2 ");
    ASSERT_NE(flags, std::string::npos);
    std::string flagLine = out.substr(flags, out.find('\n', flags + 1) - flags);
    for (const char* flag : {" -maes", " -mpclmul", " -msha", " -mmovbe"}) {
        EXPECT_NE(flagLine.find(flag), std::string::npos) << flag;
    }
    for (const char* flag : {" -msse4.2", " -mavx2", " -mavx512f", " -mvaes"}) {
        EXPECT_EQ(flagLine.find(flag), std::string::npos) << flag;
    }
    EXPECT_EQ(out.find(kConroe), std::string::npos) << "sub-folders are not read";
}

TEST(FleetCommands, BaselineJsonHasEveryKey) {
    std::string folder = FleetFolder();
    Outcome outcome = RunOptions({"--baseline", "--json", folder, Dump(kConroe)});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(ParsesAsJson(outcome.out)) << outcome.out;
    for (const char* key :
         {"\"schema\": \"veldrix/1\"", "\"program\": {", "\"machines\": 4", "\"skipped\": [{\"path\": ",
          "\"x86_64_level\": 1", "\"features\": [\"pni\", ", "\"unnamed_bits\": []",
          "\"held_down_by\": [{\"machine\": ", "\"compiler_flags\": [\"-march=x86-64-v1\", "}) {
        EXPECT_NE(outcome.out.find(key), std::string::npos) << key;
    }
}

#ifdef __linux__
// A dump that can be read only once, as from a shell's <(ssh host veldrix
// --snapshot): it is still named when it holds the fleet down, though the list
// of such machines is made after every dump has been read.
TEST(FleetCommands, BaselineNamesAMachineReadFromAPipe) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string dump = ReadWholeFile(Dump(kGoldmont));
    ASSERT_LT(dump.size(), 65536u) << "must fit the pipe's buffer";
    ASSERT_EQ(write(ends[1], dump.data(), dump.size()), static_cast<ssize_t>(dump.size()));
    close(ends[1]);
    std::string pipePath = "/dev/fd/" + std::to_string(ends[0]);
    Outcome outcome = RunOptions({"--baseline", Dump(kRaptor), pipePath, Dump(kZen5)});
    close(ends[0]);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("machines:       3 read, 0 skipped"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("\n  " + pipePath + ": lacks fma avx "), std::string::npos) << outcome.out;
}
#endif

struct BaselineStatusCase {
    const char* name;
    std::vector<std::string> args;
    int status;
};

const BaselineStatusCase kBaselineStatuses[] = {
    {"one dump", {"--baseline", Dump(kRaptor)}, 0},
    {"some unreadable", {"--baseline", Dump(kRaptor), "/no/such/dump"}, 0},
    {"none readable", {"--baseline", "/no/such/dump", VELDRIX_SOURCE_DIR "/CMakeLists.txt"}, 2},
    {"no path", {"--baseline"}, 64},
    {"only --json", {"--baseline", "--json"}, 64},
    {"after -r", {"-r", Dump(kRaptor), "--baseline", Dump(kRaptor)}, 64},
};

TEST(FleetCommands, BaselineStatuses) {
    for (const BaselineStatusCase& row : kBaselineStatuses) {
        SCOPED_TRACE(row.name);
        Outcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.out.empty(), row.status == 64);
    }
}

} // namespace

namespace {

std::string WriteFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

ElfLayout MarkedWith(uint32_t mask) {
    ElfLayout layout;
    layout.mask = mask;
    return layout;
}

struct CanRunCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* out; // whole standard output
};

TEST(FleetCommands, CanRunStatuses) {
    std::string folder = MakeTempDir("programs");
    std::string v3 = WriteFile(folder, "v3", MakeElf(MarkedWith(0x5)));
    std::string v4 = WriteFile(folder, "v4", MakeElf(MarkedWith(0xF)));
    std::string none = WriteFile(folder, "none", MakeElf(MarkedWith(0)));
    std::string text = WriteFile(folder, "text", "#!/bin/sh\n");
    std::string cut = WriteFile(folder, "cut", MakeElf(MarkedWith(0x5)).substr(0, 100));
    const CanRunCase cases[] = {
        {"Raptor Lake runs v3",
         {"-r", Dump(kRaptor), "--can-run", v3},
         0,
         "needs x86-64-v3; the processor of the dump meets it: yes\n"
         "  archspec target: alderlake\n"
         "  gcc flags:       -march=alderlake -mtune=alderlake (11.0 and later)\n"
         "  clang flags:     -march=alderlake -mtune=alderlake (12.0 and later)\n"},
        {"Raptor Lake lacks v4",
         {"-r", Dump(kRaptor), "--can-run", v4},
         1,
         "needs x86-64-v4; the processor of the dump meets it: no (missing: avx512f avx512dq avx512cd "
         "avx512bw "
         "avx512vl)\n"
         "  archspec target: alderlake\n"
         "  gcc flags:       -march=alderlake -mtune=alderlake (11.0 and later)\n"
         "  clang flags:     -march=alderlake -mtune=alderlake (12.0 and later)\n"},
        {"Goldmont lacks v3",
         {"-r", Dump(kGoldmont), "--can-run", v3},
         1,
         "needs x86-64-v3; the processor of the dump meets it: no (missing: fma avx f16c bmi1 avx2 bmi2 "
         "abm)\n"
         "  archspec target: westmere\n"
         "  gcc flags:       -march=westmere -mtune=westmere (4.9 and later)\n"
         "  clang flags:     -march=westmere -mtune=westmere (3.9 and later)\n"},
        {"no marker",
         {"-r", Dump(kRaptor), "--can-run", none},
         3,
         "no x86-64 level marker (most programs carry none), cannot tell\n"},
        {"not an ELF file", {"--can-run", text}, 2, ""},
        {"cut short", {"--can-run", cut}, 2, ""},
        {"missing file", {"--can-run", "/no/such/program"}, 2, ""},
        {"a folder", {"--can-run", folder}, 2, ""},
#ifndef _WIN32
        {"an endless device", {"--can-run", "/dev/zero"}, 2, ""},
#endif
        {"unreadable dump", {"-r", "/no/such/dump", "--can-run", v3}, 2, ""},
        {"no file", {"--can-run"}, 64, ""},
    };
    for (const CanRunCase& row : cases) {
        SCOPED_TRACE(row.name);
        Outcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status);
        std::string expected = row.out;
        std::string program = row.args.size() > 2 ? row.args.back() : "";
        EXPECT_EQ(outcome.out, expected.empty() ? "" : PlainLines(program + ": " + expected));
        EXPECT_EQ(outcome.err.empty(), !expected.empty());
    }
}

} // namespace
