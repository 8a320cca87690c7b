// The Dhrystone kernel ends every run in the published final state.
#include "bench/bench.hpp"
#include "bench_fixture.hpp"

#include <string>

namespace {

const std::string kSomeString = "DHRYSTONE PROGRAM, SOME STRING";
const std::string kFirstString = "DHRYSTONE PROGRAM, 1'ST STRING";
const std::string kSecondString = "DHRYSTONE PROGRAM, 2'ND STRING";

void ExpectPublishedState(const DhrystoneState& s, int32_t runs) {
    SCOPED_TRACE("after " + std::to_string(runs) + " runs");
    EXPECT_EQ(s.intGlob, 5);
    EXPECT_TRUE(s.boolGlob);
    EXPECT_EQ(s.ch1Glob, 'A');
    EXPECT_EQ(s.ch2Glob, 'B');
    EXPECT_EQ(s.arr1Glob8, 7);
    EXPECT_EQ(s.arr2Glob8_7, runs + 10);

    EXPECT_TRUE(s.ptrGlob.pointsToNextRecord);
    EXPECT_EQ(s.ptrGlob.discr, 0);
    EXPECT_EQ(s.ptrGlob.enumComp, 2);
    EXPECT_EQ(s.ptrGlob.intComp, 17);
    EXPECT_EQ(s.ptrGlob.strComp, kSomeString);

    EXPECT_TRUE(s.nextPtrGlob.pointsToNextRecord);
    EXPECT_EQ(s.nextPtrGlob.discr, 0);
    EXPECT_EQ(s.nextPtrGlob.enumComp, 1);
    EXPECT_EQ(s.nextPtrGlob.intComp, 18);
    EXPECT_EQ(s.nextPtrGlob.strComp, kSomeString);

    EXPECT_EQ(s.int1Loc, 5);
    EXPECT_EQ(s.int2Loc, 13);
    EXPECT_EQ(s.int3Loc, 7);
    EXPECT_EQ(s.enumLoc, 1);
    EXPECT_EQ(s.str1Loc, kFirstString);
    EXPECT_EQ(s.str2Loc, kSecondString);
}

DhrystoneState RunKernel(int32_t runs) {
    PrepareDhrystone();
    RunDhrystoneLoop(runs);
    return FinishDhrystone();
}

} // namespace

using Dhrystone = BenchTest;

// Every call starts from the start values again, so a shorter run after a
// longer one must not carry the longer one's count.
TEST_F(Dhrystone, PublishedFinalValues) {
    for (int32_t runs : {1, 2, 1000, 10, 54321}) {
        ExpectPublishedState(RunKernel(runs), runs);
    }
}

TEST_F(Dhrystone, NoRunLeavesTheStartValues) {
    for (int32_t runs : {0, -5}) {
        DhrystoneState s = RunKernel(runs);
        EXPECT_EQ(s.arr2Glob8_7, 10) << runs;
        EXPECT_EQ(s.ptrGlob.intComp, 40) << runs;
        EXPECT_EQ(s.ptrGlob.enumComp, 2) << runs;
        EXPECT_TRUE(s.ptrGlob.pointsToNextRecord) << runs;
        EXPECT_EQ(s.ptrGlob.strComp, kSomeString) << runs;
        EXPECT_EQ(s.str1Loc, kFirstString) << runs;
    }
}

TEST_F(Dhrystone, RunDhrystoneTimesTheLoopAndScores) {
    ClockReads({{10, 0, 0, 0}, {10, 0, 3, 0}});
    double micros = 0.0;
    double score = RunDhrystone(3000, micros, run.benchClock);
    EXPECT_EQ(readings_, 2u);
    EXPECT_DOUBLE_EQ(micros, 1000.0);
    EXPECT_DOUBLE_EQ(score, 1000000.0);
}
