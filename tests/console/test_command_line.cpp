// The command-line options that print facts: exit statuses, usage errors,
// what goes to which stream, and that other arguments leave the menu alone.
#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "names/processor_db.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using Outcome = CommandOutcome;

std::string Dump(const char* name) {
    return TestDumpPath(name);
}

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
const char kHygon[] = "HygonGenuine0900F02_Hygon_CPUID.txt";

struct CheckCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* line; // the whole standard output, one line
};

const CheckCase kChecks[] = {
    {"Raptor Lake meets v3", {"-r", Dump(kRaptor), "--check", "x86-64-v3"}, 0, "x86-64-v3: yes"},
    {"short level name", {"-r", Dump(kRaptor), "--check", "v2"}, 0, "x86-64-v2: yes"},
    {"Raptor Lake lacks v4",
     {"-r", Dump(kRaptor), "--check", "v4"},
     1,
     "x86-64-v4: no (missing: avx512f avx512dq avx512cd avx512bw avx512vl)"},
    {"Hygon without OSXSAVE", {"-r", Dump(kHygon), "--check", "v3"}, 1, "x86-64-v3: no (missing: osxsave)"},
};

TEST(CommandLine, CheckSaysYesOrWhatIsMissing) {
    for (const CheckCase& row : kChecks) {
        SCOPED_TRACE(row.name);
        Outcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.out, row.line + std::string(kPlainLineEnd));
        EXPECT_EQ(outcome.err, "");
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int status;
};

// Usage errors go to standard error with the summary; nothing to standard output.
const UsageCase kUsageErrors[] = {
    {"-r without a file", {"-r"}, 64},
    {"--check without a level", {"--check"}, 64},
    {"--check with an unknown level", {"--check", "x86-64-v5"}, 64},
    {"--check with a bare number", {"--check", "3"}, 64},
    {"--check with two levels", {"--check", "v1", "v2"}, 64},
    {"--list with an extra argument", {"--list", "extra"}, 64},
    {"--json after a dump that is missing", {"-r", "/no/such/dump.txt", "--json"}, 2},
    {"--list after a file that is no dump", {"-r", VELDRIX_SOURCE_DIR "/CMakeLists.txt", "--list"}, 2},
};

TEST(CommandLine, UsageErrorsAndUnreadableDumps) {
    for (const UsageCase& row : kUsageErrors) {
        SCOPED_TRACE(row.name);
        Outcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind("veldrix: ", 0), 0u) << outcome.err;
        EXPECT_EQ(outcome.err.find("usage: veldrix") != std::string::npos, row.status == kUsageStatus);
    }
}

// Anything that is not one of these options keeps today's behaviour.
TEST(CommandLine, OtherArgumentsAreLeftToTheMenuProgram) {
    const std::vector<std::vector<std::string>> kOthers = {{},
                                                           {"-c"},
                                                           {"-v"},
                                                           {"-?"},
                                                           {"--bogus"},
                                                           {"--LIST"},
                                                           {"--list=x"},
                                                           {"-r", "dump.txt"},
                                                           {"-r", "dump.txt", "-c"},
                                                           {"-c", "--list"}};
    for (const std::vector<std::string>& args : kOthers) {
        Outcome outcome = RunOptions(args);
        EXPECT_FALSE(outcome.status.has_value()) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ(outcome.out + outcome.err, "");
    }
}

TEST(CommandLine, HelpAndVersion) {
    for (const char* help : {"--help", "-h"}) {
        Outcome outcome = RunOptions({help});
        EXPECT_EQ(outcome.status, 0);
        for (const char* option :
             {"--list", "--json", "--check LEVEL", "--version", "-r DUMP", "-c", "Menu keys"}) {
            EXPECT_NE(outcome.out.find(option), std::string::npos) << option;
        }
    }
    Outcome version = RunOptions({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "veldrix 1.30.0 (database 2026.12.07 - processors from the 486 to those of 2026)" +
                               std::string(kPlainLineEnd));
}

} // namespace
