#include "console/fleet_commands.hpp"

#include "common/plain_text.hpp"
#include "database/capability_names.hpp"
#include "database/compiler_flags.hpp"
#include "database/processor_db.hpp"
#include "probe/snapshot_source.hpp"
#include "reports/fleet_output.hpp"

#include <algorithm>
#include <filesystem>
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

// The files a baseline operand names: this machine ("-"), the regular files
// of a folder (not recursing, sorted by name), or the path itself.
std::vector<std::string> FilesOf(const std::string& operand, std::vector<SkippedFile>& skipped) {
    namespace fs = std::filesystem;
    std::error_code failure;
    if (operand == kThisMachine || !fs::is_directory(operand, failure)) {
        return {operand};
    }
    std::vector<std::string> files;
    for (fs::directory_iterator entry(operand, failure), end; !failure && entry != end;
         entry.increment(failure)) {
        if (entry->is_regular_file(failure)) {
            files.push_back(entry->path().string());
        }
    }
    if (failure) {
        skipped.push_back(SkippedFile{operand, "cannot list the folder " + operand});
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Reads one machine into the fleet, or notes why it was skipped; only the
// reduced features stay, the snapshot is dropped. Features are processor
// 0's, so a dump's other processors are not even parsed.
void AddMachine(const std::string& file, const FeatureNameBook& book, FleetBaseline& fleet,
                std::vector<SkippedFile>& skipped) {
    std::optional<std::string> path = PathOf(file);
    if (!path) {
        fleet.Add("this machine", ReadMachineFeatures(TakeHardwareSnapshot(), book, true));
        return;
    }
    CpuidSnapshot snapshot;
    std::string error;
    if (!LoadDumpSnapshot(*path, snapshot, error, 1)) {
        skipped.push_back(SkippedFile{*path, error});
        return;
    }
    fleet.Add(*path, ReadMachineFeatures(snapshot, book, false));
}

BaselineReport ReportOf(const IniFile& database, const FleetBaseline& fleet, const FeatureNameBook& book) {
    BaselineReport report;
    report.databaseVersion = ReadDatabaseVersion(database);
    report.machines = fleet.MachineCount();
    report.level = fleet.Level();
    report.common = NameFeatureMask(fleet.Common(), book);
    for (const HoldingMachine& machine : fleet.HoldingDown()) {
        report.holding.emplace_back(machine.label, GroupNames(NameFeatureMask(machine.lacks, book)));
    }
    report.compilerFlags = SafeCompilerFlags(database, report.level, GroupNames(report.common));
    return report;
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
    std::vector<std::string> operands = request.operands;
    bool json = TakeJsonSwitch(operands);
    if (request.dumpPath || operands.empty()) {
        return UsageError(request, "--baseline needs dumps or folders of dumps (- for this machine)");
    }
    IniFile database = OpenDatabase();
    FeatureNameBook book = ReadFeatureNameBook(database);
    FleetBaseline fleet;
    std::vector<SkippedFile> skipped;
    for (const std::string& operand : operands) {
        for (const std::string& file : FilesOf(operand, skipped)) {
            AddMachine(file, book, fleet, skipped);
        }
    }
    for (const SkippedFile& file : skipped) {
        request.err << "veldrix: skipped: " << WithoutControlBytes(file.reason) << kPlainLineEnd;
    }
    BaselineReport report = ReportOf(database, fleet, book);
    report.skipped = skipped;
    (json ? WriteBaselineJson : WriteBaselineText)(report, request.out);
    request.out.flush();
    return report.machines == 0 ? kUnreadableDumpStatus : 0;
}
