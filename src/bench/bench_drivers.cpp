// Console drivers of the two benchmarks (menu keys D and W): the run-count
// prompt, one timed run and the score lines. Scores stay in the record for
// the HTML report.
#include "bench/bench.hpp"
#include "console/conio.hpp"
#include "probe/funcs.hpp"
#include "probe/vars.hpp"
#include "views/views.hpp"

#include <climits>

namespace {

// The runs typed for Dhrystone are thousands; Whetstone's largest module
// count is 899 times the runs.
constexpr int32_t kDhrystoneRunsPerEntry = 1000;
constexpr int32_t kLargestWhetstoneFactor = 899;

// An integer right-aligned in width characters.
std::string RightAligned(int32_t value, int width) {
    return FixedReal(value, width, 0);
}

void WriteOutOfRange() {
    ConLine(" *** Number of runs out of range !");
}

void WriteTimeTooSmall() {
    ConLine(" *** Measured time too small to obtain meaningful results.");
    ConLine(" *** Please increase number of runs !");
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

double RunDhrystone(int32_t runs, double& micros) {
    PrepareDhrystone();
    StartBenchTimer();
    RunDhrystoneLoop(runs);
    StopBenchTimer();
    FinishDhrystone();
    benchElapsed = ElapsedBenchSeconds(benchStartTime, benchEndTime);
    return BenchScore(runs, benchElapsed, kDhrystoneMinimumSeconds, micros);
}

double RunWhetstone(int32_t n, double& micros) {
    if (!WhetstoneRunsInRange(n)) {
        return -1.0;
    }
    WhetstoneCounts counts = CountWhetstoneLoops(n);
    StartBenchTimer();
    RunWhetstoneModules(counts);
    StopBenchTimer();
    benchElapsed = ElapsedBenchSeconds(benchStartTime, benchEndTime);
    return BenchScore(n, benchElapsed, kWhetstoneMinimumSeconds, micros);
}

bool DhrystoneEntryInRange(int32_t thousands) {
    return thousands <= INT32_MAX / kDhrystoneRunsPerEntry && thousands >= INT32_MIN / kDhrystoneRunsPerEntry;
}

bool WhetstoneRunsInRange(int32_t n) {
    return n <= INT32_MAX / kLargestWhetstoneFactor && n >= INT32_MIN / kLargestWhetstoneFactor;
}

RunCountEntry ReadRunCount() {
    std::string token;
    int32_t value = 0;
    if (!ConReadToken(token)) {
        return RunCountEntry{0, false};
    }
    switch (ReadIntegerText(token, value)) {
    case IntegerText::Valid:
        return RunCountEntry{value, false};
    case IntegerText::OutOfRange:
        return RunCountEntry{0, true};
    case IntegerText::NotInteger:
        break;
    }
    return RunCountEntry{0, false};
}

void ShowDhrystone() {
    ProcessorRecord& r = gRecord;
    ConLine();
    ConLine("Dhrystone Benchmark, based on Version 2.1 - Pascal Language");
    ConWrite(" -> Please give the number of runs through the benchmark [in thausands]: ");
    ConFlush();
    RunCountEntry entry = ReadRunCount();
    if (entry.outOfRange || !DhrystoneEntryInRange(entry.value)) {
        WriteOutOfRange();
        PauseEnd();
        return;
    }
    r.dhrystoneRuns = entry.value * kDhrystoneRunsPerEntry;
    if (r.verbose) {
        ConLine(" -> Execution starts, " + RightAligned(r.dhrystoneRuns, 7) + " runs through Dhrystone");
    }
    r.dhrystoneScore = RunDhrystone(r.dhrystoneRuns, r.dhrystoneMicros);
    if (r.dhrystoneScore > -1.0) {
        if (r.verbose) {
            ConLine(" -> Microseconds for one run through Dhrystone: " + FixedReal(r.dhrystoneMicros, 12, 8));
        }
        ConLine(" ==> Dhrystone score: " + FixedReal(r.dhrystoneScore, 17, 4) + "    [" +
                FixedReal(r.dhrystoneScore / 1000000.0, 11, 4) + "] MIPS");
    } else {
        WriteTimeTooSmall();
    }
    PauseEnd();
}

void ShowWhetstone() {
    ProcessorRecord& r = gRecord;
    ConLine();
    ConLine("Whetstone Benchmark - Pascal Language");
    ConWrite(" -> Please give the number of runs through the benchmark: ");
    ConFlush();
    RunCountEntry entry = ReadRunCount();
    if (entry.outOfRange || !WhetstoneRunsInRange(entry.value)) {
        WriteOutOfRange();
        PauseEnd();
        return;
    }
    r.whetstoneRuns = entry.value;
    if (r.verbose) {
        ConLine(" -> Execution starts, " + RightAligned(r.whetstoneRuns, 11) + " runs through Whetstone");
    }
    r.whetstoneScore = RunWhetstone(r.whetstoneRuns, r.whetstoneMicros);
    if (r.whetstoneScore > -1.0) {
        if (r.verbose) {
            ConLine(" -> Microseconds for one run through Whetstone: " + FixedReal(r.whetstoneMicros, 12, 8));
        }
        ConLine(" ==> Whetstone score: " + FixedReal(r.whetstoneScore, 17, 4) + "    [" +
                FixedReal(r.whetstoneScore / 1000000.0, 11, 4) + "] MWIPS");
    } else {
        WriteTimeTooSmall();
    }
    PauseEnd();
}
