// Processor clock measurement with the time-stamp counter.
#pragma once

#include <cstdint>
#include <functional>

// Counts time-stamp ticks over the 500 ms window; replaceable so that tests
// and replays need no real processor. An empty counter means the clock
// cannot be measured here.
using TickCounter = std::function<uint32_t()>;

void SetTickCounter(TickCounter counter);
void UseHardwareTickCounter();
bool ClockMeasurable();

// The hardware count: priorities raised, 10 ms settle, 500 ms between two
// counter readings, priorities restored; the low 32 bits of the difference.
uint32_t MeasureHardwareTicks();

// Measures, stores the normalised MHz in normalizedMhz and returns the measured MHz.
double MeasureClock(uint16_t& normalizedMhz);

// Rounds whole MHz to the nearer of the 50 MHz and 66.67 MHz grids.
uint16_t NormalizeMhz(uint16_t mhz);
