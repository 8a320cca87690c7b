#include "console/dump_command.hpp"

#include "console/console_io.hpp"
#include "console/replay.hpp"
#include "probe/snapshot_source.hpp"
#include "probe/snapshot_writer.hpp"

#include <iostream>

namespace {

const char kDumpOption[] = "--dump";

void ErrorLine(const std::string& text) {
    std::cerr << text << '\n';
}

void WriteSnapshot(const CpuidSnapshot& snapshot) {
    ConWrite(WriteSnapshotText(snapshot));
    ConFlush();
}

int DumpThisMachine() {
    CpuidSnapshot snapshot = TakeHardwareSnapshot();
    if (snapshot.cpus.empty()) {
        ErrorLine("veldrix: this processor has no CPUID instruction");
        return 1;
    }
    if (snapshot.singleProcessorFallback) {
        ErrorLine("veldrix: the processors could not be visited one by one; "
                  "only the one this program ran on is listed");
    }
    WriteSnapshot(snapshot);
    return 0;
}

int DumpFile(const std::string& path) {
    CpuidSnapshot snapshot;
    std::string error;
    bool loaded = LoadDumpSnapshot(path, snapshot, error);
    for (const std::string& note : DumpCutNotes(path, snapshot)) {
        ErrorLine(note);
    }
    if (!loaded) {
        ErrorLine("veldrix: " + error);
        return kUnreadableDumpStatus;
    }
    WriteSnapshot(snapshot);
    return 0;
}

} // namespace

bool IsDumpCommand(const std::vector<std::string>& args) {
    return (args.size() == 1 && args[0] == kDumpOption) ||
           (args.size() == 3 && args[0] == "-r" && args[2] == kDumpOption);
}

int RunDumpCommand(const std::vector<std::string>& args) {
    return args.size() == 1 ? DumpThisMachine() : DumpFile(args[1]);
}
