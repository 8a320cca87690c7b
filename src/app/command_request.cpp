#include "app/command_request.hpp"

#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/capability_names.hpp"
#include "names/field_table.hpp"
#include "names/processor_db.hpp"
#include "names/processor_generations.hpp"
#include "names/reference_books.hpp"
#include "platform/kernel_reports.hpp"

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

namespace {

// What this machine's kernel says, against the Linux flags of its snapshot.
std::optional<KernelView> KernelViewOf(const IniFile& database,
                                       const std::optional<std::vector<std::string>>& linuxFlags) {
    std::optional<KernelReports> reports = ReadKernelReports();
    if (!reports) {
        return std::nullopt;
    }
    KernelView view;
    view.microcode = reports->microcode;
    view.vulnerabilities = DescribeVulnerabilities(reports->vulnerabilities);
    CompareKernelFlags(linuxFlags, reports->flags, ReadLinuxSyntheticFlags(database), view);
    return view;
}

} // namespace

CapabilityFacts DescribeSnapshot(const IniFile& database, const CpuidSnapshot& snapshot, bool fromHardware) {
    DescriptorNames descriptorNames = ReadDescriptorNames(database);
    CapabilityFacts facts =
        DecodeCapabilities(snapshot, ReadFeatureNameBook(database), descriptorNames, fromHardware);
    LookupCapabilityNames(database, facts);
    facts.details = DecodeProcessorDetails(snapshot, ReadFieldTable(database, DetailFieldLeaves()),
                                           descriptorNames, facts.topology, facts.os);
    VocabularyProcessor identity{facts.identity.vendorId, facts.hypervisor.present, {}};
    std::optional<ProcessorGeneration> generation =
        LookupGeneration(database, facts.names.vendor.value_or(""), facts.names.processor.value_or(""));
    if (generation) {
        identity.generation = GenerationFacts{generation->microarchitecture, generation->processNode,
                                              generation->archspecTarget};
    }
    facts.vocabularies =
        DecodeVocabularies(snapshot, identity, ReadLinuxFlagBook(database), ReadArchspecBook(database));
    if (fromHardware) {
        facts.vocabularies.kernel = KernelViewOf(database, facts.vocabularies.linuxFlags);
    }
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
    NoteDamagedReferences(database, err);
    return true;
}

void NoteDamagedReferences(const IniFile& database, std::ostream& err) {
    if (!DatabaseUsable(database)) {
        return;
    }
    if (!ReadLinuxFlagBook(database)) {
        err << "veldrix: the data file's [LinuxFlags] section is missing or damaged; "
               "Linux flags and archspec targets are unknown"
            << kPlainLineEnd;
    } else if (!ReadArchspecBook(database)) {
        err << "veldrix: the data file's archspec sections are missing or damaged; "
               "archspec targets are unknown"
            << kPlainLineEnd;
    }
}
