#include "classic/bench_screens.hpp"

#include "bench/bench.hpp"
#include "classic/run_state.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"

#include <string>

namespace {

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

void ShowDhrystone(RunState& run) {
    int32_t thousands = 0;
    if (AskRunCount("Dhrystone Benchmark, based on Version 2.1 - Pascal Language",
                    " -> Please give the number of runs through the benchmark [in thausands]: ",
                    DhrystoneEntryInRange, thousands)) {
        run.dhrystoneRuns = thousands * kDhrystoneRunsPerEntry;
        WriteRunsStart(run.verbose, "Dhrystone", run.dhrystoneRuns, 7);
        run.dhrystoneScore = RunDhrystone(run.dhrystoneRuns, run.dhrystoneMicros, run.benchClock);
        WriteScore(run.verbose, "Dhrystone", "MIPS", run.dhrystoneScore, run.dhrystoneMicros);
    }
    PauseEnd();
}

void ShowWhetstone(RunState& run) {
    int32_t runs = 0;
    if (AskRunCount("Whetstone Benchmark - Pascal Language",
                    " -> Please give the number of runs through the benchmark: ", WhetstoneRunsInRange,
                    runs)) {
        run.whetstoneRuns = runs;
        WriteRunsStart(run.verbose, "Whetstone", run.whetstoneRuns, 11);
        run.whetstoneScore = RunWhetstone(run.whetstoneRuns, run.whetstoneMicros, run.benchClock);
        WriteScore(run.verbose, "Whetstone", "MWIPS", run.whetstoneScore, run.whetstoneMicros);
    }
    PauseEnd();
}
