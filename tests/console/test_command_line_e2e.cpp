// The command-line options of the real program as a user runs them: no
// banner, the program's own line ends, errors on standard error, and the
// exit statuses.
#include "support/command_support.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";

std::string Dump(const char* name) {
    return TestDumpPath(name);
}

// The same facts after -r, every line ended alike.
TEST(CommandLineE2e, ListAndJsonOfADumpWithoutBanner) {
    const std::string end = ProgramLineEnd();
    BinaryRun list = RunBinary({"-r", Dump(kRaptor), "--list"}, "");
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(EveryLineEndsWith(list.output, end)) << list.output;
    std::string lines = WithLfLines(list.output, end);
    EXPECT_EQ(lines.rfind("Program\n", 0), 0u);
    EXPECT_NE(lines.find("\n  family:               6 (0x06)\n"), std::string::npos);
    EXPECT_NE(lines.find("\n  model:                183 (0xB7)\n"), std::string::npos);
    BinaryRun json = RunBinary({"-r", Dump(kRaptor), "--json"}, "");
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(EveryLineEndsWith(json.output, end));
    EXPECT_EQ(WithLfLines(json.output, end).rfind("{\n  \"schema\": \"veldrix/1\",\n", 0), 0u);
}

TEST(CommandLineE2e, CheckStatusOfTheRealProgram) {
    EXPECT_EQ(RunBinary({"-r", Dump(kRaptor), "--check", "v3"}, "").status, 0);
    EXPECT_EQ(RunBinary({"-r", Dump(kRaptor), "--check", "v4"}, "").status, 1);
    EXPECT_EQ(RunBinary({"--check", "v1"}, "").status, 0) << "this machine runs 64-bit code";
    BinaryRun usage = RunBinary({"--check", "v9"}, "");
    EXPECT_EQ(usage.status, 64);
    EXPECT_EQ(usage.output, "");
    EXPECT_EQ(usage.errors.rfind("veldrix: ", 0), 0u) << usage.errors;
    EXPECT_TRUE(EveryLineEndsWith(usage.errors, ProgramLineEnd())) << usage.errors;
}

// This machine against itself: always runs, with no difference.
TEST(FleetCommandsE2e, DiffOfThisMachineWithItself) {
    BinaryRun run = RunBinary({"--diff", "-", "-"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(EveryLineEndsWith(run.output, ProgramLineEnd()));
    std::string lines = WithLfLines(run.output, ProgramLineEnd());
    EXPECT_NE(lines.find("A: this machine\n"), std::string::npos);
    EXPECT_NE(lines.find("Only A has:\n  (none)\nOnly B has:\n  (none)\n"), std::string::npos);
}

} // namespace
