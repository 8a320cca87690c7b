#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "common/version.hpp"
#include "console/console_io.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/details_output.hpp"
#include "outputs/vocabulary_output.hpp"

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kLabelWidth = 24;
const char kUnknown[] = "unknown";

void Heading(std::ostream& out, const std::string& title) {
    out << title << kPlainLineEnd;
}

// The value starts in the column after the label, or one blank after a
// label too long for the column.
void Fact(std::ostream& out, const std::string& label, const std::string& value) {
    std::string head = "  " + label + ":";
    head = head.size() < kLabelWidth ? PadRight(head, kLabelWidth) : head + " ";
    out << head << OneLineText(out, value) << kPlainLineEnd;
}

std::string TextOr(const std::optional<std::string>& text, const char* absent = kUnknown) {
    return text ? *text : absent;
}

std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

std::string YesNoOr(std::optional<bool> value) {
    return value ? YesNo(*value) : kUnknown;
}

std::string Joined(const std::vector<std::string>& words) {
    return JoinedWords(words);
}

// A number in decimal with its hexadecimal form: "26 (0x1A)".
std::string DecimalAndHex(uint32_t value) {
    std::string hex = DwordToHex(value);
    size_t first = hex.find_first_not_of('0');
    hex = first == std::string::npos || first >= 6 ? hex.substr(6) : hex.substr(first);
    return Decimal(value) + " (0x" + hex + ")";
}

void WriteProgram(const CapabilitySource& source, std::ostream& out) {
    Heading(out, "Program");
    Fact(out, "version", kVeldrixVersion);
    Fact(out, "database_version", source.databaseVersion);
    Fact(out, "source", source.hardware ? "hardware" : "dump " + source.path);
}

std::string ProcessorName(const CapabilityFacts& facts) {
    std::string name = TextOr(facts.names.processor);
    if (facts.hypervisor.present) {
        name += " (signature reported by a hypervisor, may be invented)";
    }
    return name;
}

void WriteProcessor(const CapabilityFacts& facts, std::ostream& out) {
    const SnapshotIdentity& id = facts.identity;
    const SignatureFields& sig = id.signature;
    Heading(out, "Processor");
    Fact(out, "vendor_id", id.vendorId);
    Fact(out, "vendor", TextOr(facts.names.vendor));
    Fact(out, "brand", TextOr(id.brand));
    Fact(out, "name", ProcessorName(facts));
    Fact(out, "microarchitecture", TextOr(facts.vocabularies.generation.microarchitecture));
    Fact(out, "process_node", TextOr(facts.vocabularies.generation.processNode));
    if (!id.hasSignature) {
        Fact(out, "signature", kUnknown);
        return;
    }
    Fact(out, "signature", "0x" + DwordToHex(sig.signature));
    Fact(out, "family", DecimalAndHex(sig.family));
    Fact(out, "model", DecimalAndHex(sig.model));
    Fact(out, "stepping", Decimal(sig.stepping));
    Fact(out, "base_family", DecimalAndHex(sig.baseFamily));
    Fact(out, "base_model", DecimalAndHex(sig.baseModel));
    Fact(out, "extended_family", DecimalAndHex(sig.extendedFamily));
    Fact(out, "extended_model", DecimalAndHex(sig.extendedModel));
}

void WriteHypervisor(const CapabilityFacts& facts, std::ostream& out) {
    const HypervisorFacts& hv = facts.hypervisor;
    Heading(out, "Hypervisor");
    Fact(out, "present", YesNo(hv.present));
    if (!hv.present) {
        return;
    }
    Fact(out, "vendor_id", TextOr(hv.vendorId));
    Fact(out, "name", TextOr(facts.names.hypervisor));
    if (hv.nextVendorId) {
        Fact(out, "vendor_id_40000100", *hv.nextVendorId);
        Fact(out, "name_40000100", TextOr(facts.names.nextHypervisor));
    }
    Fact(out, "features", HypervisorFeaturesText(facts.details));
}

void WriteLevels(const CapabilityFacts& facts, std::ostream& out) {
    Heading(out, "x86-64 levels");
    Fact(out, "level", Decimal(static_cast<uint64_t>(facts.levels.level)));
    for (int i = 0; i < kLevelCount; ++i) {
        Fact(out, LevelName(i + 1), LevelVerdictText(facts.levels.levels[static_cast<size_t>(i)]));
    }
}

std::string Xcr0Text(const std::optional<uint64_t>& xcr0) {
    if (!xcr0) {
        return kUnknown;
    }
    return "0x" + QwordToHex(*xcr0);
}

