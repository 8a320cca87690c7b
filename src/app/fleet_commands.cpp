#include "app/fleet_commands.hpp"

#include "app/fleet_vocabulary.hpp"

#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "cpuid/snapshot_source.hpp"
#include "decode/microarch_fleet.hpp"
#include "names/capability_names.hpp"
#include "names/compiler_flags.hpp"
#include "names/processor_db.hpp"
#include "outputs/fleet_output.hpp"
#include "platform/platform.hpp"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
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

bool ReadMachine(const IniFile& database, const NameBooks& books, const std::string& operand,
                 std::ostream& err, ComparedMachine& machine, FleetMachine& features) {
    std::optional<std::string> path = PathOf(operand);
    CpuidSnapshot snapshot;
    if (!ReadSnapshotFrom(path, err, snapshot)) {
        return false;
    }
    machine.source = CapabilitySource{!path, path.value_or(std::string()), ReadDatabaseVersion(database)};
    machine.facts = DescribeSnapshot(database, snapshot, !path);
    features = ReadFleetMachine(snapshot, books, !path);
    return true;
}

// Why a folder's entry that is no regular file is not read.
std::string NotReadReason(const std::filesystem::directory_entry& entry) {
    namespace fs = std::filesystem;
    const std::string name = entry.path().string();
    std::error_code failure;
    fs::file_status status = entry.status(failure);
    std::error_code ignored;
    if (fs::is_directory(status)) {
        return name + " is a folder; folders within a folder are not read";
    }
    if (failure == std::errc::too_many_symbolic_link_levels) {
        return name + " is a link that loops";
    }
    if (failure == std::errc::no_such_file_or_directory && entry.is_symlink(ignored)) {
        return name + " is a link to nothing";
    }
    if (failure) {
        return "cannot look at " + name + ": " + failure.message();
    }
    return name + " is not a regular file";
}

// Calls visit for every file a baseline operand names: this machine ("-"),
// the regular files of a folder (not recursing, in the order the folder
// lists them), or the path itself. No list of names is built, so a folder of
// any size costs no memory. A folder that cannot be listed, and its entries
// that are no regular file (folders, links to nothing, link loops), are
// noted in skipped when that is given.
void ForEachFile(const std::string& operand, const std::function<void(const std::string&)>& visit,
                 std::vector<SkippedFile>* skipped) {
    namespace fs = std::filesystem;
    std::error_code failure;
    if (operand == kThisMachine || !fs::is_directory(operand, failure)) {
        visit(operand);
        return;
    }
    for (fs::directory_iterator entry(operand, failure), end; !failure && entry != end;
         entry.increment(failure)) {
        // Only the listing's own failure ends the loop; an entry's is noted.
        std::error_code entryFailure;
        if (entry->is_regular_file(entryFailure)) {
            visit(entry->path().string());
        } else if (skipped != nullptr) {
            skipped->push_back(SkippedFile{entry->path().string(), NotReadReason(*entry)});
        }
    }
    if (failure && skipped != nullptr) {
        skipped->push_back(SkippedFile{operand, "cannot list the folder " + operand});
    }
}

// The files a pass over the fleet has met, by identity, so that one file
// named twice (two paths, a link, the same operand again) counts once.
class SeenFiles {
  public:
    // The name under which the file was met before, or none (and it is
    // remembered under this one). A file that cannot be looked at is never
    // taken for another.
    std::optional<std::string> EarlierName(const std::string& file) {
        if (file == kThisMachine) {
            bool seen = thisMachineSeen_;
            thisMachineSeen_ = true;
            return seen ? std::optional<std::string>(file) : std::nullopt;
        }
        std::optional<FileIdentity> identity = PlatformFileIdentity(file);
        if (!identity) {
            return std::nullopt;
        }
        auto [found, added] = names_.emplace(*identity, file);
        return added ? std::nullopt : std::optional<std::string>(found->second);
    }

  private:
    bool thisMachineSeen_ = false;
    std::map<FileIdentity, std::string> names_;
};

