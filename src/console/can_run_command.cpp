#include "console/can_run_command.hpp"

#include "common/plain_text.hpp"
#include "probe/elf_isa_level.hpp"
#include "reports/capability_output.hpp"

#include <fstream>
#include <iterator>
#include <ostream>

namespace {

// Larger programs are refused rather than read whole into memory.
constexpr std::streamoff kLargestProgram = std::streamoff(1) << 30;

bool ReadProgram(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() < 0 || in.tellg() > kLargestProgram) {
        return false;
    }
    in.seekg(0);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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
    std::string bytes;
    if (!ReadProgram(path, bytes)) {
        request.err << "veldrix: cannot read " << WithoutControlBytes(path) << kPlainLineEnd;
        return kUnreadableDumpStatus;
    }
    ElfIsaLevel needed = ReadElfIsaLevel(bytes);
    std::string name = WithoutControlBytes(path);
    if (needed.status == ElfIsaStatus::NotReadable) {
        request.err << "veldrix: " << name << ": " << needed.reason << kPlainLineEnd;
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
    request.out << name << ": needs x86-64-v" << needed.level << "; "
                << (source.hardware ? "this processor" : "the processor of the dump")
                << " meets it: " << meets << kPlainLineEnd;
    request.out.flush();
    return meets == "yes" ? 0 : 1;
}
