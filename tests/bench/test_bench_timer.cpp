// The timer pair and the elapsed time between two times of day.
#include "bench/bench.hpp"
#include "bench_fixture.hpp"

using BenchTiming = BenchTest;

TEST_F(BenchTiming, ElapsedSecondsBetweenTwoTimesOfDay) {
    struct Row {
        const char* name;
        TimeOfDay start, end;
        double expected;
    };
    const Row rows[] = {
        {"two seconds", {10, 0, 0, 0}, {10, 0, 2, 0}, 2.0},
        {"just under two seconds", {10, 0, 0, 0}, {10, 0, 1, 999}, 1.999},
        {"half a second", {10, 0, 0, 0}, {10, 0, 0, 500}, 0.5},
        {"over a full hour", {9, 59, 59, 999}, {11, 0, 0, 1}, 3600.002},
        {"nothing", {12, 0, 0, 0}, {12, 0, 0, 0}, 0.0},
        {"passing midnight is negative", {23, 59, 59, 0}, {0, 0, 1, 500}, -86397.5},
        // Two late times of day whose plain difference is 1.9999999999.
        {"two seconds late in the day", {18, 12, 15, 991}, {18, 12, 17, 991}, 2.0},
        // Plain difference 0.00199999999.
        {"two milliseconds", {10, 0, 0, 16}, {10, 0, 0, 18}, 0.002},
        {"one millisecond", {10, 0, 0, 35}, {10, 0, 0, 36}, 0.001},
    };
    for (const Row& row : rows) {
        // Stored as a double first, as the program stores it: an x87 unit
        // would otherwise compare its wider register with the constant.
        volatile double elapsed = ElapsedBenchSeconds(row.start, row.end);
        EXPECT_EQ(elapsed, row.expected) << row.name;
    }
}

TEST_F(BenchTiming, StartReadsTheFirstTimeAndStopTheSecond) {
    ClockReads({{8, 1, 2, 3}, {8, 1, 4, 5}});
    BenchTimer timer(run.benchClock);
    timer.Start();
    EXPECT_EQ(readings_, 1u);
    timer.Stop();
    EXPECT_EQ(readings_, 2u);
    EXPECT_EQ(timer.StartTime().second, 2);
    EXPECT_EQ(timer.StartTime().millisecond, 3);
    EXPECT_EQ(timer.EndTime().second, 4);
    EXPECT_EQ(timer.EndTime().millisecond, 5);
}

TEST_F(BenchTiming, StopRestoresThePriorityStartFound) {
    SavedPriority before = ReadPriority();
    BenchTimer timer(LocalTimeOfDay);
    timer.Start();
    timer.Stop();
    SavedPriority after = ReadPriority();
    EXPECT_EQ(timer.SavedPriorities().priorityClass, before.priorityClass);
    EXPECT_EQ(timer.SavedPriorities().threadPriority, before.threadPriority);
    EXPECT_EQ(after.priorityClass, before.priorityClass);
    EXPECT_EQ(after.threadPriority, before.threadPriority);
    EXPECT_EQ(after.threadPolicy, before.threadPolicy);
}
