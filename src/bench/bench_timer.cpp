// The timer pair both benchmarks share: priorities raised around the timed
// work, the time of day read with millisecond resolution on each side.
#include "bench/bench.hpp"
#include "probe/funcs.hpp"

#include <cmath>
#include <utility>

SavedPriority savedPriority{};
TimeOfDay benchStartTime{};
TimeOfDay benchEndTime{};
double benchElapsed = 0.0;

namespace {

BenchClock& Clock() {
    static BenchClock clock = LocalTimeOfDay;
    return clock;
}

} // namespace

void SetBenchClock(BenchClock clock) {
    Clock() = std::move(clock);
}

void UseSystemBenchClock() {
    Clock() = LocalTimeOfDay;
}

void StartBenchTimer() {
    savedPriority = ReadPriority();
    RaiseProcessPriority();
    RaiseThreadPriority();
    benchStartTime = Clock()();
}

void StopBenchTimer() {
    benchEndTime = Clock()();
    RestoreThreadPriority(savedPriority);
    RestoreProcessPriority(savedPriority);
}

double ElapsedBenchSeconds(const TimeOfDay& start, const TimeOfDay& end) {
    double difference = TimeToSeconds(end.hour, end.minute, end.second, end.millisecond) -
                        TimeToSeconds(start.hour, start.minute, start.second, start.millisecond);
    // Each time of day carries a rounding error of its own; rounding the
    // difference to whole milliseconds keeps the two thresholds exact (two
    // seconds measured are never taken for 1.9999999).
    return std::round(difference * 1000.0) / 1000.0;
}
