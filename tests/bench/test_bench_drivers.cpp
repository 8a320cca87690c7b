// Score arithmetic, thresholds, run-count input and the screens of keys D and W.
#include "bench/bench.hpp"
#include "bench_fixture.hpp"
#include "classic/bench_screens.hpp"

#include <string>

namespace {

const std::string kOutOfRange = Lines({" *** Number of runs out of range !"});
const std::string kEnd = "\r\n ---- End ----";

const TimeOfDay kTen = {10, 0, 0, 0};

std::string Dhrystone(RunState& run, const std::string& input) {
    ConsoleCapture console(input);
    ShowDhrystone(run);
    return console.Output();
}

std::string Whetstone(RunState& run, const std::string& input) {
    ConsoleCapture console(input);
    ShowWhetstone(run);
    return console.Output();
}

} // namespace

using BenchDrivers = BenchTest;

TEST_F(BenchDrivers, ScoreArithmeticAndThresholds) {
    struct Row {
        const char* name;
        int32_t runs;
        double elapsed, minimum;
        double score, micros; // micros stays at 123 when there is no score
    };
    const Row rows[] = {
        {"Dhrystone 1000 x 1000 in 2.000 s", 1000000, 2.0, 2.0, 500000000.0, 2.0},
        {"Dhrystone 1.999 s is too short", 1000000, 1.999, 2.0, -1.0, 123.0},
        {"Whetstone 100 in 0.5 s", 100, 0.5, 0.002, 200000.0, 5000.0},
        {"Whetstone 0.002 s is enough", 1, 0.002, 0.002, 500000.0, 2000.0},
        {"Whetstone 0.001 s is too short", 100, 0.001, 0.002, -1.0, 123.0},
        {"no run however long", 0, 5.0, 2.0, -1.0, 123.0},
        {"negative runs", -5000, 5.0, 2.0, -1.0, 123.0},
        {"passed midnight", 1000000, -86398.0, 2.0, -1.0, 123.0},
    };
    for (const Row& row : rows) {
        double micros = 123.0;
        EXPECT_DOUBLE_EQ(BenchScore(row.runs, row.elapsed, row.minimum, micros), row.score) << row.name;
        EXPECT_DOUBLE_EQ(micros, row.micros) << row.name;
    }
}

TEST_F(BenchDrivers, DhrystoneScreenAtTwoSeconds) {
    ClockReads({kTen, {10, 0, 2, 0}});
    EXPECT_EQ(Dhrystone(run, "1000\n\n"),
              kDhrystoneHead + Lines({" ==> Dhrystone score:    500000000.0000    [   500.0000] MIPS"}) +
                  kEnd);
    EXPECT_EQ(run.dhrystoneRuns, 1000000);
    EXPECT_EQ(run.dhrystoneScore, 500000000.0);
    EXPECT_EQ(run.dhrystoneMicros, 2.0);
}

TEST_F(BenchDrivers, DhrystoneVerboseScreen) {
    run.verbose = true;
    ClockReads({kTen, {10, 0, 2, 0}});
    EXPECT_EQ(Dhrystone(run, "5\n\n"),
              kDhrystoneHead +
                  Lines({" -> Execution starts,    5000 runs through Dhrystone",
                         " -> Microseconds for one run through Dhrystone: 400.00000000",
                         " ==> Dhrystone score:      2500000.0000    [     2.5000] MIPS"}) +
                  kEnd);
}

TEST_F(BenchDrivers, DhrystoneTooShortKeepsMicros) {
    struct Row {
        const char* name;
        TimeOfDay end;
    };
    const Row rows[] = {
        {"1.999 seconds", {10, 0, 1, 999}},
        {"no time at all", kTen},
        {"passed midnight", {0, 0, 3, 0}},
    };
    for (const Row& row : rows) {
        run.dhrystoneMicros = 7.0;
        run.verbose = true;
        ClockReads({kTen, row.end});
        EXPECT_EQ(Dhrystone(run, "1\n\n"),
                  kDhrystoneHead + Lines({" -> Execution starts,    1000 runs through Dhrystone"}) +
                      kTooSmall + kEnd)
            << row.name;
        EXPECT_EQ(run.dhrystoneScore, -1.0) << row.name;
        EXPECT_EQ(run.dhrystoneMicros, 7.0) << row.name;
    }
}

TEST_F(BenchDrivers, WhetstoneScreens) {
    ClockReads({kTen, {10, 0, 0, 500}});
    EXPECT_EQ(Whetstone(run, "100\n\n"),
              kWhetstoneHead + Lines({" ==> Whetstone score:       200000.0000    [     0.2000] MWIPS"}) +
                  kEnd);
    EXPECT_EQ(run.whetstoneRuns, 100);
    EXPECT_EQ(run.whetstoneScore, 200000.0);
    EXPECT_EQ(run.whetstoneMicros, 5000.0);

    run.verbose = true;
    ClockReads({kTen, {10, 0, 0, 500}});
    EXPECT_EQ(Whetstone(run, "100\n\n"),
              kWhetstoneHead +
                  Lines({" -> Execution starts,         100 runs through Whetstone",
                         " -> Microseconds for one run through Whetstone: 5000.00000000",
                         " ==> Whetstone score:       200000.0000    [     0.2000] MWIPS"}) +
                  kEnd);

    ClockReads({kTen, {10, 0, 0, 1}});
    EXPECT_EQ(Whetstone(run, "100\n\n"),
              kWhetstoneHead + Lines({" -> Execution starts,         100 runs through Whetstone"}) +
                  kTooSmall + kEnd);
    EXPECT_EQ(run.whetstoneScore, -1.0);
    EXPECT_EQ(run.whetstoneMicros, 5000.0);
}

