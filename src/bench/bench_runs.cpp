// One timed run of each benchmark and its score, without any console.
#include "bench/bench.hpp"

#include <algorithm>
#include <climits>

namespace {

int32_t gRunLimit = 0;

// The passes actually made for a typed count.
int32_t LimitedRuns(int32_t runs) {
    return gRunLimit > 0 ? std::min(runs, gRunLimit) : runs;
}

} // namespace

double BenchScore(int32_t runs, double elapsed, double minimumSeconds, double& micros) {
    // Without a single run there is nothing to divide the time by, however
    // long the clock says it took.
    if (runs <= 0 || !(elapsed >= minimumSeconds)) {
        return -1.0;
    }
    micros = elapsed * 1000000.0 / runs;
    return 1000.0 / elapsed * runs;
}

void LimitBenchmarkRuns(int32_t most) {
    gRunLimit = most;
}

double RunDhrystone(int32_t runs, double& micros, const BenchClock& clock) {
    BenchTimer timer(clock);
    PrepareDhrystone();
    timer.Start();
    RunDhrystoneLoop(LimitedRuns(runs));
    timer.Stop();
    FinishDhrystone();
    return BenchScore(runs, timer.Elapsed(), kDhrystoneMinimumSeconds, micros);
}

double RunWhetstone(int32_t n, double& micros, const BenchClock& clock) {
    if (!WhetstoneRunsInRange(n)) {
        return -1.0;
    }
    WhetstoneCounts counts = CountWhetstoneLoops(LimitedRuns(n));
    BenchTimer timer(clock);
    timer.Start();
    RunWhetstoneModules(counts);
    timer.Stop();
    return BenchScore(n, timer.Elapsed(), kWhetstoneMinimumSeconds, micros);
}

bool DhrystoneEntryInRange(int32_t thousands) {
    return thousands <= INT32_MAX / kDhrystoneRunsPerEntry && thousands >= INT32_MIN / kDhrystoneRunsPerEntry;
}