// Reads the machines of a fleet down to their features. Only processor 0 is
// parsed and the snapshot is dropped at once. What cannot be read a second
// time (this machine, a pipe such as a shell's <(...)) is read once and
// remembered, as it is asked for again when the held-down list is written;
// such operands come only from the command line, so they are few.
class FleetReader {
  public:
    explicit FleetReader(const NameBooks& books) : books_(books) {}

    // The machine of the file, or none with the reason in error. notes
    // receives how the dump was cut when it was read now.
    std::optional<FleetMachine> Read(const std::string& file, std::string& error,
                                     std::vector<std::string>& notes) {
        std::error_code failure;
        if (file != kThisMachine && std::filesystem::is_regular_file(file, failure)) {
            return ReadOnce(file, error, notes);
        }
        auto found = readOnce_.find(file);
        if (found == readOnce_.end()) {
            std::string firstError;
            std::optional<FleetMachine> machine = ReadOnce(file, firstError, notes);
            found = readOnce_.emplace(file, std::make_pair(machine, firstError)).first;
        }
        error = found->second.second;
        return found->second.first;
    }

  private:
    // A dump too large for the memory the process may take is no machine of
    // the fleet; the others are still read.
    std::optional<FleetMachine> ReadOnce(const std::string& file, std::string& error,
                                         std::vector<std::string>& notes) const {
        if (file == kThisMachine) {
            return ReadFleetMachine(TakeHardwareSnapshot(), books_, true);
        }
        try {
            CpuidSnapshot snapshot;
            bool loaded = LoadDumpSnapshot(file, snapshot, error, 1);
            notes = DumpCutNotes(file, snapshot);
            return loaded ? std::optional<FleetMachine>(ReadFleetMachine(snapshot, books_, false))
                          : std::nullopt;
        } catch (const std::bad_alloc&) {
            error = "not enough memory to read " + file;
            return std::nullopt;
        }
    }

    const NameBooks& books_;
    std::map<std::string, std::pair<std::optional<FleetMachine>, std::string>> readOnce_;
};

std::string FleetLabel(const std::string& file) {
    return file == kThisMachine ? "this machine" : file;
}

std::string SameFileNote(const std::string& file, const std::string& earlier) {
    if (file == kThisMachine) {
        return "this machine is named more than once; counted once";
    }
    return WithoutControlBytes(file) + " is the same file as " + WithoutControlBytes(earlier) +
           "; counted once";
}

// What the first pass over the operands tells besides the machines: the
// files that are no dump, and on the error stream how a dump was cut or that
// a file was named twice.
struct FirstPass {
    std::vector<SkippedFile>& skipped;
    std::ostream& err;
};

// Calls visit for every file the operands name, once each, with the
// machine's features, or none and the reason when the file is no dump.
using MachineVisitor = std::function<void(const std::string& file, const std::optional<FleetMachine>& machine,
                                          const std::string& error)>;

void ForEachMachine(const std::vector<std::string>& operands, FleetReader& reader,
                    const MachineVisitor& visit, FirstPass* first) {
    SeenFiles seen;
    for (const std::string& operand : operands) {
        ForEachFile(
            operand,
            [&](const std::string& file) {
                if (std::optional<std::string> earlier = seen.EarlierName(file)) {
                    if (first != nullptr) {
                        first->err << "veldrix: " << OneLineText(first->err, SameFileNote(file, *earlier))
                                   << kPlainLineEnd;
                    }
                    return;
                }
                std::string error;
                std::vector<std::string> notes;
                std::optional<FleetMachine> machine = reader.Read(file, error, notes);
                for (size_t i = 0; first != nullptr && i < notes.size(); ++i) {
                    first->err << OneLineText(first->err, notes[i]) << kPlainLineEnd;
                }
                visit(file, machine, error);
            },
            first != nullptr ? &first->skipped : nullptr);
    }
}

// What the first pass gathers: the fleet in both vocabularies, and how many
// machines each archspec target fits.
struct FleetTally {
    explicit FleetTally(const NameBooks& books) : books(books) {
        if (books.archspec) {
            archspec.emplace(*books.archspec);
        }
    }
    void Add(const FleetMachine& machine) {
        cpuid.Add(machine.cpuid);
        linuxFlags.Add(FeaturesIn(machine, Vocabulary::Linux));
        if (archspec) {
            archspec->Add(ArchspecProcessorOf(books, machine.vendorId, machine.linuxFlags));
        }
    }
    const FleetBaseline& In(Vocabulary vocabulary) const {
        return vocabulary == Vocabulary::Linux ? linuxFlags : cpuid;
    }

