#include "console/replay.hpp"

#include "console/console_io.hpp"
#include "probe/clock.hpp"
#include "probe/cpuid.hpp"
#include "probe/dump_reader.hpp"
#include "reports/text_file.hpp"

#include <utility>

namespace {

// The argument at index, or empty when the command line is shorter.
std::string ArgumentAt(const std::vector<std::string>& args, size_t index) {
    return index < args.size() ? args[index] : std::string();
}

bool IsReplayRequest(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "-r";
}

// Installs the dump as the CPUID source and stops clock measurement.
bool StartReplay(const std::string& dump) {
    CpuidTable table;
    if (!LoadCpuidDump(dump, table)) {
        ConLine("*** Cannot read CPUID dump " + dump + " ***");
        ConFlush();
        return false;
    }
    UseCpuidTable(std::move(table));
    SetTickCounter(nullptr);
    // A capture or report under the dump's name would replace it.
    ProtectFromReplacing(dump);
    ConLine("~ Replaying CPUID dump " + dump);
    ConLine();
    return true;
}

} // namespace

bool SelectCpuidSource(const std::vector<std::string>& args, std::string& option) {
    if (!IsReplayRequest(args)) {
        ProtectFromReplacing("");
        option = ArgumentAt(args, 0);
        return true;
    }
    option = ArgumentAt(args, 2);
    return StartReplay(ArgumentAt(args, 1));
}
