#include "classic/menu_program.hpp"

#include "classic/menu.hpp"
#include "classic/probe.hpp"
#include "classic/raw_capture.hpp"
#include "classic/record.hpp"
#include "classic/replay.hpp"
#include "classic/run_state.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"

// The data file is read once here for the banner and the probe, and dropped
// once the probe is done.
int RunMenuProgram(const std::vector<std::string>& args, const MachineSources& machine) {
    ProcessorRecord record;
    RunState run;
    IniFile database = OpenDatabase();
    run.textWidths = ReadTextWidths(database);
    ShowBanner(database);
    if (!DatabaseUsable(database)) {
        // Said once, at start: About reads the file again but says nothing.
        ConError("veldrix: cannot open data file " + DatabasePath() +
                 "; processor and feature names will be empty");
    }
    std::string option;
    CpuidSnapshot snapshot;
    if (!SelectCpuidSource(args, option, run, snapshot)) {
        return kUnreadableDumpStatus;
    }
    ApplyOption(run, option);
    if (!run.replaying) {
        snapshot = machine.takeSnapshot();
    }
    record.cpuidSupported = HasCpuidLeaves(snapshot);
    if (!record.cpuidSupported) {
        ConLine("\r\nYour CPU does not support CPUID command.");
        ConFlush();
        return 0;
    }
    if (run.verbose) {
        ConLine("Retrieving CPUID..");
    }
    TickCounter clockTicks = run.replaying ? TickCounter() : machine.clockTicks;
    ProbeProcessor(record,
                   ProbeSources{snapshot, database, clockTicks, run.verbose ? &ConsoleOutput() : nullptr});
    CloseDatabase(database);
    if (run.captureMode) {
        bool written = WriteRawCapture(record, snapshot);
        ShowQuitScreen(run);
        return written ? 0 : 1;
    }
    if (run.verbose) {
        ConLine("done.");
    }
    RunMenu(record, run);
    ConFlush();
    return 0;
}
