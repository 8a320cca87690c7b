#include "classic/clock.hpp"

#include "platform/platform.hpp"

namespace {

constexpr uint32_t kTicksPerMhz = 500000; // ticks of a 1 MHz clock in 500 ms

uint16_t Distance(uint16_t a, uint16_t b) {
    return static_cast<uint16_t>(a > b ? a - b : b - a);
}

} // namespace

uint32_t MeasureHardwareTicks() {
    SavedPriority saved = ReadPriority();
    RaiseProcessPriority();
    RaiseThreadPriority();
    SleepMilliseconds(10);
    uint64_t first = ReadTimeStampCounter();
    SleepMilliseconds(500);
    uint64_t second = ReadTimeStampCounter();
    RestoreThreadPriority(saved);
    RestoreProcessPriority(saved);
    return static_cast<uint32_t>(second - first);
}

double MeasureClock(const TickCounter& ticks, uint16_t& normalizedMhz) {
    uint32_t count = ticks();
    normalizedMhz = NormalizeMhz(static_cast<uint16_t>(count / kTicksPerMhz));
    return count / static_cast<double>(kTicksPerMhz);
}

uint16_t NormalizeMhz(uint16_t mhz) {
    uint32_t m = mhz;
    uint16_t thirds = static_cast<uint16_t>((3 * m + 100) / 200 * 200 / 3);
    uint16_t fifties = static_cast<uint16_t>((m + 25) / 50 * 50);
    if (Distance(fifties, mhz) < Distance(thirds, mhz)) {
        return fifties;
    }
    if (thirds == 666) {
        return 667;
    }
    if (thirds == 1666) {
        return 1667;
    }
    return thirds;
}
