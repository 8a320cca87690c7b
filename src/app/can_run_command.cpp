#include "app/can_run_command.hpp"

#include "common/bounded_file.hpp"
#include "common/plain_text.hpp"
#include "console/console_io.hpp"
#include "elf/elf_isa_level.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/vocabulary_output.hpp"

#include <cstdint>
#include <optional>
#include <ostream>

namespace {

// The level the program at path needs, read from the few pieces of it that
// tell; none when it is no regular file or cannot be opened (a device such
// as /dev/zero reports size 0 yet never ends, and a pipe may never answer).
std::optional<ElfIsaLevel> ReadProgramLevel(const std::string& path) {
    FilePieces program;
    if (!program.Open(path)) {
        return std::nullopt;
    }
    return ReadElfIsaLevel(
        ElfFile{program.Size(), [&program](uint64_t offset, size_t size, std::string& bytes) {
                    return program.ReadAt(offset, size, bytes);
                }});
}

// "yes", or the verdict of the lowest needed level the processor misses.
std::string MeetsText(const LevelReport& levels, int needed) {
    for (int level = 1; level <= needed; ++level) {
        const LevelVerdict& verdict = levels.levels[static_cast<size_t>(level - 1)];
        if (!verdict.Met()) {
            return LevelVerdictText(verdict);
        }
    }
    return "yes";
}

} // namespace

int RunCanRun(const CommandRequest& request) {
    if (request.operands.size() != 1) {
        return UsageError(request, "--can-run needs one program file");
    }
    const std::string& path = request.operands[0];
    std::optional<ElfIsaLevel> read = ReadProgramLevel(path);
    if (!read) {
        request.err << "veldrix: cannot read " << OneLineText(request.err, path) << kPlainLineEnd;
        return kUnreadableDumpStatus;
    }
    const ElfIsaLevel& needed = *read;
    std::string name = OneLineText(request.out, path);
    if (needed.status == ElfIsaStatus::NotReadable) {
        request.err << "veldrix: " << OneLineText(request.err, path) << ": " << needed.reason
                    << kPlainLineEnd;
        return kUnreadableDumpStatus;
    }
    if (needed.status == ElfIsaStatus::NoMarker) {
        request.out << name << ": no x86-64 level marker (most programs carry none), cannot tell"
                    << kPlainLineEnd;
        request.out.flush();
        return kNoMarkerStatus;
    }
    CapabilityFacts facts;
    CapabilitySource source;
    if (!GatherFactsFrom(request.dumpPath, request.err, facts, source)) {
        return kUnreadableDumpStatus;
    }
    std::string meets = MeetsText(facts.levels, needed.level);
    request.out << name << ": needs " << LevelName(needed.level) << "; "
                << (source.hardware ? "this processor" : "the processor of the dump")
                << " meets it: " << TerminalText(request.out, meets) << kPlainLineEnd;
    if (facts.vocabularies.archspec) {
        WriteArchspecFlagLines(*facts.vocabularies.archspec, request.out);
    }
    request.out.flush();
    return meets == "yes" ? 0 : 1;
}
