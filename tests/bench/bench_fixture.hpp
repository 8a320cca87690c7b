// A fresh world for every benchmark test, with the timer reading scripted
// times of day instead of the real clock.
#pragma once

#include "bench/bench.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <vector>

class BenchTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetWorld(); }
    void TearDown() override { UseSystemBenchClock(); }

    // The timer reads these times in turn; the last one again when they run out.
    void ClockReads(std::vector<TimeOfDay> times) {
        readings_ = 0;
        SetBenchClock([this, times]() {
            size_t index = readings_ < times.size() ? readings_ : times.size() - 1;
            ++readings_;
            return times[index];
        });
    }

    size_t readings_ = 0;
};