void WriteOsSupport(const CapabilityFacts& facts, std::ostream& out) {
    const OsSupport& os = facts.os;
    Heading(out, "OS support");
    Fact(out, "xcr0", Xcr0Text(os.xcr0));
    Fact(out, "sse", YesNoOr(os.sse));
    Fact(out, "avx", YesNoOr(os.avx));
    Fact(out, "avx512", YesNoOr(os.avx512));
    Fact(out, "amx", YesNoOr(os.amx));
}

std::string Avx10Text(const std::optional<Avx10Facts>& avx10) {
    if (!avx10) {
        return "no";
    }
    std::string text = "version " + Decimal(avx10->version) + ", vector bits";
    for (int bits : avx10->vectorBits) {
        text += " " + Decimal(static_cast<uint64_t>(bits));
    }
    return text;
}

void WriteFeatures(const CapabilityFacts& facts, std::ostream& out) {
    Heading(out, "Features");
    for (const FeatureGroup& group : facts.featureGroups) {
        if (!group.bits.named.empty()) {
            Fact(out, group.label, Joined(group.bits.named));
        }
    }
    Fact(out, "unnamed_bits", Joined(facts.features.unnamed));
    Fact(out, "avx10", Avx10Text(facts.avx10));
}

// The names other tools give the processor.
void WriteOtherNames(const CapabilityFacts& facts, std::ostream& out) {
    const VocabularyFacts& names = facts.vocabularies;
    Heading(out, "Other names");
    Fact(out, "linux_flags", names.linuxFlags ? Joined(*names.linuxFlags) : kUnknown);
    if (!names.archspec) {
        Fact(out, "archspec", names.linuxFlags && !facts.longMode ? "none (no 64-bit mode)" : kUnknown);
        return;
    }
    Fact(out, "archspec", names.archspec->target);
    Fact(out, "archspec_nearest", NearestTargetText(*names.archspec));
    if (facts.hypervisor.present && names.archspec->identified) {
        Fact(out, "archspec_hidden", HiddenFeaturesText(*names.archspec));
    }
    Fact(out, "archspec_gcc", CompilerRangesText(names.archspec->compilers, "gcc"));
    Fact(out, "archspec_clang", CompilerRangesText(names.archspec->compilers, "clang"));
}

// What the running Linux kernel says; nothing on a dump or off Linux.
void WriteKernelView(const VocabularyFacts& names, std::ostream& out) {
    if (!names.kernel) {
        return;
    }
    const KernelView& kernel = *names.kernel;
    Heading(out, "Kernel");
    Fact(out, "microcode", TextOr(kernel.microcode));
    std::vector<std::string> only;
    for (const KernelOnlyFlag& flag : kernel.only.value_or(std::vector<KernelOnlyFlag>())) {
        only.push_back(KernelOnlyText(flag));
    }
    Fact(out, "kernel_hidden", kernel.hidden ? Joined(*kernel.hidden) : kUnknown);
    Fact(out, "kernel_only", kernel.only ? Joined(only) : kUnknown);
    for (const Vulnerability& entry : kernel.vulnerabilities) {
        Fact(out, entry.name, TextOr(entry.text, "unreadable"));
    }
}

std::string CacheKind(const CacheFacts& cache) {
    if (!cache.coreType) {
        return "";
    }
    return std::string(" (") + CoreTypeName(*cache.coreType) + (cache.lowPower ? ", low power)" : ")");
}

std::string CacheSize(const CacheFacts& cache) {
    if (!cache.sizeKb) {
        return "size too large to count";
    }
    if (cache.sizeBelowKb) {
        return "at least " + Decimal(*cache.sizeKb) + " KB, below " + Decimal(*cache.sizeBelowKb) + " KB";
    }
    return Decimal(*cache.sizeKb) + " KB";
}

