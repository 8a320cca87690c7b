#include "app/program.hpp"

#include "app/command_line.hpp"
#include "classic/menu_program.hpp"
#include "classic/text_file.hpp"
#include "console/console_io.hpp"
#include "console/standard_output.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/processor_db.hpp"
#include "platform/platform.hpp"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {

// The status the program ends with, once everything written to standard
// output has been pushed out: a write that failed on the way turns any
// status into kOutputFailedStatus, said in one line on standard error.
int CheckedExitStatus(int status) {
    std::cout.flush();
    ConFlush();
    if (!std::cout.fail() && !ConOutputFailed()) {
        return status;
    }
    std::string reason = StandardOutputFailure();
    ConError("veldrix: cannot write standard output: " + (reason.empty() ? std::strerror(EIO) : reason));
    return kOutputFailedStatus;
}

// A report or a capture under one of these names would break the program or
// replace the user's only copy of another machine's data.
void ProtectOwnFiles(const std::vector<std::string>& args) {
    ProtectFromReplacing(OwnFile::DataFile, DatabasePath());
    ProtectFromReplacing(OwnFile::Program, ExecutablePath());
    bool replay = args.size() >= 2 && args[0] == "-r";
    ProtectFromReplacing(OwnFile::ReplayedDump, replay ? args[1] : "");
}

} // namespace

int RunVeldrix(const std::vector<std::string>& args) {
    std::optional<int> status = RunCommandLine(args, std::cout, std::cerr);
    if (!status) {
        ProtectOwnFiles(args);
        status = RunMenuProgram(args,
                                MachineSources{[] { return TakeHardwareSnapshot(1); }, MeasureHardwareTicks});
    }
    return CheckedExitStatus(*status);
}
