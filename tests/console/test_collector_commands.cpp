// --nfd through the command line: --output writes the folder's file whole,
// refuses a folder it cannot write into, and --expiry adds its directive.
#include "common/utc_time.hpp"
#include "support/command_support.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(NfdCommand, OutputWritesTheSameTextIntoTheFolderAndNothingElse) {
    std::string folder = MakeTempDir("nfd");
    CommandOutcome printed = RunOptions({"-r", TestDumpPath(kRaptor), "--nfd"});
    CommandOutcome written = RunOptions({"-r", TestDumpPath(kRaptor), "--nfd", "--output", folder});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(ReadWhole(folder + "/veldrix"), printed.out);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST(NfdCommand, AFolderThatCannotTakeTheFileIsAnErrorAndLeavesNoFile) {
    std::string folder = MakeTempDir("nfd-bad");
    std::ofstream(folder + "/plain") << "x";
    for (const std::string& target : {folder + "/missing", folder + "/plain"}) {
        CommandOutcome outcome = RunOptions({"-r", TestDumpPath(kRaptor), "--nfd", "--output", target});
        EXPECT_EQ(outcome.status, 2) << target;
        EXPECT_NE(outcome.err.find("veldrix: cannot write " + target + "/veldrix: "), std::string::npos)
            << outcome.err;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST(NfdCommand, ExpiryAddsTheDirectiveAndBadOperandsAreUsageErrors) {
    CommandOutcome outcome = RunOptions({"-r", TestDumpPath(kRaptor), "--nfd", "--expiry", "12h"});
    ASSERT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("\n# +expiry-time=20"), std::string::npos);
    for (const char* bad : {"0s", "12", "h", "5w", "--output"}) {
        EXPECT_EQ(RunOptions({"--nfd", "--expiry", bad}).status, 64) << bad;
    }
    EXPECT_EQ(RunOptions({"--nfd", "--output"}).status, 64);
    EXPECT_EQ(RunOptions({"--nfd", "extra"}).status, 64);
}

struct TimeCase {
    int64_t seconds;
    const char* text;
};

const TimeCase kTimes[] = {
    {0, "1970-01-01T00:00:00Z"},
    {951782400, "2000-02-29T00:00:00Z"},
    {1700000000, "2023-11-14T22:13:20Z"},
    {4107542399, "2100-02-28T23:59:59Z"},
};

TEST(UtcTime, SecondsAreWrittenAsRfc3339) {
    for (const TimeCase& row : kTimes) {
        EXPECT_EQ(Rfc3339Utc(row.seconds), row.text);
    }
}

TEST(UtcTime, DurationsAddTheirParts) {
    EXPECT_EQ(ParseDurationSeconds("90s"), 90);
    EXPECT_EQ(ParseDurationSeconds("1h30m"), 5400);
    EXPECT_EQ(ParseDurationSeconds("7d"), 604800);
    EXPECT_EQ(ParseDurationSeconds("99999d"), std::nullopt);
}

} // namespace
