// Processor clock measurement with the time-stamp counter.
#pragma once

#include <cstdint>
#include <functional>

// Counts time-stamp ticks over the 500 ms window: MeasureHardwareTicks on
// this machine, a fixed count in tests. An empty counter means the clock
// cannot be measured (a replayed dump is another machine's processor).
using TickCounter = std::function<uint32_t()>;

// The hardware count: priorities raised, 10 ms settle, 500 ms between two
// counter readings, priorities restored; the low 32 bits of the difference.
uint32_t MeasureHardwareTicks();

// Counts the ticks once, stores the normalised MHz in normalizedMhz and
// returns the measured MHz.
double MeasureClock(const TickCounter& ticks, uint16_t& normalizedMhz);

// Rounds whole MHz to the nearer of the 50 MHz and 66.67 MHz grids.
uint16_t NormalizeMhz(uint16_t mhz);