TEST_F(BenchDrivers, DhrystoneRunCountInput) {
    struct Row {
        const char* name;
        std::string input;
        int32_t runs;
        bool scored; // the scripted 2 seconds give a score line
    };
    const Row rows[] = {
        {"empty lines wait for the number", "\n  \n  3\n\n", 3000, true},
        {"rest of the line is ignored", "4 junk\n\n", 4000, true},
        {"hexadecimal after $", "$A\n\n", 10000, true},
        {"hexadecimal after 0x", "0x10\n\n", 16000, true},
        {"bare x is no hexadecimal prefix", "x10\n\n", 0, false},
        {"largest negative entry", "-2147483\n\n", -2147483000, false},
        {"negative", "-5\n\n", -5000, false},
        {"zero", "0\n\n", 0, false},
        {"letters count as 0", "abc\n\n", 0, false},
        {"trailing characters count as 0", "12abc\n\n", 0, false},
        {"end of input counts as 0", "", 0, false},
    };
    for (const Row& row : rows) {
        run.dhrystoneRuns = 77;
        ClockReads({kTen, {10, 0, 2, 0}});
        std::string output = Dhrystone(run, row.input);
        EXPECT_EQ(run.dhrystoneRuns, row.runs) << row.name;
        EXPECT_EQ(output.find(" ==> Dhrystone score: ") != std::string::npos, row.scored) << row.name;
        EXPECT_EQ(output.find(kTooSmall) != std::string::npos, !row.scored) << row.name;
    }
}

TEST_F(BenchDrivers, RunCountsOutOfRangeAreRefused) {
    struct Row {
        const char* name;
        std::string (*screen)(RunState&, const std::string&);
        std::string head, input;
    };
    const Row rows[] = {
        {"Dhrystone above 2147483", Dhrystone, kDhrystoneHead, "2147484\n\n"},
        {"Dhrystone below -2147483", Dhrystone, kDhrystoneHead, "-2147484\n\n"},
        {"Dhrystone beyond 32 bits", Dhrystone, kDhrystoneHead, "99999999999\n\n"},
        {"Dhrystone hexadecimal beyond 32 bits", Dhrystone, kDhrystoneHead, "$FFFFFFFFF\n\n"},
        {"Whetstone above 2388747", Whetstone, kWhetstoneHead, "2388748\n\n"},
        {"Whetstone below -2388747", Whetstone, kWhetstoneHead, "-2388748\n\n"},
        {"Whetstone beyond 32 bits", Whetstone, kWhetstoneHead, "-3000000000\n\n"},
    };
    for (const Row& row : rows) {
        ResetWorld();
        run = RunState{};
        run.verbose = true;
        run.dhrystoneRuns = 77;
        run.dhrystoneScore = 12.0;
        run.whetstoneRuns = 88;
        run.whetstoneScore = 13.0;
        ClockReads({kTen, {10, 0, 9, 0}});
        EXPECT_EQ(row.screen(run, row.input), row.head + kOutOfRange + kEnd) << row.name;
        EXPECT_EQ(readings_, 0u) << row.name;
        EXPECT_EQ(run.dhrystoneRuns, 77) << row.name;
        EXPECT_EQ(run.dhrystoneScore, 12.0) << row.name;
        EXPECT_EQ(run.whetstoneRuns, 88) << row.name;
        EXPECT_EQ(run.whetstoneScore, 13.0) << row.name;
    }
}

TEST_F(BenchDrivers, RangeLimits) {
    EXPECT_TRUE(DhrystoneEntryInRange(2147483));
    EXPECT_FALSE(DhrystoneEntryInRange(2147484));
    EXPECT_TRUE(DhrystoneEntryInRange(-2147483));
    EXPECT_FALSE(DhrystoneEntryInRange(-2147484));
    EXPECT_TRUE(WhetstoneRunsInRange(2388747));
    EXPECT_FALSE(WhetstoneRunsInRange(2388748));
    EXPECT_TRUE(WhetstoneRunsInRange(-2388747));
    EXPECT_FALSE(WhetstoneRunsInRange(-2388748));
}

TEST_F(BenchDrivers, WhetstoneNegativeAndZeroDoNotRun) {
    for (int32_t n : {0, -3}) {
        ClockReads({kTen, {10, 0, 0, 500}});
        EXPECT_EQ(Whetstone(run, std::to_string(n) + "\n\n"), kWhetstoneHead + kTooSmall + kEnd) << n;
        EXPECT_EQ(run.whetstoneRuns, n);
        EXPECT_EQ(run.whetstoneScore, -1.0);
    }
}

// The fuzzer limits the passes actually made; what was typed is still what is
// stored and shown.
TEST_F(BenchDrivers, RunLimitCapsThePassesMade) {
    RunWhetstoneModules(CountWhetstoneLoops(3));
    WhetstoneState threeRuns = WhetstoneModuleEnd(11);
    RunWhetstoneModules(CountWhetstoneLoops(2));
    WhetstoneState twoRuns = WhetstoneModuleEnd(11);
    ASSERT_NE(twoRuns.x, threeRuns.x) << "the end state tells the pass counts apart";
    LimitBenchmarkRuns(2);
    ClockReads({{10, 0, 0, 0}, {10, 0, 1, 0}});
    ConsoleCapture console("2000000\n\n");
    ShowWhetstone(run);
    LimitBenchmarkRuns(0);
    EXPECT_EQ(run.whetstoneRuns, 2000000);
    WhetstoneState limited = WhetstoneModuleEnd(11);
    EXPECT_EQ(limited.j, twoRuns.j);
    EXPECT_EQ(limited.x, twoRuns.x);
    EXPECT_EQ(limited.y, twoRuns.y);
    EXPECT_NE(console.Output().find(" ==> Whetstone score: "), std::string::npos) << console.Output();
}
