// Start-up cost without the clock measurement: the walk of the first processor's
// CPUID leaves, opening the data file, the probe with all its lookups, and
// drawing the menu. Also reports the peak memory of the process. Not a test: figures vary by machine.
#include "classic/clock.hpp"
#include "classic/menu.hpp"
#include "classic/probe.hpp"
#include "classic/record.hpp"
#include "classic/run_state.hpp"
#include "console/console_io.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/processor_db.hpp"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main() {
    const int rounds = 200;
    std::istringstream input;
    std::ostringstream output;
    SetConsoleStreams(&input, &output);

    double walkTotal = 0;
    double probeTotal = 0;
    double databaseTotal = 0;
    double menuTotal = 0;
    ProcessorRecord record;
    RunState run;
    for (int i = 0; i < rounds; ++i) {
        record = ProcessorRecord{};
        run = RunState{};
        Clock::time_point start = Clock::now();
        IniFile database = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
        run.textWidths = ReadTextWidths(database);
        databaseTotal += MillisecondsSince(start);

        start = Clock::now();
        CpuidSnapshot snapshot = TakeHardwareSnapshot(1); // as the menu program reads it
        walkTotal += MillisecondsSince(start);

        start = Clock::now();
        // The 510 ms clock window is measured apart: no tick counter here.
        ProbeProcessor(record, ProbeSources{snapshot, database, TickCounter(), nullptr});
        CloseDatabase(database);
        probeTotal += MillisecondsSince(start);

        start = Clock::now();
        DrawMenu(record, run);
        menuTotal += MillisecondsSince(start);
        output.str("");
    }
    SetConsoleStreams(nullptr, nullptr);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("open data file + read widths : %8.3f ms\n", databaseTotal / rounds);
    std::printf("CPUID walk, first processor  : %8.3f ms\n", walkTotal / rounds);
    std::printf("probe (decoding, lookups)    : %8.3f ms\n", probeTotal / rounds);
    std::printf("draw menu                    : %8.3f ms\n", menuTotal / rounds);
    std::printf("data file and every lookup   : %8.3f ms (budget 2 ms; includes the CPUID reads)\n",
                (databaseTotal + walkTotal + probeTotal) / rounds);
    std::printf("start-up without the clock   : %8.3f ms (budget 5 ms)\n",
                (databaseTotal + walkTotal + probeTotal + menuTotal) / rounds);
    std::printf("peak memory                  : %8.2f MB (budget 8 MB)\n", usage.ru_maxrss / 1024.0);
    std::printf("processor                    : %s\n", record.vendorName.c_str());
    return 0;
}
