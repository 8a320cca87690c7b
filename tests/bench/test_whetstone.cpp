// The Whetstone kernel: loop counts and every module's end state against
// the published values for n = 1 and n = 10.
#include "bench/bench.hpp"
#include "bench_fixture.hpp"

#include <array>

namespace {

constexpr double kTolerance = 1e-12;

// E1 after module 3, which modules 6 and 9 leave in E1[4] (and module 6 in E1[3]).
const std::array<double, 4> kModule3N1 = {-0.065513281746192004, -0.4646922083220843, -0.73106743936841745,
                                          -1.1302716215293103};
const std::array<double, 4> kModule3N10 = {-0.055336452591794462, -0.4474365627547468, -0.7109733892851825,
                                           -1.1030980569256008};

WhetstoneState RunModulesAndRead(int32_t n, int module) {
    RunWhetstoneModules(CountWhetstoneLoops(n));
    return WhetstoneModuleEnd(module);
}

} // namespace

using Whetstone = BenchTest;

TEST_F(Whetstone, LoopCountsAreMultipliedOut) {
    struct Row {
        const char* name;
        int32_t n;
        WhetstoneCounts expected;
    };
    const Row rows[] = {
        {"one run", 1, {0, 12, 14, 345, 210, 32, 899, 616, 0, 93}},
        {"ten runs", 10, {0, 120, 140, 3450, 2100, 320, 8990, 6160, 0, 930}},
        {"no run", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"negative", -2, {0, -24, -28, -690, -420, -64, -1798, -1232, 0, -186}},
        {"largest",
         2388747,
         {0, 28664964, 33442458, 824117715, 501636870, 76439904, 2147483553, 1471468152, 0, 222153471}},
        {"too large", 2388748, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        WhetstoneCounts c = CountWhetstoneLoops(row.n);
        const WhetstoneCounts& e = row.expected;
        EXPECT_EQ(c.module1, e.module1) << row.name;
        EXPECT_EQ(c.module2, e.module2) << row.name;
        EXPECT_EQ(c.module3, e.module3) << row.name;
        EXPECT_EQ(c.module4, e.module4) << row.name;
        EXPECT_EQ(c.module6, e.module6) << row.name;
        EXPECT_EQ(c.module7, e.module7) << row.name;
        EXPECT_EQ(c.module8, e.module8) << row.name;
        EXPECT_EQ(c.module9, e.module9) << row.name;
        EXPECT_EQ(c.module10, e.module10) << row.name;
        EXPECT_EQ(c.module11, e.module11) << row.name;
    }
}

TEST_F(Whetstone, ArrayModulesEndStates) {
    struct Row {
        const char* name;
        int32_t n;
        int module;
        std::array<double, 4> e1;
    };
    const Row rows[] = {
        {"M2 n=1",
         1,
         2,
         {-0.066821081537598415, -0.4662713010907264, -0.7329765200218058, -1.1323916609285205}},
        {"M2 n=10",
         10,
         2,
         {-0.068342198629951639, -0.46263765626356895, -0.72971838784369047, -1.1239790700461283}},
        {"M3 n=1", 1, 3, kModule3N1},
        {"M3 n=10", 10, 3, kModule3N10},
        {"M6 n=1", 1, 6, {6.0, 6.0, kModule3N1[2], kModule3N1[3]}},
        {"M6 n=10", 10, 6, {6.0, 6.0, kModule3N10[2], kModule3N10[3]}},
        {"M9 n=1", 1, 9, {3.0, 2.0, 3.0, kModule3N1[3]}},
        {"M9 n=10", 10, 9, {3.0, 2.0, 3.0, kModule3N10[3]}},
        {"M9 no run keeps its start values", 0, 9, {1.0, 2.0, 3.0, -1.0}},
    };
    for (const Row& row : rows) {
        WhetstoneState s = RunModulesAndRead(row.n, row.module);
        for (int i = 1; i <= 4; ++i) {
            EXPECT_NEAR(s.e1[i], row.e1[i - 1], kTolerance) << row.name << " E1[" << i << "]";
        }
    }
}

TEST_F(Whetstone, RealModulesEndStates) {
    struct Row {
        const char* name;
        int32_t n;
        int module;
        double x, y, z;
    };
    const double z8 = 0.99993750062499998;
    const double y7n1 = 0.49902315648528489;
    const double y7n10 = 0.49039249795610007;
    const Row rows[] = {
        {"M7 n=1", 1, 7, 0.49903830801545246, y7n1, 0.0},
        {"M7 n=10", 10, 7, 0.49040731615904543, y7n10, 0.0},
        {"M8 n=1", 1, 8, 1.0, 1.0, z8},
        {"M8 n=10", 10, 8, 1.0, 1.0, z8},
        {"M11 n=1", 1, 11, 0.75986514488824641, 1.0, z8},
        {"M11 n=10", 10, 11, 0.83466551951905177, 1.0, z8},
        {"M7 no run", 0, 7, 0.5, 0.5, 0.0},
        {"M11 no run", 0, 11, 0.75, 1.0, 1.0},
    };
    for (const Row& row : rows) {
        WhetstoneState s = RunModulesAndRead(row.n, row.module);
        EXPECT_NEAR(s.x, row.x, kTolerance) << row.name;
        EXPECT_NEAR(s.y, row.y, kTolerance) << row.name;
        EXPECT_NEAR(s.z, row.z, kTolerance) << row.name;
    }
}

TEST_F(Whetstone, IntegerModulesEndStates) {
    struct Row {
        const char* name;
        int32_t n;
        int module;
        int32_t j, k, l;
    };
    const Row rows[] = {
        // The classic module 4 would end with J = 0 after its odd 345 passes.
        {"M4 n=1", 1, 4, 1, 0, 0},     {"M4 n=10", 10, 4, 1, 0, 0}, {"M6 n=1", 1, 6, 1, 2, 3},
        {"M6 n=10", 10, 6, 1, 2, 3},   {"M9 n=1", 1, 9, 1, 2, 3},   {"M10 n=1", 1, 10, 2, 3, 3},
        {"M10 n=10", 10, 10, 2, 3, 3},
    };
    for (const Row& row : rows) {
        WhetstoneState s = RunModulesAndRead(row.n, row.module);
        EXPECT_EQ(s.j, row.j) << row.name;
        EXPECT_EQ(s.k, row.k) << row.name;
        EXPECT_EQ(s.l, row.l) << row.name;
    }
}

TEST_F(Whetstone, ModuleOneNeverRuns) {
    for (int32_t n : {1, 10}) {
        WhetstoneState s = RunModulesAndRead(n, 1);
        EXPECT_EQ(s.x1, 1.0) << n;
        EXPECT_EQ(s.x2, -1.0) << n;
        EXPECT_EQ(s.x3, -1.0) << n;
        EXPECT_EQ(s.x4, -1.0) << n;
    }
}

TEST_F(Whetstone, RunWhetstoneTimesTheModulesAndScores) {
    ClockReads({{10, 0, 0, 0}, {10, 0, 0, 250}});
    double micros = 0.0;
    double score = RunWhetstone(10, micros, run.benchClock);
    EXPECT_EQ(readings_, 2u);
    EXPECT_NEAR(WhetstoneModuleEnd(11).x, 0.83466551951905177, kTolerance);
    EXPECT_DOUBLE_EQ(micros, 25000.0);
    EXPECT_DOUBLE_EQ(score, 40000.0);
}

TEST_F(Whetstone, RunWhetstoneRefusesCountsBeyond32Bits) {
    ClockReads({{10, 0, 0, 0}, {10, 0, 5, 0}});
    double micros = 3.0;
    EXPECT_EQ(RunWhetstone(2388748, micros, run.benchClock), -1.0);
    EXPECT_EQ(RunWhetstone(-2388748, micros, run.benchClock), -1.0);
    EXPECT_EQ(readings_, 0u);
    EXPECT_EQ(micros, 3.0);
}
