// Keys D and W through the real program. Only lines that do not depend on
// how fast this machine is are compared.
#include "support/harness.hpp"
#include "support/run_binary.hpp"

#include "bench_fixture.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kEnd = "\r\n ---- End ----";
const std::string kMenuAgain = kEnd + "\r\nVELDRIX Menu\r\n";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(BenchEndToEnd, DhrystoneThousandRunsIsTooShort) {
    BinaryRun run = RunBinary({}, "D\n1\n\nQ\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.output, kDhrystoneHead + kTooSmall + kMenuAgain)) << run.output;
}

TEST(BenchEndToEnd, DhrystoneVerboseShowsTheRunCount) {
    BinaryRun run = RunBinary({"-v"}, "D\n5\n\nQ\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.output, kDhrystoneHead +
                                         Lines({" -> Execution starts,    5000 runs through Dhrystone"}) +
                                         kTooSmall + kMenuAgain))
        << run.output;
}

TEST(BenchEndToEnd, WhetstoneOneRunEndsWithAScoreOrTooShort) {
    BinaryRun run = RunBinary({"-v"}, "W\n1\n\nQ\n");
    EXPECT_EQ(run.status, 0);
    std::string start = kWhetstoneHead + Lines({" -> Execution starts,           1 runs through Whetstone"});
    size_t at = run.output.find(start);
    ASSERT_NE(at, std::string::npos) << run.output;
    std::string rest = run.output.substr(at + start.size());
    bool tooShort = rest.compare(0, kTooSmall.size() + kMenuAgain.size(), kTooSmall + kMenuAgain) == 0;
    bool scored = rest.compare(0, 48, " -> Microseconds for one run through Whetstone: ") == 0 &&
                  Contains(rest, "] MWIPS\r\n" + kMenuAgain);
    EXPECT_TRUE(tooShort || scored) << rest;
}

TEST(BenchEndToEnd, WhetstoneRefusesTooManyRuns) {
    BinaryRun run = RunBinary({}, "W\n2388748\n\nQ\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(
        Contains(run.output, kWhetstoneHead + Lines({" *** Number of runs out of range !"}) + kMenuAgain))
        << run.output;
}
