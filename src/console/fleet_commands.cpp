#include "console/fleet_commands.hpp"

#include "database/capability_names.hpp"
#include "database/processor_db.hpp"
#include "reports/fleet_output.hpp"

#include <algorithm>
#include <ostream>

namespace {

const char kJsonSwitch[] = "--json";
const char kThisMachine[] = "-";

// Removes every "--json" from the operands; true when there was one.
bool TakeJsonSwitch(std::vector<std::string>& operands) {
    auto end = std::remove(operands.begin(), operands.end(), kJsonSwitch);
    bool json = end != operands.end();
    operands.erase(end, operands.end());
    return json;
}

// "-" is this machine, anything else a dump.
std::optional<std::string> PathOf(const std::string& operand) {
    return operand == kThisMachine ? std::nullopt : std::optional<std::string>(operand);
}

bool ReadMachine(const IniFile& database, const std::string& operand, std::ostream& err,
                 ComparedMachine& machine, MachineFeatures& features) {
    std::optional<std::string> path = PathOf(operand);
    CpuidSnapshot snapshot;
    if (!ReadSnapshotFrom(path, err, snapshot)) {
        return false;
    }
    machine.source = CapabilitySource{!path, path.value_or(std::string()), ReadDatabaseVersion(database)};
    machine.facts = DescribeSnapshot(database, snapshot, !path);
    features = MachineFeatures{ReadFeatureMask(snapshot), machine.facts.levels.level};
    return true;
}

} // namespace

int RunDiff(const CommandRequest& request) {
    std::vector<std::string> operands = request.operands;
    bool json = TakeJsonSwitch(operands);
    if (request.dumpPath || operands.size() != 2) {
        return UsageError(request, "--diff needs two processors: dumps, or - for this machine");
    }
    IniFile database = OpenDatabase();
    DiffReport report;
    MachineFeatures a;
    MachineFeatures b;
    if (!ReadMachine(database, operands[0], request.err, report.a, a) ||
        !ReadMachine(database, operands[1], request.err, report.b, b)) {
        return kUnreadableDumpStatus;
    }
    report.diff = CompareFeatures(a, b, ReadFeatureNameBook(database));
    (json ? WriteDiffJson : WriteDiffText)(report, request.out);
    request.out.flush();
    return report.diff.BRunsA() ? 0 : 1;
}

int RunBaseline(const CommandRequest& request) {
    return UsageError(request, "--baseline is not built yet");
}
