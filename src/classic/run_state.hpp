// The state of one run of the menu program, apart from what the probe found:
// the options, which sections the menu has offered, the benchmark results,
// the name-column widths and where the menu stands.
#pragma once

#include "bench/bench.hpp"
#include "classic/record_types.hpp"
#include "names/processor_db.hpp"
#include "platform/platform.hpp"

#include <cstdint>

struct RunState {
    // Options from the command line.
    bool captureMode = false;
    bool verbose = false;

    // True while CPUID answers come from a dump: this machine's benchmark
    // figures then describe another processor than the one shown.
    bool replaying = false;

    // Sections the menu has offered.
    SectionFlagSet sectionFlags{};

    // Benchmark results; a score not above -1 marks a run too short to measure.
    double dhrystoneScore = 0.0;
    double dhrystoneMicros = 0.0;
    int32_t dhrystoneRuns = 0;
    double whetstoneScore = 0.0;
    double whetstoneMicros = 0.0;
    int32_t whetstoneRuns = 0;

    // The time of day the benchmark timer reads.
    BenchClock benchClock = LocalTimeOfDay;

    // Name-column widths of the feature views, from the data file.
    TextWidths textWidths;

    // Menu state.
    char menuKey = 0;
    bool quitRequested = false;
};
