// A fresh world for every benchmark test, with the timer reading scripted
// times of day instead of the real clock.
#pragma once

#include "bench/bench.hpp"
#include "classic/run_state.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The screen texts both drivers begin or end with.
inline const std::string kDhrystoneHead =
    "\r\nDhrystone Benchmark, based on Version 2.1 - Pascal Language\r\n"
    " -> Please give the number of runs through the benchmark [in thausands]: ";
inline const std::string kWhetstoneHead = "\r\nWhetstone Benchmark - Pascal Language\r\n"
                                          " -> Please give the number of runs through the benchmark: ";
inline const std::string kTooSmall = Lines(
    {" *** Measured time too small to obtain meaningful results.", " *** Please increase number of runs !"});

class BenchTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetWorld(); }
    // The timer reads these times in turn; the last one again when they run out.
    void ClockReads(std::vector<TimeOfDay> times) {
        readings_ = 0;
        run.benchClock = [this, times]() {
            size_t index = readings_ < times.size() ? readings_ : times.size() - 1;
            ++readings_;
            return times[index];
        };
    }

    size_t readings_ = 0;
    RunState run; // the benchmark screens write their runs and scores here, and read its clock
};