    const NameBooks& books;
    FleetBaseline cpuid;
    FleetBaseline linuxFlags;
    std::optional<ArchspecFleet> archspec;
};

// First pass over the operands: every machine reduced into the fleet, every
// file that is no dump noted with its reason.
void ReduceFleet(const std::vector<std::string>& operands, FleetReader& reader, FleetTally& fleet,
                 FirstPass& first) {
    ForEachMachine(
        operands, reader,
        [&](const std::string& file, const std::optional<FleetMachine>& machine, const std::string& error) {
            if (machine) {
                fleet.Add(*machine);
            } else {
                first.skipped.push_back(SkippedFile{file, error});
            }
        },
        &first);
}

// Second pass, made while the report is written: each machine read again and
// named when it lacks what most of the others have. Files that failed the
// first time fail again and are passed over silently.
HoldingWalk HoldingMachines(const std::vector<std::string>& operands, FleetReader& reader,
                            const FleetBaseline& fleet, Vocabulary vocabulary, const MaskNamer& name) {
    return [&operands, &reader, &fleet, vocabulary, name](const HoldingVisitor& visit) {
        ForEachMachine(
            operands, reader,
            [&](const std::string& file, const std::optional<FleetMachine>& machine, const std::string&) {
                std::optional<FeatureMask> lacks =
                    machine ? fleet.Holding(FeaturesIn(*machine, vocabulary).mask) : std::nullopt;
                if (lacks) {
                    visit(FleetLabel(file), GroupNames(name(*lacks)));
                }
            },
            nullptr);
    };
}

// The second pass for archspec: each machine the next target does not fit,
// with what it lacks of it (its vendor first when that is what differs).
HoldingWalk MachinesBelow(const std::vector<std::string>& operands, FleetReader& reader,
                          const NameBooks& books, size_t next) {
    return [&operands, &reader, &books, next](const HoldingVisitor& visit) {
        ForEachMachine(
            operands, reader,
            [&](const std::string& file, const std::optional<FleetMachine>& machine, const std::string&) {
                if (!machine) {
                    return;
                }
                ArchspecProcessor processor =
                    ArchspecProcessorOf(books, machine->vendorId, machine->linuxFlags);
                ArchspecShortfall shortfall = ArchspecShortfallOf(*books.archspec, next, processor);
                if (!shortfall.None()) {
                    std::vector<std::string> lacks = shortfall.missing;
                    if (shortfall.vendor) {
                        lacks.insert(lacks.begin(), "vendor " + *shortfall.vendor);
                    }
                    visit(FleetLabel(file), lacks);
                }
            },
            nullptr);
    };
}

// archspec's target of the fleet's common Linux flags, the next one above it
// and the machines that keep the fleet below that one.
void AddArchspec(const std::vector<std::string>& operands, FleetReader& reader, const FleetTally& fleet,
                 BaselineReport& report) {
    const NameBooks& books = fleet.books;
    if (!fleet.archspec || !books.linuxFlags || fleet.cpuid.MachineCount() == 0) {
        return;
    }
    report.archspecKnown = true;
    ArchspecProcessor common =
        ArchspecProcessorOf(books, fleet.archspec->CommonVendor(), fleet.linuxFlags.Common());
    std::optional<size_t> target = ChooseArchspecTarget(*books.archspec, common);
    if (target) {
        report.archspecTarget = (*books.archspec)[*target].name;
        report.archspecCompilers = (*books.archspec)[*target].compilers;
    }
    if (std::optional<size_t> next = fleet.archspec->NextTarget(target)) {
        report.archspecNext = (*books.archspec)[*next].name;
        report.archspecHolding = MachinesBelow(operands, reader, books, *next);
    }
}

