// The timer pair both benchmarks share: priorities raised around the timed
// work, the time of day read with millisecond resolution on each side.
#include "bench/bench.hpp"
#include "common/text_format.hpp"

#include <cmath>

namespace {

int64_t MillisecondOfDay(const TimeOfDay& time) {
    return std::llround(TimeToSeconds(time.hour, time.minute, time.second, time.millisecond) * 1000.0);
}

} // namespace

void BenchTimer::Start() {
    saved_ = ReadPriority();
    RaiseProcessPriority();
    RaiseThreadPriority();
    start_ = clock_();
}

void BenchTimer::Stop() {
    end_ = clock_();
    RestoreThreadPriority(saved_);
    RestoreProcessPriority(saved_);
}

double BenchTimer::Elapsed() const {
    return ElapsedBenchSeconds(start_, end_);
}

double ElapsedBenchSeconds(const TimeOfDay& start, const TimeOfDay& end) {
    // The difference is taken in whole milliseconds and divided once, so the
    // result is the same on every floating-point unit (an x87 keeps more
    // digits than a double) and two seconds measured are never 1.9999999.
    int64_t milliseconds = MillisecondOfDay(end) - MillisecondOfDay(start);
    return static_cast<double>(milliseconds) / 1000.0;
}
