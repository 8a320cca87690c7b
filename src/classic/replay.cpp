#include "classic/replay.hpp"

#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"

#include <new>

namespace {

// The argument at index, or empty when the command line is shorter.
std::string ArgumentAt(const std::vector<std::string>& args, size_t index) {
    return index < args.size() ? args[index] : std::string();
}

bool IsReplayRequest(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "-r";
}

// Loads the dump's first processor into the snapshot. How the dump was cut,
// if it was, goes to standard error.
bool StartReplay(const std::string& dump, RunState& run, CpuidSnapshot& snapshot) {
    std::string error;
    // The screens show processor 0 only, so no other processor is parsed. A
    // dump too large for the memory the process may take is one that cannot
    // be read.
    bool loaded = false;
    try {
        loaded = LoadDumpSnapshot(dump, snapshot, error, 1);
    } catch (const std::bad_alloc&) {
        ConError(WithoutControlBytes("veldrix: not enough memory to read " + dump));
    }
    for (const std::string& note : DumpCutNotes(dump, snapshot)) {
        ConError(WithoutControlBytes(note));
    }
    if (!loaded) {
        ConLine("*** Cannot read CPUID dump " + MachineText(dump) + " ***");
        ConFlush();
        return false;
    }
    run.replaying = true;
    ConLine("~ Replaying CPUID dump " + MachineText(dump));
    ConLine();
    return true;
}

} // namespace

bool SelectCpuidSource(const std::vector<std::string>& args, std::string& option, RunState& run,
                       CpuidSnapshot& snapshot) {
    if (!IsReplayRequest(args)) {
        option = ArgumentAt(args, 0);
        return true;
    }
    option = ArgumentAt(args, 2);
    return StartReplay(ArgumentAt(args, 1), run, snapshot);
}