BaselineReport ReportOf(const IniFile& database, const FleetTally& fleet, Vocabulary vocabulary) {
    const FleetBaseline& shown = fleet.In(vocabulary);
    BaselineReport report;
    report.databaseVersion = ReadDatabaseVersion(database);
    report.machines = shown.MachineCount();
    report.level = shown.Level();
    report.common = NamerOf(fleet.books, vocabulary)(shown.Common());
    // The flag table is keyed by the CPUID database's names.
    report.compilerFlags = SafeCompilerFlags(
        database, report.level, GroupNames(NameFeatureMask(fleet.cpuid.Common(), fleet.books.cpuid)));
    return report;
}

// What --diff and --baseline share: the operands without the switches,
// the switches, and the data file with its name books.
struct FleetOptions {
    std::vector<std::string> operands;
    bool json = false;
    Vocabulary vocabulary = Vocabulary::Cpuid;
    IniFile database;
    NameBooks books;
};

// Reads the switches and the data file; false, with the error written and
// its status, when the switches ask for names that cannot be had.
bool ReadFleetOptions(const CommandRequest& request, FleetOptions& options, int& status) {
    options.operands = request.operands;
    options.json = TakeJsonSwitch(options.operands);
    options.database = OpenDatabase();
    options.books = ReadNameBooks(options.database);
    std::string reason;
    if (!TakeNamesSwitch(options.operands, options.vocabulary, reason)) {
        status = UsageError(request, reason);
        return false;
    }
    if (options.vocabulary == Vocabulary::Linux && !options.books.linuxFlags) {
        request.err << "veldrix: --names linux needs the data file's [LinuxFlags] section, which is "
                       "missing or damaged"
                    << kPlainLineEnd;
        status = kUnreadableDumpStatus;
        return false;
    }
    return true;
}

} // namespace

int RunDiff(const CommandRequest& request) {
    FleetOptions options;
    int status = 0;
    if (!ReadFleetOptions(request, options, status)) {
        return status;
    }
    const std::vector<std::string>& operands = options.operands;
    if (request.dumpPath || operands.size() != 2) {
        return UsageError(request, "--diff needs two processors: dumps, or - for this machine");
    }
    DiffReport report;
    FleetMachine a;
    FleetMachine b;
    if (!ReadMachine(options.database, options.books, operands[0], request.err, report.a, a) ||
        !ReadMachine(options.database, options.books, operands[1], request.err, report.b, b)) {
        return kUnreadableDumpStatus;
    }
    Vocabulary vocabulary = options.vocabulary;
    report.diff = CompareFeatures(FeaturesIn(a, vocabulary), FeaturesIn(b, vocabulary),
                                  NamerOf(options.books, vocabulary));
    (options.json ? WriteDiffJson : WriteDiffText)(report, request.out);
    request.out.flush();
    return report.diff.BRunsA() ? 0 : 1;
}

int RunBaseline(const CommandRequest& request) {
    FleetOptions options;
    int status = 0;
    if (!ReadFleetOptions(request, options, status)) {
        return status;
    }
    const std::vector<std::string>& operands = options.operands;
    const IniFile& database = options.database;
    const NameBooks& books = options.books;
    Vocabulary vocabulary = options.vocabulary;
    if (request.dumpPath || operands.empty()) {
        return UsageError(request, "--baseline needs dumps or folders of dumps (- for this machine)");
    }
    NoteDamagedReferences(database, request.err);
    FleetTally fleet(books);
    FleetReader reader(books);
    std::vector<SkippedFile> skipped;
    FirstPass first{skipped, request.err};
    ReduceFleet(operands, reader, fleet, first);
    for (const SkippedFile& file : skipped) {
        request.err << "veldrix: skipped: " << OneLineText(request.err, file.reason) << kPlainLineEnd;
    }
    BaselineReport report = ReportOf(database, fleet, vocabulary);
    report.skipped = skipped;
    report.holding =
        HoldingMachines(operands, reader, fleet.In(vocabulary), vocabulary, NamerOf(books, vocabulary));
    AddArchspec(operands, reader, fleet, report);
    (options.json ? WriteBaselineJson : WriteBaselineText)(report, request.out);
    request.out.flush();
    return report.machines == 0 ? kUnreadableDumpStatus : 0;
}
