#include "app/command_line.hpp"

#include "app/can_run_command.hpp"
#include "app/collector_commands.hpp"
#include "app/command_request.hpp"
#include "app/decode_command.hpp"
#include "app/fleet_commands.hpp"
#include "app/html_command.hpp"
#include "app/measure_option.hpp"
#include "app/why_not_command.hpp"
#include "classic/replay.hpp"
#include "common/plain_text.hpp"
#include "common/version.hpp"
#include "console/console_io.hpp"
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"
#include "cpuid/snapshot_writer.hpp"
#include "names/capability_names.hpp"
#include "names/processor_db.hpp"
#include "outputs/capability_output.hpp"

#include <new>
#include <ostream>

namespace {

const char* const kUsageLines[] = {
    "usage: veldrix [-r DUMP] [OPTION]",
    "",
    "Options that print facts and exit:",
    "  --list             every fact as aligned text: processor, hypervisor, x86-64 levels, features",
    "  --json             the same facts as one JSON document (schema veldrix/1)",
    "                     (--measure after --list or --json: time the clock, half a second)",
    "  --dump             every leaf and sub-leaf of every logical processor, in the layout",
    "                     of cpuid -r, which cpuid -f reads (with -r DUMP: converts the dump)",
    "  --snapshot         the same with XCR0 and every recorded leaf, in VELDRIX's own layout",
    "                     that -r reads back to the same facts (keep this one for a fleet)",
    "  --check LEVEL      whether the processor meets LEVEL (x86-64-v1 .. x86-64-v4, or v1 .. v4);",
    "                     exit status 0 when met, 1 when not",
    "  --diff A B         what processor A has and B lacks, and the other way round; A and B are",
    "                     dumps, or - for this machine; exit status 0 when B runs everything A",
    "                     runs, 1 when not (--json after it: the same as JSON)",
    "  --baseline PATH... what every machine of a fleet has: PATH is a dump, a folder of dumps",
    "                     or - for this machine; the common features and x86-64 level, the",
    "                     machines that hold it down and the compiler flags safe on all (--json",
    "                     after it: the same as JSON), and archspec's target for all of them",
    "                     with the gcc and clang flags for it and the machines below the next",
    "  --names linux|cpuid after --diff or --baseline: name features as /proc/cpuinfo does, or",
    "                     by the CPUID database (the default)",
    "  --can-run FILE     whether this processor (or the dump's) meets the x86-64 level an ELF",
    "                     program says it needs; exit status 0 yes, 1 no, 3 no level marker",
    "  --decode           every documented field of every leaf: the first processor whole,",
    "                     then what the others differ in, and their ids (--json after it:",
    "                     the same as JSON, schema veldrix-decode/1)",
    "  --why-not TARGET   what the archspec TARGET (zen4, haswell, x86_64_v3, ...) needs that the",
    "                     processor lacks; exit status 0 nothing, 1 something, 64 unknown TARGET",
    "  --nfd              the labels of Kubernetes Node Feature Discovery's local source;",
    "                     --output DIR writes DIR/veldrix whole, --expiry DURATION (90s,",
    "                     30m, 12h, 7d) adds the time the labels expire",
    "  --prometheus       the processor as Prometheus metrics for node_exporter's textfile",
    "                     collector; --output DIR writes DIR/veldrix.prom whole",
    "  --html FILE        one HTML page with the topology drawn, the identity, the x86-64",
    "                     levels, the features, caches, TLBs, XSAVE and every raw leaf",
    "  --help, -h         this summary",
    "  --version          the program and data-file versions",
    "",
    "Options of the menu program:",
    "  -c                 capture the CPUID registers to a text file, then quit",
    "  -v                 say when the processor is being read",
    "  -?                 show the menu help first",
    "  -r DUMP            answer CPUID from a dump file instead of this processor;",
    "                     may be followed by --list, --json, --dump, --snapshot, --check,",
    "                     --can-run, --decode, --why-not, --nfd, --prometheus or --html",
    "",
    "Menu keys: I F C i f 1 2 P H T t S (processor screens), D W (benchmarks),",
    "           R (HTML report), A (about), ? (help), Q (quit)",
    "",
    "Exit status: 0 success, 1 level not met (--check, --can-run), feature lacking (--diff) or",
    "             target lacked (--why-not), 2 unreadable dump or program, 3 no level marker",
    "             (--can-run), 64 usage error, 74 standard output could not be written (every",
    "             option and the menu).",
};

std::string OpenDatabaseVersion() {
    return ReadDatabaseVersion(OpenDatabase());
}

// Runs a writer of the decoded facts; no operand is accepted.
int WriteFacts(const CommandRequest& request,
               void (*writer)(const CapabilityFacts&, const CapabilitySource&, std::ostream&)) {
    bool measure = false;
    std::vector<std::string> operands = WithoutMeasureOption(request.operands, measure);
    if (!operands.empty()) {
        return UsageError(request, "unexpected argument " + WithoutControlBytes(operands[0]));
    }
    if (measure && request.dumpPath) {
        return UsageError(request, "--measure times this machine's clock; a dump has none to time");
    }
    CapabilityFacts facts;
    CapabilitySource source;
    if (!GatherFactsFrom(request.dumpPath, request.err, facts, source)) {
        return kUnreadableDumpStatus;
    }
    if (measure) {
        MeasureTimeStampCounter(facts);
    }
    writer(facts, source, request.out);
    request.out.flush();
    return 0;
}

int RunList(const CommandRequest& request) {
    return WriteFacts(request, WriteCapabilityList);
}

int RunJson(const CommandRequest& request) {
    return WriteFacts(request, WriteCapabilityJson);
}

int RunCheck(const CommandRequest& request) {
    int level = request.operands.size() == 1 ? ParseLevelName(request.operands[0]) : 0;
    if (level == 0) {
        return UsageError(request, "--check needs one level: x86-64-v1 .. x86-64-v4, or v1 .. v4");
    }
    CapabilityFacts facts;
    CapabilitySource source;
    if (!GatherFactsFrom(request.dumpPath, request.err, facts, source)) {
        return kUnreadableDumpStatus;
    }
    int status = WriteLevelCheck(facts, level, request.out);
    request.out.flush();
    return status;
}

// The snapshot written by one of the writers; no operand is accepted.
int WriteSnapshot(const CommandRequest& request, std::string (*writer)(const CpuidSnapshot&)) {
    if (!request.operands.empty()) {
        return UsageError(request, "unexpected argument " + WithoutControlBytes(request.operands[0]));
    }
    CpuidSnapshot snapshot;
    if (std::optional<int> status = ReadProcessorsFrom(request.dumpPath, request.err, snapshot)) {
        return *status;
    }
    if (snapshot.singleProcessorFallback) {
        request.err << "veldrix: the processors could not be visited one by one; "
                       "only the one this program ran on is listed"
                    << kPlainLineEnd;
    }
    request.out << writer(snapshot);
    request.out.flush();
    return 0;
}

// What cpuid -f reads.
int RunDump(const CommandRequest& request) {
    return WriteSnapshot(request, WriteCpuidToolText);
}

// What -r reads back to the same snapshot, XCR0 included.
int RunSnapshot(const CommandRequest& request) {
    return WriteSnapshot(request, WriteSnapshotText);
}

int RunHelp(const CommandRequest& request) {
    WriteUsage(request.out);
    request.out.flush();
    return 0;
}

int RunVersion(const CommandRequest& request) {
    request.out << "veldrix " << kVeldrixVersion << " (database "
                << TerminalText(request.out, OpenDatabaseVersion()) << ")" << kPlainLineEnd;
    request.out.flush();
    return 0;
}

struct CommandOption {
    const char* name;
    int (*run)(const CommandRequest&);
};

const CommandOption kCommandOptions[] = {
    {"--list", RunList},       {"--json", RunJson},         {"--check", RunCheck},
    {"--dump", RunDump},       {"--help", RunHelp},         {"-h", RunHelp},
    {"--version", RunVersion}, {"--diff", RunDiff},         {"--baseline", RunBaseline},
    {"--can-run", RunCanRun},  {"--snapshot", RunSnapshot}, {"--why-not", RunWhyNot},
    {"--decode", RunDecode},   {"--nfd", RunNfd},           {"--prometheus", RunPrometheus},
    {"--html", RunHtml},
};

const CommandOption* FindOption(const std::string& name) {
    for (const CommandOption& option : kCommandOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

void WriteUsage(std::ostream& out) {
    for (const char* line : kUsageLines) {
        out << line << kPlainLineEnd;
    }
}

std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err) {
    bool replay = !args.empty() && args[0] == "-r";
    if (replay && args.size() == 1) {
        CommandRequest request{{}, std::nullopt, out, err};
        return UsageError(request, "-r needs the name of a dump file");
    }
    size_t optionIndex = replay ? 2 : 0;
    const CommandOption* option = optionIndex < args.size() ? FindOption(args[optionIndex]) : nullptr;
    if (option == nullptr) {
        return std::nullopt;
    }
    CommandRequest request{
        std::vector<std::string>(args.begin() + static_cast<long>(optionIndex) + 1, args.end()),
        replay ? std::optional<std::string>(args[1]) : std::nullopt, out, err};
    // A dump or a fleet larger than the memory the process may take ends the
    // command with a word, as an unreadable dump does, not with an abort.
    try {
        return option->run(request);
    } catch (const std::bad_alloc&) {
        err << "veldrix: not enough memory to finish " << args[optionIndex] << kPlainLineEnd;
        return kUnreadableDumpStatus;
    }
}
