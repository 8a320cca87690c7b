// Console drivers of the two benchmarks (menu keys D and W): the run-count
// prompt, one timed run and the score lines. Scores stay in the record for
// the HTML report.
#include "bench/bench.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "probe/record.hpp"
#include "views/views.hpp"

#include <algorithm>
#include <climits>

namespace {

// The runs typed for Dhrystone are thousands.
constexpr int32_t kDhrystoneRunsPerEntry = 1000;

int32_t gRunLimit = 0;

// The passes actually made for a typed count.
int32_t LimitedRuns(int32_t runs) {
    return gRunLimit > 0 ? std::min(runs, gRunLimit) : runs;
}

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

void LimitBenchmarkRuns(int32_t most) {
    gRunLimit = most;
}

double RunDhrystone(int32_t runs, double& micros) {
    PrepareDhrystone();
    StartBenchTimer();
    RunDhrystoneLoop(LimitedRuns(runs));
    StopBenchTimer();
    FinishDhrystone();
    benchElapsed = ElapsedBenchSeconds(benchStartTime, benchEndTime);
    return BenchScore(runs, benchElapsed, kDhrystoneMinimumSeconds, micros);
}

double RunWhetstone(int32_t n, double& micros) {
    if (!WhetstoneRunsInRange(n)) {
        return -1.0;
    }
    WhetstoneCounts counts = CountWhetstoneLoops(LimitedRuns(n));
    StartBenchTimer();
    RunWhetstoneModules(counts);
    StopBenchTimer();
    benchElapsed = ElapsedBenchSeconds(benchStartTime, benchEndTime);
    return BenchScore(n, benchElapsed, kWhetstoneMinimumSeconds, micros);
}

bool DhrystoneEntryInRange(int32_t thousands) {
    return thousands <= INT32_MAX / kDhrystoneRunsPerEntry && thousands >= INT32_MIN / kDhrystoneRunsPerEntry;
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

namespace {

// Shows the title and the prompt and reads the run count; false (after the
// out-of-range line) when the count does not fit this benchmark.
bool AskRunCount(const char* title, const char* prompt, bool (*inRange)(int32_t), int32_t& entry) {
    ConLine();
    ConLine(title);
    ConWrite(prompt);
    ConFlush();
    RunCountEntry typed = ReadRunCount();
    if (typed.outOfRange || !inRange(typed.value)) {
        WriteOutOfRange();
        return false;
    }
    entry = typed.value;
    return true;
}

void WriteRunsStart(bool verbose, const std::string& name, int32_t runs, int width) {
    if (verbose) {
        ConLine(" -> Execution starts, " + RightAligned(runs, width) + " runs through " + name);
    }
}

// The score lines of a run, or the two lines of a run that was too short.
void WriteScore(bool verbose, const std::string& name, const char* unit, double score, double micros) {
    if (score > -1.0) {
        if (verbose) {
            ConLine(" -> Microseconds for one run through " + name + ": " + FixedReal(micros, 12, 8));
        }
        ConLine(" ==> " + name + " score: " + FixedReal(score, 17, 4) + "    [" +
                FixedReal(score / 1000000.0, 11, 4) + "] " + unit);
    } else {
        WriteTimeTooSmall();
    }
}

} // namespace

void ShowDhrystone(ProcessorRecord& r) {
    int32_t thousands = 0;
    if (AskRunCount("Dhrystone Benchmark, based on Version 2.1 - Pascal Language",
                    " -> Please give the number of runs through the benchmark [in thausands]: ",
                    DhrystoneEntryInRange, thousands)) {
        r.dhrystoneRuns = thousands * kDhrystoneRunsPerEntry;
        WriteRunsStart(r.verbose, "Dhrystone", r.dhrystoneRuns, 7);
        r.dhrystoneScore = RunDhrystone(r.dhrystoneRuns, r.dhrystoneMicros);
        WriteScore(r.verbose, "Dhrystone", "MIPS", r.dhrystoneScore, r.dhrystoneMicros);
    }
    PauseEnd();
}

void ShowWhetstone(ProcessorRecord& r) {
    int32_t runs = 0;
    if (AskRunCount("Whetstone Benchmark - Pascal Language",
                    " -> Please give the number of runs through the benchmark: ", WhetstoneRunsInRange,
                    runs)) {
        r.whetstoneRuns = runs;
        WriteRunsStart(r.verbose, "Whetstone", r.whetstoneRuns, 11);
        r.whetstoneScore = RunWhetstone(r.whetstoneRuns, r.whetstoneMicros);
        WriteScore(r.verbose, "Whetstone", "MWIPS", r.whetstoneScore, r.whetstoneMicros);
    }
    PauseEnd();
}
