// Clock arithmetic: ticks to MHz and the rounding to customary clock steps.
#include "classic/clock.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

TEST(Clock, NormalizeMhz) {
    struct Row {
        uint16_t m, expected;
    };
    const Row rows[] = {
        {0, 0},       {33, 50},     {166, 150},   {633, 650},   {666, 667},   {766, 750},   {866, 866},
        {930, 933},   {1000, 1000}, {1025, 1000}, {1366, 1350}, {1633, 1650}, {1666, 1667}, {1990, 2000},
        {2266, 2266}, {8589, 8600}, {1, 0},       {2666, 2666}, {1866, 1866},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NormalizeMhz(row.m), row.expected) << row.m;
    }
}

TEST(Clock, TicksToMegahertz) {
    ProcessorRecord record;
    struct Row {
        uint32_t ticks;
        double mhz;
        uint16_t normalized;
    };
    const Row rows[] = {
        {500000, 1.0, 0},
        {465206000, 930.412, 933},
        {366600000, 733.2, 733},
        {4294967295u, 8589.93459, 8600},
    };
    for (const Row& row : rows) {
        uint16_t normalizedMhz = 0;
        EXPECT_DOUBLE_EQ(MeasureClock([&row] { return row.ticks; }, normalizedMhz), row.mhz) << row.ticks;
        EXPECT_EQ(normalizedMhz, row.normalized) << row.ticks;
    }
}
