#include "app/command_request.hpp"

#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/capability_names.hpp"
#include "names/field_table.hpp"
#include "names/processor_db.hpp"

#include <ostream>

int UsageError(const CommandRequest& request, const std::string& reason) {
    request.err << "veldrix: " << TerminalText(request.err, reason) << kPlainLineEnd;
    WriteUsage(request.err);
    return kUsageStatus;
}

bool ReadSnapshotFrom(const std::optional<std::string>& path, std::ostream& err, CpuidSnapshot& snapshot) {
    if (!path) {
        snapshot = TakeHardwareSnapshot();
        return true;
    }
    std::string error;
    bool loaded = LoadDumpSnapshot(*path, snapshot, error);
    for (const std::string& note : DumpCutNotes(*path, snapshot)) {
        err << OneLineText(err, note) << kPlainLineEnd;
    }
    if (!loaded) {
        err << "veldrix: " << OneLineText(err, error) << kPlainLineEnd;
    }
    return loaded;
}

std::optional<int> ReadProcessorsFrom(const std::optional<std::string>& path, std::ostream& err,
                                      CpuidSnapshot& snapshot) {
    if (!ReadSnapshotFrom(path, err, snapshot)) {
        return kUnreadableDumpStatus;
    }
    if (snapshot.cpus.empty()) {
        err << "veldrix: this processor has no CPUID instruction" << kPlainLineEnd;
        return 1;
    }
    return std::nullopt;
}

CapabilityFacts DescribeSnapshot(const IniFile& database, const CpuidSnapshot& snapshot, bool fromHardware) {
    DescriptorNames descriptorNames = ReadDescriptorNames(database);
    CapabilityFacts facts =
        DecodeCapabilities(snapshot, ReadFeatureNameBook(database), descriptorNames, fromHardware);
    LookupCapabilityNames(database, facts);
    facts.details = DecodeProcessorDetails(snapshot, ReadFieldTable(database, DetailFieldLeaves()),
                                           descriptorNames, facts.topology, facts.os);
    return facts;
}

bool GatherFactsFrom(const std::optional<std::string>& path, std::ostream& err, CapabilityFacts& facts,
                     CapabilitySource& source) {
    CpuidSnapshot snapshot;
    source.hardware = !path;
    source.path = path.value_or(std::string());
    if (!ReadSnapshotFrom(path, err, snapshot)) {
        return false;
    }
    IniFile database = OpenDatabase();
    source.databaseVersion = ReadDatabaseVersion(database);
    facts = DescribeSnapshot(database, snapshot, source.hardware);
    return true;
}
