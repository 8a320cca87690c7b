#include "app/why_not_command.hpp"

#include "app/command_line.hpp"

#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "outputs/vocabulary_output.hpp"

#include <ostream>

namespace {

int UnknownTarget(const CommandRequest& request, const std::optional<ArchspecBook>& book) {
    std::ostream& err = request.err;
    err << "veldrix: --why-not: unknown archspec target " << OneLineText(err, request.operands[0])
        << kPlainLineEnd;
    if (!book) {
        err << "veldrix: no target is known: the data file's archspec or Linux flag sections are "
               "missing or damaged"
            << kPlainLineEnd;
        return kUsageStatus;
    }
    std::vector<std::string> names;
    for (const ArchspecTarget& target : *book) {
        names.push_back(target.name);
    }
    err << "veldrix: known targets: " << OneLineText(err, JoinedWords(names)) << kPlainLineEnd;
    return kUsageStatus;
}

} // namespace

int RunWhyNot(const CommandRequest& request) {
    if (request.operands.size() != 1) {
        return UsageError(request, "--why-not needs one archspec target, such as zen4 or haswell");
    }
    IniFile database = OpenDatabase();
    // Targets are judged by Linux flag names: without them none can be.
    std::optional<ArchspecBook> book =
        ReadLinuxFlagBook(database) ? ReadArchspecBook(database) : std::nullopt;
    std::optional<size_t> target = book ? FindArchspecTarget(*book, request.operands[0]) : std::nullopt;
    if (!target) {
        return UnknownTarget(request, book);
    }
    CpuidSnapshot snapshot;
    if (!ReadSnapshotFrom(request.dumpPath, request.err, snapshot)) {
        return kUnreadableDumpStatus;
    }
    CapabilityFacts facts = DescribeSnapshot(database, snapshot, !request.dumpPath);
    const std::vector<std::string>& flags = *facts.vocabularies.linuxFlags;
    ArchspecProcessor processor{facts.identity.vendorId, {flags.begin(), flags.end()}};
    ArchspecShortfall shortfall = ArchspecShortfallOf(*book, *target, processor);
    request.out << TerminalText(request.out, WhyNotText((*book)[*target].name, shortfall)) << kPlainLineEnd;
    request.out.flush();
    return shortfall.None() ? 0 : 1;
}