std::string CacheText(const CacheFacts& cache) {
    std::vector<std::string> parts = {CacheSize(cache)};
    if (cache.fullyAssociative) {
        parts.push_back("fully associative");
    } else if (cache.ways) {
        parts.push_back(Decimal(*cache.ways) + "-way");
    }
    if (cache.lineBytes) {
        parts.push_back(Decimal(*cache.lineBytes) + "-byte lines");
    }
    if (cache.sets) {
        parts.push_back(Decimal(*cache.sets) + " sets");
    }
    if (cache.sharedBy) {
        parts.push_back("shared by " + Decimal(*cache.sharedBy));
    }
    if (cache.inclusive) {
        parts.push_back(*cache.inclusive ? "inclusive" : "not inclusive");
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

void WriteCaches(const CapabilityFacts& facts, std::ostream& out) {
    Heading(out, "Caches");
    if (facts.caches.empty()) {
        Fact(out, "caches", kUnknown);
    }
    for (const CacheFacts& cache : facts.caches) {
        Fact(out, "L" + Decimal(cache.level) + " " + CacheTypeName(cache.type) + CacheKind(cache),
             CacheText(cache));
    }
}

std::string CountOr(const std::optional<uint64_t>& value) {
    return value ? Decimal(*value) : kUnknown;
}

void WriteTopology(const TopologyFacts& topology, std::ostream& out) {
    Heading(out, "Topology");
    Fact(out, "logical_processors", Decimal(topology.logicalProcessors));
    Fact(out, "packages", CountOr(topology.packages));
    Fact(out, "cores", CountOr(topology.cores));
    Fact(out, "threads_per_core", CountOr(topology.threadsPerCore));
    if (topology.coreTypes) {
        const CoreTypeCounts& counts = *topology.coreTypes;
        Fact(out, "core_types",
             "performance " + Decimal(counts.performance) + ", efficiency " + Decimal(counts.efficiency) +
                 " (low power " + Decimal(counts.efficiencyLowPower) + ")");
    }
    Fact(out, "counted_from",
         topology.statedByLeaves ? "the leaves of one processor, per package" : "every processor");
}

// Processors that follow each other and sit alike: the same package and the
// same kind of core. Their ids are in the JSON document; the listing shows
// one line per run, so a machine of hundreds of processors stays readable
// and a hybrid part shows where each kind of core lies.
struct ProcessorRun {
    const CpuPlace* first = nullptr;
    uint32_t lastIndex = 0;
    std::set<uint32_t> cores;
    bool coresKnown = true;
};

bool SitAlike(const CpuPlace& a, const CpuPlace& b) {
    return a.package == b.package && a.coreType == b.coreType && a.lowPower == b.lowPower;
}

std::vector<ProcessorRun> ProcessorRuns(const std::vector<CpuPlace>& cpus) {
    std::vector<ProcessorRun> runs;
    for (const CpuPlace& cpu : cpus) {
        if (runs.empty() || !SitAlike(*runs.back().first, cpu)) {
            runs.push_back(ProcessorRun{&cpu, cpu.index, {}, true});
        }
        ProcessorRun& run = runs.back();
        run.lastIndex = cpu.index;
        if (cpu.core) {
            run.cores.insert(*cpu.core);
        } else {
            run.coresKnown = false;
        }
    }
    return runs;
}

std::string RunLabel(const ProcessorRun& run) {
    uint32_t first = run.first->index;
    return first == run.lastIndex ? "cpu " + Decimal(first)
                                  : "cpus " + Decimal(first) + "-" + Decimal(run.lastIndex);
}

std::string RunText(const ProcessorRun& run) {
    const CpuPlace& cpu = *run.first;
    std::string text = "package " + (cpu.package ? Decimal(*cpu.package) : std::string(kUnknown));
    size_t cores = run.cores.size();
    text += ", " + (run.coresKnown ? Decimal(cores) + (cores == 1 ? " core" : " cores") : "cores unknown");
    if (cpu.coreType) {
        text += std::string(", ") + CoreTypeName(*cpu.coreType) + (cpu.lowPower ? " (low power)" : "");
    }
    return text;
}

void WriteProcessors(const TopologyFacts& topology, std::ostream& out) {
    Heading(out, "Processors");
    for (const ProcessorRun& run : ProcessorRuns(topology.cpus)) {
        Fact(out, RunLabel(run), RunText(run));
    }
}

} // namespace

std::string LevelVerdictText(const LevelVerdict& verdict) {
    if (verdict.Met()) {
        return "yes";
    }
    if (!verdict.cpu) {
        return "no (missing: " + Joined(verdict.missing) + ")";
    }
    return "no (supported by the processor, not enabled by the OS)";
}

const char* CoreTypeName(CoreType type) {
    return type == CoreType::Performance ? "performance" : "efficiency";
}

int WriteLevelCheck(const CapabilityFacts& facts, int level, std::ostream& out) {
    const LevelVerdict& verdict = facts.levels.levels.at(static_cast<size_t>(level - 1));
    out << LevelName(level) << ": " << TerminalText(out, LevelVerdictText(verdict)) << kPlainLineEnd;
    return verdict.Met() ? 0 : 1;
}

void WriteCapabilityList(const CapabilityFacts& facts, const CapabilitySource& source, std::ostream& out) {
    WriteProgram(source, out);
    WriteProcessor(facts, out);
    WriteHypervisor(facts, out);
    WriteLevels(facts, out);
    WriteOsSupport(facts, out);
    WriteFeatures(facts, out);
    WriteOtherNames(facts, out);
    WriteKernelView(facts.vocabularies, out);
    WriteCaches(facts, out);
    WriteDetailsList(facts.details, out);
    WriteTopology(facts.topology, out);
    WriteProcessors(facts.topology, out);
}
